// Butterworth masks of primitives and lists, and the ideal filters of the drag.
#include <gtest/gtest.h>

#include <complex>
#include <numbers>

#include "FourierFixture.h"
#include "fourier/FilterFile.h"
#include "fourier/FilterPrimitive.h"
#include "processing/ImageProcessor.h"
#include "support/TestPaths.h"

namespace {

class MaskTest : public testing::Test {
protected:
    void SetUp() override { ws.Allocate(256, 256); }
    double At(std::size_t x, std::size_t y) const { return mask[y * 384 + x]; }
    std::vector<double> Mask(const FilterPrimitive& p)
    {
        EXPECT_TRUE(BuildPrimitiveMask(p, ws, mask));
        return mask;
    }

    FourierWorkspace ws;
    std::vector<double> mask;
};

FilterPrimitive Prim(int loPass, unsigned type, unsigned oder, double cutoff, double shift = 0.0,
                     int angle = 0, double xcomp = 1.0, double ycomp = 1.0)
{
    return FilterPrimitive{loPass, type, oder, cutoff, xcomp, ycomp, shift, angle};
}

TEST_F(MaskTest, CutoffQuarterHasItsHalfPointAt32Cells)
{
    Mask(Prim(0, 0, 4, 0.25));
    EXPECT_EQ(At(192, 192), 1.0);
    EXPECT_DOUBLE_EQ(At(224, 192), 0.5);
    EXPECT_DOUBLE_EQ(At(192, 160), 0.5);
    Mask(Prim(0, 1, 4, 0.25));  // a band depends on the column only
    EXPECT_DOUBLE_EQ(At(224, 5), 0.5);
    EXPECT_DOUBLE_EQ(At(160, 300), 0.5);
}

// Masks of equal expectation, each pair built the same way.
struct Pair {
    FilterPrimitive a, b;
    bool complement;  // b = 1 - a, else b = a
};

class MaskPairs : public MaskTest, public testing::WithParamInterface<Pair> {};

TEST_P(MaskPairs, AgreeCellByCell)
{
    const std::vector<double> a = Mask(GetParam().a), b = Mask(GetParam().b);
    for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_NEAR(GetParam().complement ? 1.0 - a[i] : a[i], b[i], 1e-12) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, MaskPairs,
    testing::Values(Pair{Prim(0, 0, 4, 0.3), Prim(1, 0, 4, 0.3), true},
                    Pair{Prim(0, 1, 2, 0.1, 0, 30), Prim(1, 1, 2, 0.1, 0, 30), true},
                    Pair{Prim(0, 0, 3, 0.2, 0, 0, 2.0, 0.5), Prim(0, 0, 3, -0.2, 0, 0, -2.0, -0.5), false},
                    Pair{Prim(0, 0, 0, 0.2), Prim(1, 0, 0, 0.7, 0, 45), false}));

TEST_F(MaskTest, OrderZeroIsFlat)
{
    for (const auto& [p, expected] : {std::pair{Prim(0, 0, 0, 0.3), 0.5}, {Prim(1, 0, 0, 0.3), 0.5},
                                      {Prim(0, 0, 0, 0.3, 0.7), 1.0}, {Prim(1, 0, 0, 0.3, 0.7), 0.0}})
        EXPECT_EQ(Mask(p), std::vector<double>(ws.Cells(), expected));
}

TEST_F(MaskTest, ListIsTheProductOfItsPrimitives)
{
    const std::vector<FilterPrimitive> list = DefaultPrimitives();
    const std::vector<double> first = Mask(list[0]), second = Mask(list[1]);
    ASSERT_TRUE(BuildListMask({list[0]}, ws, mask));
    EXPECT_EQ(mask, first);
    ASSERT_TRUE(BuildListMask(list, ws, mask));
    for (std::size_t i = 0; i < mask.size(); ++i)
        ASSERT_NEAR(mask[i], first[i] * second[i], 1e-15);
}

TEST_F(MaskTest, ZeroDivisorsAndEmptyListsKeepTheMask)
{
    const std::vector<double> before = Mask(Prim(0, 0, 4, 0.3));
    for (const FilterPrimitive& p : {Prim(0, 0, 4, 0.0), Prim(0, 0, 4, 0.3, 0, 0, 0.0), Prim(0, 0, 4, 0.3, 0, 0, 1, 0.0)})
        EXPECT_FALSE(BuildListMask({DefaultPrimitives()[0], p}, ws, mask));
    EXPECT_FALSE(BuildListMask({}, ws, mask));
    EXPECT_EQ(mask, before);
}

struct Ideal {
    bool circle;
    int limit, highPass;
};

class IdealFilters : public MaskTest, public testing::WithParamInterface<Ideal> {};

// Every cell, the first row and column too, is kept or zeroed by its distance alone.
TEST_P(IdealFilters, KeepCellsByDistance)
{
    const Ideal p = GetParam();
    for (std::size_t i = 0; i < ws.Cells(); ++i)
        ws.m_pUnfilteredRe[i] = ws.m_pUnfilteredIm[i] = ws.m_pSpectrumRe[i] = 1.0 + static_cast<double>(i);
    p.circle ? CircleIdealFilter(p.limit, p.highPass, ws) : LineIdealFilter(p.limit, p.highPass, ws);
    for (std::size_t y = 0; y < 384; ++y)
        for (std::size_t x = 0; x < 384; ++x) {
            const double dx = std::fabs(x - 192.0), dy = std::fabs(y - 192.0);
            const double d = p.circle ? std::sqrt(dx * dx + dy * dy) : dx;
            const bool kept = p.highPass ? d >= p.limit : d <= p.limit;
            ASSERT_EQ(ws.m_pSpectrumRe[y * 384 + x], kept ? ws.m_pUnfilteredRe[y * 384 + x] : 0.0) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Limits, IdealFilters,
                         testing::Values(Ideal{false, 0, 0}, Ideal{false, 20, 0}, Ideal{false, 20, 1},
                                         Ideal{false, -1, 0}, Ideal{true, 0, 1}, Ideal{true, 5, 0},
                                         Ideal{true, 40, 1}, Ideal{true, -3, 0}));

// The 1-D Butterworth filter a primitive stands for on a line of n values, at the centred
// frequency k: its centres at plus and minus the part of the shift along the line, its
// distance along the line scaled by Xcomp, whatever its shape.
double LineWeight(const FilterPrimitive& p, double n, double k)
{
    const double factor = 1.5, d0 = n * p.Cutoff / (2 * factor);
    const double offset = n * std::sin(p.Angle * std::numbers::pi / 180) * p.Shift / (2 * factor);
    const auto lobe = [&](double centre) {
        return 1 / (1 + std::pow(std::fabs((k - centre) / p.Xcomp) / d0, 2.0 * p.Oder));
    };
    const double second = p.Shift != 0 ? lobe(-offset) : 0;
    return p.LoPass == 0 ? std::min(lobe(offset) + second, 1.0) : std::max(1 - lobe(offset) - second, 0.0);
}

// The line filtered by weights over its centred frequencies (column n/2 the zero
// frequency), through a direct DFT in long double.
std::vector<double> FilterLine(const std::vector<double>& line, const std::vector<double>& weights)
{
    const std::size_t n = line.size();
    const auto wave = [n](std::size_t f, std::size_t x, long double sign) {
        return std::polar(1.0L, sign * 2 * std::numbers::pi_v<long double> * static_cast<long double>(f * x % n) / n);
    };
    std::vector<std::complex<long double>> spectrum(n);
    for (std::size_t f = 0; f < n; ++f)
        for (std::size_t x = 0; x < n; ++x)
            spectrum[f] += static_cast<long double>(line[x] * weights[(f + n / 2) % n]) * wave(f, x, -1);
    std::vector<double> filtered(n);
    for (std::size_t x = 0; x < n; ++x) {
        std::complex<long double> sum = 0;
        for (std::size_t f = 0; f < n; ++f)
            sum += spectrum[f] * wave(f, x, 1);
        filtered[x] = static_cast<double>(sum.real() / n);
    }
    return filtered;
}

// A square image whose rows, and whose columns, have means and shapes of their own.
CSpmImage LinesImage(int n)
{
    CSpmImage image = RandomImage(n, n, 11);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            image.m_pData[r * n + c] += 0.3 * r - 0.2 * c + std::sin(c * 0.07 * (r % 5) + r);
    image.m_pUndo = image.m_pData;
    return image;
}

struct LineCase {
    int mode;
    std::vector<FilterPrimitive> list;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << (c.mode == kFourierY ? "Y" : "X") << " direction, " << c.list.size() << " primitive(s)";
}

class LineFilters : public testing::TestWithParam<LineCase> {};

// Each line of the bordered plane (a row in the X direction, a column in the Y direction)
// comes back as the 1-D filter of that line alone, and every row of the mask is that filter.
TEST_P(LineFilters, FilterEveryLineAlike)
{
    const LineCase& c = GetParam();
    const int n = 32;
    CSpmImage image = LinesImage(n);
    FourierWorkspace ws;
    ws.Allocate(n, n);
    const std::size_t pw = ws.PaddedWidth(), border = static_cast<std::size_t>(ws.m_nBorderX);
    ASSERT_EQ(pw, 48u);
    std::vector<double> weights(pw, 1.0), mask;
    for (const FilterPrimitive& p : c.list)
        for (std::size_t x = 0; x < pw; ++x)
            weights[x] *= LineWeight(p, static_cast<double>(pw), static_cast<double>(x) - static_cast<double>(pw / 2));

    const int axis = c.mode == kFourierY ? 1 : 0;
    ASSERT_EQ(LineFourierTransform(image, 0, axis, ws), 1);
    ASSERT_TRUE(BuildListMask(c.list, ws, mask));
    for (std::size_t i = 0; i < mask.size(); ++i)
        ASSERT_NEAR(mask[i], weights[i % pw], 1e-12) << "row " << i / pw << ", column " << i % pw;
    MultiplySpectrumByMask(mask, ws);
    ASSERT_EQ(LineFourierTransform(image, 1, axis, ws), 1);

    std::vector<double> plane(ws.Cells());
    CImageProcessor().CopyToBorderedPlane(plane, image, ws.m_nBorderX, ws.m_nBorderY);
    image.m_pData.swap(image.m_pUndo);
    CImageProcessor().CopyToBorderedPlane(plane, image, ws.m_nBorderX, ws.m_nBorderY);
    image.m_pData.swap(image.m_pUndo);
    // Cell i of line j: (i, j) along rows, (j, i) along columns.
    const auto cell = [&](std::size_t line, std::size_t i) { return axis == 0 ? line * pw + i : i * pw + line; };
    for (std::size_t j = border; j < border + n; ++j) {
        std::vector<double> line(pw);
        for (std::size_t i = 0; i < pw; ++i)
            line[i] = plane[cell(j, i)];
        const std::vector<double> filtered = FilterLine(line, weights);
        for (std::size_t i = border; i < border + n; ++i) {
            const std::size_t x = axis == 0 ? i : j, y = axis == 0 ? j : i;
            ASSERT_NEAR(image.m_pData[(y - border) * n + x - border], filtered[i], 1e-4) << "line " << j - border << ", " << i - border;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Directions, LineFilters,
    testing::Values(
        LineCase{kFourierX, {Prim(1, 0, 4, 0.3)}}, LineCase{kFourierX, {Prim(0, 0, 4, 0.3)}},
        LineCase{kFourierX, {Prim(0, 1, 3, 0.25, 0.0, 30)}}, LineCase{kFourierX, {Prim(1, 1, 2, 0.2, 0.0, 45, 1.5)}},
        LineCase{kFourierY, {Prim(1, 0, 4, 0.3)}}, LineCase{kFourierY, {Prim(0, 1, 3, 0.25, 0.0, 60)}},
        // Two centres: along the line at 90 degrees, part of it at 30, one place at 0.
        LineCase{kFourierX, {Prim(1, 0, 6, 0.1, 0.6, 90, 2.0, 50.0)}},
        LineCase{kFourierY, {Prim(0, 1, 6, 0.1, 0.6, 30, 1.0, 0.2)}},
        LineCase{kFourierX, {Prim(0, 0, 2, 0.2, 0.7, 0)}},
        // The product over a list.
        LineCase{kFourierY, DefaultPrimitives()},
        LineCase{kFourierX, {Prim(0, 0, 4, 0.5), Prim(1, 1, 8, 0.05, 0.8, 270, 1.0, 3.0), Prim(1, 0, 3, 0.04, 0, 20)}}));

// The mask is built for the spectra of the last forward transform: both line directions
// give one mask, every row alike, and the plane's transform gives back the plane's mask.
TEST_F(MaskTest, MaskFollowsTheLastTransform)
{
    CSpmImage image = RandomImage(256, 256);
    const std::vector<FilterPrimitive> list = {Prim(1, 0, 4, 0.3, 0.4, 60, 1.0, 3.0), Prim(0, 1, 2, 0.6, 0, 30)};
    ASSERT_TRUE(BuildListMask(list, ws, mask));
    const std::vector<double> plane = mask;
    std::vector<double> lines[2];
    for (int axis : {0, 1}) {
        LineFourierTransform(image, 0, axis, ws);
        ASSERT_TRUE(BuildListMask(list, ws, lines[axis]));
        for (std::size_t i = 384; i < ws.Cells(); ++i)
            ASSERT_EQ(lines[axis][i], lines[axis][i % 384]) << axis << ": " << i;
    }
    EXPECT_EQ(lines[0], lines[1]);
    FourierTransform2D(image, 0, kShowFiltered, ws);
    ASSERT_TRUE(BuildListMask(list, ws, mask));
    EXPECT_EQ(mask, plane);
    EXPECT_NE(mask, lines[0]);
}

// What the dialog loads and saves again keeps its bytes, whatever direction its masks were
// built for in between: the direction belongs to the spectra, not to the filter.
TEST_F(MaskTest, FilterFileReadAndWrittenKeepsItsBytes)
{
    const ScratchDir dir;
    CSpmImage image = RandomImage(256, 256);
    const std::string path = FilterFilePath((dir / "kept").string());
    const std::vector<FilterPrimitive> lists[] = {
        DefaultPrimitives(), {Prim(1, 1, 7, 0.13, 0.78, 45, 1.5, 2.5)}, {Prim(0, 0, 100, 1.0, 2.0, 360, 99.9, 99.9)}};
    for (const std::vector<FilterPrimitive>& list : lists) {
        ASSERT_TRUE(WriteFilterFile(path, list));
        const std::vector<std::uint8_t> bytes = FileBytes(path);
        for (int mode : {kFourierX, kFourierY, kFourierXY}) {
            TransformByMode(image, mode, 0, kShowFiltered, ws);
            const FilterFileRead read = ReadFilterFile(path);
            ASSERT_EQ(read.list, list);
            ASSERT_TRUE(BuildListMask(read.list, ws, mask));
            ASSERT_TRUE(WriteFilterFile(path, read.list));
            EXPECT_EQ(FileBytes(path), bytes) << mode;
        }
    }
}

} // namespace
