// Bordered copies, the square filters through the library and the line high-pass filter.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "presentation/TestImages.h"
#include "processing/ImageProcessor.h"

namespace {

TEST(BorderedCopy, MirrorsWithTheEdgeRepeated)
{
    const CSpmImage image = MakeImage(3, 3, [](int r, int c) { return 1.0 + r * 3 + c; });
    std::vector<double> plane(7 * 7);
    ASSERT_EQ(CImageProcessor().CopyToBorderedPlane(plane, image, 2, 2), 1);
    EXPECT_EQ(std::vector<double>(plane.begin() + 14, plane.begin() + 21), (std::vector<double>{2, 1, 1, 2, 3, 3, 2}));
    // A border wider than the image mirrors again; the float copy rounds each height.
    const CSpmImage dot = MakeImage(1, 2, [](int r, int) { return r + 0.1; });
    std::vector<float> wide(5 * 6);
    ASSERT_EQ(CImageProcessor().CopyToBorderedBuffer(wide, dot, 2, 2), 1);
    for (std::size_t v = 0; v < 6; ++v)
        for (std::size_t u = 0; u < 5; ++u)
            EXPECT_EQ(wide[v * 5 + u], v == 0 || v == 3 || v == 4 ? 1.1f : 0.1f) << v;
    EXPECT_EQ(CImageProcessor().CopyToBorderedBuffer(std::span<float>(wide).first(29), dot, 2, 2), 0);
}

// Every square filter on a constant and on z = x^2: the constant's response holds up to the
// edges (the border repeats them), the parabola's (which tells the sizes apart) inside the
// 2-pixel margin.
TEST(SquareFilters, ConstantsAndRampsThroughTheLibrary)
{
    using P = CImageProcessor;
    const float lowpass3 = 9 * 0.11111110f;  // the library's 3x3 box weight
    const struct {
        int (P::*run)(CSpmImage&, int);  // null: sharpen
        int arg;
        double constantGain, at10;       // responses to a constant 1 and to z = x^2 at x = 10
    } cases[] = {
        {&P::FilterGauss, kSquare3x3, 1, 100.5},   {&P::FilterGauss, kSquare5x5, 1, 100 + 496.0 / 571},
        {&P::FilterLaplace, kSquare3x3, 0, -6},    {&P::FilterLaplace, kSquare5x5, 0, -96},
        {&P::FilterLowpass, kSquare3x3, lowpass3, 906 / 9.0 * lowpass3},
        {&P::FilterLowpass, kSquare5x5, 1, 102},   {&P::FilterHighpass, kSquare3x3, 0, -6},
        {&P::FilterHighpass, kSquare5x5, 0, -50},  {nullptr, 0, 1, 99.25},
        {&P::FilterSobel, 0, 0, -160},             {&P::FilterSobel, 1, 0, 0},
    };
    for (const auto& c : cases) {
        const auto run = [&c](CSpmImage& i) { return c.run ? (P().*c.run)(i, c.arg) : P().FilterSharpen(i); };
        const auto name = ::testing::Message() << &c - cases;
        CSpmImage constant = MakeImage(9, 6, [](int, int) { return 3.0; });
        ASSERT_EQ(run(constant), 1) << name;
        for (double z : constant.m_pData)
            EXPECT_NEAR(z, 3.0 * c.constantGain, 1e-4) << name;
        CSpmImage parabola = MakeImage(17, 7, [](int, int x) { return x * x; });
        ASSERT_EQ(run(parabola), 1) << name;
        for (int r = 2; r < 5; ++r)
            EXPECT_NEAR(parabola.m_pData[static_cast<std::size_t>(r * 17 + 10)], c.at10, 1e-4) << name;
        const auto [low, high] = std::minmax_element(parabola.m_pData.begin(), parabola.m_pData.end());
        EXPECT_EQ(std::make_pair(parabola.m_dMin, parabola.m_dMax), std::make_pair(*low, *high)) << name;
    }
}

// The filter written out as it is defined, one sum at a time, mirroring by index.
std::vector<double> ReferenceHipass(const double* row, int n)
{
    const double s = 1.0 / (100.0 * 0.46971863934982566);
    auto at = [&](int i) { return row[i < 0 ? -i : i >= n ? 2 * n - 2 - i : i]; };
    std::vector<double> out(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        double mean = s * at(i);
        for (int k = 1; k <= 47; ++k)
            mean += s * std::exp(-std::numbers::pi * (k * s) * (k * s)) * (at(i - k) + at(i + k));
        out[static_cast<std::size_t>(i)] = at(i) - mean;
    }
    return out;
}

TEST(LineHipassGauss, MatchesTheDefinitionRowByRowOnRowsWideEnough)
{
    for (int width : {49, 50, 67}) {
        std::mt19937 random(static_cast<unsigned>(width));
        std::uniform_real_distribution<double> value(-1.0, 1.0);
        CSpmImage image = MakeImage(width, 3, [&](int, int) { return value(random); });
        const CSpmImage before = image;
        ASSERT_EQ(CImageProcessor().LineHipassGauss(image, 1.0, 100.0), 1);
        for (int r = 0; r < 3; ++r) {
            const std::vector<double> expected = ReferenceHipass(before.m_pData.data() + r * width, width);
            for (int x = 0; x < width; ++x)
                EXPECT_NEAR(image.m_pData[static_cast<std::size_t>(r * width + x)], expected[static_cast<std::size_t>(x)], 1e-12);
        }
        EXPECT_EQ(image.m_dMax, before.m_dMax);  // the range is the caller's to refresh
    }
}

// A constant keeps what the unnormalised weights miss, at any width; a wave at the cutoff
// wavelength keeps about half.
TEST(LineHipassGauss, Gains)
{
    for (int width : {1, 2, 5, 48, 300}) {
        CSpmImage image = MakeImage(width, 2, [](int r, int) { return r == 0 ? 10.0 : -4.0; });
        CImageProcessor().LineHipassGauss(image, 1.0, 100.0);
        for (int i = 0; i < 2 * width; ++i)
            EXPECT_NEAR(image.m_pData[static_cast<std::size_t>(i)], 0.011241 * (i < width ? 10.0 : -4.0), 1e-5) << width;
    }
    CSpmImage wave = MakeImage(1000, 1, [](int, int x) { return std::sin(2 * std::numbers::pi * x / 100.0); });
    CImageProcessor().LineHipassGauss(wave, 1.0, 100.0);
    double power = 0.0;
    for (int x = 300; x < 700; ++x)
        power += wave.m_pData[static_cast<std::size_t>(x)] * wave.m_pData[static_cast<std::size_t>(x)];
    EXPECT_NEAR(std::sqrt(2.0 * power / 400.0), 0.4896, 2e-4);
}

}  // namespace
