#include "presentation/IniConversions.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/core/NumberText.h"

COLORREF ParseIniColor(std::string_view text)
{
    const std::size_t firstComma = text.find(',');
    if (firstComma == std::string_view::npos || firstComma > 9)
        return TruncToUint32Bits(ParseIniNumber(text)) & kColorMask;
    const std::string_view red = text.substr(0, firstComma);
    std::string_view rest = text.substr(firstComma + 1);
    std::string_view green;
    std::string_view blue = rest;
    const std::size_t secondComma = rest.find(',');
    if (secondComma != std::string_view::npos) {
        green = rest.substr(0, secondComma);
        blue = rest.substr(secondComma + 1);
    }
    double value = std::trunc(ParseIniNumber(blue)) * 256.0;
    value = std::trunc(ParseIniNumber(green) + value) * 256.0;
    return TruncToUint32Bits(ParseIniNumber(red) + value) & kColorMask;
}

std::string FormatIniFloat(float value)
{
    std::string text = FormatFixed(value, 2);
    if (std::isfinite(value) && ParseIniFloat(text) != value)
        text = FloatTextReadBy(value, ParseIniFloat);
    return text;
}

std::string FormatIniColor(COLORREF colour)
{
    return std::to_string(RedOf(colour)) + "," + std::to_string(GreenOf(colour)) + "," +
           std::to_string(BlueOf(colour));
}

std::optional<float> ParseIniFloat(std::string_view text)
{
    const double value = ParseIniNumber(text);
    constexpr double kLargest = std::numeric_limits<float>::max();
    if (!(value >= -kLargest && value <= kLargest))
        return std::nullopt;
    return static_cast<float>(value);
}

std::int16_t ParseIniInt16(std::string_view text)
{
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(TruncToInt64(ParseIniNumber(text)),
                                                              std::numeric_limits<std::int16_t>::min(),
                                                              std::numeric_limits<std::int16_t>::max()));
}

float SaturateToFloat(double value)
{
    if (std::isnan(value))
        return 0.0f;
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -kLargest, kLargest));
}
