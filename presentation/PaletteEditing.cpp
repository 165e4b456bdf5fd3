#include "presentation/PaletteEditing.h"

#include <algorithm>

double StripPosition(int y, int stripTop, int stripHeight)
{
    if (stripHeight <= 0)
        return 0.0;
    const double position = static_cast<double>(stripHeight - y + stripTop) / stripHeight;
    return std::clamp(position, 0.0, 1.0);
}

double PickTolerance(int markHalf, int stripHeight)
{
    return stripHeight > 0 ? static_cast<double>(markHalf) / stripHeight : 0.0;
}

std::size_t PickCursor(const std::vector<ColorCursor>& cursors, double position, double tolerance)
{
    std::size_t picked = cursors.size();
    for (std::size_t i = 0; i < cursors.size(); ++i) {
        const double at = cursors[i].m_Position;
        if (at - tolerance < position && position < at + tolerance)
            picked = i;
    }
    return picked;
}

bool DragCursor(std::vector<ColorCursor>& cursors, std::size_t selected, double position)
{
    if (selected >= cursors.size())
        return false;
    const double upper =
        (selected + 1 < cursors.size() ? cursors[selected + 1].m_Position : 1.0) - kCursorGap;
    const double lower = (selected > 0 ? cursors[selected - 1].m_Position : 0.0) + kCursorGap;
    if (lower <= upper)
        position = std::max(std::min(position, upper), lower);
    else
        position = cursors[selected].m_Position;
    cursors[selected].m_Position = static_cast<float>(std::clamp(position, 0.0, 1.0));
    return true;
}

CursorMenu BuildCursorMenu(const std::vector<ColorCursor>& cursors, double position,
                           double tolerance)
{
    CursorMenu menu;
    menu.selected = PickCursor(cursors, position, tolerance);
    if (menu.selected < cursors.size())
        menu.commands = {kCmdDelCursor, kCmdChangeColor};
    else
        menu.commands = {kCmdAddCursor};
    return menu;
}

std::size_t AddCursorIndex(const std::vector<ColorCursor>& cursors, double position)
{
    const auto above = std::find_if(cursors.begin(), cursors.end(), [&](const ColorCursor& c) {
        return c.m_Position > position;
    });
    return static_cast<std::size_t>(above - cursors.begin());
}

COLORREF AddCursorColor(const std::vector<ColorCursor>& cursors, double position)
{
    const std::size_t at = AddCursorIndex(cursors, position);
    if (at < cursors.size())
        return cursors[at].m_Color;
    return cursors.empty() ? MakeColor(0, 0, 0) : cursors.back().m_Color;
}

void AddCursor(std::vector<ColorCursor>& cursors, double position, COLORREF colour)
{
    const std::size_t at = AddCursorIndex(cursors, position);
    const ColorCursor cursor{colour, static_cast<float>(std::clamp(position, 0.0, 1.0))};
    cursors.insert(cursors.begin() + static_cast<std::ptrdiff_t>(at), cursor);
}
