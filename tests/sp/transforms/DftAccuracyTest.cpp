// The 1-D DFT against the long-double oracle: every method, every length up to 1200 with
// every scaling flag, the named lengths of every path, and the identities that hold for
// lengths too long for the whole oracle.
#include <cmath>
#include <cstring>
#include <random>

#include "TransformTestSupport.h"
#include "sp/transforms/spColFft.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spDftStageVec.h"

namespace {

using namespace sptest;

// Every scaling flag: a scaled result carries one more rounding of its own and the factor's,
// which is a float.
void CheckAgainstOracle(int n)
{
    const Signal x = RandomSignal(n, 1000u + static_cast<unsigned>(n));
    const Exact forward = OracleDft(x, false);
    // The inverse oracle is the forward one read backwards: y_inv[k] = y_fwd[(N - k) mod N].
    Exact inverse(forward.size());
    for (size_t k = 0; k < forward.size(); ++k)
        inverse[k] = forward[(forward.size() - k) % forward.size()];
    for (spScaleFlag flag : kEveryScaleFlag) {
        DftPlan plan(n, flag);
        ASSERT_NE(plan.spec, nullptr);
        const ScaleFactors factors = FactorsOf(flag, n);
        for (bool inv : {false, true}) {
            const long double factor = inv ? factors.inverse : factors.forward;
            const double bound = PathBound(plan.spec) + (factor == 1 ? 0 : kEps);
            const Signal y = Transform(plan.spec, x, inv);
            EXPECT_LE(RelativeRms(y, Scaled(inv ? inverse : forward, factor)), bound)
                << (inv ? "inverse" : "forward") << " N = " << n << " flag " << flag;
            EXPECT_TRUE(NearColumnZero(y, ColumnZeroDft(x, inv, flag)))
                << "against column 0, N = " << n << " flag " << flag;
        }
    }
}

void CheckRange(int first, int last)
{
    for (int n = first; n <= last; ++n)
        CheckAgainstOracle(n);
}

// Lengths above 1200 where the whole oracle is too slow: random bins against the oracle,
// Parseval, the shift theorem and linearity.
void CheckLongLength(int n)
{
    DftPlan plan(n, spNoDivByAny);
    ASSERT_NE(plan.spec, nullptr);
    const double bound = PathBound(plan.spec);
    const Signal x = RandomSignal(n, 77u + static_cast<unsigned>(n));
    const Signal fx = Transform(plan.spec, x, false);

    std::mt19937 gen(static_cast<unsigned>(n));
    std::vector<std::int64_t> bins = {0, n - 1};
    for (int i = 0; i < 10; ++i)
        bins.push_back(static_cast<std::int64_t>(gen() % static_cast<unsigned>(n)));
    EXPECT_LE(RelativeRmsAt(fx, x, bins, false), bound) << "bins N = " << n;
    EXPECT_TRUE(NearColumnZero(fx, ColumnZeroDft(x, false))) << "against column 0, N = " << n;
    EXPECT_LE(RelativeRmsAt(Transform(plan.spec, x, true), x, bins, true), bound) << "inverse bins N = " << n;

    long double energyX = 0, energyF = 0;
    for (const auto& v : Scaled(x))
        energyX += std::norm(v);
    for (const auto& v : Scaled(fx))
        energyF += std::norm(v);
    EXPECT_NEAR(static_cast<double>(energyF / (energyX * n)), 1.0, 2 * bound) << "Parseval N = " << n;

    // Shift by s: the transform is multiplied by exp(-2 pi i k s / N).
    const int s = n / 3 + 1;
    Signal shifted(x.size());
    for (int j = 0; j < n; ++j)
        shifted[static_cast<size_t>((j + s) % n)] = x[static_cast<size_t>(j)];
    const Exact roots = Roots(n);
    Exact expected = Scaled(fx);
    for (int k = 0; k < n; ++k)
        expected[static_cast<size_t>(k)] *= roots[static_cast<size_t>((static_cast<std::int64_t>(k) * s) % n)];
    EXPECT_LE(RelativeRms(Transform(plan.spec, shifted, false), expected), 2 * bound) << "shift N = " << n;

    // Linearity: F(a x + b y) = a F(x) + b F(y).
    const Signal y = RandomSignal(n, 5u + static_cast<unsigned>(n));
    const float a = 0.75f, b = -1.5f;
    Signal mix(x.size());
    for (int k = 0; k < n; ++k)
        mix[k] = {a * x[k].re + b * y[k].re, a * x[k].im + b * y[k].im};
    const Exact ax = Scaled(fx, a), by = Scaled(Transform(plan.spec, y, false), b);
    Exact sum(x.size());
    for (int k = 0; k < n; ++k)
        sum[k] = ax[k] + by[k];
    EXPECT_LE(RelativeRms(Transform(plan.spec, mix, false), sum), 2 * bound) << "linearity N = " << n;
}

class DftAccuracy : public ColumnTest {};
SP_COLUMN_SUITE(DftAccuracy);

// Every length up to 1200, in four slices so that the test runner can spread them.
TEST_P(DftAccuracy, LengthsUpTo600) { CheckRange(1, 600); }
TEST_P(DftAccuracy, Lengths601To850) { CheckRange(601, 850); }
TEST_P(DftAccuracy, Lengths851To1040) { CheckRange(851, 1040); }
TEST_P(DftAccuracy, Lengths1041To1200) { CheckRange(1041, 1200); }

TEST_P(DftAccuracy, MixedRadixWithRecursion)
{
    // 2002, 2100, 4410 and 75692 have a factor 2 or 4 above 2000 points; 1490 (2, 5 | 149)
    // is the Fourier tool's bordered width of a 994-point image.
    for (int n : {1490, 2000, 2002, 2100, 4410})
        CheckAgainstOracle(n);
    for (int n : {22201, 75692, 59049})
        CheckLongLength(n);
}

// Every odd radix up to 31 as a butterfly stage whose span is a multiple of 4 (16 p), 2 mod 4
// (6 p) and odd (3 p p, where p is also the first stage); columns 2 to 4 hold the first in
// blocks, the others interleaved, and the plan must really give p that span.
TEST_P(DftAccuracy, EveryOddRadixInEverySpanClass)
{
    const auto spanClass = [](int m) { return m % 4 == 0 ? 0 : m % 2 == 0 ? 2 : 1; };
    for (int p : {3, 5, 7, 11, 13, 17, 19, 23, 29, 31})
        for (int n : {16 * p, 6 * p, 3 * p * p}) {
            DftPlan plan(n, spNoDivByAny);
            const spDftSpec* s = plan.spec;
            bool found = false;
            for (int i = 0; i <= s->stagesMinus2; ++i)
                found = found || (s->stages[i].radix == p && spanClass(s->stages[i].span) == spanClass(n));
            EXPECT_TRUE(found || GetParam() < 2) << "no radix-" << p << " stage of span class " << spanClass(n) << ", N " << n;
            CheckAgainstOracle(n);
        }
}

TEST_P(DftAccuracy, NamedLengthsScaleByEveryFlag)
{
    for (int n : {374, 450, 1490, 2000, 4410, 4099})
        ExpectScalingFlags(RandomSignal(n, 9u + static_cast<unsigned>(n)),
                           [n](spScaleFlag flag) { return std::make_unique<DftPlan>(n, flag); },
                           3 * FftBound(n) + 4 * kEps, "N " + std::to_string(n));
}

// Source and destination 4, 8 or 12 bytes past a 16-byte boundary, apart and in place, give
// the bits of aligned arrays: the packed kernels' unaligned loops do the same sums, in 128-bit
// and in 256-bit vectors.
TEST_P(DftAccuracy, MisalignedArraysGiveTheSameBits)
{
    for (int n : {192, 1000, 1764, 450, 374, 4410, 225, 1155}) {
        DftPlan plan(n, spNoDivByAny);
        const Signal x = RandomSignal(n, 13u + static_cast<unsigned>(n));
        const std::size_t bytes = 8 * static_cast<std::size_t>(n);
        for (bool inverse : {false, true}) {
            const Signal reference = Transform(plan.spec, x, inverse);
            const auto run = inverse ? spDftInverse : spDftForward;
            ForEachVectorWidth([&](bool wide) {
                for (std::size_t offset : {4, 8, 12}) {
                    WorkBuffer in(bytes), out(bytes);
                    auto* src = reinterpret_cast<spComplex*>(in.aligned + offset);
                    auto* dst = reinterpret_cast<spComplex*>(out.aligned + (16 - offset));
                    std::memcpy(src, x.data(), bytes);
                    ASSERT_EQ(run(src, dst, plan.spec, nullptr), spStsNoErr);
                    Signal y(dst, dst + n);
                    EXPECT_TRUE(SameBits(y, reference))
                        << "N " << n << " offset " << offset << " inverse " << inverse << " wide " << wide;
                    ASSERT_EQ(run(src, src, plan.spec, nullptr), spStsNoErr);
                    y.assign(src, src + n);
                    EXPECT_TRUE(SameBits(y, reference)) << "in place, N " << n << " offset " << offset << " wide " << wide;
                }
            });
        }
    }
}

// Columns 0 and 1 carry every sum of a stage in double precision and round once: a bin
// whose inputs 1, -1 and 1e-8 meet in one butterfly (or one first-stage DFT) keeps the
// 1e-8 that a single-precision partial sum 1e-8 - 1 would lose.
TEST(MixedRadixPrecision, ColumnsZeroAndOneRoundOncePerStage)
{
    struct Case {
        int n;
        int one, tiny, minusOne; // positions
        const char* kernel;
    };
    const Case cases[] = {
        {15, 0, 1, 2, "radix-3 stage"},     {12, 0, 1, 3, "radix-4 stage"},
        {35, 0, 1, 4, "radix-5 stage"},     {49, 0, 1, 6, "odd stage"},
        {6, 0, 2, 4, "length-3 first stage"}, {15, 0, 3, 12, "length-5 first stage"},
        {21, 0, 3, 18, "odd first stage"},
    };
    for (int column : {0, 1}) {
        spDispatchIndex = column;
        for (const Case& c : cases) {
            DftPlan plan(c.n, spNoDivByAny);
            Signal x(static_cast<std::size_t>(c.n), spComplex{0, 0});
            x[c.one].re = 1;
            x[c.tiny].re = 1e-8f;
            x[c.minusOne].re = -1;
            for (bool inverse : {false, true})
                EXPECT_NEAR(Transform(plan.spec, x, inverse)[0].re, 1e-8, 1e-13)
                    << c.kernel << ", column " << column << ", inverse " << inverse;
        }
    }
    spDispatchIndex = 0;
}

// The packed kernels of columns 2 to 4 give the same bits in 256-bit vectors as in 128-bit
// ones, and column 3's duplicating twiddle loads the same bits as column 2's shuffles.
TEST(PackedMixedRadix, WideVectorsAndColumnThreeGiveColumnTwosBits)
{
    const bool before = spColSetWideVectors(true);
    const bool wide = spColWideVectors();
    // Blocked radix 2 to 5 and odd, pairs of rows, rows of odd radices in and out of full
    // batches, odd first stages, recursion.
    for (int n : {192, 1000, 1764, 450, 90, 374, 1490, 4410, 225, 1155, 3003, 105, 22201}) {
        const Signal x = RandomSignal(n, 17u + static_cast<unsigned>(n));
        for (bool inverse : {false, true}) {
            spDispatchIndex = 2;
            spColSetWideVectors(false);
            const Signal reference = Transform(DftPlan(n, spNoDivByAny).spec, x, inverse);
            for (int column : {2, 3, 4})
                for (bool useWide : {false, true}) {
                    if (useWide && !wide)
                        continue;
                    spDispatchIndex = column;
                    spColSetWideVectors(useWide);
                    const DftPlan plan(n, spNoDivByAny);
                    EXPECT_TRUE(SameBits(Transform(plan.spec, x, inverse), reference))
                        << "N " << n << " column " << column << " wide " << useWide << " inverse " << inverse;
                }
        }
    }
    spColSetWideVectors(before);
    spDispatchIndex = 0;
}

// Bluestein's 151, 257, 302, 314 and 1021 and the Fourier tool's 192, 384, 768, 374 and 450
// run among the lengths up to 1200.
TEST_P(DftAccuracy, BluesteinLengths)
{
    CheckAgainstOracle(4099);
    CheckLongLength(65537);
}

TEST_P(DftAccuracy, LengthsOfTheFourierTool) { CheckAgainstOracle(1536); }

TEST_P(DftAccuracy, LongPowersOfTwo)
{
    for (int n : {1 << 12, 1 << 16})
        CheckLongLength(n);
}

TEST_P(DftAccuracy, VeryLongLengths)
{
    if (!LongTests())
        GTEST_SKIP() << "lengths of millions of points run with SPM_LONG_TESTS=1";
    for (int n : {1 << 22, 3 * 5 * 7 * 11 * 13 * 17 * 19, 4194301})
        CheckLongLength(n);
}

} // namespace
