// Transforms between a work image and its centred spectra.
#include <gtest/gtest.h>

#include <string>

#include "FourierFixture.h"
#include "fourier/FilterPrimitive.h"
#include "sp/sp.h"

// The library calls of the transforms in order, as the wrappers below see them: 'v' the
// version query, '1' a 1-D plan, '2' a 2-D plan. The test program is linked with these
// three wrapped (tests/CMakeLists.txt).
static std::string g_libraryCalls;

extern "C" {
const spLibVersion* __real__Z15spGetLibVersionv();
const spLibVersion* __wrap__Z15spGetLibVersionv()
{
    g_libraryCalls += 'v';
    return __real__Z15spGetLibVersionv();
}
spStatus __real__Z14spDftInitAllocPP9spDftSpeci11spScaleFlagi(spDftSpec**, int, spScaleFlag, int);
spStatus __wrap__Z14spDftInitAllocPP9spDftSpeci11spScaleFlagi(spDftSpec** spec, int length, spScaleFlag flag, int hint)
{
    g_libraryCalls += '1';
    return __real__Z14spDftInitAllocPP9spDftSpeci11spScaleFlagi(spec, length, flag, hint);
}
spStatus __real__Z16spDft2DInitAllocPP11spDft2DSpecii11spScaleFlagi(spDft2DSpec**, int, int, spScaleFlag, int);
spStatus __wrap__Z16spDft2DInitAllocPP11spDft2DSpecii11spScaleFlagi(spDft2DSpec** spec, int width, int height,
                                                                     spScaleFlag flag, int hint)
{
    g_libraryCalls += '2';
    return __real__Z16spDft2DInitAllocPP11spDft2DSpecii11spScaleFlagi(spec, width, height, flag, hint);
}
}

namespace {

struct Shape {
    int mode;
    int w, h;
};

class RoundTrip : public testing::TestWithParam<Shape> {};

TEST_P(RoundTrip, ForwardThenInverseGivesTheImageBack)
{
    const Shape s = GetParam();
    CSpmImage image = RandomImage(s.w, s.h);
    FourierWorkspace ws;
    ws.Allocate(s.w, s.h);
    ASSERT_EQ(TransformByMode(image, s.mode, 0, kShowFiltered, ws), 1);
    image.m_pData.assign(image.m_pData.size(), 99.0);
    ASSERT_EQ(TransformByMode(image, s.mode, 1, kShowFiltered, ws), 1);
    EXPECT_LT(MaxDifference(image.m_pData, image.m_pUndo), 1e-5);
    const auto [low, high] = std::minmax_element(image.m_pData.begin(), image.m_pData.end());
    EXPECT_EQ(image.m_dMin, *low);
    EXPECT_EQ(image.m_dMax, *high);
}

INSTANTIATE_TEST_SUITE_P(Modes, RoundTrip,
                         testing::Values(Shape{kFourierX, 256, 256}, Shape{kFourierY, 256, 256},
                                         Shape{kFourierXY, 256, 256}, Shape{kFourierX, 30, 18},
                                         Shape{kFourierXY, 30, 17}));

TEST(Transform, ConstantGivesOnlyTheCentreCell)
{
    const double c = 2.5;
    CSpmImage image = RandomImage(256, 256);
    image.m_pData.assign(image.m_pData.size(), c);
    FourierWorkspace ws;
    ws.Allocate(256, 256);
    ASSERT_EQ(ws.PaddedWidth(), 384u);
    FourierTransform2D(image, 0, kShowFiltered, ws);
    for (std::size_t y = 0; y < 384; y += 1)
        for (std::size_t x = 0; x < 384; x += 1) {
            const double expected = x == 192 && y == 192 ? c : 0.0;
            ASSERT_NEAR(ws.m_pUnfilteredRe[y * 384 + x], expected, 1e-5) << x << "," << y;
            ASSERT_NEAR(ws.m_pSpectrumIm[y * 384 + x], 0.0, 1e-5);
        }
    // In the X direction every row holds the constant at the centre column, signed by row.
    LineFourierTransform(image, 0, 0, ws);
    EXPECT_NEAR(ws.m_pSpectrumRe[7 * 384 + 192], -c, 1e-5);
    EXPECT_NEAR(ws.m_pSpectrumRe[8 * 384 + 192], c, 1e-5);
}

TEST(Transform, ShowModesAfterFiltering)
{
    CSpmImage image = RandomImage(64, 48);
    FourierWorkspace ws;
    ws.Allocate(64, 48);
    FourierTransform2D(image, 0, kShowFiltered, ws);
    const std::vector<double> ones(ws.Cells(), 1.0), halves(ws.Cells(), 0.5);
    MultiplySpectrumByMask(halves, ws);
    FourierTransform2D(image, 1, kShowOriginal, ws);
    EXPECT_EQ(image.m_pData, image.m_pUndo);
    FourierTransform2D(image, 1, kShowFiltered, ws);
    for (std::size_t i = 0; i < image.m_pData.size(); ++i)
        ASSERT_NEAR(image.m_pData[i], 0.5 * image.m_pUndo[i], 1e-5);
    MultiplySpectrumByMask(ones, ws);
    FourierTransform2D(image, 1, kShowDifference, ws);
    EXPECT_LT(MaxDifference(image.m_pData, std::vector<double>(image.m_pData.size(), 0.0)), 1e-5);
}

TEST(Transform, YDirectionRefusesAPlaneThatIsNotSquare)
{
    CSpmImage image = RandomImage(40, 20);
    FourierWorkspace ws;
    ws.Allocate(40, 20);
    EXPECT_FALSE(SupportsLineAxisY(ws));
    EXPECT_EQ(LineFourierTransform(image, 0, 1, ws), 0);
    EXPECT_EQ(ws.m_pSpectrumRe, std::vector<double>(ws.Cells(), 0.0));
}

// Each transform asks the library for its version before it makes its plan; the original
// image comes from the undo plane and runs none.
TEST(Transform, EachTransformAsksTheLibrarysVersionFirst)
{
    CSpmImage image = RandomImage(16, 16);
    FourierWorkspace ws;
    ws.Allocate(16, 16);
    const struct {
        int mode, inverse, show;
        const char* calls;
    } cases[] = {
        {kFourierX, 0, kShowFiltered, "v1"},      {kFourierX, 1, kShowFiltered, "v1"},
        {kFourierY, 0, kShowFiltered, "v1"},      {kFourierY, 1, kShowFiltered, "v1"},
        {kFourierXY, 0, kShowFiltered, "v2"},     {kFourierXY, 1, kShowFiltered, "v2"},
        {kFourierXY, 1, kShowDifference, "v2"},   {kFourierXY, 1, kShowOriginal, ""},
    };
    for (const auto& c : cases) {
        g_libraryCalls.clear();
        TransformByMode(image, c.mode, c.inverse, c.show, ws);
        EXPECT_EQ(g_libraryCalls, c.calls) << c.mode << " " << c.inverse << " " << c.show;
    }
}

TEST(Transform, MagnitudeOfTheImageWindow)
{
    FourierWorkspace ws;
    ws.Allocate(8, 4);  // borders 2 and 1: W' 12
    ws.m_pSpectrumRe[(1 + 1) * 12 + 2 + 3] = 3.0;
    ws.m_pSpectrumIm[(1 + 1) * 12 + 2 + 3] = -4.0;
    CSpmImage display = RandomImage(8, 4);
    SpectrumMagnitude(display, ws);
    EXPECT_EQ(display.m_pData[1 * 8 + 3], 5.0);
    EXPECT_EQ(display.m_dMax, 5.0);
    EXPECT_EQ(display.m_dMin, 0.0);
    UnfilteredSpectrumMagnitude(display, ws);
    EXPECT_EQ(display.m_dMax, 0.0);
}

} // namespace
