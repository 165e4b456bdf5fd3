// The colour table of a palette: known answers and a comparison with a direct reading of
// the fill rule over edge and random palettes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "presentation/ColorTable.h"

namespace {

constexpr std::size_t kBins = 300;
const COLORREF kBlack = MakeColor(0, 0, 0);
const COLORREF kWhite = MakeColor(255, 255, 255);

constexpr COLORREF Grey(unsigned level) { return MakeColor(level, level, level); }

// Each entry decided on its own: below the first edge the first colour, within a pair's
// edges that pair's blend (later pairs over earlier ones), from the last edge the last colour.
std::vector<COLORREF> ReferenceTable(const std::vector<ColorCursor>& cursors, std::size_t entries)
{
    std::vector<COLORREF> table(entries, kBlack);
    auto edge = [&](const ColorCursor& c) {
        return std::trunc(static_cast<double>(static_cast<float>(entries)) * c.m_Position);
    };
    for (std::size_t i = 0; i < entries && !cursors.empty(); ++i) {
        const double at = static_cast<double>(i);
        if (at < edge(cursors.front()))
            table[i] = cursors.front().m_Color;
        for (std::size_t k = 0; k + 1 < cursors.size(); ++k) {
            const double a = edge(cursors[k]);
            const double b = edge(cursors[k + 1]);
            auto blend = [&](unsigned (*channel)(COLORREF)) {
                const int from = static_cast<int>(channel(cursors[k].m_Color));
                const int to = static_cast<int>(channel(cursors[k + 1].m_Color));
                return static_cast<unsigned>(from + static_cast<long long>((at - a) * ((to - from) / (b - a))));
            };
            if (a <= at && at < b)
                table[i] = MakeColor(blend(RedOf), blend(GreenOf), blend(BlueOf));
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

TEST(ColorTable, KnownEntries)
{
    const struct {
        std::vector<ColorCursor> palette;
        std::vector<std::pair<std::size_t, COLORREF>> entries;
    } cases[] = {
        // Black to white never reaches white; red to blue ends a shade short of blue.
        {{{kBlack, 0.0f}, {kWhite, 1.0f}}, {{0, kBlack}, {150, Grey(127)}, {299, Grey(254)}}},
        {{{MakeColor(255, 0, 0), 0.0f}, {MakeColor(0, 0, 255), 1.0f}},
         {{0, MakeColor(255, 0, 0)}, {150, MakeColor(128, 0, 127)}, {299, MakeColor(1, 0, 254)}}},
        // Cursors inside the range fill the ends with their colours.
        {{{Grey(9), 0.5f}, {kWhite, 1.0f}}, {{0, Grey(9)}, {150, Grey(9)}, {151, Grey(10)}}},
        {{{kBlack, 0.0f}, {MakeColor(1, 2, 3), 0.5f}},
         {{149, MakeColor(0, 1, 2)}, {150, MakeColor(1, 2, 3)}, {299, MakeColor(1, 2, 3)}}},
        {{{MakeColor(5, 6, 7), 0.5f}}, {{0, MakeColor(5, 6, 7)}, {299, MakeColor(5, 6, 7)}}},
        // Half of this blend lies inside the table: its slope stays.
        {{{kBlack, -0.5f}, {kWhite, 1.0f}}, {{0, Grey(85)}}},
    };
    for (const auto& c : cases) {
        const std::vector<COLORREF> table = Fill(c.palette);
        for (const auto& [entry, colour] : c.entries)
            EXPECT_EQ(table[entry], colour) << "entry " << entry << " of a palette from " << c.palette[0].m_Position;
    }
    EXPECT_EQ(Fill({}), std::vector<COLORREF>(kBins, kBlack));
    EXPECT_TRUE(Fill({{kWhite, 0.5f}}, 0).empty());
}

TEST(ColorTable, MatchesTheDirectRuleOnEdgeAndRandomPalettes)
{
    // Positions outside 0..1, infinite and NaN ones, unsorted lists: nothing outside the
    // table is written.
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<std::vector<ColorCursor>> palettes = {
        {{kBlack, 0.5f}, {kWhite, 1.0f}},
        {{kBlack, 0.0f}, {kWhite, 1.7f}},
        {{kBlack, -1e30f}, {kWhite, 1e30f}},
        {{kBlack, -inf}, {MakeColor(1, 2, 3), 0.5f}, {kWhite, inf}},
        {{kBlack, std::numeric_limits<float>::quiet_NaN()}, {kWhite, 0.5f}},
        {{kWhite, 0.8f}, {kBlack, 0.2f}, {MakeColor(7, 7, 7), 3.0f}},
        {{kWhite, 5.0f}},
        {{kWhite, -5.0f}},
    };
    for (std::size_t i = 0; i < palettes.size(); ++i)
        EXPECT_EQ(Fill(palettes[i]), ReferenceTable(palettes[i], kBins)) << "palette " << i;
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
    const std::pair<double, std::size_t> cases[] = {
        {5.7, 5}, {-3.0, 0}, {299.9, 299}, {1e300, 299}, {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& [index, entry] : cases)
        EXPECT_EQ(ClampedTableIndex(index, 300), entry) << index;
    EXPECT_EQ(ClampedTableIndex(0.5, 1), 0u);
}
