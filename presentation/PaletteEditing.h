// What the palette panel does to a palette with the mouse: positions on its cursor strip,
// picking a cursor, dragging it between its neighbours, and the cursor menu's commands.
// Positions the panel writes stay within 0..1 even when a file gave cursors outside.
#pragma once

#include <cstddef>
#include <vector>

#include "presentation/PresentationConfig.h"

// Commands of the cursor menu.
enum PaletteCommand : int {
    kCmdAddCursor = 32900,
    kCmdDelCursor = 32901,
    kCmdChangeColor = 32902,
};

// Closest a dragged cursor comes to its neighbours (and to 0 and 1).
inline constexpr double kCursorGap = 0.01;

// The palette position of a point `y` pixels down the panel, on a strip whose client area
// starts at `stripTop` and is `stripHeight` high: 1 at the top, 0 at the bottom, clamped.
double StripPosition(int y, int stripTop, int stripHeight);
// Half the height of a cursor mark as a palette position.
double PickTolerance(int markHalf, int stripHeight);

// The last cursor within `tolerance` of `position` (strictly); cursors.size() when none.
std::size_t PickCursor(const std::vector<ColorCursor>& cursors, double position, double tolerance);

// Moves cursor `selected` to `position`, kept kCursorGap inside its neighbours (or 0 and 1
// for the end cursors) and within 0..1. Neighbours closer than two gaps leave it where it
// is. False when `selected` names no cursor.
bool DragCursor(std::vector<ColorCursor>& cursors, std::size_t selected, double position);

// The popup menu of a right click: Del Cursor and Change Color when a cursor lies under the
// click (the last one is selected), else Add Cursor with no cursor selected.
struct CursorMenu {
    std::vector<PaletteCommand> commands;
    std::size_t selected = 0;
};
CursorMenu BuildCursorMenu(const std::vector<ColorCursor>& cursors, double position,
                           double tolerance);

// Where Add Cursor puts a cursor at `position`: before the first cursor above it.
std::size_t AddCursorIndex(const std::vector<ColorCursor>& cursors, double position);
// The colour the colour dialog of Add Cursor starts with: that cursor's colour, else the
// last cursor's, black for an empty palette.
COLORREF AddCursorColor(const std::vector<ColorCursor>& cursors, double position);
void AddCursor(std::vector<ColorCursor>& cursors, double position, COLORREF colour);
