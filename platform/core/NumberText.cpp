#include "platform/core/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/core/Prompt.h"

std::string FormatFixed(double value, int decimals)
{
    // Large enough for the longest double in fixed notation (309 digits) and its decimals.
    std::array<char, 400> buffer{};
    const int precision = decimals < 0 ? 0 : (decimals > 60 ? 60 : decimals);
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, precision);
    return std::string(buffer.data(), result.ptr);
}

std::string FloatTextReadBy(float value, FloatReader reader)
{
    if (!std::isfinite(value))
        return FormatFixed(value, 0);
    // The largest float has 39 digits before the point, the smallest 149 decimals: its exact
    // value, which every reader takes back.
    constexpr int kExactDecimals = 149;
    std::array<char, 200> buffer{};
    char* const first = buffer.data();
    char* end = std::to_chars(first, first + buffer.size(), value, std::chars_format::fixed).ptr;
    const auto readsBack = [&] { return reader(std::string_view(first, end)) == value; };
    if (!readsBack()) {
        const char* point = std::find(static_cast<const char*>(first), static_cast<const char*>(end), '.');
        const auto shortest = static_cast<int>(point == end ? 0 : end - point - 1);
        for (int decimals = shortest + 1; decimals <= kExactDecimals; ++decimals) {
            end = std::to_chars(first, first + buffer.size(), value, std::chars_format::fixed, decimals).ptr;
            if (readsBack())
                break;
        }
    }
    return std::string(first, end);
}

std::string ShortestFloatText(float value)
{
    return FloatTextReadBy(value, [](std::string_view text) -> std::optional<float> {
        double read = 0.0;
        if (!ParseDialogNumber(std::string(text), read))
            return std::nullopt;
        return static_cast<float>(read);
    });
}

std::int64_t TruncToInt64(double value)
{
    if (std::isnan(value))
        return 0;
    // 2^63 is exact as a double; everything below it converts without overflow.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

std::int32_t TruncToInt32(double value)
{
    const std::int64_t wide = TruncToInt64(value);
    if (wide > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (wide < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(wide);
}

std::int16_t TruncToInt16Bits(double value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(TruncToInt64(value) & 0xFFFF));
}

std::uint32_t TruncToUint32Bits(double value)
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(TruncToInt64(value)));
}

double ParseDigitsNumber(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    double accumulator = 0.0;
    std::size_t point = std::string_view::npos;
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.')
            point = i;
        else if (c >= '0' && c <= '9')
            accumulator = accumulator * 10.0 + (c - '0');
    }
    double divisor = 1.0;
    if (point != std::string_view::npos)
        for (std::size_t k = point + 1; k < text.size(); ++k)
            divisor *= 10.0;
    const double result = accumulator / divisor;
    return negative ? -result : result;
}
