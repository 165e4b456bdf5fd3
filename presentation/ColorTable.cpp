#include "presentation/ColorTable.h"

#include <array>
#include <cmath>

#include "platform/core/NumberText.h"

namespace {

std::array<int, 3> Channels(COLORREF colour)
{
    return {static_cast<int>(RedOf(colour)), static_cast<int>(GreenOf(colour)),
            static_cast<int>(BlueOf(colour))};
}

// Table edge of a cursor: its position times the entry count, truncated toward zero.
double Edge(const ColorCursor& cursor, float entries)
{
    return std::trunc(static_cast<double>(entries) * static_cast<double>(cursor.m_Position));
}

// An edge as a bound of a run of entries: within 0..entries.
std::size_t Bound(double edge, std::size_t entries)
{
    if (!(edge > 0.0))
        return 0;
    return edge >= static_cast<double>(entries) ? entries : static_cast<std::size_t>(edge);
}

// Entries [a, b) blend from `from` toward `to`; a and b are the unclamped edges, so a
// blend that starts or ends outside the table keeps its slope inside it.
void Blend(const ColorCursor& from, const ColorCursor& to, double a, double b,
           std::vector<COLORREF>& table)
{
    if (!(b > a))
        return;
    const std::array<int, 3> start = Channels(from.m_Color);
    const std::array<int, 3> end = Channels(to.m_Color);
    std::array<double, 3> slope{};
    for (std::size_t k = 0; k < 3; ++k)
        slope[k] = static_cast<double>(end[k] - start[k]) / (b - a);
    for (std::size_t i = Bound(a, table.size()); i < Bound(b, table.size()); ++i) {
        const double t = static_cast<double>(i) - a;
        std::array<unsigned, 3> channel{};
        for (std::size_t k = 0; k < 3; ++k)
            channel[k] = static_cast<unsigned>(start[k] + TruncToInt64(t * slope[k])) & 0xFFu;
        table[i] = MakeColor(channel[0], channel[1], channel[2]);
    }
}

} // namespace

void FillColorTable(const std::vector<ColorCursor>& cursors, std::size_t entries,
                    std::vector<COLORREF>& table)
{
    table.assign(entries, MakeColor(0, 0, 0));
    if (cursors.empty() || entries == 0)
        return;
    const float count = static_cast<float>(entries);
    double lastEdge = Edge(cursors.front(), count);
    for (std::size_t i = 0; i < Bound(lastEdge, entries); ++i)
        table[i] = cursors.front().m_Color;
    for (std::size_t k = 0; k + 1 < cursors.size(); ++k) {
        const double a = Edge(cursors[k], count);
        lastEdge = Edge(cursors[k + 1], count);
        Blend(cursors[k], cursors[k + 1], a, lastEdge, table);
    }
    for (std::size_t i = Bound(lastEdge, entries); i < entries; ++i)
        table[i] = cursors.back().m_Color;
}

std::size_t ClampedTableIndex(double index, std::size_t entries)
{
    if (!(index > 0.0))
        return 0;
    const double last = static_cast<double>(entries - 1);
    return index >= last ? entries - 1 : static_cast<std::size_t>(index);
}
