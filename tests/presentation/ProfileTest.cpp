// The profile: sampling along the line, the cursors under it and their dragging, and the
// plot's geometry, axis ranges, steps, ticks and labels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <tuple>

#include "presentation/ProfileCurves.h"
#include "presentation/ProfilePlotMath.h"
#include "presentation/ProfileSampling.h"
#include "support/TestImages.h"

namespace {

// Heights that name their point: 1000 x row + column.
CSpmImage Numbered(int columns, int rows, float kx = 1.0f, float ky = 1.0f)
{
    return MakeImage(columns, rows, [](int r, int c) { return 1000.0 * r + c; }, kx, ky);
}

PlotAxis AxisOf(std::initializer_list<double> values, bool isX)
{
    std::vector<ProfilePoint> profile;
    double other = 0.0;
    for (double v : values)
        profile.push_back(isX ? ProfilePoint{v, other++} : ProfilePoint{other++, v});
    PlotAxis axis;
    axis.m_bIsX = isX;
    CalcAxisRange(profile, axis);
    return axis;
}

}  // namespace

TEST(ProfileSampling, SamplesStepAlongTheLineTruncatedAndMeasureBothSteps)
{
    // Sample i lies trunc(i x 100 / 256) columns on: 0, 0, 0, 1, ... 99.
    const std::vector<ProfilePoint> across = SampleProfile(Numbered(256, 256, 2.5f), {10, 20}, {110, 20}, 256);
    ASSERT_EQ(across.size(), 255u);
    const std::tuple<std::size_t, double, double> cases[] = {{2, 20010.0, 0.0}, {3, 20011.0, 2.5}, {254, 20109.0, 247.5}};
    for (const auto& [i, height, distance] : cases)
        EXPECT_EQ(std::tie(across[i].m_dHeight, across[i].m_dDistance), std::tie(height, distance)) << i;
    // Backwards along a diagonal: sample 2 lies at 2 x -0.9 = -1.8, truncated to -1 in both.
    const std::vector<ProfilePoint> diagonal = SampleProfile(Numbered(10, 10, 3.0f, 4.0f), {9, 9}, {0, 0}, 10);
    ASSERT_EQ(diagonal.size(), 9u);
    EXPECT_EQ(diagonal[2].m_dHeight, 8008.0);
    EXPECT_DOUBLE_EQ(diagonal[2].m_dDistance, 5.0);
    EXPECT_EQ(diagonal[8].m_dHeight, 2002.0);
    // Down a column of a wide image.
    const std::vector<ProfilePoint> down = SampleProfile(Numbered(20, 10), {3, 0}, {3, 9}, 20);
    EXPECT_EQ(down[18].m_dHeight, 8003.0);
}

TEST(ProfileSampling, PointsOutsideTheImageAreBroughtToItsEdgeAndDegenerateInputGivesLittle)
{
    const CSpmImage small = Numbered(20, 10);
    EXPECT_EQ(ProfileStepCount(small), 20);
    const std::vector<ProfilePoint> clamped = SampleProfile(small, {5, 2}, {100, 50}, 64);
    const std::vector<ProfilePoint> inside = SampleProfile(small, {5, 2}, {19, 9}, 64);
    ASSERT_EQ(clamped.size(), 63u);
    for (std::size_t i = 0; i < clamped.size(); ++i)
        EXPECT_EQ(std::tie(clamped[i].m_dHeight, clamped[i].m_dDistance), std::tie(inside[i].m_dHeight, inside[i].m_dDistance));
    for (const ProfilePoint& point : SampleProfile(small, {-40, -3}, {-1, 30}, 20))
        EXPECT_EQ(static_cast<int>(point.m_dHeight) % 1000, 0);
    for (const ProfilePoint& point : SampleProfile(small, {0, 0}, {0, 0}, 16))
        EXPECT_EQ(std::tie(point.m_dHeight, point.m_dDistance), std::tuple(0.0, 0.0));
    EXPECT_EQ(SampleProfile(Numbered(2, 2), {0, 0}, {1, 1}, 2).size(), 1u);
    EXPECT_TRUE(SampleProfile(Numbered(1, 1), {0, 0}, {0, 0}, 1).empty());
    EXPECT_TRUE(SampleProfile(CSpmImage{}, {0, 0}, {3, 3}, 8).empty());
}

TEST(ProfileCursors, SamplesUnderCursorsAndMousePointsInPlotCoordinates)
{
    std::vector<ProfilePoint> profile(255);
    for (std::size_t i = 0; i < profile.size(); ++i)
        profile[i] = {0.5 * static_cast<double>(i), static_cast<double>(i)};
    // The fraction and the sample it picks: trunc(255 x fraction), kept within the samples.
    for (const auto& [fraction, sample] : {std::pair{0.25, 63.0}, {0.75, 191.0}, {1.0, 254.0}, {-0.2, 0.0}})
        EXPECT_EQ(SampleUnderCursor(profile, fraction).m_dHeight, sample) << fraction;
    EXPECT_EQ(SampleUnderCursor({}, 0.5).m_dHeight, 0.0);
    // A 600 x 400 client: plot area 490 x 285 with its centre at (335, 177).
    const PlotPoint corner = MouseToPlot(90, 35, 600, 400);
    EXPECT_DOUBLE_EQ(corner.u, -245.0 / 490.0);
    EXPECT_DOUBLE_EQ(corner.v, 142.0 / 285.0);
    EXPECT_GE(MouseToPlot(5, 5, 100, 100).u, 0.5);
}

TEST(ProfileCursors, PressGrabsTheCursorWithinOneHundredthAndDraggedCursorsNeverMeet)
{
    ProfileCursors cursors;  // [a] at 0.25 and [b] at 0.75: plot u -0.25 and 0.25
    // A press, what it returns, and the grab flags of [a] and [b] after it.
    const std::tuple<PlotPoint, bool, int, int> presses[] = {
        {{-0.25 + 0.0099, 0.0}, true, 1, 0}, {{0.25 - 0.0099, 0.2}, true, 0, 1}, {{-0.25 + 0.0101, 0.0}, false, 0, 0},
        {{0.25, 0.6}, false, 0, 0},  // outside the plot's height the flags stay
    };
    for (const auto& [point, held, a, b] : presses) {
        EXPECT_EQ(GrabProfileCursor(point, cursors), held) << point.u << "," << point.v;
        EXPECT_EQ(std::tie(cursors.m_bCursorAGrabbed, cursors.m_bCursorBGrabbed), std::tie(a, b)) << point.u;
        EXPECT_EQ(IsOverProfileCursor(point, cursors), held) << point.u;
    }
    // Cursors closer than 0.02: a press near both grabs [a] only.
    cursors.m_dCursorA = 0.50;
    cursors.m_dCursorB = 0.51;
    EXPECT_TRUE(GrabProfileCursor({0.005, 0.0}, cursors));
    EXPECT_EQ(std::tie(cursors.m_bCursorAGrabbed, cursors.m_bCursorBGrabbed), std::tuple(1, 0));

    cursors = ProfileCursors{};
    cursors.m_bCursorAGrabbed = 1;
    EXPECT_EQ(DragProfileCursors({0.1, 0.0}, cursors), 1);
    EXPECT_DOUBLE_EQ(cursors.m_dCursorA, 0.6);
    EXPECT_EQ(DragProfileCursors({0.25, 0.0}, cursors), 0) << "[a] stops short of [b]";
    EXPECT_EQ(DragProfileCursors({-0.6, 0.0}, cursors), 0) << "outside the plot's width";
    EXPECT_EQ(DragProfileCursors({-0.45, 0.9}, cursors), 1) << "the height is not tested";
    EXPECT_DOUBLE_EQ(cursors.m_dCursorA, 0.05);
    cursors = ProfileCursors{};
    cursors.m_bCursorBGrabbed = 1;
    EXPECT_EQ(DragProfileCursors({-0.25, 0.0}, cursors), 0) << "[b] stops short of [a]";
    EXPECT_EQ(DragProfileCursors({0.45, 0.0}, cursors), 1);
    EXPECT_DOUBLE_EQ(cursors.m_dCursorB, 0.95);
}

TEST(ProfilePlot, GeometryAndFractionsOfAClientArea)
{
    const PlotGeometry geometry = PlotGeometryFor(0, 0, 600, 400);
    EXPECT_EQ(std::tie(geometry.m_nPlotWidth, geometry.m_nPlotHeight, geometry.m_nOrgX, geometry.m_nOrgY),
              std::tuple(490, 285, 335, 177));
    EXPECT_EQ(std::tuple(geometry.ValueToPixelX(-0.5), geometry.ValueToPixelX(0.5)), std::tuple(90, 580));
    EXPECT_EQ(std::tuple(geometry.ValueToPixelY(0.5), geometry.ValueToPixelY(-0.5)), std::tuple(35, 319));
    EXPECT_EQ(PlotFraction(3.0, 2.0, 6.0), -0.25);
    EXPECT_EQ(PlotFraction(4.0, 4.0, 4.0), 0.0);  // an empty range maps to the centre line
}

TEST(ProfilePlot, AxesStepsTicksAndLabels)
{
    // 12.3 .. 57.8 in steps of 5: ticks from the minimum, half a step short of the end.
    const PlotAxis heights = AxisOf({30.0, 12.3, 57.8, 40.0}, false);
    EXPECT_EQ(std::tie(heights.m_nExponent, heights.m_dRangeMin, heights.m_dRangeMax), std::tuple(0, 12.3, 57.8));
    EXPECT_DOUBLE_EQ(heights.m_dStepData, 5.0);
    const std::vector<double> ticks = TickValues(heights);
    ASSERT_EQ(ticks.size(), 9u);
    EXPECT_DOUBLE_EQ(ticks.back(), 52.3);
    EXPECT_EQ(FormatTickLabel(heights, ticks[1]), "17");
    EXPECT_EQ(FormatTickLabel(heights, -7.9), "-7");
    // Distances keep one more decimal, and their ticks stop a quarter step short.
    const PlotAxis distances = AxisOf({0.0, 0.8}, true);
    EXPECT_EQ(TickValues(distances).size(), 8u);
    EXPECT_EQ(FormatTickLabel(distances, 0.1), "0.10");
    EXPECT_EQ(FormatTickLabel(distances, 0.0), "0.0");
    EXPECT_EQ(TickValues(AxisOf({0.0, 10.8}, true)).size(), 6u);
    EXPECT_EQ(TickValues(AxisOf({0.0, 10.8}, false)).size(), 5u);
    // Values from 10000 on, or below 0.001, take an exponent.
    const PlotAxis large = AxisOf({0.0, 25000.0}, false);
    EXPECT_EQ(std::tie(large.m_nExponent, large.m_dMaxScaled, large.m_dStep, large.m_dStepData), std::tuple(4, 2.5, 0.5, 5000.0));
    EXPECT_EQ(FormatTickLabel(large, 1.5), "1.5-e+4");
    const PlotAxis small = AxisOf({0.0002, 0.0007}, false);
    EXPECT_EQ(small.m_nExponent, -4);
    EXPECT_DOUBLE_EQ(small.m_dMaxScaled, 7.0);
    EXPECT_EQ(FormatTickLabel(small, 3.0), "3-e-4");
    for (const auto& [low, exponent] : {std::pair{0.001, 0}, {-9999.0, 0}, {-10000.0, 4}})
        EXPECT_EQ(AxisOf({low, 1.0}, false).m_nExponent, exponent) << low;
    const PlotAxis flat = AxisOf({4.0, 4.0}, false);
    EXPECT_DOUBLE_EQ(flat.m_dStep, 0.1);  // a scaled range of 0 counts as 0.5
    EXPECT_TRUE(TickValues(flat).empty());
}

TEST(ProfilePlot, NiceStepsAndTickLoopsThatAlwaysEnd)
{
    const std::pair<double, double> cases[] = {{1.0, 0.2},  {1.98, 0.2}, {2.0, 0.25}, {2.48, 0.25},  {2.49, 0.5},
                                               {4.55, 0.5}, {5.0, 1.0},  {9.99, 1.0}, {0.5, 0.1}, {1000.0, 200.0}};
    for (const auto& [range, expected] : cases) {
        double step = 0.0;
        NiceStep(range, step);
        EXPECT_DOUBLE_EQ(step, expected) << range;
    }
    double step = 0.0;
    NiceStep(std::numeric_limits<double>::infinity(), step);
    EXPECT_GT(step, 0.0);
    EXPECT_LT(TickValues(AxisOf({-1e308, 1e308}, false)).size(), 100u);
    PlotAxis stuck;
    stuck.m_dMinScaled = 1.0;
    stuck.m_dMaxScaled = 2.0;
    for (const auto& [badStep, most] : {std::pair{1e-300, 1u}, {std::numeric_limits<double>::quiet_NaN(), 0u}, {-1.0, 10000u}}) {
        stuck.m_dStep = badStep;
        EXPECT_LE(TickValues(stuck).size(), most) << badStep;
    }
    PlotAxis untouched;
    untouched.m_dStep = 7.0;
    CalcAxisRange({}, untouched);
    EXPECT_EQ(untouched.m_dStep, 7.0);
}

TEST(ProfileSampling, CurvesNameTheUnitsOfTheirImage)
{
    CSpmImage image = Numbered(8, 8);
    std::snprintf(image.m_header.m_szZUnit, sizeof image.m_header.m_szZUnit, "deg");
    std::snprintf(image.m_header.m_szXYUnit, sizeof image.m_header.m_szXYUnit, "um");
    const CSpmImage* images[] = {&image};
    const ProfilePlotDesc desc = ProfileCurves(images, {0, 0}, {7, 7}, {}).front().m_desc;
    EXPECT_EQ(std::make_pair(desc.m_strUnit, desc.m_strPosUnit), std::make_pair(std::string("deg"), std::string("um")));
}
