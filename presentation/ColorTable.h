// The colour table of a palette: one colour per histogram bin of the colour-source image,
// entry 0 for the lowest height. Views rebuild it from the palette before they colour a
// surface.
#pragma once

#include <cstddef>
#include <vector>

#include "presentation/ColorCursor.h"

// Fills `table` with `entries` colours: below the first cursor its colour, between
// neighbouring cursors a linear blend with truncated channels, from the last cursor on its
// colour. Cursor positions outside 0..1 only move the blends; nothing outside the table is
// written. An empty palette gives an all-black table.
void FillColorTable(const std::vector<ColorCursor>& cursors, std::size_t entries,
                    std::vector<COLORREF>& table);

// The entry of a table of `entries` colours for a fractional index: truncated toward zero
// and clamped into the table (NaN gives 0). `entries` must be at least 1.
std::size_t ClampedTableIndex(double index, std::size_t entries);
