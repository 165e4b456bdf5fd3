// Sampling along the profile line, the cursors under it, and dragging them.
#include <gtest/gtest.h>

#include <tuple>

#include "presentation/ProfileSampling.h"
#include "tests/presentation/TestImages.h"

namespace {

// Heights that name their point: 1000 x row + column.
CSpmImage Numbered(int columns, int rows, float kx = 1.0f, float ky = 1.0f)
{
    CSpmImage image = MakeImage(columns, rows, [](int r, int c) { return 1000.0 * r + c; });
    image.m_header.m_fKx = kx;
    image.m_header.m_fKy = ky;
    return image;
}

} // namespace

TEST(ProfileSampling, HorizontalSegmentRepeatsColumns)
{
    const CSpmImage image = Numbered(256, 256, 2.5f);
    const std::vector<ProfilePoint> profile = SampleProfile(image, {10, 20}, {110, 20}, 256);
    ASSERT_EQ(profile.size(), 255u);
    // Sample i lies trunc(i x 100 / 256) columns on: 0, 0, 0, 1, ... 99.
    const std::tuple<std::size_t, double, double> cases[] = {
        {0, 20010.0, 0.0}, {2, 20010.0, 0.0}, {3, 20011.0, 2.5}, {254, 20109.0, 247.5}};
    for (const auto& [i, height, distance] : cases) {
        EXPECT_EQ(profile[i].m_dHeight, height) << i;
        EXPECT_EQ(profile[i].m_dDistance, distance) << i;
    }
}

TEST(ProfileSampling, DiagonalDistancesUseBothSteps)
{
    const CSpmImage image = Numbered(10, 10, 3.0f, 4.0f);
    const std::vector<ProfilePoint> profile = SampleProfile(image, {9, 9}, {0, 0}, 10);
    ASSERT_EQ(profile.size(), 9u);
    EXPECT_EQ(profile[0].m_dHeight, 9009.0);
    EXPECT_EQ(profile[0].m_dDistance, 0.0);
    // Sample 2: 2 x -0.9 = -1.8, truncated to -1 in both coordinates.
    EXPECT_EQ(profile[2].m_dHeight, 8008.0);
    EXPECT_DOUBLE_EQ(profile[2].m_dDistance, 5.0);
    EXPECT_EQ(profile[8].m_dHeight, 2002.0);
}

TEST(ProfileSampling, PointsOutsideTheImageAreBroughtToItsEdge)
{
    const CSpmImage small = Numbered(20, 10);
    EXPECT_EQ(ProfileStepCount(small), 20);
    // Points placed on a larger image: (100, 50) lies beyond both sides.
    const std::vector<ProfilePoint> clamped = SampleProfile(small, {5, 2}, {100, 50}, 64);
    const std::vector<ProfilePoint> inside = SampleProfile(small, {5, 2}, {19, 9}, 64);
    ASSERT_EQ(clamped.size(), 63u);
    for (std::size_t i = 0; i < clamped.size(); ++i) {
        EXPECT_EQ(clamped[i].m_dHeight, inside[i].m_dHeight) << i;
        EXPECT_EQ(clamped[i].m_dDistance, inside[i].m_dDistance) << i;
    }
    const std::vector<ProfilePoint> negative = SampleProfile(small, {-40, -3}, {-1, 30}, 20);
    ASSERT_EQ(negative.size(), 19u);
    for (const ProfilePoint& point : negative)
        EXPECT_EQ(static_cast<int>(point.m_dHeight) % 1000, 0);
}

TEST(ProfileSampling, DegenerateSegmentsStepsAndImages)
{
    // Points never set: every sample is the origin.
    for (const ProfilePoint& point : SampleProfile(Numbered(16, 8), {0, 0}, {0, 0}, 16)) {
        EXPECT_EQ(point.m_dHeight, 0.0);
        EXPECT_EQ(point.m_dDistance, 0.0);
    }
    EXPECT_EQ(SampleProfile(Numbered(16, 8), {0, 0}, {0, 0}, 16).size(), 15u);
    EXPECT_EQ(SampleProfile(Numbered(2, 2), {0, 0}, {1, 1}, 2).size(), 1u);
    const CSpmImage single = Numbered(1, 1);
    EXPECT_TRUE(SampleProfile(single, {0, 0}, {0, 0}, ProfileStepCount(single)).empty());
    EXPECT_TRUE(SampleProfile(CSpmImage{}, {0, 0}, {3, 3}, 8).empty());
}

TEST(ProfileSampling, CursorSamples)
{
    std::vector<ProfilePoint> profile(255);
    for (std::size_t i = 0; i < profile.size(); ++i)
        profile[i] = {0.5 * static_cast<double>(i), static_cast<double>(i)};
    // The fraction and the sample it picks: trunc(255 x fraction), kept within the samples.
    const std::pair<double, double> cases[] = {{0.25, 63.0}, {0.75, 191.0}, {1.0, 254.0}, {-0.2, 0.0}};
    for (const auto& [fraction, sample] : cases) {
        EXPECT_EQ(SampleUnderCursor(profile, fraction).m_dHeight, sample) << fraction;
        EXPECT_EQ(SampleUnderCursor(profile, fraction).m_dDistance, 0.5 * sample) << fraction;
    }
    EXPECT_EQ(SampleUnderCursor({}, 0.5).m_dHeight, 0.0);
}

TEST(ProfileCursors, MousePointsMapToPlotCoordinates)
{
    // A 600 x 400 client: plot area 490 x 285 with its centre at (335, 177).
    const PlotPoint centre = MouseToPlot(335, 177, 600, 400);
    EXPECT_DOUBLE_EQ(centre.u, 0.0);
    EXPECT_DOUBLE_EQ(centre.v, 0.0);
    const PlotPoint corner = MouseToPlot(90, 35, 600, 400);
    EXPECT_DOUBLE_EQ(corner.u, -245.0 / 490.0);
    EXPECT_DOUBLE_EQ(corner.v, 142.0 / 285.0);
    const PlotPoint tiny = MouseToPlot(5, 5, 100, 100);
    EXPECT_GE(tiny.u, 0.5);
}

TEST(ProfileCursors, PressGrabsTheCursorUnderIt)
{
    ProfileCursors cursors;  // [a] at 0.25 and [b] at 0.75: plot u -0.25 and 0.25
    // A press in plot coordinates, what it returns, and the grab flags of [a] and [b] after it.
    const std::tuple<PlotPoint, bool, int, int> presses[] = {
        {{0.25 - 0.5 + 0.01, 0.0}, true, 1, 0},
        {{0.75 - 0.5 - 0.005, 0.2}, true, 0, 1},
        {{0.0, 0.6}, false, 0, 1},  // outside the plot's height the flags stay
        {{0.0, 0.0}, false, 0, 0},  // between the cursors nothing is held
    };
    for (const auto& [point, held, a, b] : presses) {
        EXPECT_EQ(GrabProfileCursor(point, cursors), held) << point.u << "," << point.v;
        EXPECT_EQ(cursors.m_bCursorAGrabbed, a) << point.u << "," << point.v;
        EXPECT_EQ(cursors.m_bCursorBGrabbed, b) << point.u << "," << point.v;
    }
    // Cursors closer than 0.02: a press near both grabs [a] only.
    cursors.m_dCursorA = 0.50;
    cursors.m_dCursorB = 0.51;
    EXPECT_TRUE(GrabProfileCursor({0.005, 0.0}, cursors));
    EXPECT_EQ(cursors.m_bCursorAGrabbed, 1);
    EXPECT_EQ(cursors.m_bCursorBGrabbed, 0);
    EXPECT_TRUE(IsOverProfileCursor({0.005, 0.0}, cursors));
    EXPECT_FALSE(IsOverProfileCursor({0.005, -0.5}, cursors));
    EXPECT_FALSE(IsOverProfileCursor({0.3, 0.0}, cursors));
}

TEST(ProfileCursors, DraggedCursorsNeverMeet)
{
    ProfileCursors cursors;
    cursors.m_bCursorAGrabbed = 1;
    EXPECT_EQ(DragProfileCursors({0.1, 0.0}, cursors), 1);
    EXPECT_DOUBLE_EQ(cursors.m_dCursorA, 0.6);
    EXPECT_EQ(DragProfileCursors({0.25, 0.0}, cursors), 0) << "[a] stops short of [b]";
    EXPECT_DOUBLE_EQ(cursors.m_dCursorA, 0.6);
    EXPECT_EQ(DragProfileCursors({-0.6, 0.0}, cursors), 0) << "outside the plot's width";
    EXPECT_EQ(DragProfileCursors({-0.45, 0.9}, cursors), 1) << "the height is not tested";
    EXPECT_DOUBLE_EQ(cursors.m_dCursorA, 0.05);

    cursors = ProfileCursors{};
    cursors.m_bCursorBGrabbed = 1;
    EXPECT_EQ(DragProfileCursors({-0.3, 0.0}, cursors), 0) << "[b] stops short of [a]";
    EXPECT_EQ(DragProfileCursors({0.45, 0.0}, cursors), 1);
    EXPECT_DOUBLE_EQ(cursors.m_dCursorB, 0.95);
    cursors.m_bCursorAGrabbed = 0;
    cursors.m_bCursorBGrabbed = 0;
    EXPECT_EQ(DragProfileCursors({0.0, 0.0}, cursors), 0);
}
