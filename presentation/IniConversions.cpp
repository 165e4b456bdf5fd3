#include "presentation/IniConversions.h"

#include <cmath>

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

std::string FormatIniColor(COLORREF colour)
{
    return std::to_string(RedOf(colour)) + "," + std::to_string(GreenOf(colour)) + "," +
           std::to_string(BlueOf(colour));
}
