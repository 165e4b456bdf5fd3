// The profile: sampling along the line, the cursors under it and their dragging, and the
// plot's geometry, axis ranges, steps, ticks and labels.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
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
    // 12.3 .. 57.8 in steps of 5: ticks on the multiples of 5, half a step short of the end.
    const PlotAxis heights = AxisOf({30.0, 12.3, 57.8, 40.0}, false);
    EXPECT_EQ(std::tie(heights.m_nExponent, heights.m_dRangeMin, heights.m_dRangeMax), std::tuple(0, 12.3, 57.8));
    EXPECT_DOUBLE_EQ(heights.m_dStepData, 5.0);
    const std::vector<double> ticks = TickValues(heights);
    ASSERT_EQ(ticks.size(), 9u);
    EXPECT_DOUBLE_EQ(ticks.back(), 55.0);
    EXPECT_EQ(FormatTickLabel(heights, ticks[1]), "20");
    EXPECT_EQ(FormatTickLabel(heights, -7.9), "-8");
    // Distances keep one more decimal, and their ticks stop a quarter step short.
    const PlotAxis distances = AxisOf({0.0, 0.8}, true);
    EXPECT_EQ(TickValues(distances).size(), 8u);
    EXPECT_EQ(FormatTickLabel(distances, 0.1), "0.10");
    EXPECT_EQ(FormatTickLabel(distances, 0.0), "0.00");
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

// Each tick lies on a whole multiple of the step within the data and its label, read back,
// is its value: first the axes seen on real scans, then a sweep of ranges on both axes.
TEST(ProfilePlot, TicksSitOnWholeStepsAndTheirLabelsNameThem)
{
    using Labels = std::vector<std::string>;
    const auto labelsOf = [](const PlotAxis& axis) {
        Labels labels;
        for (double t : TickValues(axis))
            labels.push_back(FormatTickLabel(axis, t));
        return labels;
    };
    const std::tuple<double, double, bool, Labels> seen[] = {
        {-3.78, 3.02, false, {"-3", "-2", "-1", "0", "1", "2"}},  // heights of a 126 x 96 image
        {12.3, 57.8, false, {"15", "20", "25", "30", "35", "40", "45", "50", "55"}},
        {-0.071, 0.069, false, {"-0.06", "-0.04", "-0.02", "0.00", "0.02", "0.04"}},  // an amplitude
        {0.0, 1.77, true, {"0.00", "0.20", "0.40", "0.60", "0.80", "1.00", "1.20", "1.40", "1.60"}},  // um
        {0.3, 2.3, false, {"0.50", "0.75", "1.00", "1.25", "1.50", "1.75", "2.00"}},  // steps of 0.25
        {-10.0, 12.0, false, {"-10.0", "-7.5", "-5.0", "-2.5", "0.0", "2.5", "5.0", "7.5", "10.0"}},  // and 2.5
        {0.0, 25000.0, false, {"0.0-e+4", "0.5-e+4", "1.0-e+4", "1.5-e+4", "2.0-e+4"}},
    };
    for (const auto& [low, high, isX, labels] : seen)
        EXPECT_EQ(labelsOf(AxisOf({low, high}, isX)), labels) << low << ".." << high;

    for (double low : {-5.37, -0.0731, -0.0004, 0.0, 0.3, 12.3, 1234.5, -98765.0})
        for (double span : {0.0013, 0.07, 0.7, 6.8, 45.5, 1999.0, 123456.0})
            for (bool isX : {true, false}) {
                const PlotAxis axis = AxisOf({low, low + span}, isX);
                const std::vector<double> ticks = TickValues(axis);
                EXPECT_GE(ticks.size(), 3u) << low << "+" << span;
                for (double t : ticks) {
                    const std::string label = FormatTickLabel(axis, t);
                    const double read = std::stod(label.substr(0, label.find("-e")));
                    const std::string at = label + " at " + std::to_string(t) + " of " + std::to_string(low) + "+" + std::to_string(span);
                    EXPECT_NEAR(t / axis.m_dStep, std::round(t / axis.m_dStep), 1e-6) << at;
                    EXPECT_GE(t, axis.m_dMinScaled - 1e-9 * axis.m_dStep) << at;
                    EXPECT_LT(t, axis.m_dMaxScaled) << at;
                    EXPECT_NEAR(read, t, 1e-6 * axis.m_dStep) << at;
                    EXPECT_FALSE(read == 0.0 && label.starts_with('-')) << at;
                }
            }
}

// The readouts of a 512-point scan of 1.77 um with a height and an amplitude image: each
// tells a sample from its neighbour, one X step apart for positions and one Z step apart for
// values, and never shows fewer decimals than the plot's own.
TEST(ProfilePlot, ReadoutsResolveOneStepOfWhatTheyRead)
{
    const float kx = 1.77f / 512.0f;
    const float heightStep = 0.00126f, amplitudeStep = 0.0000215f;
    CSpmImage height = MakeImage(512, 512, [&](int r, int c) { return heightStep * ((r * 37 + c * 91) % 6000 - 3000); }, kx, kx);
    CSpmImage amplitude = MakeImage(512, 512, [&](int r, int c) { return amplitudeStep * ((r * 13 + c * 7) % 6500 - 3250); }, kx, kx);
    height.m_header.m_fKz = heightStep;
    amplitude.m_header.m_fKz = amplitudeStep;
    const CSpmImage* images[] = {&height, &amplitude};
    ProfileCursors cursors;
    cursors.m_dCursorA = 0.265;
    cursors.m_dCursorB = 0.797;
    const std::vector<ProfileCurve> curves = ProfileCurves(images, {0, 100}, {511, 100}, cursors);
    ASSERT_EQ(curves.size(), 2u);
    const ProfilePlotDesc& first = curves[0].m_desc;
    const ProfilePlotDesc& second = curves[1].m_desc;
    // As the user reads them: samples 135 and 407 at columns 134 and 406, 0.4632 and 1.4036 um.
    EXPECT_EQ(ReadoutTexts(first.m_dPosA, first.m_dPosB, first.m_dPosStep, kReadoutDecimals),
              (std::array<std::string, 3>{"[a] = 0.463", "[b] = 1.404", "[b]-[a] = 0.940"}));
    const auto tellsApart = [](double value, double next, double step, int fewest) {
        return ReadoutTexts(value, next, step, fewest)[0].substr(6) != ReadoutTexts(next, value, step, fewest)[0].substr(6);
    };
    const std::vector<ProfilePoint>& row = curves[0].m_profile;
    for (std::size_t i = 1; i < row.size(); ++i) {
        if (row[i].m_dDistance != row[i - 1].m_dDistance) {
            EXPECT_TRUE(tellsApart(row[i - 1].m_dDistance, row[i].m_dDistance, first.m_dPosStep, kReadoutDecimals)) << i;
        }
    }
    for (const auto& [desc, fewest, zStep] : {std::tuple{&first, kReadoutDecimals, heightStep},
                                              std::tuple{&second, kCompactReadoutDecimals, amplitudeStep}})
        for (int raw : {-3250, -1, 0, 17, 2999}) {
            EXPECT_TRUE(tellsApart(raw * zStep, (raw + 1) * zStep, desc->m_dValueStep, fewest)) << raw;
        }
    // Steps coarser than the plot's decimals keep them; a step that is no number does too.
    const std::tuple<double, int, int> decimals[] = {
        {0.00346, 1, 3}, {0.01f, 1, 2}, {0.0099, 1, 3}, {0.1, 1, 1}, {0.5, 1, 1}, {7.2, 2, 2},
        {0.0000215, 2, 5}, {0.0, 1, 1}, {-0.003, 2, 2}, {std::numeric_limits<double>::quiet_NaN(), 1, 1}};
    for (const auto& [step, fewest, expected] : decimals)
        EXPECT_EQ(DecimalsResolving(step, fewest), expected) << step;
    // A difference that rounds to nothing has no sign.
    EXPECT_EQ(ReadoutTexts(0.40004, 0.40001, 0.001, 1)[2], "[b]-[a] = 0.000");
}

// Readouts stand every 100 pixels; one that many decimals make longer pushes the next on,
// so that no two run into each other.
TEST(ProfilePlot, ReadoutsKeepTheirColumnsUnlessATextIsLonger)
{
    const std::tuple<std::array<int, 4>, std::array<int, 4>> cases[] = {
        {{80, 70, 90, 95}, {90, 190, 290, 390}},
        {{80, 112, 90, 95}, {90, 190, 310, 408}},  // "[a] = -631.523456"
        {{130, 70, 90, 95}, {90, 228, 306, 404}},  // a long head
    };
    for (const auto& [widths, expected] : cases) {
        const std::array<int, 4> columns = ReadoutColumns(90, widths, 8);
        EXPECT_EQ(columns, expected) << widths[0] << "," << widths[1];
        for (std::size_t i = 1; i < columns.size(); ++i)
            EXPECT_GE(columns[i], columns[i - 1] + widths[i - 1] + 8) << i;
    }
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
