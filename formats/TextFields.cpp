#include "formats/TextFields.h"

#include <algorithm>
#include <cmath>
#include <utility>

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
