// Gaussian high-pass along the rows: each height minus its Gaussian-weighted mean.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "image/SpmImage.h"
#include "processing/ImageProcessor.h"
#include "processing/PlaneShape.h"
#include "processing/Reflection.h"

namespace {

// sqrt(ln 2 / pi): the Gaussian passes 50 % at the cutoff wavelength.
constexpr double kAlpha = 0.46971863934982566;
constexpr double kInversePi = 0.3183098861837907;

// Weights w0 .. wm of offsets 0 .. m: w(k) = s exp(-pi (k s)^2), by a multiplicative
// recurrence; m is the last offset whose weight is at least 0.001 spacing, plus one.
std::vector<double> GaussWeights(double spacing, double cutoff)
{
    const double s = spacing / (cutoff * kAlpha);
    // A cutoff so long that even w0 is below the threshold keeps one neighbour each side.
    const double spread = std::max(0.0, std::log(s / (0.001 * spacing)) * kInversePi);
    const auto m = static_cast<std::size_t>(std::sqrt(spread) / s + 1.0);
    std::vector<double> weights(m + 1);
    weights[0] = s;
    const double q = std::exp(-std::numbers::pi * s * s);
    double ratio = q;
    for (std::size_t k = 1; k <= m; ++k) {
        weights[k] = weights[k - 1] * ratio;
        ratio *= q * q;
    }
    return weights;
}

// Writes out[i] = row[i] - (w0 row[i] + sum over k of wk (row[i - k] + row[i + k])) for
// i = 0 .. count - 1; row reaches m samples past both ends. Sums run in blocks of
// neighbouring outputs, one vector register of Lanes outputs per accumulator; every lane adds
// its terms in the scalar order, so the result is the same to the bit as one sum at a time.
// Unaligned load of neighbouring samples into a register (taken by reference: returning a
// wide vector from a function compiled without AVX would change its calling convention).
template <class Lanes>
[[gnu::always_inline]] inline Lanes& Load(Lanes& v, const double* p)
{
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class Lanes>
[[gnu::always_inline]] inline void HighPassRowWith(const double* row, std::size_t count, const std::vector<double>& w,
                                                   double* out)
{
    constexpr std::size_t kLanes = sizeof(Lanes) / sizeof(double);
    // Enough independent sums to hide the latency of the additions.
    constexpr std::size_t kBlock = 8;
    const std::size_t m = w.size() - 1;
    std::size_t i = 0;
    for (; i + kBlock * kLanes <= count; i += kBlock * kLanes) {
        Lanes sums[kBlock], left, right;
        for (std::size_t b = 0; b < kBlock; ++b)
            sums[b] = w[0] * Load(left, row + i + b * kLanes);
        for (std::size_t k = 1; k <= m; ++k)
            for (std::size_t b = 0; b < kBlock; ++b) {
                const double* centre = row + i + b * kLanes;
                sums[b] += w[k] * (Load(left, centre - k) + Load(right, centre + k));
            }
        for (std::size_t b = 0; b < kBlock; ++b) {
            const Lanes result = Load(left, row + i + b * kLanes) - sums[b];
            std::memcpy(out + i + b * kLanes, &result, sizeof result);
        }
    }
    for (; i < count; ++i) {
        double mean = w[0] * row[i];
        for (std::size_t k = 1; k <= m; ++k)
            mean += w[k] * (row[i - k] + row[i + k]);
        out[i] = row[i] - mean;
    }
}

using Lanes2 = double __attribute__((vector_size(16)));
using Lanes4 = double __attribute__((vector_size(32)));

void HighPassRowSse2(const double* row, std::size_t count, const std::vector<double>& w, double* out)
{
    HighPassRowWith<Lanes2>(row, count, w, out);
}

// Twice the lanes where the processor has them; without fused multiply-adds the sums stay
// those of the plain version.
[[gnu::target("avx2")]] void HighPassRowAvx2(const double* row, std::size_t count, const std::vector<double>& w,
                                            double* out)
{
    HighPassRowWith<Lanes4>(row, count, w, out);
}

using HighPassRowFn = void (*)(const double*, std::size_t, const std::vector<double>&, double*);

HighPassRowFn HighPassRow()
{
    static const HighPassRowFn chosen = __builtin_cpu_supports("avx2") ? HighPassRowAvx2 : HighPassRowSse2;
    return chosen;
}

}  // namespace

int CImageProcessor::LineHipassGauss(CSpmImage& image, double spacing, double cutoff)
{
    const auto shape = ShapeOf(image);
    if (!shape || !(spacing > 0.0) || !(cutoff > 0.0) || !std::isfinite(spacing) || !std::isfinite(cutoff))
        return 0;
    const std::vector<double> weights = GaussWeights(spacing, cutoff);
    const std::size_t border = weights.size();  // m + 1
    const std::size_t width = shape->width;
    // The row mirrored about its first and last samples, as often as a narrow row needs.
    std::vector<std::size_t> borderSource(2 * border);
    for (std::size_t k = 0; k < border; ++k) {
        borderSource[k] = ReflectAboutEdge(static_cast<std::ptrdiff_t>(k) - static_cast<std::ptrdiff_t>(border), width);
        borderSource[border + k] = ReflectAboutEdge(static_cast<std::ptrdiff_t>(width + k), width);
    }
    std::vector<double> padded(width + 2 * border);
    const HighPassRowFn highPassRow = HighPassRow();
    for (std::size_t y = 0; y < shape->height; ++y) {
        double* line = image.m_pData.data() + y * width;
        for (std::size_t k = 0; k < border; ++k) {
            padded[k] = line[borderSource[k]];
            padded[border + width + k] = line[borderSource[border + k]];
        }
        std::memcpy(padded.data() + border, line, width * sizeof(double));
        highPassRow(padded.data() + border, width, weights, line);
    }
    return 1;
}
