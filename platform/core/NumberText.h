// Number conversions that neither depend on the C locale nor invoke undefined behaviour:
// text files written on one machine must read the same on any other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The value as printf's "%.<decimals>f" writes it in the "C" locale, whatever the current
// locale says (a point, never a comma).
std::string FormatFixed(double value, int decimals);

// One of the program's ways of reading a text into a float field; none for a text it takes
// no value from.
using FloatReader = std::optional<float> (*)(std::string_view text);
// The shortest text in fixed notation that a float reader takes back as `value` (12.55f
// gives "12.55", not the digits of the double it widens to), checked against `reader`: the
// program's readers read a double and round that to float, so where that text (which may lie
// next to the middle between two floats) gives a neighbour, the value is written with as few
// decimals more as `reader` takes back. Infinities and NaN as FormatFixed writes them.
std::string FloatTextReadBy(float value, FloatReader reader);
// The same for the text of an edit, which the panels and dialogs read as ParseDialogNumber
// does (platform/core/Prompt.h) and keep as a float.
std::string ShortestFloatText(float value);

// The value truncated toward zero; NaN gives 0 and values beyond the type's range give its
// nearest limit.
std::int64_t TruncToInt64(double value);
std::int32_t TruncToInt32(double value);
// The low 16 bits of the value truncated toward zero (as a 16-bit field stores it).
std::int16_t TruncToInt16Bits(double value);
// The value truncated toward zero, taken modulo 2^32 (as a 32-bit colour stores it).
std::uint32_t TruncToUint32Bits(double value);

// The number in a loosely written text, as every file of the program reads them: a leading
// minus sign, the digits anywhere in the text, the last point as the decimal point; every
// other character is skipped ("a1b2" reads 12), but every character after the last point
// counts as a decimal place ("1.5 nm" reads 0.0015), so callers cut units and blanks off
// first. The digits accumulate in double precision, so up to 15 significant digits convert
// exactly.
double ParseDigitsNumber(std::string_view text);
