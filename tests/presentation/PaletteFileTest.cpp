// Palette files (*.plt): the exact text, round trips, stale keys of longer palettes, and the
// rules for list counts and missing values that presentation files share.
#include <gtest/gtest.h>

#include <random>

#include "presentation/PaletteFile.h"
#include "support/TestPaths.h"
#include "tests/presentation/TestFiles.h"

TEST(PaletteFile, WriterProducesTheExactText)
{
    ScratchDir dir;
    const std::vector<ColorCursor> palette = {
        {MakeColor(0, 0, 0), 0.0f}, {MakeColor(255, 128, 1), 0.333f}, {MakeColor(255, 255, 255), 1.0f}};
    ASSERT_TRUE(WritePaletteFile((dir / "p.plt").string(), palette));
    EXPECT_EQ(ReadBytes(dir / "p.plt"),
              "[Introduction]\r\nVer=1.1\r\n[ColorCursor]\r\nNofCursor=3\r\n"
              "Position[0]=0.00\r\nColor[0]=0,0,0\r\nPosition[1]=0.33\r\nColor[1]=255,128,1\r\n"
              "Position[2]=1.00\r\nColor[2]=255,255,255\r\n");
    EXPECT_FALSE(WritePaletteFile((dir / "missing" / "p.plt").string(), palette));
}

TEST(PaletteFile, RoundTripWithStaleKeysBehindAShorterPalette)
{
    ScratchDir dir;
    const std::string path = (dir / "p.plt").string();
    std::mt19937 random(21);
    std::vector<ColorCursor> longer(7);
    for (ColorCursor& cursor : longer)
        cursor = {static_cast<COLORREF>(random() & 0xFFFFFF),
                  std::uniform_real_distribution<float>(0.0f, 1.0f)(random)};
    ASSERT_TRUE(WritePaletteFile(path, longer));
    const std::vector<ColorCursor> shorter(longer.begin(), longer.begin() + 3);
    ASSERT_TRUE(WritePaletteFile(path, shorter));

    const ProfileFile profile = ProfileFile::Load(path);
    EXPECT_EQ(profile.GetString("ColorCursor", "NofCursor"), "3");
    EXPECT_FALSE(profile.GetString("ColorCursor", "Position[6]").empty());
    std::vector<ColorCursor> read = {{1, 0.5f}};
    EXPECT_EQ(ReadPaletteFile(path, read), FileReadResult::Read);
    ASSERT_EQ(read.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read[i].m_Color, shorter[i].m_Color);
        EXPECT_NEAR(read[i].m_Position, shorter[i].m_Position, 0.005 + 1e-6);
    }
}

TEST(PaletteFile, CountAndMissingValueRules)
{
    const std::vector<ColorCursor> current = {{MakeColor(5, 5, 5), 0.1f}, {MakeColor(6, 6, 6), 0.9f}};
    const struct {
        const char* section;
        std::vector<ColorCursor> read;
    } cases[] = {
        // Without a count of 1 to 1000 the palette stays.
        {"NofCursor=0\r\nPosition[0]=0.5\r\n", current},
        {"Position[0]=0.5\r\n", current},
        {"NofCursor=\r\nPosition[0]=0.5\r\n", current},
        {"NofCursor=-3\r\n", current},
        {"NofCursor=99999999\r\n", current},
        // Absent or empty positions read as 0, colours as black; file order, not sorted; the
        // count truncated.
        {"NofCursor=3\r\nPosition[0]=0.4\r\nColor[0]=9,9,9\r\nColor[1]=\r\nPosition[2]=0.9\r\n"
         "Color[2]=1,2,3\r\n",
         {{MakeColor(9, 9, 9), 0.4f}, {0, 0.0f}, {MakeColor(1, 2, 3), 0.9f}}},
        {"NofCursor=2.7\r\nPosition[0]=0.9\r\nColor[0]=\r\nPosition[1]=\r\nColor[1]=0\r\n",
         {{0, 0.9f}, {0, 0.0f}}},
    };
    ScratchDir dir;
    const std::string path = (dir / "c.plt").string();
    for (const auto& c : cases) {
        WriteBytes(path, std::string("[ColorCursor]\r\n") + c.section);
        std::vector<ColorCursor> read = current;
        EXPECT_EQ(ReadPaletteFile(path, read), FileReadResult::Read);
        EXPECT_EQ(read, c.read) << c.section;
    }
    std::vector<ColorCursor> read = current;
    EXPECT_EQ(ReadPaletteFile((dir / "none.plt").string(), read), FileReadResult::Missing);
    EXPECT_EQ(read, current);
}
