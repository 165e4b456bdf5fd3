// A palette point; palettes are lists of them, kept in *.cnf and *.plt files.
#pragma once

#include "image/Color.h"

// One palette point: position 0 stands for the lowest height of the colour image's range,
// 1 for the highest. Positions read from files are kept as they are, even outside 0..1.
struct ColorCursor {
    COLORREF m_Color = 0;
    float m_Position = 0.0f;

    friend bool operator==(const ColorCursor&, const ColorCursor&) = default;
};
