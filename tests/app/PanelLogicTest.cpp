// The palette panel's pictures: the colour bands with entry 0 at the bottom, the histogram
// over them, and a mark per cursor on the strip.
#include <gtest/gtest.h>

#include "app/panels/PalettePicture.h"
#include "image/SpmImage.h"

constexpr COLORREF kRed = MakeColor(255, 0, 0);
constexpr COLORREF kBlue = MakeColor(0, 0, 255);

TEST(PalettePicture, BandsRunFromTheLowestEntryAtTheBottom)
{
    CSpmImage image;
    image.m_nBins = 4;
    image.m_pHistogram = {0, 0, 0, 0};
    CPresentationConfig record;
    record.m_ColorCursors = {{kRed, 0.0f}, {kBlue, 1.0f}};
    record.m_pColorTable = {kRed, kRed, kBlue, kBlue};
    const PaletteFonts fonts;
    // A 200 x 260 area: the bar spans x 0..100, y 30..230, 50 pixels per entry.
    const QImage bar = DrawPaletteBar({200, 260}, fonts, image, record, "Height_01");
    EXPECT_EQ(bar.pixel(50, 220), qRgb(255, 0, 0));
    EXPECT_EQ(bar.pixel(50, 140), qRgb(255, 0, 0));
    EXPECT_EQ(bar.pixel(50, 120), qRgb(0, 0, 255));
    EXPECT_EQ(bar.pixel(50, 40), qRgb(0, 0, 255));
    EXPECT_EQ(bar.pixel(150, 240), qRgb(255, 255, 255));
    EXPECT_EQ(bar.pixel(0, 100), qRgb(0, 0, 0));  // the frame round the bar
    // With fewer than two cursors no bands are drawn.
    record.m_ColorCursors.pop_back();
    EXPECT_EQ(DrawPaletteBar({200, 260}, fonts, image, record, "").pixel(50, 120), qRgb(255, 255, 255));
}

TEST(PalettePicture, HistogramReachesTowardsTheBarsLeftForTheLargestBin)
{
    CSpmImage image;
    image.m_nBins = 4;
    image.m_pHistogram = {0, 8, 0, 0};
    image.m_nBinCountMax = 8;
    const QImage bar = DrawPaletteBar({200, 260}, {}, image, CPresentationConfig(), "");
    // Bin 1 at y = 230 - 50 lies at x = 100 - 90 - 5 = 5.
    EXPECT_EQ(bar.pixel(5, 180), qRgb(0, 0, 255));
    EXPECT_EQ(bar.pixel(50, 230 - 150), qRgb(255, 255, 255));
}

TEST(PalettePicture, StripMarksSitAtTheirPositions)
{
    const std::vector<ColorCursor> cursors = {{kRed, 0.25f}, {kBlue, 0.75f}};
    const QImage strip = DrawCursorStrip({20, 200}, cursors);
    // Marks of half the strip width (5 pixels each way) round y = 150 and y = 50.
    EXPECT_EQ(strip.pixel(10, 150), qRgb(255, 0, 0));
    EXPECT_EQ(strip.pixel(10, 50), qRgb(0, 0, 255));
    EXPECT_EQ(strip.pixel(0, 150), qRgb(0, 0, 0));
    EXPECT_EQ(strip.pixel(10, 100), qRgb(200, 200, 200));
}
