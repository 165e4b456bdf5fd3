// The root tables of every column and the direct sums: on their own at the even lengths no
// plan gives them, and through the plans of every column at the lengths that take them.
#include <algorithm>
#include <array>
#include <string>

#include "TransformTestSupport.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spDftTables.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

using namespace sptest;

using Table = spBlockPtr<spComplex>;

Signal Direct(const Signal& x, int direction)
{
    const int n = static_cast<int>(x.size());
    const Table roots(spDftInitTwiddles(n));
    Signal y(x.size());
    Signal work(static_cast<size_t>(std::max(1, 2 * (n - 1))));
    spDftDirect(x.data(), y.data(), n, direction, roots.get(), work.data());
    return y;
}

TEST(DftDirect, OddAndEvenLengthsMatchTheOracle)
{
    // The plans give the direct sums odd lengths only; even lengths are part of the routine.
    for (int n = 1; n <= 64; ++n) {
        const Signal x = RandomSignal(n, 50u + static_cast<unsigned>(n));
        EXPECT_LE(RelativeRms(Direct(x, 1), OracleDft(x, false)), SmallBound()) << n;
        EXPECT_LE(RelativeRms(Direct(x, -1), OracleDft(x, true)), SmallBound()) << n;
    }
    // Output N/2 is the alternating sum of the inputs.
    EXPECT_EQ(Direct({{1, 0}, {2, 0}, {4, 0}, {8, 0}}, 1)[2].re, 1 - 2 + 4 - 8);
    for (int direction : {1, -1}) {
        const Signal y = Direct({{1, 2}, {3, 5}}, direction);
        EXPECT_TRUE(y[0].re == 4.0f && y[1].im == -3.0f);
    }
}

TEST(DftDirect, InPlaceEqualsSeparateArrays)
{
    for (int n : {4, 5, 10, 149}) {
        const Signal x = RandomSignal(n, 4);
        const Table roots(spDftInitTwiddles(n));
        Signal work(static_cast<size_t>(2 * (n - 1)));
        Signal data = x;
        spDftDirect(data.data(), data.data(), n, 1, roots.get(), work.data());
        EXPECT_TRUE(SameBits(data, Direct(x, 1))) << n;
    }
}

TEST(DftRoots, DecimatedCopiesWithTheIndexOfTheProcessorColumns)
{
    struct Case {
        int count, tableLen;
    };
    for (const Case& c : {Case{5, 15}, Case{7, 7}, Case{9, 45}, Case{6, 6}, Case{149, 149}, Case{150, 150}})
        for (int column = 0; column < spDispatchColumns; ++column) {
            const Table table(spDftInitTwiddles(c.tableLen));
            const Table roots(spDftInitRoots(c.count, table.get(), c.tableLen, column));
            const int stride = c.tableLen / c.count;
            for (int i = 0; i < c.count; ++i)
                ASSERT_TRUE(SameBits({roots.get()[i]}, {table.get()[i * stride]})) << c.count << " " << i;
            // The index behind the roots of odd counts of 7 and more in the processor columns.
            if (!spDftRootsIndexed(column, c.count))
                continue;
            const std::int32_t* index = spDftRootIndex(roots.get(), c.count);
            for (int i = 0; i < 2 * c.count; ++i)
                ASSERT_EQ(index[i], 2 * (i % c.count)) << "column " << column << " count " << c.count;
        }
}

bool IsOddPrime(int n)
{
    if (n < 3 || n % 2 == 0)
        return false;
    for (int d = 3; d * d <= n; d += 2)
        if (n % d == 0)
            return false;
    return true;
}

class DirectSums : public ColumnTest {};
SP_COLUMN_SUITE(DirectSums);

TEST_P(DirectSums, TheOddPrimesUpTo149MatchTheOracleAndColumnZeroWithEveryFlag)
{
    for (int n = 5; n <= 150; ++n) {
        if ((n & (n - 1)) == 0)
            continue;
        DftPlan plan(n, spNoDivByAny);
        // Exactly the odd primes take the direct sums; their roots carry the column's index.
        ASSERT_EQ(plan.spec->directRoots != nullptr, IsOddPrime(n)) << n;
        if (!IsOddPrime(n))
            continue;
        const Signal x = RandomSignal(n, 300u + static_cast<unsigned>(n));
        for (bool inverse : {false, true}) {
            const Signal y = Transform(plan.spec, x, inverse);
            EXPECT_LE(RelativeRms(y, OracleDft(x, inverse)), SmallBound()) << n << " inverse " << inverse;
            EXPECT_TRUE(NearColumnZero(y, ColumnZeroDft(x, inverse))) << n << " inverse " << inverse;
        }
        ExpectScalingFlags(x, [n](spScaleFlag flag) { return std::make_unique<DftPlan>(n, flag); },
                           4 * SmallBound(), "N " + std::to_string(n));
    }
}

TEST_P(DirectSums, CalledOnTheirOwnWithTheColumnsRoots)
{
    // In place as with separate arrays; direction 0 is forward in columns 2 to 4 (which read
    // the sign), inverse in columns 0 and 1.
    const int column = GetParam();
    const auto direct = std::array{spDftDirectCol<0>, spDftDirectCol<1>, spDftDirectCol<2>, spDftDirectCol<3>,
                                   spDftDirectCol<4>}[static_cast<size_t>(column)];
    for (int n : {5, 7, 31, 149}) {
        const Table table(spDftInitTwiddles(n));
        const Table roots(spDftInitRoots(n, table.get(), n, column));
        const Signal x = RandomSignal(n, 8);
        Signal work(static_cast<size_t>(n)), forward(x.size()), zero(x.size()), data = x;
        direct(x.data(), forward.data(), n, 1, roots.get(), work.data());
        direct(x.data(), zero.data(), n, 0, roots.get(), work.data());
        direct(data.data(), data.data(), n, 1, roots.get(), work.data());
        EXPECT_LE(RelativeRms(forward, OracleDft(x, false)), SmallBound()) << n;
        EXPECT_TRUE(SameBits(data, forward)) << n;
        EXPECT_LE(RelativeRms(zero, OracleDft(x, column <= 1)), SmallBound()) << n;
    }
}

} // namespace
