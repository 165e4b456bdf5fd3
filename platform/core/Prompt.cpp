#include "platform/core/Prompt.h"

#include "platform/core/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

class StderrPrompt final : public IPrompt {
public:
    void Message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

StderrPrompt g_stderrPrompt;
IPrompt* g_prompt = &g_stderrPrompt;

// Why a text of 1 to `limit` characters, in a field that keeps `bytes` bytes of it, is
// refused; none when it fits. The user is told of the characters they see. A header that
// keeps an empty name or unit fails its check: the dialog asks for one rather than filling
// one in unasked.
std::optional<std::string> LengthRefusal(const std::string& text, std::size_t limit,
                                         std::size_t bytes = std::numeric_limits<std::size_t>::max())
{
    if (text.empty())
        return "Please enter 1 to " + std::to_string(limit) + " characters.";
    if (Utf8Characters(text) <= limit && text.size() <= bytes)
        return std::nullopt;
    return TooLongMessage(limit);
}

// A coefficient as the header keeps it: the nearest float. Presets come from the header's
// floats and typed values are floats within the range, so every one is a float's.
double AsKept(double value)
{
    return static_cast<float>(value);
}

// Whether the header keeps a coefficient: at most the limit as the float it becomes, and a
// float of full precision, so that a number that rounds to 0, to a subnormal float (1e-45
// becomes 1.4e-45, 40 % off) or beyond the limit is refused where it was typed, not replaced
// later without a word.
bool KeptCoefficient(double value)
{
    const double kept = AsKept(value);
    return kept >= std::numeric_limits<float>::min() && kept <= CDialogHeaderCoef::kMaxCoefficient;
}

// Shows `refusal` when there is one; whether there was.
bool Said(const std::optional<std::string>& refusal)
{
    if (!refusal)
        return false;
    Prompt().Message(*refusal);
    return true;
}

} // namespace

std::size_t Utf8Characters(std::string_view text)
{
    // The bytes that begin a character.
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    }));
}

std::string TooLongMessage(std::size_t limit)
{
    return "Please enter no more than " + std::to_string(limit) + " characters.";
}

std::string FormatDialogNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

bool ParseDialogNumber(const std::string& text, double& value)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return false;
    const std::size_t last = text.find_last_not_of(" \t");
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+' && end - begin > 1 && begin[1] != '-')
        ++begin;  // from_chars takes no plus sign; a user may type one
    auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end && !std::isnan(value);
}

std::string RangeMessage(double min, double max, bool whole)
{
    return std::string("Please enter ") + (whole ? "an integer" : "a number") + " between " +
           FormatDialogNumber(min) + " and " + FormatDialogNumber(max) + ".";
}

std::optional<double> ValueInRange(const std::string& text, double min, double max, bool whole)
{
    double value = 0.0;
    if (!ParseDialogNumber(text, value) || !(value >= min && value <= max) || (whole && value != std::floor(value)))
        return std::nullopt;
    return value;
}

namespace {

// The unit text a field edits, or null for the three numbers; const follows the values.
template <class Values>
auto* UnitOf(Values& values, HeaderCoefField field)
{
    switch (field) {
    case HeaderCoefField::ZUnit: return &values.m_strZUnit;
    case HeaderCoefField::XYUnit: return &values.m_strXYUnit;
    default: return decltype(&values.m_strZUnit){nullptr};
    }
}

// The number a field edits; only called for the three number fields.
template <class Values>
auto* NumberOf(Values& values, HeaderCoefField field)
{
    switch (field) {
    case HeaderCoefField::Kx: return &values.m_dKx;
    case HeaderCoefField::Ky: return &values.m_dKy;
    default: return &values.m_dKz;
    }
}

} // namespace

IPrompt& Prompt()
{
    return *g_prompt;
}

IPrompt* SetPrompt(IPrompt* prompt)
{
    IPrompt* previous = g_prompt;
    g_prompt = prompt != nullptr ? prompt : &g_stderrPrompt;
    return previous;
}

std::optional<std::string> CDialogImageName::Refusal(const std::string& text) const
{
    return LengthRefusal(text, kMaxNameLength);
}

bool CDialogImageName::TakeTyped(const std::string& text)
{
    if (Refusal(text))
        return false;
    m_strName = text;
    return true;
}

bool CDialogImageName::TypeName(const std::string& text)
{
    return !Said(Refusal(text)) && TakeTyped(text);
}

CDialogHeaderCoef::CDialogHeaderCoef(HeaderCoefValues preset) : m_values(std::move(preset))
{
    for (double* number : {&m_values.m_dKx, &m_values.m_dKy, &m_values.m_dKz})
        *number = AsKept(*number);
}

std::optional<std::string> CDialogHeaderCoef::Refusal(HeaderCoefField field, const std::string& text) const
{
    if (IsUnit(field))
        return LengthRefusal(text, kMaxUnitLength, UnitBytes(field));
    double value = 0.0;
    if (!ParseDialogNumber(text, value))
        return "Please enter a number.";
    if (KeptCoefficient(value))
        return std::nullopt;
    const std::string range = "Please enter a number greater than 0 and at most " + FormatDialogNumber(kMaxCoefficient);
    // A number above 0 that the float rounds to 0, or to a float without its precision,
    // would read as taken by the range alone.
    if (value > 0.0 && AsKept(value) < std::numeric_limits<float>::min())
        return range + ": the header keeps " + FormatDialogNumber(value) + " as " + FormatDialogNumber(AsKept(value)) + ".";
    return range + ".";
}

bool CDialogHeaderCoef::TakeTyped(HeaderCoefField field, const std::string& text)
{
    if (Fixed(field))
        return false;
    if (std::string* unit = UnitOf(m_values, field)) {
        if (Refusal(field, text))
            return false;
        *unit = text;
        return true;
    }
    double value = 0.0;
    if (!ParseDialogNumber(text, value) || !KeptCoefficient(value))
        return false;
    *NumberOf(m_values, field) = AsKept(value);
    return true;
}

bool CDialogHeaderCoef::Type(HeaderCoefField field, const std::string& text)
{
    return !Said(Refusal(field, text)) && TakeTyped(field, text);
}

void CDialogHeaderCoef::TakeBack(HeaderCoefField field, const HeaderCoefValues& before)
{
    if (std::string* unit = UnitOf(m_values, field))
        *unit = *UnitOf(before, field);
    else
        *NumberOf(m_values, field) = *NumberOf(before, field);
}

std::string CDialogHeaderCoef::Text(HeaderCoefField field) const
{
    if (const std::string* unit = UnitOf(m_values, field))
        return *unit;
    // The float the header keeps, as the configuration panel shows its floats.
    return ShortestFloatText(static_cast<float>(*NumberOf(m_values, field)));
}
