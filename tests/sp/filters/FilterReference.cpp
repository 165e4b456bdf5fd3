#include "FilterReference.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <stdexcept>

BorderedImage::BorderedImage(std::ptrdiff_t width, std::ptrdiff_t height, std::ptrdiff_t border,
                             std::ptrdiff_t stride, std::ptrdiff_t offset, float fill)
    : m_width(width), m_height(height), m_border(border), m_stride(stride), m_offset(offset),
      m_data(static_cast<std::size_t>(offset + stride * (height + 2 * border)), fill)
{
    if (stride < width + 2 * border)
        throw std::invalid_argument("stride shorter than a bordered row");
}

std::size_t BorderedImage::Index(std::ptrdiff_t row, std::ptrdiff_t col) const
{
    if (row < -m_border || row >= m_height + m_border || col < -m_border ||
        col >= m_width + m_border)
        throw std::out_of_range("pixel outside the bordered image");
    return static_cast<std::size_t>(m_offset + (row + m_border) * m_stride + col + m_border);
}

float& BorderedImage::at(std::ptrdiff_t row, std::ptrdiff_t col)
{
    return m_data[Index(row, col)];
}

float BorderedImage::at(std::ptrdiff_t row, std::ptrdiff_t col) const
{
    return m_data[Index(row, col)];
}

void BorderedImage::Fill(const std::function<float(std::ptrdiff_t, std::ptrdiff_t)>& fn)
{
    for (std::ptrdiff_t r = -m_border; r < m_height + m_border; ++r)
        for (std::ptrdiff_t c = -m_border; c < m_width + m_border; ++c)
            at(r, c) = fn(r, c);
}

bool SameFloat(float a, float b)
{
    if (std::isnan(a) && std::isnan(b))
        return true;
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

namespace {

using Image = BorderedImage;
using Index = std::ptrdiff_t;

float F(double v)
{
    return static_cast<float>(v);
}

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
float Sum121(const Image& x, Index r, Index i)
{
    const double l = x.at(r, i - 1), c = x.at(r, i), rt = x.at(r, i + 1);
    return F(((l + c) + c) + rt);
}

float Sum111(const Image& x, Index r, Index i)
{
    const double l = x.at(r, i - 1), c = x.at(r, i), rt = x.at(r, i + 1);
    return F((l + c) + rt);
}

float LeftMinusRight(const Image& x, Index r, Index i)
{
    return F(static_cast<double>(x.at(r, i - 1)) - x.at(r, i + 1));
}

// Elements past the last whole group of four columns are combined in another order.
bool InTail(const Image& x, Index i)
{
    return i >= x.width() - x.width() % 4;
}

// (a + c) + (b + b) in groups of four, ((a + c) + b) + b in the tail.
double Column121(const Image& x, Index i, double a, double b, double c)
{
    return InTail(x, i) ? ((a + c) + b) + b : (a + c) + (b + b);
}

float Gauss3(const Image& x, Index y, Index i)
{
    const double sum = Column121(x, i, Sum121(x, y - 1, i), Sum121(x, y, i), Sum121(x, y + 1, i));
    return F(sum * 0.0625);
}

float CentreMinusSum3(const Image& x, Index y, Index i)
{
    const double t0 = Sum111(x, y - 1, i), t1 = Sum111(x, y, i), t2 = Sum111(x, y + 1, i);
    return F(((9.0 * x.at(y, i) - t0) - t1) - t2);
}

float Lowpass3(const Image& x, Index y, Index i)
{
    const double t0 = Sum111(x, y - 1, i), t1 = Sum111(x, y, i), t2 = Sum111(x, y + 1, i);
    const double factor = std::bit_cast<float>(std::uint32_t{0x3DE38E37});
    return F(((t0 + t1) + t2) * factor);
}

float Sharpen3(const Image& x, Index y, Index i)
{
    const double t0 = Sum111(x, y - 1, i), t1 = Sum111(x, y, i), t2 = Sum111(x, y + 1, i);
    return F((((17.0 * x.at(y, i) - t0) - t1) - t2) * 0.125);
}

float SobelVert3(const Image& x, Index y, Index i)
{
    return F(Column121(x, i, LeftMinusRight(x, y - 1, i), LeftMinusRight(x, y, i),
                       LeftMinusRight(x, y + 1, i)));
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

double W571(int k)
{
    return static_cast<float>(k / 571.0);
}

const Separable5& GaussKernel5()
{
    static const Separable5 k = {
        {W571(2), W571(7), W571(12), W571(7), W571(2)},
        {W571(7), W571(31), W571(52), W571(31), W571(7)},
        {W571(12), W571(52), W571(127), W571(52), W571(12)},
    };
    return k;
}

const Separable5 kLaplace5 = {
    {-1, -3, -4, -3, -1},
    {-3, 0, 6, 0, -3},
    {-4, 6, 20, 6, -4},
};

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

template <spFilterMaskFn* Fn>
FilterCall MaskCall()
{
    return [](const float* s, int ss, float* d, int ds, spRoiSize roi, spMaskSize m) {
        return Fn(s, ss, d, ds, roi, m);
    };
}

template <spFilterFixedFn* Fn>
FilterCall FixedCall()
{
    return [](const float* s, int ss, float* d, int ds, spRoiSize roi, spMaskSize) {
        return Fn(s, ss, d, ds, roi);
    };
}

std::vector<FilterOp> MakeOps()
{
    const spMaskSize m3 = spMskSize3x3, m5 = spMskSize5x5;
    return {
        {"Gauss3x3", 1, m3, true, MaskCall<spFilterGauss>(), MaskCall<spFilterGauss_px>(), Gauss3},
        {"Gauss5x5", 2, m5, true, MaskCall<spFilterGauss>(), MaskCall<spFilterGauss_px>(),
         [](const Image& x, Index y, Index i) { return Weighted5x5(x, y, i, GaussKernel5()); }},
        {"Laplace3x3", 1, m3, true, MaskCall<spFilterLaplace>(), MaskCall<spFilterLaplace_px>(),
         CentreMinusSum3},
        {"Laplace5x5", 2, m5, true, MaskCall<spFilterLaplace>(), MaskCall<spFilterLaplace_px>(),
         [](const Image& x, Index y, Index i) { return Weighted5x5(x, y, i, kLaplace5); }},
        {"Lowpass3x3", 1, m3, true, MaskCall<spFilterLowpass>(), MaskCall<spFilterLowpass_px>(),
         Lowpass3},
        {"Lowpass5x5", 2, m5, true, MaskCall<spFilterLowpass>(), MaskCall<spFilterLowpass_px>(),
         Lowpass5},
        {"Hipass3x3", 1, m3, true, MaskCall<spFilterHipass>(), MaskCall<spFilterHipass_px>(),
         CentreMinusSum3},
        {"Hipass5x5", 2, m5, true, MaskCall<spFilterHipass>(), MaskCall<spFilterHipass_px>(),
         Hipass5},
        {"Sharpen", 1, m3, false, FixedCall<spFilterSharpen>(), FixedCall<spFilterSharpen_px>(),
         Sharpen3},
        {"SobelVert", 1, m3, false, FixedCall<spFilterSobelVert>(),
         FixedCall<spFilterSobelVert_px>(), SobelVert3},
        {"SobelHoriz", 1, m3, false, FixedCall<spFilterSobelHoriz>(),
         FixedCall<spFilterSobelHoriz_px>(), SobelHoriz3},
    };
}

} // namespace

const std::vector<FilterOp>& AllFilterOps()
{
    static const std::vector<FilterOp> ops = MakeOps();
    return ops;
}

const FilterOp& FindFilterOp(const std::string& name)
{
    for (const FilterOp& op : AllFilterOps())
        if (op.name == name)
            return op;
    throw std::invalid_argument("no filter named " + name);
}

std::vector<float> ReferenceOutput(const FilterOp& op, const BorderedImage& src)
{
    std::vector<float> out;
    out.reserve(static_cast<std::size_t>(src.width() * src.height()));
    for (Index y = 0; y < src.height(); ++y)
        for (Index i = 0; i < src.width(); ++i)
            out.push_back(op.reference(src, y, i));
    return out;
}
