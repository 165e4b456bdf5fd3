// The profile plot's geometry, axis ranges, steps, ticks and labels.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "presentation/ProfilePlotMath.h"

namespace {

std::vector<ProfilePoint> Heights(std::initializer_list<double> heights)
{
    std::vector<ProfilePoint> profile;
    double distance = 0.0;
    for (double h : heights)
        profile.push_back({distance++, h});
    return profile;
}

PlotAxis AxisOf(const std::vector<ProfilePoint>& profile, bool isX)
{
    PlotAxis axis;
    axis.m_bIsX = isX;
    CalcAxisRange(profile, axis);
    return axis;
}

double Step(double range)
{
    double step = 0.0;
    NiceStep(range, step);
    return step;
}

} // namespace

TEST(ProfilePlot, GeometryOfAClientArea)
{
    const PlotGeometry geometry = PlotGeometryFor(0, 0, 600, 400);
    EXPECT_EQ(geometry.m_nPlotWidth, 490);
    EXPECT_EQ(geometry.m_nPlotHeight, 285);
    EXPECT_EQ(geometry.m_nOrgX, 335);
    EXPECT_EQ(geometry.m_nOrgY, 177);
    EXPECT_EQ(geometry.ValueToPixelX(-0.5), 90);
    EXPECT_EQ(geometry.ValueToPixelX(0.5), 580);
    EXPECT_EQ(geometry.ValueToPixelY(0.5), 35);
    EXPECT_EQ(geometry.ValueToPixelY(-0.5), 319);
}

TEST(ProfilePlot, HeightAxisOfModerateValues)
{
    const PlotAxis axis = AxisOf(Heights({30.0, 12.3, 57.8, 40.0}), false);
    EXPECT_EQ(axis.m_nExponent, 0);
    EXPECT_EQ(axis.m_dScale, 1.0);
    EXPECT_EQ(axis.m_dRangeMin, 12.3);
    EXPECT_EQ(axis.m_dRangeMax, 57.8);
    EXPECT_DOUBLE_EQ(axis.m_dStep, 5.0);
    EXPECT_DOUBLE_EQ(axis.m_dStepData, 5.0);
    EXPECT_EQ(axis.m_dCurveMin, 12.3);
    EXPECT_EQ(axis.m_dCurveMax, 57.8);
    const std::vector<double> ticks = TickValues(axis);
    ASSERT_EQ(ticks.size(), 9u);  // 12.3, 17.3, ... 52.3 (below 57.8 - 2.5)
    EXPECT_DOUBLE_EQ(ticks[1], 17.3);
    EXPECT_DOUBLE_EQ(ticks.back(), 52.3);
    EXPECT_EQ(FormatTickLabel(axis, ticks[1]), "17");
    EXPECT_EQ(FormatTickLabel(axis, ticks[2]), "22");
    EXPECT_EQ(FormatTickLabel(axis, -7.9), "-7");
}

TEST(ProfilePlot, DistanceAxisKeepsOneMoreDecimal)
{
    const PlotAxis axis = AxisOf({{0.0, 0.0}, {0.8, 1.0}}, true);
    EXPECT_EQ(axis.m_nExponent, 0);
    EXPECT_DOUBLE_EQ(axis.m_dStep, 0.1);
    const std::vector<double> ticks = TickValues(axis);
    ASSERT_EQ(ticks.size(), 8u);  // 0.0 .. 0.7 (below 0.8 - 0.025)
    EXPECT_EQ(FormatTickLabel(axis, ticks[0]), "0.0");
    EXPECT_EQ(FormatTickLabel(axis, ticks[1]), "0.10");
    EXPECT_EQ(FormatTickLabel(axis, ticks[2]), "0.20");
    PlotAxis heights = axis;
    heights.m_bIsX = false;
    EXPECT_EQ(FormatTickLabel(heights, 0.1), "0.1");
}

TEST(ProfilePlot, LargeAndSmallValuesGetAnExponent)
{
    const PlotAxis large = AxisOf(Heights({0.0, 25000.0}), false);
    EXPECT_EQ(large.m_nExponent, 4);
    EXPECT_EQ(large.m_dScale, 1e4);
    EXPECT_DOUBLE_EQ(large.m_dMaxScaled, 2.5);
    EXPECT_DOUBLE_EQ(large.m_dStep, 0.5);
    EXPECT_DOUBLE_EQ(large.m_dStepData, 5000.0);
    EXPECT_EQ(FormatTickLabel(large, 1.5), "1.5-e+4");
    EXPECT_EQ(FormatTickLabel(large, 0.0), "0.0");

    const PlotAxis small = AxisOf(Heights({0.0002, 0.0007}), false);
    EXPECT_EQ(small.m_nExponent, -4);
    EXPECT_DOUBLE_EQ(small.m_dMaxScaled, 7.0);
    EXPECT_DOUBLE_EQ(small.m_dStep, 1.0);
    EXPECT_EQ(FormatTickLabel(small, 3.0), "3-e-4");

    EXPECT_EQ(AxisOf(Heights({0.001, 0.002}), false).m_nExponent, 0);
    EXPECT_EQ(AxisOf(Heights({-9999.0, 1.0}), false).m_nExponent, 0);
    EXPECT_EQ(AxisOf(Heights({-10000.0, 1.0}), false).m_nExponent, 4);
}

TEST(ProfilePlot, NiceSteps)
{
    const std::pair<double, double> cases[] = {
        {1.0, 0.2}, {1.98, 0.2}, {2.0, 0.25}, {2.49, 0.5}, {4.55, 0.5},   {45.5, 5.0},
        {5.0, 1.0}, {9.99, 1.0}, {0.8, 0.1},  {0.5, 0.1},  {1000.0, 200.0},
    };
    for (const auto& [range, step] : cases)
        EXPECT_DOUBLE_EQ(Step(range), step) << range;
    // Ranges no power of ten divides (infinite) still give a step rather than 0.
    EXPECT_GT(Step(std::numeric_limits<double>::infinity()), 0.0);
}

TEST(ProfilePlot, TicksStopAQuarterStepShortOfTheEndAcrossAndHalfAStepUp)
{
    // 0 to 10.8 in steps of 2: the tick at 10 lies 0.4 steps short of the end.
    EXPECT_EQ(TickValues(AxisOf({{0.0, 0.0}, {10.8, 1.0}}, true)).size(), 6u);
    EXPECT_EQ(TickValues(AxisOf(Heights({0.0, 10.8}), false)).size(), 5u);
}

TEST(ProfilePlot, TickLoopsAlwaysEnd)
{
    // A range too wide for a double: the step falls back instead of staying 0.
    const PlotAxis huge = AxisOf(Heights({-1e308, 1e308}), false);
    EXPECT_LT(TickValues(huge).size(), 100u);
    // A step that no longer moves the tick.
    PlotAxis stuck;
    stuck.m_dMinScaled = 1.0;
    stuck.m_dMaxScaled = 2.0;
    stuck.m_dStep = 1e-300;
    EXPECT_EQ(TickValues(stuck).size(), 1u);
    stuck.m_dStep = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(TickValues(stuck).empty());
    stuck.m_dStep = -1.0;
    EXPECT_LE(TickValues(stuck).size(), 10000u);
}

TEST(ProfilePlot, EmptyRangesMapToTheCentreLine)
{
    const PlotAxis flat = AxisOf(Heights({4.0, 4.0, 4.0}), false);
    EXPECT_DOUBLE_EQ(flat.m_dStep, 0.1);  // a scaled range of 0 counts as 0.5
    EXPECT_TRUE(TickValues(flat).empty());
    EXPECT_EQ(PlotFraction(4.0, flat.m_dCurveMin, flat.m_dCurveMax), 0.0);
    EXPECT_EQ(PlotFraction(2.0, 2.0, 6.0), -0.5);
    EXPECT_EQ(PlotFraction(6.0, 2.0, 6.0), 0.5);
    EXPECT_EQ(PlotFraction(3.0, 2.0, 6.0), -0.25);

    PlotAxis untouched;
    untouched.m_dStep = 7.0;
    CalcAxisRange({}, untouched);
    EXPECT_EQ(untouched.m_dStep, 7.0);
}
