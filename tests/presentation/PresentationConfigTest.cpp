// Defaults of new records, their palettes, the light position and the settings loader.
#include <gtest/gtest.h>

#include "presentation/ImageSettingsFiles.h"
#include "presentation/PresentationConfig.h"
#include "presentation/PresentationFile.h"
#include "support/TestPaths.h"
#include "tests/presentation/TestFiles.h"

TEST(PresentationDefaults, TwoDAndThreeDDifferInLightAndColour)
{
    // Every default value of a 3D record is pinned by the presentation file's exact text.
    CPresentationConfig settings2D;
    CPresentationConfig settings3D;
    settings2D.m_Tilt = 5.0f;
    settings2D.m_LightAngle = 90.0f;
    settings3D.m_ImageName = "Height_01";
    settings3D.m_NameOfImageForColor = "Phase_02";
    settings3D.m_ColorCursors = {{MakeColor(1, 2, 3), 0.5f}};
    settings3D.m_pColorTable = {7, 8};
    SetPresentationDefaults(ViewKind::View2D, settings2D);
    SetPresentationDefaults(ViewKind::View3D, settings3D);
    EXPECT_EQ(settings2D.m_EnablePolygonLight, 0);
    EXPECT_EQ(settings2D.m_EnablePolygonColor, 1);
    EXPECT_EQ(settings3D.m_EnablePolygonLight, 1);
    EXPECT_EQ(settings3D.m_EnablePolygonColor, 0);
    EXPECT_EQ(settings2D.m_Tilt, 60.0f);
    // The light position from 230 degrees, with 6.28 for two pi (2 pi would give -766.04).
    EXPECT_NEAR(settings2D.m_LightPosition[0], -764.73, 0.01);
    EXPECT_NEAR(settings2D.m_LightPosition[1], -644.35, 0.01);
    EXPECT_EQ(settings2D.m_LightPosition[2], -1200.0f);
    EXPECT_EQ(settings2D.m_LightPosition[3], 1.0f);
    // The palette, its table and the names are not the defaults' business.
    EXPECT_EQ(settings3D.m_ImageName, "Height_01");
    EXPECT_EQ(settings3D.m_NameOfImageForColor, "Phase_02");
    EXPECT_EQ(settings3D.m_ColorCursors.size(), 1u);
    EXPECT_EQ(settings3D.m_pColorTable, (std::vector<COLORREF>{7, 8}));
}

TEST(PresentationDefaults, DefaultPaletteSpansTheAutomaticRange)
{
    const std::vector<ColorCursor> cursors2D =
        DefaultColorCursors(ViewKind::View2D, {10.0, 30.0}, {12.0, 27.0});
    ASSERT_EQ(cursors2D.size(), 2u);
    EXPECT_EQ(cursors2D[0].m_Color, MakeColor(0, 0, 0));
    EXPECT_FLOAT_EQ(cursors2D[0].m_Position, 0.1f);
    EXPECT_FLOAT_EQ(cursors2D[1].m_Position, 0.85f);

    const std::vector<ColorCursor> whole = DefaultColorCursors(ViewKind::View3D, {-5, 5}, {-5, 5});
    EXPECT_EQ(whole, (std::vector<ColorCursor>{{MakeColor(128, 128, 128), 0.0f},
                                               {MakeColor(255, 255, 255), 1.0f}}));
    // A flat image has no range to divide by.
    const std::vector<ColorCursor> flat = DefaultColorCursors(ViewKind::View2D, {4, 4}, {4, 4});
    EXPECT_EQ(flat, (std::vector<ColorCursor>{{0, 0.0f}, {MakeColor(255, 255, 255), 1.0f}}));
}

TEST(PresentationDefaults, KindsAndSettingsIndices)
{
    EXPECT_STREQ(ViewKindText(ViewKind::View2D), "2D");
    EXPECT_STREQ(ViewKindText(ViewKind::View3D), "3D");
    EXPECT_EQ(ViewKindForSettingsIndex(0), ViewKind::View2D);
    EXPECT_EQ(ViewKindForSettingsIndex(1), ViewKind::View3D);
}

TEST(LoadImageSettings, DefaultsWithoutAFileAndTheFileOverThem)
{
    ScratchDir dir;
    const std::string imagePath = (dir / "scan.007").string();
    CPresentationConfig settings;
    settings.m_ImageName = "Height_01";
    settings.m_Tilt = 3.0f;
    LoadImageSettings(imagePath, ViewKind::View3D, {0.0, 100.0}, {20.0, 90.0}, settings);
    EXPECT_EQ(settings.m_Tilt, 60.0f);
    EXPECT_EQ(settings.m_EnablePolygonLight, 1);
    EXPECT_EQ(settings.m_ColorCursors,
              (std::vector<ColorCursor>{{MakeColor(128, 128, 128), 0.2f}, {MakeColor(255, 255, 255), 0.9f}}));

    // The image's presentation file: its file name with the extension replaced by ".cnf".
    WriteBytes(dir / "scan.cnf",
               "[Height_01_Presentation3D]\r\nTilt=45\r\nNameOfImageForColor=Phase_02\r\n"
               "[Height_01_ColorCursor3D]\r\nNofCursor=1\r\nPosition[0]=0.5\r\nColor[0]=1,2,3\r\n");
    LoadImageSettings(imagePath, ViewKind::View3D, {0.0, 100.0}, {20.0, 90.0}, settings);
    EXPECT_EQ(settings.m_Tilt, 45.0f);
    EXPECT_EQ(settings.m_NameOfImageForColor, "Phase_02");
    EXPECT_EQ(settings.m_ColorCursors, (std::vector<ColorCursor>{{MakeColor(1, 2, 3), 0.5f}}));
    EXPECT_EQ(settings.m_Angle, 50.0f);
}
