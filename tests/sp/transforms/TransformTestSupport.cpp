#include "TransformTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "sp/transforms/spDftPlan.h"

namespace sptest {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

double Log2(std::int64_t n) { return std::log2(static_cast<double>(n)); }

} // namespace

double SmallBound() { return 4 * kEps; }
double FftBound(std::int64_t n) { return 2 * kEps * std::max(1.0, Log2(n)); }
double BluesteinBound(std::int64_t m) { return 4 * kEps * Log2(m); }

double PathBound(const spDftSpec* spec)
{
    const int n = spec->len;
    if (n <= 4 || spec->directRoots != nullptr)
        return SmallBound();
    if (spec->bluesteinLen != 0)
        return BluesteinBound(spec->bluesteinLen);
    return FftBound(n);
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
    const auto n = static_cast<std::int64_t>(x.size());
    const Exact roots = Roots(n);
    Exact y(x.size());
    for (std::int64_t k = 0; k < n; ++k) {
        long double re = 0, im = 0;
        std::int64_t m = 0;
        for (std::int64_t j = 0; j < n; ++j) {
            const auto& w = roots[static_cast<size_t>(m)];
            const long double wr = w.real(), wi = inverse ? -w.imag() : w.imag();
            const long double xr = x[static_cast<size_t>(j)].re, xi = x[static_cast<size_t>(j)].im;
            re += xr * wr - xi * wi;
            im += xi * wr + xr * wi;
            m += k;
            if (m >= n)
                m -= n;
        }
        y[static_cast<size_t>(k)] = {re, im};
    }
    return y;
}

std::complex<long double> OracleBin(const Signal& x, std::int64_t k, bool inverse)
{
    // exp(-+2 pi i j k / N) by a long-double recurrence, seeded exactly every 512 steps, so
    // the roots stay far more accurate than float without a table of N roots.
    const auto n = static_cast<std::int64_t>(x.size());
    const long double sign = inverse ? 1.0L : -1.0L;
    const auto exactRoot = [&](std::int64_t j) {
        const std::int64_t m = static_cast<std::int64_t>((static_cast<__int128>(j) * k) % n);
        const long double angle = 2 * kPi * static_cast<long double>(m) / static_cast<long double>(n);
        return std::complex<long double>(std::cos(angle), sign * std::sin(angle));
    };
    const std::complex<long double> step = exactRoot(1);
    const long double sr = step.real(), si = step.imag();
    long double wr = 1, wi = 0, re = 0, im = 0;
    for (std::int64_t j = 0; j < n; ++j) {
        if (j % 512 == 0) {
            const auto w = exactRoot(j);
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

double RelativeRms(const Signal& y, const Exact& ref)
{
    long double err = 0, norm = 0;
    for (size_t k = 0; k < y.size(); ++k) {
        const long double dr = y[k].re - ref[k].real(), di = y[k].im - ref[k].imag();
        err += dr * dr + di * di;
        norm += std::norm(ref[k]);
    }
    return static_cast<double>(std::sqrt(err / norm));
}

double RelativeRmsAt(const Signal& y, const Signal& x, const std::vector<std::int64_t>& bins,
                     bool inverse)
{
    long double err = 0, norm = 0;
    for (std::int64_t k : bins) {
        const auto ref = OracleBin(x, k, inverse);
        const auto& v = y[static_cast<size_t>(k)];
        const long double dr = v.re - ref.real(), di = v.im - ref.imag();
        err += dr * dr + di * di;
        norm += std::norm(ref);
    }
    return static_cast<double>(std::sqrt(err / norm));
}

bool SameBits(const Signal& a, const Signal& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(spComplex)) == 0;
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

DftPlan::DftPlan(int len, spScaleFlag flag)
{
    EXPECT_EQ(spDftInitAlloc(&spec, len, flag, 0), spStsNoErr) << "length " << len;
}

DftPlan::~DftPlan()
{
    if (spec != nullptr) {
        EXPECT_EQ(spDftFree(spec), spStsNoErr);
    }
}

FftPlan::FftPlan(int order, spScaleFlag flag)
{
    EXPECT_EQ(spFftInitAlloc(&spec, order, flag, 0), spStsNoErr) << "order " << order;
}

FftPlan::~FftPlan()
{
    if (spec != nullptr) {
        EXPECT_EQ(spFftFree(spec), spStsNoErr);
    }
}

} // namespace sptest
