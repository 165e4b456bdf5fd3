// Shared helpers of the transform tests: seeded signals, the long-double direct DFT that
// every transform is measured against, error measures and owning plan handles.
#pragma once

#include <complex>
#include <cstdint>
#include <vector>

#include "sp/sp.h"

namespace sptest {

using Signal = std::vector<spComplex>;
using Exact = std::vector<std::complex<long double>>;

inline constexpr double kEps = 1.19e-7;

// Accuracy bounds of the relative RMS error against the oracle.
double SmallBound();                 // small kernels and direct sums
double FftBound(std::int64_t n);     // power-of-two FFT and mixed radix: 2 eps log2 N
double BluesteinBound(std::int64_t m); // 4 eps log2 M for the padded length M

// The bound of the path a DFT plan took: small kernels and direct sums, FFT and mixed radix,
// or Bluestein.
double PathBound(const spDftSpec* spec);

// Uniform values in [-1, 1) from a fixed seed.
Signal RandomSignal(std::int64_t n, unsigned seed);

// The exact roots exp(-2 pi i m / n), m = 0 .. n-1, in long double.
Exact Roots(std::int64_t n);
// Direct DFT in long double; the root index n k is reduced exactly modulo N.
Exact OracleDft(const Signal& x, bool inverse);
// One bin of the same sum, for transforms too long for the whole oracle.
std::complex<long double> OracleBin(const Signal& x, std::int64_t k, bool inverse);

// sqrt(sum |y - ref|^2 / sum |ref|^2) over all bins.
double RelativeRms(const Signal& y, const Exact& ref);
// The same over the listed bins only.
double RelativeRmsAt(const Signal& y, const Signal& x, const std::vector<std::int64_t>& bins,
                     bool inverse);

bool SameBits(const Signal& a, const Signal& b);
Signal Conjugated(const Signal& x);

// True when SPM_LONG_TESTS=1: the slow cases (orders 25..27, the largest lengths) run.
bool LongTests();

// Plans that free themselves.
struct DftPlan {
    spDftSpec* spec = nullptr;
    DftPlan() = default;
    DftPlan(int len, spScaleFlag flag);
    ~DftPlan();
    DftPlan(const DftPlan&) = delete;
    DftPlan& operator=(const DftPlan&) = delete;
};

struct FftPlan {
    spFftSpec* spec = nullptr;
    FftPlan() = default;
    FftPlan(int order, spScaleFlag flag);
    ~FftPlan();
    FftPlan(const FftPlan&) = delete;
    FftPlan& operator=(const FftPlan&) = delete;
};

} // namespace sptest
