// Shared helpers of the transform tests: seeded signals and images, the long-double direct
// DFT that every transform is measured against, error measures, owning plan handles and the
// status checks every transform makes in the same order.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <memory>
#include <string>
#include <cstdint>
#include <cstring>
#include <vector>

#include "sp/sp.h"

namespace sptest {

using Signal = std::vector<spComplex>;
using Exact = std::vector<std::complex<long double>>;

inline constexpr double kEps = 1.19e-7;

// Accuracy bounds of the relative RMS error against the oracle.
double SmallBound();                   // small kernels and direct sums
double FftBound(std::int64_t n);       // power-of-two FFT and mixed radix: 2 eps log2 N
double BluesteinBound(std::int64_t m); // 4 eps log2 M for the padded length M
// The bound of the path a DFT plan took.
double PathBound(const spDftSpec* spec);

// Tests of every dispatch column: the parameter is the column the public entries use while
// the test runs.
class ColumnTest : public testing::TestWithParam<int> {
protected:
    void SetUp() override { spDispatchIndex = GetParam(); }
    void TearDown() override { spDispatchIndex = 0; }
};
std::string ColumnName(const testing::TestParamInfo<int>& info);
#define SP_COLUMN_SUITE(suite) INSTANTIATE_TEST_SUITE_P(Columns, suite, testing::Range(0, 5), sptest::ColumnName)

// Within 8 eps log2 N of column 0 (max |y - y0| / RMS of y0): column 0 is the reference the
// processor columns are held to besides the oracle. Always true in column 0.
bool NearColumnZero(const Signal& y, const Signal& y0);
// Column 0's DFT (or FFT of a power-of-two length) of x, unscaled unless a flag says so.
Signal ColumnZeroDft(const Signal& x, bool inverse, spScaleFlag flag = spNoDivByAny);
Signal ColumnZeroFft(const Signal& x, bool inverse);

// Runs `body` with the packed kernels of columns 2 to 4 in 128-bit vectors, then in 256-bit
// ones where the processor has them (where it does, only tests that switch them off reach
// the 128-bit loops); the setting comes back afterwards.
void ForEachVectorWidth(const std::function<void(bool wide)>& body);

// Every scaling flag, and the factors a plan of n points with it applies: forward, inverse.
inline constexpr spScaleFlag kEveryScaleFlag[] = {spDivFwdByN, spDivInvByN, spDivBySqrtN, spNoDivByAny};
struct ScaleFactors {
    long double forward, inverse;
};
ScaleFactors FactorsOf(spScaleFlag flag, std::int64_t n);

// Uniform values in [-1, 1) from a fixed seed.
Signal RandomSignal(std::int64_t n, unsigned seed);

// The exact roots exp(-2 pi i m / n), m = 0 .. n-1, in long double.
Exact Roots(std::int64_t n);
// Direct DFT in long double; the root index n k is reduced exactly modulo N.
Exact OracleDft(const Signal& x, bool inverse);

// x times `factor`, exactly.
Exact Scaled(const Signal& x, long double factor = 1);
Exact Scaled(const Exact& x, long double factor);
// sqrt(sum |y - ref|^2 / sum |ref|^2) over all bins.
double RelativeRms(const Signal& y, const Exact& ref);
// The same against the oracle, over the listed bins only, for transforms too long for the
// whole oracle.
double RelativeRmsAt(const Signal& y, const Signal& x, const std::vector<std::int64_t>& bins,
                     bool inverse);

bool SameBits(const Signal& a, const Signal& b);
Signal Conjugated(const Signal& x);

// True when SPM_LONG_TESTS=1: the slow cases (orders 25..27, the largest lengths) run.
bool LongTests();

// One transform through the public entry, expected to succeed.
Signal Transform(const spDftSpec* spec, const Signal& x, bool inverse, std::uint8_t* work = nullptr);
Signal Transform(const spFftSpec* spec, const Signal& x, bool inverse, std::uint8_t* work = nullptr);

// `bytes` of caller's work buffer filled with `fill`, from a 16-byte boundary on, with 32
// bytes to spare for misaligned starts.
struct WorkBuffer {
    explicit WorkBuffer(std::size_t bytes, std::uint8_t fill = 0);
    std::vector<std::uint8_t> storage;
    std::uint8_t* aligned;
};

// Plans that free themselves.
template <class Spec, spStatus (*Free)(Spec*)>
struct Owned {
    Spec* spec = nullptr;
    Owned() = default;
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned()
    {
        if (spec != nullptr) {
            EXPECT_EQ(Free(spec), spStsNoErr);
        }
    }
};

struct DftPlan : Owned<spDftSpec, spDftFree> {
    DftPlan(int n, spScaleFlag flag, int hint = 0)
    {
        EXPECT_EQ(spDftInitAlloc(&spec, n, flag, hint), spStsNoErr) << "length " << n;
    }
};
struct FftPlan : Owned<spFftSpec, spFftFree> {
    FftPlan(int order, spScaleFlag flag, int hint = 0)
    {
        EXPECT_EQ(spFftInitAlloc(&spec, order, flag, hint), spStsNoErr) << "order " << order;
    }
};
struct Dft2DPlan : Owned<spDft2DSpec, spDft2DFree> {
    Dft2DPlan(int w, int h, spScaleFlag flag, int hint = 0)
    {
        EXPECT_EQ(spDft2DInitAlloc(&spec, w, h, flag, hint), spStsNoErr) << w << "x" << h;
    }
};
struct Fft2DPlan : Owned<spFft2DSpec, spFft2DFree> {
    Fft2DPlan(int ox, int oy, spScaleFlag flag, int hint = 0)
    {
        EXPECT_EQ(spFft2DInitAlloc(&spec, ox, oy, flag, hint), spStsNoErr) << "orders " << ox << ", " << oy;
    }
};

// Every scaling flag scales its own direction, and only it, against the unscaled plan, and a
// forward-inverse round trip comes back within `roundTrip`. `makePlan(flag)` makes a plan
// of the size under test; `what` names it in failures.
template <class MakePlan>
void ExpectScalingFlags(const Signal& x, MakePlan makePlan, double roundTrip, const std::string& what)
{
    const long double n = static_cast<long double>(x.size());
    const auto plain = makePlan(spNoDivByAny);
    const Signal f = Transform(plain->spec, x, false), b = Transform(plain->spec, x, true);
    for (spScaleFlag flag : kEveryScaleFlag) {
        const ScaleFactors c = FactorsOf(flag, static_cast<std::int64_t>(x.size()));
        const auto scaled = makePlan(flag);
        const Signal sf = Transform(scaled->spec, x, false);
        EXPECT_LE(RelativeRms(sf, Scaled(f, c.forward)), 4 * kEps) << what << " flag " << flag;
        EXPECT_LE(RelativeRms(Transform(scaled->spec, x, true), Scaled(b, c.inverse)), 4 * kEps)
            << what << " flag " << flag;
        EXPECT_LE(RelativeRms(Transform(scaled->spec, sf, true), Scaled(x, n * c.forward * c.inverse)), roundTrip)
            << "round trip, " << what << " flag " << flag;
    }
}

// The free routine and the size query of a 1-D plan kind: -8 for a null plan or size
// pointer, -17 for a plan of another kind (which stays alive); the size is left alone.
template <class Spec, class Foreign>
void ExpectFreeAndSizeStatuses(spStatus (*free)(Spec*), spStatus (*size)(const Spec*, int*),
                               const Spec* own, Foreign* other)
{
    // Every plan record starts with its 32-bit kind code.
    const auto kindOf = [other] {
        std::int32_t kind;
        std::memcpy(&kind, other, sizeof kind);
        return kind;
    };
    auto* foreign = reinterpret_cast<Spec*>(other);
    const std::int32_t kind = kindOf();
    int bytes = -1;
    EXPECT_EQ(free(nullptr), spStsNullPtrErr);
    EXPECT_EQ(free(foreign), spStsContextMatchErr);
    EXPECT_EQ(kindOf(), kind);
    EXPECT_EQ(size(foreign, &bytes), spStsContextMatchErr);
    EXPECT_EQ(size(nullptr, &bytes), spStsNullPtrErr);
    EXPECT_EQ(size(own, nullptr), spStsNullPtrErr);
    EXPECT_EQ(bytes, -1);
}

// A transform's checks in their order, forward and inverse: plan, kind, source, destination;
// with no memory for its own work area it answers -9 and leaves no block behind. `dst`
// (n values of 7) is never written.
template <class Spec>
using LineTransform = spStatus (*)(const spComplex*, spComplex*, const Spec*, std::uint8_t*);
template <class Spec>
using ImageTransform = spStatus (*)(const spComplex*, int, spComplex*, int, const Spec*, std::uint8_t*);

template <class Spec, class Foreign>
void ExpectTransformStatuses(LineTransform<Spec> forward, LineTransform<Spec> inverse, const Spec* plan,
                             const Foreign* other, int n)
{
    const auto* foreign = reinterpret_cast<const Spec*>(other);
    const Signal x = RandomSignal(n, 1);
    Signal y(static_cast<std::size_t>(n), spComplex{7, 7});
    for (auto run : {forward, inverse}) {
        EXPECT_EQ(run(nullptr, y.data(), nullptr, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(nullptr, nullptr, foreign, nullptr), spStsContextMatchErr);
        EXPECT_EQ(run(nullptr, y.data(), plan, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(x.data(), nullptr, plan, nullptr), spStsNullPtrErr);
        const long live = spDebugLiveBlocks();
        spDebugFailAllocationsAfter(0);
        EXPECT_EQ(run(x.data(), y.data(), plan, nullptr), spStsMemAllocErr);
        spDebugFailAllocationsAfter(-1);
        EXPECT_EQ(spDebugLiveBlocks(), live);
    }
    for (const auto& v : y)
        ASSERT_EQ(v.re, 7.0f);
}

// ---- 2-D ----

// A width x height image of complex values in rows `step` bytes apart; the bytes between
// rows hold a fixed pattern that no transform may touch.
struct Image {
    Image(int w, int h, int stepBytes);
    spComplex* data() { return reinterpret_cast<spComplex*>(bytes.data()); }
    const spComplex* data() const { return reinterpret_cast<const spComplex*>(bytes.data()); }
    spComplex& at(int x, int y);
    const spComplex& at(int x, int y) const { return const_cast<Image*>(this)->at(x, y); }
    // True when every byte outside the image still holds the pattern.
    bool GapsUntouched() const;
    // The image's values row by row.
    Signal Values() const;

    static constexpr std::uint8_t kGapPattern = 0xC3;
    int width, height, step;
    std::vector<std::uint8_t> bytes;
};

Image RandomImage(int w, int h, int stepBytes, unsigned seed);

// The 2-D DFT of an image in long double, rows then columns.
Exact Oracle2D(const Image& image, bool inverse);

// A 2-D transform's checks in their order, forward and inverse: plan, kind, source,
// destination, steps below 1; with no memory for its work area -9. The 4 x 4 destination is
// never written.
template <class Spec, class Foreign>
void Expect2DStatuses(ImageTransform<Spec> forward, ImageTransform<Spec> inverse, const Spec* plan,
                      const Foreign* other)
{
    const auto* foreign = reinterpret_cast<const Spec*>(other);
    const Image src = RandomImage(4, 4, 32, 1);
    Image dst(4, 4, 32);
    for (auto run : {forward, inverse}) {
        EXPECT_EQ(run(nullptr, 32, dst.data(), 32, nullptr, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(nullptr, 32, dst.data(), 32, foreign, nullptr), spStsContextMatchErr);
        EXPECT_EQ(run(nullptr, 32, dst.data(), 32, plan, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(src.data(), 32, nullptr, 32, plan, nullptr), spStsNullPtrErr);
        EXPECT_EQ(run(src.data(), 0, dst.data(), 32, plan, nullptr), spStsStepErr);
        EXPECT_EQ(run(src.data(), 32, dst.data(), -8, plan, nullptr), spStsStepErr);
        spDebugFailAllocationsAfter(0);
        EXPECT_EQ(run(src.data(), 32, dst.data(), 32, plan, nullptr), spStsMemAllocErr);
        spDebugFailAllocationsAfter(-1);
    }
    for (std::uint8_t b : dst.bytes)
        ASSERT_EQ(b, Image::kGapPattern);
}

} // namespace sptest
