// Butterworth masks of primitives and lists, and the ideal filters of the drag.
#include <gtest/gtest.h>

#include <complex>
#include <functional>
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
    int w = 256, h = 256;
};

void PrintTo(const Ideal& c, std::ostream* os)
{
    *os << (c.circle ? "circle " : "line ") << c.limit << (c.highPass ? " high-pass, " : " low-pass, ") << c.w << " x " << c.h;
}

class IdealFilters : public MaskTest, public testing::WithParamInterface<Ideal> {};

// Every cell, the first row and column too, is kept or zeroed by its distance alone from the
// zero frequency, which lies between two cells on an odd side.
TEST_P(IdealFilters, KeepCellsByDistance)
{
    const Ideal p = GetParam();
    ws.Allocate(p.w, p.h);
    const std::size_t pw = ws.PaddedWidth(), ph = ws.PaddedHeight();
    for (std::size_t i = 0; i < ws.Cells(); ++i)
        ws.m_pUnfilteredRe[i] = ws.m_pUnfilteredIm[i] = ws.m_pSpectrumRe[i] = 1.0 + static_cast<double>(i);
    p.circle ? CircleIdealFilter(p.limit, p.highPass, ws) : LineIdealFilter(p.limit, p.highPass, ws);
    for (std::size_t y = 0; y < ph; ++y)
        for (std::size_t x = 0; x < pw; ++x) {
            const double dx = std::fabs(x - pw / 2.0), dy = std::fabs(y - ph / 2.0);
            const double d = p.circle ? std::sqrt(dx * dx + dy * dy) : dx;
            const bool kept = p.highPass ? d >= p.limit : d <= p.limit;
            ASSERT_EQ(ws.m_pSpectrumRe[y * pw + x], kept ? ws.m_pUnfilteredRe[y * pw + x] : 0.0) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Limits, IdealFilters,
                         testing::Values(Ideal{false, 0, 0}, Ideal{false, 20, 0}, Ideal{false, 20, 1},
                                         Ideal{false, -1, 0}, Ideal{true, 0, 1}, Ideal{true, 5, 0},
                                         Ideal{true, 40, 1}, Ideal{true, -3, 0},
                                         Ideal{false, 0, 0, 51, 39}, Ideal{false, 7, 0, 51, 39},
                                         Ideal{false, 7, 1, 51, 39}, Ideal{true, 1, 0, 51, 39},
                                         Ideal{true, 9, 1, 51, 39}, Ideal{true, 2, 0, 5, 7}));

// The response of one Butterworth lobe at distance d, and the low-pass sum or the high-pass
// remainder of a primitive's two lobes.
double Lobe(const FilterPrimitive& p, double d, double d0)
{
    return 1 / (1 + std::pow(d / d0, 2.0 * p.Oder));
}

double Combined(const FilterPrimitive& p, double first, double second)
{
    if (p.Shift == 0)
        second = 0;
    return p.LoPass == 0 ? std::min(first + second, 1.0) : std::max(1 - first - second, 0.0);
}

// The 1-D Butterworth filter a primitive stands for on a line of n values, at the centred
// frequency k: its centres at plus and minus the part of the shift along the line, its
// distance along the line scaled by Xcomp, whatever its shape.
double LineWeight(const FilterPrimitive& p, double n, double k)
{
    const double factor = 1.5, d0 = n * p.Cutoff / (2 * factor);
    const double offset = n * std::sin(p.Angle * std::numbers::pi / 180) * p.Shift / (2 * factor);
    const auto lobe = [&](double centre) { return Lobe(p, std::fabs((k - centre) / p.Xcomp), d0); };
    return Combined(p, lobe(offset), lobe(-offset));
}

// The 2-D filter of a primitive on a plane of pw x ph cells, at the centred frequency (fx, fy):
// its shape turned by Angle, its two centres at plus and minus the shift in that direction.
double PlaneWeight(const FilterPrimitive& p, double pw, double ph, double fx, double fy)
{
    const double factor = 1.5, d0 = pw * p.Cutoff / (2 * factor), theta = p.Angle * std::numbers::pi / 180;
    const double ox = pw * std::sin(theta) * p.Shift / (2 * factor), oy = ph * std::cos(theta) * p.Shift / (2 * factor);
    const auto lobe = [&](double cx, double cy) {
        const double dx = fx - cx, dy = fy - cy;
        const double u = (dx * std::cos(theta) - dy * std::sin(theta)) / p.Xcomp;
        const double v = (dx * std::sin(theta) + dy * std::cos(theta)) / p.Ycomp;
        return Lobe(p, p.Type == 0 ? std::hypot(u, v) : std::fabs(u), d0);
    };
    return Combined(p, lobe(ox, oy), lobe(-ox, -oy));
}

using Complex = std::complex<long double>;

// Every line of the plane along x or along y, from values to the centred frequencies
// f = k - n / 2 (k below n, halves on an odd side) or back: a direct DFT in long double.
void TransformLines(std::vector<Complex>& plane, std::size_t pw, std::size_t ph, bool alongY, bool inverse)
{
    const std::size_t n = alongY ? ph : pw, lines = alongY ? pw : ph;
    const auto at = [&](std::size_t line, std::size_t i) -> Complex& { return alongY ? plane[i * pw + line] : plane[line * pw + i]; };
    std::vector<Complex> wave(n * n), result(n);
    for (std::size_t k = 0; k < n; ++k)
        for (std::size_t x = 0; x < n; ++x) {
            const long double f = static_cast<long double>(k) - n / 2.0L;
            wave[k * n + x] = std::polar(1.0L, (inverse ? 2 : -2) * std::numbers::pi_v<long double> * x * f / n);
        }
    for (std::size_t line = 0; line < lines; ++line) {
        for (std::size_t out = 0; out < n; ++out) {
            result[out] = 0;
            for (std::size_t in = 0; in < n; ++in)
                result[out] += at(line, in) * (inverse ? wave[in * n + out] : wave[out * n + in]);
        }
        for (std::size_t i = 0; i < n; ++i)
            at(line, i) = result[i];
    }
}

// The plane (pw x ph values, row-major) filtered by weight(fx, fy) of its centred
// frequencies, and not cut to its real part: a filter that weighs every frequency as its
// negative leaves it real.
std::vector<Complex> CentredFilter(const std::vector<double>& values, std::size_t pw, std::size_t ph,
                                   const std::function<double(double, double)>& weight)
{
    std::vector<Complex> plane(values.begin(), values.end());
    TransformLines(plane, pw, ph, false, false);
    TransformLines(plane, pw, ph, true, false);
    for (std::size_t y = 0; y < ph; ++y)
        for (std::size_t x = 0; x < pw; ++x)
            plane[y * pw + x] *= weight(x - pw / 2.0, y - ph / 2.0) / static_cast<long double>(pw * ph);
    TransformLines(plane, pw, ph, true, true);
    TransformLines(plane, pw, ph, false, true);
    return plane;
}

double MaxMagnitude(const std::vector<double>& values)
{
    double worst = 0;
    for (double v : values)
        worst = std::max(worst, std::fabs(v));
    return worst;
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

// The image as the transforms see it: in the bordered plane, with mirrored borders.
std::vector<double> BorderedPlane(const CSpmImage& image, const FourierWorkspace& ws)
{
    std::vector<double> plane(ws.Cells());
    CSpmImage original = image;
    original.m_pData = image.m_pUndo;
    CImageProcessor().CopyToBorderedPlane(plane, original, ws.m_nBorderX, ws.m_nBorderY);
    return plane;
}

struct LineCase {
    int mode;
    std::vector<FilterPrimitive> list;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << (c.mode == kFourierY ? "Y" : "X") << " direction, " << c.list.size() << " primitive(s)";
}

// Sides of 32 and 31 points: bordered lines of 48 and 45 values.
class LineFilters : public testing::TestWithParam<std::tuple<int, LineCase>> {};

// Each line of the bordered plane (a row in the X direction, a column in the Y direction)
// comes back as the 1-D filter of that line alone, and every row of the mask is that filter.
// The filtered image stays real: the imaginary part the heights drop is rounding.
TEST_P(LineFilters, FilterEveryLineAlike)
{
    const auto& [n, c] = GetParam();
    CSpmImage image = LinesImage(n);
    FourierWorkspace ws;
    ws.Allocate(n, n);
    const std::size_t pw = ws.PaddedWidth(), border = static_cast<std::size_t>(ws.m_nBorderX);
    ASSERT_EQ(pw, n % 2 == 0 ? 48u : 45u);
    const auto weight = [&](double k, double) {
        double w = 1.0;
        for (const FilterPrimitive& p : c.list)
            w *= LineWeight(p, static_cast<double>(pw), k);
        return w;
    };
    std::vector<double> mask;

    const int axis = c.mode == kFourierY ? 1 : 0;
    ASSERT_EQ(LineFourierTransform(image, 0, axis, ws), 1);
    ASSERT_TRUE(BuildListMask(c.list, ws, mask));
    for (std::size_t i = 0; i < mask.size(); ++i)
        ASSERT_NEAR(mask[i], weight(i % pw - pw / 2.0, 0), 1e-12) << "row " << i / pw << ", column " << i % pw;
    MultiplySpectrumByMask(mask, ws);
    ASSERT_EQ(LineFourierTransform(image, 1, axis, ws), 1);
    EXPECT_LT(MaxMagnitude(ws.m_pSpatialIm), 1e-4);

    const std::vector<double> plane = BorderedPlane(image, ws);
    // Cell i of line j: (i, j) along rows, (j, i) along columns.
    const auto cell = [&](std::size_t line, std::size_t i) { return axis == 0 ? line * pw + i : i * pw + line; };
    for (std::size_t j = border; j < border + n; ++j) {
        std::vector<double> line(pw);
        for (std::size_t i = 0; i < pw; ++i)
            line[i] = plane[cell(j, i)];
        const std::vector<Complex> filtered = CentredFilter(line, pw, 1, weight);
        for (std::size_t i = border; i < border + n; ++i) {
            const std::size_t x = axis == 0 ? i : j, y = axis == 0 ? j : i;
            ASSERT_NEAR(image.m_pData[(y - border) * n + x - border], filtered[i].real(), 1e-4) << "line " << j - border << ", " << i - border;
            ASSERT_NEAR(filtered[i].imag(), 0.0, 1e-12);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Directions, LineFilters,
    testing::Combine(testing::Values(32, 31), testing::Values(
        LineCase{kFourierX, {Prim(1, 0, 4, 0.3)}}, LineCase{kFourierX, {Prim(0, 0, 4, 0.3)}},
        LineCase{kFourierX, {Prim(0, 1, 3, 0.25, 0.0, 30)}}, LineCase{kFourierX, {Prim(1, 1, 2, 0.2, 0.0, 45, 1.5)}},
        LineCase{kFourierY, {Prim(1, 0, 4, 0.3)}}, LineCase{kFourierY, {Prim(0, 1, 3, 0.25, 0.0, 60)}},
        // Two centres: along the line at 90 degrees, part of it at 30, one place at 0.
        LineCase{kFourierX, {Prim(1, 0, 6, 0.1, 0.6, 90, 2.0, 50.0)}},
        LineCase{kFourierY, {Prim(0, 1, 6, 0.1, 0.6, 30, 1.0, 0.2)}},
        LineCase{kFourierX, {Prim(0, 0, 2, 0.2, 0.7, 0)}},
        // The product over a list.
        LineCase{kFourierY, DefaultPrimitives()},
        LineCase{kFourierX, {Prim(0, 0, 4, 0.5), Prim(1, 1, 8, 0.05, 0.8, 270, 1.0, 3.0), Prim(1, 0, 3, 0.04, 0, 20)}})));

struct PlaneCase {
    int w, h;
    std::vector<FilterPrimitive> list;
};

void PrintTo(const PlaneCase& c, std::ostream* os)
{
    *os << c.w << " x " << c.h << ", " << c.list.size() << " primitive(s)";
}

class PlaneFilters : public testing::TestWithParam<PlaneCase> {};

// The 2-D filter of a real image weighs every frequency of the centred spectrum as its
// negative, about the zero frequency at (W'/2, H'/2), between two cells on an odd side: the
// image comes back real, and as the filter of a direct transform in long double.
TEST_P(PlaneFilters, ARealImageFilteredStaysReal)
{
    const PlaneCase& c = GetParam();
    CSpmImage image = RandomImage(c.w, c.h, 5);
    FourierWorkspace ws;
    ws.Allocate(c.w, c.h);
    const std::size_t pw = ws.PaddedWidth(), ph = ws.PaddedHeight();
    const auto weight = [&](double fx, double fy) {
        double w = 1.0;
        for (const FilterPrimitive& p : c.list)
            w *= PlaneWeight(p, static_cast<double>(pw), static_cast<double>(ph), fx, fy);
        return w;
    };
    std::vector<double> mask;
    ASSERT_EQ(FourierTransform2D(image, 0, kShowFiltered, ws), 1);
    ASSERT_TRUE(BuildListMask(c.list, ws, mask));
    for (std::size_t i = 0; i < mask.size(); ++i)
        ASSERT_NEAR(mask[i], weight(i % pw - pw / 2.0, i / pw - ph / 2.0), 1e-12) << "column " << i % pw << ", row " << i / pw;
    MultiplySpectrumByMask(mask, ws);
    ASSERT_EQ(FourierTransform2D(image, 1, kShowFiltered, ws), 1);
    EXPECT_LT(MaxMagnitude(ws.m_pSpatialIm), 1e-5);

    const std::vector<Complex> filtered = CentredFilter(BorderedPlane(image, ws), pw, ph, weight);
    const auto border = static_cast<std::size_t>(ws.m_nBorderX), top = static_cast<std::size_t>(ws.m_nBorderY);
    for (std::size_t r = 0; r < static_cast<std::size_t>(c.h); ++r)
        for (std::size_t col = 0; col < static_cast<std::size_t>(c.w); ++col) {
            const Complex z = filtered[(r + top) * pw + col + border];
            ASSERT_NEAR(image.m_pData[r * c.w + col], z.real(), 1e-5) << col << "," << r;
            ASSERT_NEAR(z.imag(), 0.0, 1e-12);
        }
}

// Odd sizes with one centre and two; an even size with one centre, and two whole cells from
// the zero frequency.
INSTANTIATE_TEST_SUITE_P(
    Sizes, PlaneFilters,
    testing::Values(PlaneCase{51, 39, DefaultPrimitives()}, PlaneCase{51, 39, {Prim(0, 0, 4, 0.3)}},
                    PlaneCase{51, 39, {Prim(1, 1, 3, 0.2, 0.0, 90)}},
                    PlaneCase{51, 39, {Prim(0, 0, 2, 0.25, 0.6, 90, 1.5, 0.7)}},
                    PlaneCase{51, 39, {Prim(0, 1, 4, 0.3, 0.5, 180, 1.0, 1.0)}},
                    PlaneCase{51, 39, {Prim(1, 0, 6, 0.1, 0.7, 0, 2.0, 0.5), Prim(0, 0, 4, 0.6)}},
                    PlaneCase{5, 7, {Prim(0, 0, 2, 0.5)}}, PlaneCase{5, 7, {Prim(1, 1, 2, 0.4, 0.3, 0)}},
                    PlaneCase{31, 20, {Prim(0, 0, 3, 0.3, 0.0, 0, 1.0, 2.0)}},
                    PlaneCase{8, 6, {Prim(0, 0, 2, 0.5)}}, PlaneCase{8, 6, {Prim(1, 1, 2, 0.4, 0.0, 90)}},
                    PlaneCase{8, 6, {Prim(0, 0, 3, 0.3, 0.75, 0)}}));

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
