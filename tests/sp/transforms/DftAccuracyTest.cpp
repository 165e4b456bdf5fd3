// The 1-D DFT against the long-double oracle: every method, every length up to 1200, the
// named lengths of every path, and the identities that hold for lengths too long for the
// whole oracle.
#include <cmath>
#include <random>

#include "TransformTestSupport.h"

namespace {

using namespace sptest;

void CheckAgainstOracle(int n)
{
    DftPlan plan(n, spNoDivByAny);
    ASSERT_NE(plan.spec, nullptr);
    const Signal x = RandomSignal(n, 1000u + static_cast<unsigned>(n));
    const double bound = PathBound(plan.spec);
    const Exact forward = OracleDft(x, false);
    // The inverse oracle is the forward one read backwards: y_inv[k] = y_fwd[(N - k) mod N].
    Exact inverse(forward.size());
    for (size_t k = 0; k < forward.size(); ++k)
        inverse[k] = forward[(forward.size() - k) % forward.size()];
    for (bool inv : {false, true}) {
        const Signal y = Transform(plan.spec, x, inv);
        EXPECT_LE(RelativeRms(y, inv ? inverse : forward), bound) << (inv ? "inverse" : "forward") << " N = " << n;
        EXPECT_TRUE(NearColumnZero(y, ColumnZeroDft(x, inv))) << "against column 0, N = " << n;
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
    // 2002, 2100, 4410 and 75692 have a factor 2 or 4 above 2000 points.
    for (int n : {2000, 2002, 2100, 4410})
        CheckAgainstOracle(n);
    for (int n : {22201, 75692, 59049})
        CheckLongLength(n);
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
