// Colours: the table of a palette against a direct reading of the fill rule, the "r,g,b"
// texts, and palettes in profile files (*.plt and the presentation file's cursor lists).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "presentation/ColorTable.h"
#include "presentation/IniConversions.h"
#include "presentation/PaletteFile.h"
#include "support/TestPaths.h"

namespace {

const COLORREF kBlack = MakeColor(0, 0, 0);
const COLORREF kWhite = MakeColor(255, 255, 255);

// Each entry decided on its own: below the first edge the first colour, within a pair's
// edges that pair's blend (later pairs over earlier ones), from the last edge the last colour.
std::vector<COLORREF> ReferenceTable(const std::vector<ColorCursor>& cursors, std::size_t entries)
{
    std::vector<COLORREF> table(entries, kBlack);
    auto edge = [&](const ColorCursor& c) { return std::trunc(static_cast<double>(static_cast<float>(entries)) * c.m_Position); };
    for (std::size_t i = 0; i < entries && !cursors.empty(); ++i) {
        const double at = static_cast<double>(i);
        if (at < edge(cursors.front()))
            table[i] = cursors.front().m_Color;
        for (std::size_t k = 0; k + 1 < cursors.size(); ++k) {
            const double a = edge(cursors[k]), b = edge(cursors[k + 1]);
            auto blend = [&](unsigned (*channel)(COLORREF)) {
                const int from = static_cast<int>(channel(cursors[k].m_Color)), to = static_cast<int>(channel(cursors[k + 1].m_Color));
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

std::vector<COLORREF> Fill(const std::vector<ColorCursor>& cursors, std::size_t entries = 300)
{
    std::vector<COLORREF> table;
    FillColorTable(cursors, entries, table);
    return table;
}

}  // namespace

TEST(ColorTable, KnownEntriesAndTheDirectRuleOnEdgeAndRandomPalettes)
{
    // Black to white never reaches white; red to blue ends a shade short of blue.
    EXPECT_EQ(Fill({{kBlack, 0.0f}, {kWhite, 1.0f}})[299], MakeColor(254, 254, 254));
    EXPECT_EQ(Fill({{MakeColor(255, 0, 0), 0.0f}, {MakeColor(0, 0, 255), 1.0f}})[150], MakeColor(128, 0, 127));
    EXPECT_EQ(Fill({{kBlack, -0.5f}, {kWhite, 1.0f}})[0], MakeColor(85, 85, 85));  // the slope stays
    EXPECT_EQ(Fill({}), std::vector<COLORREF>(300, kBlack));
    EXPECT_TRUE(Fill({{kWhite, 0.5f}}, 0).empty());
    // Positions outside 0..1, infinite and NaN ones, unsorted lists: nothing outside the table
    // is written.
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<std::vector<ColorCursor>> palettes = {
        {{MakeColor(9, 9, 9), 0.5f}, {kWhite, 1.0f}},
        {{kBlack, 0.0f}, {MakeColor(1, 2, 3), 0.5f}},
        {{kBlack, -1e30f}, {kWhite, 1e30f}},
        {{kBlack, -inf}, {MakeColor(1, 2, 3), 0.5f}, {kWhite, inf}},
        {{kBlack, std::numeric_limits<float>::quiet_NaN()}, {kWhite, 0.5f}},
        {{kWhite, 0.8f}, {kBlack, 0.2f}, {MakeColor(7, 7, 7), 3.0f}},
        {{kWhite, 5.0f}},
        {{kWhite, -5.0f}},
    };
    std::mt19937 random(5);
    std::uniform_real_distribution<float> position(-0.3f, 1.3f);
    for (int trial = 0; trial < 500; ++trial) {
        std::vector<ColorCursor> palette(1 + random() % 6);
        for (ColorCursor& cursor : palette)
            cursor = {static_cast<COLORREF>(random() & 0xFFFFFF), position(random)};
        if (trial % 2 == 0)
            std::sort(palette.begin(), palette.end(), [](auto& a, auto& b) { return a.m_Position < b.m_Position; });
        palettes.push_back(palette);
    }
    for (std::size_t i = 0; i < palettes.size(); ++i) {
        const std::size_t entries = i % 3 == 0 ? 3000 : 300;
        ASSERT_EQ(Fill(palettes[i], entries), ReferenceTable(palettes[i], entries)) << "palette " << i;
    }
    const std::pair<double, std::size_t> indices[] = {
        {5.7, 5}, {-3.0, 0}, {299.9, 299}, {1e300, 299}, {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& [index, entry] : indices)
        EXPECT_EQ(ClampedTableIndex(index, 300), entry) << index;
}

TEST(IniColor, KnownAnswersAndRoundTrip)
{
    const std::pair<const char*, COLORREF> cases[] = {
        {"200,100,50", 200u + 100u * 256u + 50u * 65536u},
        {"10,20", MakeColor(10, 0, 20)},  // no second comma: green empty, blue the rest
        {"16777215", kWhite},
        {",,", 0u},
        {"256,0,0", MakeColor(0, 1, 0)},  // components above 255 spill into the next one
        // What spills past blue is dropped: the top byte stays 0.
        {"0,0,256", 0u},
        {",999", (999u << 16) & 0xFFFFFFu},
        {"16777217", 1u},
        {"0000000001,2,3", 123u},         // a first comma at position 10 or later: one number
        {"000000001,2,3", MakeColor(1, 2, 3)},
        {"1,2,3,4", MakeColor(1, 2, 34)},
    };
    for (const auto& [text, colour] : cases)
        EXPECT_EQ(ParseIniColor(text), colour) << '"' << text << '"';
    EXPECT_EQ(FormatIniColor(0xFF000000u | MakeColor(1, 2, 3)), "1,2,3");
    std::mt19937 random(3);
    for (int i = 0; i < 1000; ++i) {
        const COLORREF colour = random() & 0xFFFFFFu;
        ASSERT_EQ(ParseIniColor(FormatIniColor(colour)), colour);
    }
}

TEST(PaletteFile, ExactTextAndRoundTripBehindStaleKeysOfALongerPalette)
{
    ScratchDir dir;
    const std::string path = (dir / "p.plt").string();
    ASSERT_TRUE(WritePaletteFile(path, {{kBlack, 0.0f}, {MakeColor(255, 128, 1), 0.333f}}));
    EXPECT_EQ(FileText(path), "[Introduction]\r\nVer=1.1\r\n[ColorCursor]\r\nNofCursor=2\r\n"
                              "Position[0]=0.00\r\nColor[0]=0,0,0\r\nPosition[1]=0.333\r\nColor[1]=255,128,1\r\n");
    EXPECT_FALSE(WritePaletteFile((dir / "missing" / "p.plt").string(), {}));
    std::mt19937 random(21);
    std::vector<ColorCursor> longer(7);
    for (ColorCursor& cursor : longer)
        cursor = {static_cast<COLORREF>(random() & 0xFFFFFF), std::uniform_real_distribution<float>(0.0f, 1.0f)(random)};
    ASSERT_TRUE(WritePaletteFile(path, longer));
    const std::vector<ColorCursor> shorter(longer.begin(), longer.begin() + 3);
    ASSERT_TRUE(WritePaletteFile(path, shorter));
    EXPECT_FALSE(ProfileFile::Load(path).GetString("ColorCursor", "Position[6]").empty());
    std::vector<ColorCursor> read = {{1, 0.5f}};
    EXPECT_EQ(ReadPaletteFile(path, read), FileReadResult::Read);
    ASSERT_EQ(read.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read[i].m_Color, shorter[i].m_Color);
        EXPECT_EQ(read[i].m_Position, shorter[i].m_Position);
    }
}

TEST(PaletteFile, CountAndMissingValueRules)
{
    const std::vector<ColorCursor> current = {{MakeColor(5, 5, 5), 0.1f}, {MakeColor(6, 6, 6), 0.9f}};
    const std::pair<const char*, std::vector<ColorCursor>> cases[] = {
        // Without a count of 1 to 1000 the palette stays.
        {"NofCursor=0\r\nPosition[0]=0.5\r\n", current},
        {"Position[0]=0.5\r\n", current},
        {"NofCursor=-3\r\n", current},
        {"NofCursor=1001\r\n", current},
        // Absent positions read as 0, absent colours as black; an empty value keeps the
        // previous cursor's (0 and black for the first); file order, not sorted; the count
        // truncated.
        {"NofCursor=3\r\nPosition[0]=0.4\r\nColor[0]=9,9,9\r\nColor[1]=\r\nPosition[2]=0.9\r\nColor[2]=1,2,3\r\n",
         {{MakeColor(9, 9, 9), 0.4f}, {MakeColor(9, 9, 9), 0.0f}, {MakeColor(1, 2, 3), 0.9f}}},
        {"NofCursor=3\r\nPosition[0]=\r\nColor[0]=  \r\nPosition[1]=0.6\r\nColor[1]=4,5,6\r\n"
         "Position[2]=\r\n",
         {{0, 0.0f}, {MakeColor(4, 5, 6), 0.6f}, {0, 0.6f}}},
        {"NofCursor=1.7\r\nPosition[0]=0.9\r\nColor[0]=7,8,9\r\n", {{MakeColor(7, 8, 9), 0.9f}}},
    };
    ScratchDir dir;
    for (const auto& [section, expected] : cases) {
        WriteFile(dir / "c.plt", std::string("[ColorCursor]\r\n") + section);
        std::vector<ColorCursor> read = current;
        EXPECT_EQ(ReadPaletteFile((dir / "c.plt").string(), read), FileReadResult::Read);
        EXPECT_EQ(read, expected) << section;
    }
    std::vector<ColorCursor> read = current;
    EXPECT_EQ(ReadPaletteFile((dir / "none.plt").string(), read), FileReadResult::Missing);
    EXPECT_EQ(read, current);
}
