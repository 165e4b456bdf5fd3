// The colour table of a palette: worked examples and a comparison with a direct reading of
// the fill rule over random palettes, positions outside 0..1 included.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "presentation/ColorTable.h"

namespace {

constexpr std::size_t kBins = 300;
const COLORREF kBlack = MakeColor(0, 0, 0);
const COLORREF kWhite = MakeColor(255, 255, 255);

// Each entry decided on its own: below the first edge the first colour, within a pair's
// edges that pair's blend (later pairs over earlier ones), from the last edge the last colour.
std::vector<COLORREF> ReferenceTable(const std::vector<ColorCursor>& cursors, std::size_t entries)
{
    std::vector<COLORREF> table(entries, kBlack);
    if (cursors.empty())
        return table;
    auto edge = [&](const ColorCursor& c) {
        return std::trunc(static_cast<double>(static_cast<float>(entries)) * c.m_Position);
    };
    for (std::size_t i = 0; i < entries; ++i) {
        const double at = static_cast<double>(i);
        if (at < edge(cursors.front()))
            table[i] = cursors.front().m_Color;
        for (std::size_t k = 0; k + 1 < cursors.size(); ++k) {
            const double a = edge(cursors[k]);
            const double b = edge(cursors[k + 1]);
            if (!(a <= at && at < b))
                continue;
            unsigned channels[3];
            for (unsigned shift = 0, n = 0; n < 3; ++n, shift += 8) {
                const int from = static_cast<int>((cursors[k].m_Color >> shift) & 0xFF);
                const int to = static_cast<int>((cursors[k + 1].m_Color >> shift) & 0xFF);
                const double step = (to - from) / (b - a);
                channels[n] = static_cast<unsigned>(from + static_cast<long long>((at - a) * step)) & 0xFF;
            }
            table[i] = MakeColor(channels[0], channels[1], channels[2]);
        }
        if (at >= edge(cursors.back()))
            table[i] = cursors.back().m_Color;
    }
    return table;
}

std::vector<COLORREF> Fill(const std::vector<ColorCursor>& cursors, std::size_t entries = kBins)
{
    std::vector<COLORREF> table;
    FillColorTable(cursors, entries, table);
    EXPECT_EQ(table.size(), entries);
    return table;
}

} // namespace

TEST(ColorTable, BlackToWhiteNeverReachesWhite)
{
    const std::vector<COLORREF> table = Fill({{kBlack, 0.0f}, {kWhite, 1.0f}});
    for (std::size_t i = 0; i < kBins; ++i) {
        const unsigned grey = static_cast<unsigned>(static_cast<double>(i) * (255.0 / 300.0));
        ASSERT_EQ(table[i], MakeColor(grey, grey, grey)) << i;
    }
    EXPECT_EQ(table.front(), kBlack);
    EXPECT_EQ(table.back(), MakeColor(254, 254, 254));
}

TEST(ColorTable, RedToBlueEndsAShadeShortOfBlue)
{
    const std::vector<COLORREF> table = Fill({{MakeColor(255, 0, 0), 0.0f}, {MakeColor(0, 0, 255), 1.0f}});
    EXPECT_EQ(table.front(), MakeColor(255, 0, 0));
    EXPECT_EQ(table[150], MakeColor(128, 0, 127));
    EXPECT_EQ(table.back(), MakeColor(1, 0, 254));
}

TEST(ColorTable, CursorsInsideTheRangeFillTheEndsWithTheirColours)
{
    const std::vector<COLORREF> firstAtHalf = Fill({{MakeColor(9, 9, 9), 0.5f}, {kWhite, 1.0f}});
    for (std::size_t i = 0; i < 150; ++i)
        ASSERT_EQ(firstAtHalf[i], MakeColor(9, 9, 9)) << i;
    EXPECT_NE(firstAtHalf[151], MakeColor(9, 9, 9));

    const std::vector<COLORREF> lastAtHalf = Fill({{kBlack, 0.0f}, {MakeColor(1, 2, 3), 0.5f}});
    for (std::size_t i = 150; i < kBins; ++i)
        ASSERT_EQ(lastAtHalf[i], MakeColor(1, 2, 3)) << i;
    EXPECT_EQ(lastAtHalf[149], MakeColor(0, 1, 2));

    EXPECT_EQ(Fill({{MakeColor(5, 6, 7), 0.5f}}), std::vector<COLORREF>(kBins, MakeColor(5, 6, 7)));
}

TEST(ColorTable, EmptyPaletteIsBlack)
{
    EXPECT_EQ(Fill({}), std::vector<COLORREF>(kBins, kBlack));
    EXPECT_TRUE(Fill({{kWhite, 0.5f}}, 0).empty());
}

TEST(ColorTable, PositionsOutsideTheRangeStayInsideTheTable)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::vector<ColorCursor>> palettes = {
        {{kBlack, -0.5f}, {kWhite, 1.0f}},
        {{kBlack, 0.0f}, {kWhite, 1.7f}},
        {{kBlack, -1e30f}, {kWhite, 1e30f}},
        {{kBlack, -inf}, {MakeColor(1, 2, 3), 0.5f}, {kWhite, inf}},
        {{kBlack, nan}, {kWhite, 0.5f}},
        {{kWhite, 0.8f}, {kBlack, 0.2f}, {MakeColor(7, 7, 7), 3.0f}},
        {{kWhite, 5.0f}},
        {{kWhite, -5.0f}},
    };
    for (const auto& palette : palettes) {
        SCOPED_TRACE(palette.front().m_Position);
        EXPECT_EQ(Fill(palette), ReferenceTable(palette, kBins));
    }
    // Half of the black-to-white blend from -0.5 to 1 lies inside the table: its slope stays.
    const std::vector<COLORREF> half = Fill({{kBlack, -0.5f}, {kWhite, 1.0f}});
    EXPECT_EQ(half.front(), MakeColor(85, 85, 85));
}

TEST(ColorTable, MatchesTheDirectRuleOnRandomPalettes)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<float> position(-0.3f, 1.3f);
    for (int trial = 0; trial < 500; ++trial) {
        std::vector<ColorCursor> palette(1 + random() % 6);
        for (ColorCursor& cursor : palette)
            cursor = {static_cast<COLORREF>(random() & 0xFFFFFF), position(random)};
        if (trial % 2 == 0)
            std::sort(palette.begin(), palette.end(),
                      [](const ColorCursor& a, const ColorCursor& b) { return a.m_Position < b.m_Position; });
        const std::size_t entries = trial % 3 == 0 ? 3000 : kBins;
        ASSERT_EQ(Fill(palette, entries), ReferenceTable(palette, entries)) << trial;
    }
}

TEST(ColorTable, IndicesAreTruncatedAndClamped)
{
    EXPECT_EQ(ClampedTableIndex(5.7, 300), 5u);
    EXPECT_EQ(ClampedTableIndex(-3.0, 300), 0u);
    EXPECT_EQ(ClampedTableIndex(299.9, 300), 299u);
    EXPECT_EQ(ClampedTableIndex(1e300, 300), 299u);
    EXPECT_EQ(ClampedTableIndex(std::numeric_limits<double>::quiet_NaN(), 300), 0u);
    EXPECT_EQ(ClampedTableIndex(0.5, 1), 0u);
}
