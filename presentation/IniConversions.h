// The colour conversions of every profile file of the program (*.cnf, *.plt, *.flt): red,
// green and blue decimals joined by commas, as earlier files were written. Numbers in these
// files read with ParseDigitsNumber and write with FormatFixed (platform/core/NumberText.h).
#pragma once

#include <string>
#include <string_view>

#include "presentation/PresentationConfig.h"

// "red,green,blue" (a missing second comma leaves green empty and blue the rest); a text
// whose first comma is missing or stands at position 10 or later is one number, the whole
// colour. Components are not limited to 255: a larger one spills into the next.
COLORREF ParseIniColor(std::string_view text);

// "red,green,blue" of the colour's low three bytes, e.g. "255,255,255".
std::string FormatIniColor(COLORREF colour);
