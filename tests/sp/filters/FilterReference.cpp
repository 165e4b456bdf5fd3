// The slow reference: every output pixel on its own, straight from the kernel formulas, in
// double precision in the evaluation orders the filters keep, each row result rounded to float where
// the filters keep it in a float row buffer.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "FilterTestSupport.h"

namespace {

using Image = BorderedImage;

float F(double v) { return static_cast<float>(v); }

// Sum of w[k] * x(row, col - 2 + k), left to right, zero weights skipped, rounded to float.
float Weighted5(const Image& x, Index row, Index col, const double (&w)[5])
{
    double acc = 0.0;
    bool first = true;
    for (int k = 0; k < 5; ++k) {
        if (w[k] == 0.0)
            continue;
        const double term = w[k] * static_cast<double>(x.at(row, col - 2 + k));
        acc = first ? term : acc + term;
        first = false;
    }
    return F(acc);
}

// Horizontal three-tap results of the 3x3 filters, rounded as the row buffers hold them.
template <int Centre>
float Sum1C1(const Image& x, Index r, Index i)
{
    const double l = x.at(r, i - 1), c = x.at(r, i), rt = x.at(r, i + 1);
    return F((Centre == 2 ? (l + c) + c : l + c) + rt);
}
constexpr auto Sum121 = Sum1C1<2>;
constexpr auto Sum111 = Sum1C1<1>;

float LeftMinusRight(const Image& x, Index r, Index i)
{
    return F(static_cast<double>(x.at(r, i - 1)) - x.at(r, i + 1));
}

// One row result of the rows above, at and below output row y.
struct Three {
    double above, at, below;
};

Three Rows(const Image& x, Index y, Index i, float (*tap)(const Image&, Index, Index))
{
    return {tap(x, y - 1, i), tap(x, y, i), tap(x, y + 1, i)};
}

// (a + c) + (b + b) in whole groups of four columns, ((a + c) + b) + b past the last group.
double Column121(const Image& x, Index i, const Three& t)
{
    const bool tail = i >= x.width() - x.width() % 4;
    return tail ? ((t.above + t.below) + t.at) + t.at : (t.above + t.below) + (t.at + t.at);
}

float Gauss3(const Image& x, Index y, Index i)
{
    return F(Column121(x, i, Rows(x, y, i, Sum121)) * 0.0625);
}

float CentreMinusSum3(const Image& x, Index y, Index i)
{
    const Three t = Rows(x, y, i, Sum111);
    return F(((9.0 * x.at(y, i) - t.above) - t.at) - t.below);
}

float Lowpass3(const Image& x, Index y, Index i)
{
    const Three t = Rows(x, y, i, Sum111);
    const double factor = std::bit_cast<float>(std::uint32_t{0x3DE38E37});
    return F(((t.above + t.at) + t.below) * factor);
}

float Sharpen3(const Image& x, Index y, Index i)
{
    const Three t = Rows(x, y, i, Sum111);
    return F((((17.0 * x.at(y, i) - t.above) - t.at) - t.below) * 0.125);
}

float SobelVert3(const Image& x, Index y, Index i)
{
    return F(Column121(x, i, Rows(x, y, i, LeftMinusRight)));
}

float SobelHoriz3(const Image& x, Index y, Index i)
{
    return F(static_cast<double>(Sum121(x, y + 1, i)) - Sum121(x, y - 1, i));
}

// The 5x5 kernels whose rows are weighted sums: rows y-2 and y+2 use `outer`, y-1 and y+1
// `middle`, y `centre`; the five rounded row sums are added top to bottom.
struct Separable5 {
    double outer[5], middle[5], centre[5];
};

float Weighted5x5(const Image& x, Index y, Index i, const Separable5& k)
{
    const double p0 = Weighted5(x, y - 2, i, k.outer), q1 = Weighted5(x, y - 1, i, k.middle);
    const double r2 = Weighted5(x, y, i, k.centre), q3 = Weighted5(x, y + 1, i, k.middle);
    const double p4 = Weighted5(x, y + 2, i, k.outer);
    return F((((p0 + q1) + r2) + q3) + p4);
}

constexpr IntKernel kGauss5x5{{{2, 7, 12, 7, 2}, {7, 31, 52, 31, 7}, {12, 52, 127, 52, 12},
                               {7, 31, 52, 31, 7}, {2, 7, 12, 7, 2}}, 571};
constexpr IntKernel kLaplace5x5{{{-1, -3, -4, -3, -1}, {-3, 0, 6, 0, -3}, {-4, 6, 20, 6, -4},
                                 {-3, 0, 6, 0, -3}, {-1, -3, -4, -3, -1}}, 1};

// The row weights of a symmetric 5x5 kernel, each divided by the divisor as a float.
Separable5 RowsOf(const IntKernel& k)
{
    Separable5 s{};
    for (std::size_t c = 0; c < 5; ++c)
        for (auto [row, weights] : {std::pair{0, s.outer}, {1, s.middle}, {2, s.centre}})
            weights[c] = static_cast<float>(k.w[row][c] / static_cast<double>(k.divisor));
    return s;
}

// The 5x5 box sum: each row's five taps, then the five rows, each rounded to float.
float BoxSum5(const Image& x, Index y, Index i)
{
    static const double ones[5] = {1, 1, 1, 1, 1};
    double sum = Weighted5(x, y - 2, i, ones);
    for (Index r = y - 1; r <= y + 2; ++r)
        sum = sum + Weighted5(x, r, i, ones);
    return F(sum);
}

float Lowpass5(const Image& x, Index y, Index i)
{
    return F(BoxSum5(x, y, i) * static_cast<double>(0.04f));
}

float Hipass5(const Image& x, Index y, Index i)
{
    return F(25.0 * x.at(y, i) - BoxSum5(x, y, i));
}

// The filters without a mask, called through the mask filters' signature.
template <spFilterFixedFn* Fn>
spStatus IgnoringMask(const float* s, int ss, float* d, int ds, spRoiSize roi, spMaskSize)
{
    return Fn(s, ss, d, ds, roi);
}

std::vector<FilterOp> MakeOps()
{
    const spMaskSize m3 = spMskSize3x3, m5 = spMskSize5x5;
    const auto gauss5 = [](const Image& x, Index y, Index i) {
        static const Separable5 k = RowsOf(kGauss5x5);
        return Weighted5x5(x, y, i, k);
    };
    const auto laplace5 = [](const Image& x, Index y, Index i) {
        static const Separable5 k = RowsOf(kLaplace5x5);
        return Weighted5x5(x, y, i, k);
    };
    // Row -1 / 0 / +1 of a 3x3 kernel with column weights l c r each.
    const auto k3 = [](std::array<int, 9> w, int divisor) {
        IntKernel k{{}, divisor};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                k.w[r + 1][c + 1] = w[static_cast<std::size_t>(3 * r + c)];
        return k;
    };
    const IntKernel centreMinusSum = k3({-1, -1, -1, -1, 8, -1, -1, -1, -1}, 1);
    IntKernel ones5{{}, 25}, hipass5{{}, 1};
    for (auto& row : ones5.w)
        std::fill(std::begin(row), std::end(row), 1);
    for (auto& row : hipass5.w)
        std::fill(std::begin(row), std::end(row), -1);
    hipass5.w[2][2] = 24;
    return {
        {"Gauss3x3", 1, m3, true, spFilterGauss, spFilterGauss_px, Gauss3,
         k3({1, 2, 1, 2, 4, 2, 1, 2, 1}, 16)},
        {"Gauss5x5", 2, m5, true, spFilterGauss, spFilterGauss_px, gauss5, kGauss5x5},
        {"Laplace3x3", 1, m3, true, spFilterLaplace, spFilterLaplace_px, CentreMinusSum3,
         centreMinusSum},
        {"Laplace5x5", 2, m5, true, spFilterLaplace, spFilterLaplace_px, laplace5, kLaplace5x5},
        {"Lowpass3x3", 1, m3, true, spFilterLowpass, spFilterLowpass_px, Lowpass3,
         k3({1, 1, 1, 1, 1, 1, 1, 1, 1}, 9)},
        {"Lowpass5x5", 2, m5, true, spFilterLowpass, spFilterLowpass_px, Lowpass5, ones5},
        {"Hipass3x3", 1, m3, true, spFilterHipass, spFilterHipass_px, CentreMinusSum3,
         centreMinusSum},
        {"Hipass5x5", 2, m5, true, spFilterHipass, spFilterHipass_px, Hipass5, hipass5},
        {"Sharpen", 1, m3, false, IgnoringMask<spFilterSharpen>, IgnoringMask<spFilterSharpen_px>,
         Sharpen3, k3({-1, -1, -1, -1, 16, -1, -1, -1, -1}, 8)},
        {"SobelVert", 1, m3, false, IgnoringMask<spFilterSobelVert>,
         IgnoringMask<spFilterSobelVert_px>, SobelVert3, k3({1, 0, -1, 2, 0, -2, 1, 0, -1}, 1)},
        {"SobelHoriz", 1, m3, false, IgnoringMask<spFilterSobelHoriz>,
         IgnoringMask<spFilterSobelHoriz_px>, SobelHoriz3,
         k3({-1, -2, -1, 0, 0, 0, 1, 2, 1}, 1)},
    };
}

} // namespace

const std::vector<FilterOp>& AllFilterOps()
{
    static const std::vector<FilterOp> ops = MakeOps();
    return ops;
}
