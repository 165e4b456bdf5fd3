// The number and colour conversions of every profile file of the program (*.cnf, *.plt,
// *.flt). They keep the forms earlier files were written in: numbers with "." whatever the
// locale, colours as red, green and blue decimals joined by commas.
#pragma once

#include <string>
#include <string_view>

#include "presentation/PresentationConfig.h"

// Digits accumulate in a 32-bit float, a leading "-" negates, the last "." is the decimal
// point and every character after it counts as a decimal place; other characters are
// skipped, so a text without digits gives 0.
double ParseIniNumber(std::string_view text);

// "red,green,blue" (a missing second comma leaves green empty and blue the rest); a text
// whose first comma is missing or stands at position 10 or later is one number, the whole
// colour. Components are not limited to 255: a larger one spills into the next.
COLORREF ParseIniColor(std::string_view text);

// "red,green,blue" of the colour's low three bytes, e.g. "255,255,255".
std::string FormatIniColor(COLORREF colour);
