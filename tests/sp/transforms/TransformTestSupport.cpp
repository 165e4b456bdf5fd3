#include "TransformTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include "sp/transforms/spColFft.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFftPlan.h"

namespace sptest {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

double Log2(std::int64_t n) { return std::log2(static_cast<double>(n)); }

using Complex = std::complex<long double>;

// In-place long-double DFT of `n` values at `data` spaced `stride` apart, in plain real
// arithmetic (std::complex products call the library for infinities, slowly).
void ExactLine(Complex* data, std::int64_t n, std::int64_t stride, bool inverse)
{
    const Exact roots = Roots(n);
    const long double sign = inverse ? -1 : 1;
    Exact out(static_cast<size_t>(n));
    for (std::int64_t k = 0; k < n; ++k) {
        long double re = 0, im = 0;
        std::int64_t m = 0;
        for (std::int64_t j = 0; j < n; ++j) {
            const long double wr = roots[static_cast<size_t>(m)].real();
            const long double wi = sign * roots[static_cast<size_t>(m)].imag();
            const long double xr = data[j * stride].real(), xi = data[j * stride].imag();
            re += xr * wr - xi * wi;
            im += xi * wr + xr * wi;
            m += k;
            if (m >= n)
                m -= n;
        }
        out[static_cast<size_t>(k)] = {re, im};
    }
    for (std::int64_t k = 0; k < n; ++k)
        data[k * stride] = out[static_cast<size_t>(k)];
}

// One bin of the oracle's sum.
Complex OracleBin(const Signal& x, std::int64_t k, bool inverse)
{
    // exp(-+2 pi i j k / N) by a long-double recurrence, seeded exactly every 512 steps, so
    // the roots stay far more accurate than float without a table of N roots.
    const auto n = static_cast<std::int64_t>(x.size());
    const long double sign = inverse ? 1.0L : -1.0L;
    const auto exactRoot = [&](std::int64_t j) {
        const std::int64_t m = static_cast<std::int64_t>((static_cast<__int128>(j) * k) % n);
        const long double angle = 2 * kPi * static_cast<long double>(m) / static_cast<long double>(n);
        return Complex(std::cos(angle), sign * std::sin(angle));
    };
    const Complex step = exactRoot(1);
    const long double sr = step.real(), si = step.imag();
    long double wr = 1, wi = 0, re = 0, im = 0;
    for (std::int64_t j = 0; j < n; ++j) {
        if (j % 512 == 0) {
            const Complex w = exactRoot(j);
            wr = w.real();
            wi = w.imag();
        } else {
            const long double r = wr * sr - wi * si;
            wi = wr * si + wi * sr;
            wr = r;
        }
        const long double xr = x[static_cast<size_t>(j)].re, xi = x[static_cast<size_t>(j)].im;
        re += xr * wr - xi * wi;
        im += xi * wr + xr * wi;
    }
    return {re, im};
}

} // namespace

double SmallBound() { return 4 * kEps; }
double FftBound(std::int64_t n) { return 2 * kEps * std::max(1.0, Log2(n)); }
double BluesteinBound(std::int64_t m) { return 4 * kEps * Log2(m); }

double PathBound(const spDftSpec* spec)
{
    if (spec->len <= 4 || spec->directRoots != nullptr)
        return SmallBound();
    if (spec->bluesteinLen != 0)
        return BluesteinBound(spec->bluesteinLen);
    return FftBound(spec->len);
}

std::string ColumnName(const testing::TestParamInfo<int>& info) { return "Column" + std::to_string(info.param); }

bool NearColumnZero(const Signal& y, const Signal& y0)
{
    long double sum = 0, worst = 0;
    for (size_t k = 0; k < y0.size(); ++k) {
        sum += std::norm(Complex(y0[k].re, y0[k].im));
        worst = std::max(worst, std::abs(Complex(y[k].re - y0[k].re, y[k].im - y0[k].im)));
    }
    const double rms = static_cast<double>(std::sqrt(sum / static_cast<long double>(y0.size())));
    const double n = static_cast<double>(y0.size());
    return spDispatchIndex == 0 || static_cast<double>(worst) <= 8 * kEps * std::max(1.0, std::log2(n)) * rms;
}

Signal ColumnZeroDft(const Signal& x, bool inverse, spScaleFlag flag)
{
    spDftSpec* spec = nullptr;
    EXPECT_EQ(spDftInitAlloc_px(&spec, static_cast<int>(x.size()), flag, 0), spStsNoErr);
    Signal y(x.size());
    EXPECT_EQ((inverse ? spDftInverse_px : spDftForward_px)(x.data(), y.data(), spec, nullptr), spStsNoErr);
    spDftFree_px(spec);
    return y;
}

Signal ColumnZeroFft(const Signal& x, bool inverse)
{
    spFftSpec* spec = nullptr;
    const int order = static_cast<int>(std::log2(static_cast<double>(x.size())));
    EXPECT_EQ(spFftInitAllocCol<0>(&spec, order, spNoDivByAny, 0), spStsNoErr);
    Signal y(x.size());
    EXPECT_EQ((inverse ? spFftRunCol<0, true> : spFftRunCol<0, false>)(x.data(), y.data(), spec, nullptr), spStsNoErr);
    spFftFreeCol<0>(spec);
    return y;
}

Signal RandomSignal(std::int64_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    Signal x(static_cast<size_t>(n));
    for (auto& v : x)
        v = {dist(gen), dist(gen)};
    return x;
}

Exact Roots(std::int64_t n)
{
    Exact roots(static_cast<size_t>(n));
    for (std::int64_t m = 0; m < n; ++m) {
        const long double angle = 2 * kPi * static_cast<long double>(m) / static_cast<long double>(n);
        roots[static_cast<size_t>(m)] = {std::cos(angle), -std::sin(angle)};
    }
    return roots;
}

Exact OracleDft(const Signal& x, bool inverse)
{
    Exact y = Scaled(x);
    ExactLine(y.data(), static_cast<std::int64_t>(y.size()), 1, inverse);
    return y;
}

Exact Scaled(const Signal& x, long double factor)
{
    Exact out(x.size());
    for (size_t k = 0; k < x.size(); ++k)
        out[k] = Complex(x[k].re, x[k].im) * factor;
    return out;
}

Exact Scaled(const Exact& x, long double factor)
{
    Exact out(x.size());
    for (size_t k = 0; k < x.size(); ++k)
        out[k] = x[k] * factor;
    return out;
}

void ForEachVectorWidth(const std::function<void(bool wide)>& body)
{
    const bool before = spColSetWideVectors(false);
    body(false);
    spColSetWideVectors(true);
    if (spColWideVectors())
        body(true);
    spColSetWideVectors(before);
}

ScaleFactors FactorsOf(spScaleFlag flag, std::int64_t n)
{
    const long double byN = 1 / static_cast<long double>(n), byRoot = 1 / std::sqrt(static_cast<long double>(n));
    switch (flag) {
    case spDivFwdByN:
        return {byN, 1};
    case spDivInvByN:
        return {1, byN};
    case spDivBySqrtN:
        return {byRoot, byRoot};
    default:
        return {1, 1};
    }
}

double RelativeRms(const Signal& y, const Exact& ref)
{
    long double err = 0, norm = 0;
    for (size_t k = 0; k < y.size(); ++k) {
        err += std::norm(Complex(y[k].re, y[k].im) - ref[k]);
        norm += std::norm(ref[k]);
    }
    return static_cast<double>(std::sqrt(err / norm));
}

double RelativeRmsAt(const Signal& y, const Signal& x, const std::vector<std::int64_t>& bins, bool inverse)
{
    Signal picked;
    Exact ref;
    for (std::int64_t k : bins) {
        picked.push_back(y[static_cast<size_t>(k)]);
        ref.push_back(OracleBin(x, k, inverse));
    }
    return RelativeRms(picked, ref);
}

bool SameBits(const Signal& a, const Signal& b)
{
    // An empty vector's data() may be null, which memcmp must not be given even for 0 bytes.
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(spComplex)) == 0);
}

Signal Conjugated(const Signal& x)
{
    Signal c(x);
    for (auto& v : c)
        v.im = -v.im;
    return c;
}

bool LongTests()
{
    const char* value = std::getenv("SPM_LONG_TESTS");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

Signal Transform(const spDftSpec* spec, const Signal& x, bool inverse, std::uint8_t* work)
{
    Signal y(x.size());
    EXPECT_EQ((inverse ? spDftInverse : spDftForward)(x.data(), y.data(), spec, work), spStsNoErr);
    return y;
}

Signal Transform(const spFftSpec* spec, const Signal& x, bool inverse, std::uint8_t* work)
{
    Signal y(x.size());
    EXPECT_EQ((inverse ? spFftInverse : spFftForward)(x.data(), y.data(), spec, work), spStsNoErr);
    return y;
}

WorkBuffer::WorkBuffer(std::size_t bytes, std::uint8_t fill) : storage(bytes + 32, fill)
{
    aligned = storage.data() + (16 - reinterpret_cast<std::uintptr_t>(storage.data()) % 16) % 16;
}

Image::Image(int w, int h, int stepBytes)
    : width(w), height(h), step(stepBytes),
      bytes(static_cast<size_t>(stepBytes) * static_cast<size_t>(h - 1) + 8 * static_cast<size_t>(w) + 16,
            kGapPattern)
{
}

spComplex& Image::at(int x, int y)
{
    return *reinterpret_cast<spComplex*>(bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(step) +
                                         8 * static_cast<size_t>(x));
}

bool Image::GapsUntouched() const
{
    for (size_t i = 0; i < bytes.size(); ++i) {
        const size_t y = i / static_cast<size_t>(step), x = i % static_cast<size_t>(step);
        const bool inside = y < static_cast<size_t>(height) && x < 8 * static_cast<size_t>(width);
        if (!inside && bytes[i] != kGapPattern)
            return false;
    }
    return true;
}

Signal Image::Values() const
{
    Signal v;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            v.push_back(at(x, y));
    return v;
}

Image RandomImage(int w, int h, int stepBytes, unsigned seed)
{
    Image image(w, h, stepBytes);
    const Signal values = RandomSignal(static_cast<std::int64_t>(w) * h, seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.at(x, y) = values[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
    return image;
}

Exact Oracle2D(const Image& image, bool inverse)
{
    const int w = image.width, h = image.height;
    Exact a = Scaled(image.Values());
    for (int y = 0; y < h; ++y)
        ExactLine(&a[static_cast<size_t>(y * w)], w, 1, inverse);
    for (int x = 0; x < w; ++x)
        ExactLine(&a[static_cast<size_t>(x)], h, w, inverse);
    return a;
}

} // namespace sptest
