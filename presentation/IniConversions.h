// The number and colour conversions of every profile file of the program (*.cnf, *.plt,
// *.flt). Numbers write with FormatFixed (platform/core/NumberText.h); colours are red, green
// and blue decimals joined by commas, as earlier files were written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "image/Color.h"
#include "platform/core/NumberText.h"

// A profile value as a number: the same loose reading as image headers use.
inline double ParseIniNumber(std::string_view text)
{
    return ParseDigitsNumber(text);
}

// A profile value for a single-precision field: nothing when it lies beyond what a float
// holds, so that the field keeps a value it can use instead of turning infinite.
std::optional<float> ParseIniFloat(std::string_view text);
// A profile value for a 16-bit field: truncated toward zero and held at the type's limits.
std::int16_t ParseIniInt16(std::string_view text);
// A number for a single-precision field, held at the float range's ends (a NaN gives 0).
float SaturateToFloat(double value);

// A single-precision field as the profile files keep it: two decimals, as they always were,
// where those read back as the field through ParseIniFloat; else the shortest text that does,
// so that a save never changes a value the user set (a light intensity of 0.125, a palette
// cursor dragged).
std::string FormatIniFloat(float value);

// "red,green,blue" (a missing second comma leaves green empty and blue the rest); a text
// whose first comma is missing or stands at position 10 or later is one number, the whole
// colour. Components are not limited to 255: a larger one spills into the next, and what
// spills past blue is dropped, so the top byte is always 0.
COLORREF ParseIniColor(std::string_view text);

// "red,green,blue" of the colour's low three bytes, e.g. "255,255,255".
std::string FormatIniColor(COLORREF colour);
