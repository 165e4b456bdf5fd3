#include "formats/TextFields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "image/HeaderTextCoding.h"
#include "image/SpmImage.h"
#include "platform/core/NumberText.h"

std::string_view WithoutCarriageReturn(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::string_view TextBetweenLastQuotes(std::string_view line)
{
    const std::size_t last = line.rfind('"');
    if (last == std::string_view::npos || last == 0)
        return {};
    const std::size_t before = line.rfind('"', last - 1);
    if (before == std::string_view::npos)
        return {};
    return line.substr(before + 1, last - before - 1);
}

std::optional<int> ImageSideOf(double value)
{
    if (!(value >= 1.0 && value <= kMaxImageSide) || value != std::floor(value))
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<std::size_t> FileOffsetOf(double value, std::size_t fileSize)
{
    if (!(value >= 0.0 && value <= static_cast<double>(fileSize)))
        return std::nullopt;
    return static_cast<std::size_t>(value);
}

std::optional<LengthUnit> LengthUnitOf(std::string_view unit)
{
    constexpr LengthUnit kPicometre{"pm", 1e-3}, kAngstrom{"A", 0.1}, kNanometre{"nm", 1.0},
        kMicrometre{"um", 1e3}, kMillimetre{"mm", 1e6};
    // Older files hold ANSI bytes, texts typed here UTF-8 (see HeaderTextCoding.h).
    constexpr std::pair<std::string_view, LengthUnit> kSpellings[] = {
        {"pm", kPicometre},
        {"A", kAngstrom},       {"\xC5", kAngstrom},       {"\xC3\x85", kAngstrom}, {"\xE2\x84\xAB", kAngstrom},
        {"nm", kNanometre},
        {"um", kMicrometre},    {"\xB5m", kMicrometre},    {"\xC2\xB5m", kMicrometre},
        {"\xCE\xBCm", kMicrometre}, {"~m", kMicrometre}, {"mkm", kMicrometre},
        {"mm", kMillimetre}};
    // The views take " nm" for nanometres as well.
    while (unit.starts_with(' '))
        unit.remove_prefix(1);
    while (unit.ends_with(' '))
        unit.remove_suffix(1);
    for (const auto& [spelling, length] : kSpellings)
        if (unit == spelling)
            return length;
    return std::nullopt;
}

std::optional<double> NanometresPerLengthUnit(std::string_view unit)
{
    if (const std::optional<LengthUnit> length = LengthUnitOf(unit))
        return length->nanometres;
    return std::nullopt;
}

std::string FormatFixedSignificant(double value)
{
    constexpr int kMinDecimals = 6;
    constexpr int kSignificant = 9;
    constexpr int kMaxDecimals = 60;
    int decimals = kMinDecimals;
    if (std::isfinite(value) && value != 0.0) {
        const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
        decimals = std::clamp(kSignificant - 1 - magnitude, kMinDecimals, kMaxDecimals);
    }
    return FormatFixed(value, decimals);
}

std::string UnitAsWritten(std::string_view unit)
{
    std::string written(unit);
    std::erase_if(written, [](char c) { return c == '"' || c == ' ' || static_cast<unsigned char>(c) < ' ' || c == 0x7F; });
    return written;
}

std::optional<float> NormalFloat(double value)
{
    const auto rounded = static_cast<float>(value);
    if (!std::isnormal(rounded))
        return std::nullopt;
    return rounded;
}

std::string Sentence(std::string_view text)
{
    std::string sentence(text);
    if (!sentence.empty() && sentence.front() >= 'a' && sentence.front() <= 'z')
        sentence.front() = static_cast<char>(sentence.front() - 'a' + 'A');
    if (!sentence.ends_with('.'))
        sentence += '.';
    return sentence;
}

std::string ShortNumber(double value)
{
    char text[64];
    // Header values are floats: one that a float holds reads as the float it is, any other
    // (a step beyond the float range after a unit conversion) as the double.
    const auto rounded = static_cast<float>(value);
    const bool isFloat = static_cast<double>(rounded) == value || std::isnormal(rounded);
    const auto [end, error] = isFloat ? std::to_chars(text, text + sizeof text, rounded)
                                      : std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string("?");
}

std::string InQuotes(std::string_view text)
{
    // Appended piece by piece: g++ 12 takes a literal put before a temporary string for an
    // overlapping copy (-Wrestrict).
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string QuotedUnit(std::string_view unit)
{
    // On one line, and with its own quotes escaped like its line breaks: a text that held
    // them would read as two texts, or as the end of its sentence.
    std::string shown;
    for (const char c : OneLineText(HeaderBytesAsUtf8(unit))) {
        if (c == '"')
            shown += '\\';
        shown += c;
    }
    return InQuotes(shown);
}

std::string ImageSizeRefusal(double columns, double rows)
{
    return ShortNumber(columns) + " x " + ShortNumber(rows) + " points; this program reads 1 to " +
           std::to_string(kMaxImageSide) + " points a side";
}
