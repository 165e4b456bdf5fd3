// Every column through the public entries. Column 0 equals the slow reference bit for bit
// (every border pixel holds its own random value, so a border made up by the filter shows);
// columns 1 to 4, which sum down the columns first in single precision with constants of
// their own, equal column 0 within 16 x 2^-24 x the sum of |w x| over the window (divided by
// the kernel's divisor), and bit for bit on small integers wherever both form exact sums.
// Widths 1 to 40 with every destination offset of 0 to 12 bytes, steps with 0 to 3 extra
// bytes, values near 0, 1e3 and 1e6 and of the kinds that test column 0's rounding, a NaN
// that must stay inside its window, and one 1024 x 1024 image; MXCSR keeps its settings.
// An impulse gives the kernel's weights in their places (the kernels the bound relies on).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfenv>
#include <cmath>
#include <limits>
#include <tuple>

#include "FilterTestSupport.h"
#include "sp/core/spCpu.h"
#include "sp/filters/spElementLoops.h"
#include "sp/filters/spKernels5x5.h"
#include "sp/filters/spVariantEntries.h"

namespace {

// The MXCSR control bits (its exception flags left out).
unsigned MxcsrControl()
{
    return spGetMxcsr() & ~0x3Fu;
}

float SmallInteger(std::mt19937& rng)
{
    return static_cast<float>(std::uniform_int_distribution<int>(-1000, 1000)(rng));
}

template <int Offset>
float Near(std::mt19937& rng)
{
    return static_cast<float>(Offset) + ModerateValue(rng);
}

// Negative zeros with a positive zero or a one here and there: windows of negative zeros
// alone (their sum is -0) beside windows where the signs differ (+0).
float SignedZero(std::mt19937& rng)
{
    const unsigned pick = rng() % 32;
    return pick == 0 ? 0.0f : pick == 1 ? 1.0f : -0.0f;
}

using Sampler = float (*)(std::mt19937& rng);
// Also values across many binades, and values whose sums often fall halfway between two
// floats or doubles, where column 0's order of additions decides.
const Sampler kSamplers[] = {SmallInteger, Near<0>, Near<1000>, Near<1000000>, WideValue,
                             TieProneValue};

// The 5x5 Gauss scales after summing, the 3x3 lowpass by the float nearest 1/9: their
// columns round their own way even where every sum is exact.
bool RoundsItsOwnWay(const FilterOp& op)
{
    return op.name == "Gauss5x5" || op.name == "Lowpass3x3";
}

double Bound(const FilterOp& op, const BorderedImage& x, Index y, Index i)
{
    return 16.0 * WindowUnit(op, x, y, i) + 0x1p-126;
}

bool Agrees(bool exact, float got, float want, double bound)
{
    if (exact || std::isnan(want) || std::isnan(got))
        return SameFloat(got, want);
    return std::abs(static_cast<double>(got) - want) <= bound;
}

void Compare(int column, const FilterOp& op, const Layout& l, Sampler sample, std::mt19937& rng,
             bool withNan)
{
    const Index b = op.border;
    BorderedImage src(l.width, l.height, b, l.width + 2 * b + l.srcPad, l.srcOffset);
    src.Fill([&](Index, Index) { return sample(rng); });
    if (withNan)
        src.at(l.height / 2, l.width / 2) = std::numeric_limits<float>::quiet_NaN();
    // Column 0 called directly equals the reference (checked once, in column 0's run);
    // every column through its entry is compared with it.
    Destination generic(l.width, l.height, l.width);
    ASSERT_EQ(RunOp(op, src, generic, 0, 0, op.generic), spStsNoErr);
    const std::vector<float> want = generic.Region();
    if (column == 0) {
        ASSERT_EQ(FirstDifference(want, ReferenceOutput(op, src)), -1);
    }
    const bool exact = column == 0 || (sample == SmallInteger && !RoundsItsOwnWay(op));
    ForEachLoopKind([&](const char* loops) {
        const ColumnScope scope(column);
        Destination dst(l.width, l.height, l.width + l.dstPad, l.dstOffset);
        const unsigned mxcsr = MxcsrControl();
        ASSERT_EQ(RunOp(op, src, dst, l.srcExtra, l.dstExtra), spStsNoErr);
        ASSERT_EQ(MxcsrControl(), mxcsr);
        ASSERT_TRUE(dst.MarginUntouched()) << l.width << "x" << l.height << " " << loops;
        const std::vector<float> got = dst.Region();
        for (std::size_t k = 0; k < got.size(); ++k) {
            const Index y = static_cast<Index>(k) / l.width, i = static_cast<Index>(k) % l.width;
            // The bound only where the bits differ: it costs more than the filter.
            ASSERT_TRUE(SameFloat(got[k], want[k]) ||
                        Agrees(exact, got[k], want[k], Bound(op, src, y, i)))
                << l.width << "x" << l.height << " (" << loops << ") row " << y << " column " << i
                << ": got " << got[k] << ", want " << want[k] << (exact ? " exactly" : "");
        }
    });
}

class SpFilterColumn : public ::testing::TestWithParam<std::tuple<int, FilterOp>> {};

TEST_P(SpFilterColumn, EveryWidthUpTo40)
{
    const auto& [column, op] = GetParam();
    std::mt19937 rng(static_cast<unsigned>(column * 7919 + op.name.size()));
    for (std::size_t kind = 0; kind < std::size(kSamplers); ++kind)
        for (Index w = 1; w <= 40; ++w) {
            Layout l = RandomLayout(rng, w, 1 + w % 5);
            l.dstOffset = w % 4;
            SCOPED_TRACE(::testing::Message() << "sampler " << kind);
            Compare(column, op, l, kSamplers[kind], rng, w % 7 == 0);
        }
}

TEST_P(SpFilterColumn, FullSizeImage)
{
    const auto& [column, op] = GetParam();
    std::mt19937 rng(2024);
    // A NaN in the middle: a running sum along a row or down a column would carry it (or an
    // infinity, as NaN) past its window.
    Compare(column, op, RandomLayout(rng, 1024, 1024), Near<1000>, rng, true);
}

TEST(SpFilterBox5x5, ColumnSumsCarriedDownAStripEqualFreshOnesAndLeaveNoInfinityBehind)
{
    // A tall strip, so that the column sums of the 5x5 lowpass and highpass slide through
    // many rows: moderate values; values across many binades; moderate rows with a band of
    // huge ones; an infinity and a NaN that must stay inside their windows; zeros of both signs.
    struct Case {
        const char* what;
        Sampler sample;
        Index hugeFrom, hugeTo, infinityRow;
    };
    const float infinity = std::numeric_limits<float>::infinity();
    for (const Case& c : {Case{"moderate", Near<1000>, -9, -9, -9}, Case{"wide", WideValue, -9, -9, -9},
                          Case{"huge band", Near<1000>, 60, 64, -9}, Case{"ties", TieProneValue, -9, -9, -9}, Case{"infinity", Near<0>, -9, -9, 90},
                          Case{"signed zeros", SignedZero, -9, -9, -9}})
        for (const FilterOp& op : AllFilterOps()) {
            if (op.name != "Lowpass5x5" && op.name != "Hipass5x5")
                continue;
            std::mt19937 rng(7);
            BorderedImage src(13, 160, 2, 17);
            src.Fill([&](Index row, Index) {
                return row >= c.hugeFrom && row <= c.hugeTo ? 1e30f * c.sample(rng) : c.sample(rng);
            });
            if (c.infinityRow >= 0) {
                src.at(c.infinityRow, 6) = infinity;
                src.at(c.infinityRow + 30, 2) = std::numeric_limits<float>::quiet_NaN();
            }
            Destination dst(13, 160, 13);
            ASSERT_EQ(RunOp(op, src, dst, 0, 0, op.generic), spStsNoErr);
            const std::vector<float> got = dst.Region(), want = ReferenceOutput(op, src);
            EXPECT_EQ(FirstDifference(got, want), -1) << op.name << ", " << c.what;
            // Rows away from the infinity and the NaN are finite.
            for (Index y = 0; y < 160; ++y) {
                const bool near = c.infinityRow >= 0 &&
                                  (std::abs(y - c.infinityRow) <= 2 || std::abs(y - c.infinityRow - 30) <= 2);
                for (Index i = 0; i < 13 && !near; ++i)
                    ASSERT_TRUE(std::isfinite(got[static_cast<std::size_t>(y * 13 + i)]))
                        << op.name << ", " << c.what << " row " << y;
            }
        }
}

// Whether a + b is exact in double (the rounding error of the sum is 0).
bool ExactSum(double a, double b)
{
    const double s = a + b, bb = s - a;
    return (a - (s - bb)) + (b - bb) == 0.0;
}

TEST(SpFilterBox5x5, SlidingIsTakenOnlyWhereEverySumIsExact)
{
    // Six rows of values whose binary exponents lie up to 32 apart: where the test says yes,
    // both the fresh sum of five rows and the slide from the sum above are exact in double,
    // and it says yes up to 25 binades apart.
    std::mt19937 rng(11);
    for (int trial = 0; trial < 3000; ++trial) {
        const int low = static_cast<int>(rng() % 60) - 30, gap = static_cast<int>(rng() % 33);
        float rows[6][3];
        int smallest = 1000, largest = -1000;
        for (auto& row : rows)
            for (float& v : row) {
                const int e = low + static_cast<int>(rng() % static_cast<unsigned>(gap + 1));
                const float mantissa = 1.0f + static_cast<float>(rng() % (1u << 23)) * 0x1p-23f;
                v = rng() % 9 == 0 ? 0.0f : (rng() & 1 ? -1.0f : 1.0f) * std::ldexp(mantissa, e);
                if (v != 0.0f) {
                    smallest = std::min(smallest, e);
                    largest = std::max(largest, e);
                }
            }
        spMagnitudes spread[6];
        for (int r = 0; r < 6; ++r)
            spread[r] = spRowMagnitudes(rows[r], 3);
        const bool exact = spSumsExact(spread, 6);
        ASSERT_EQ(exact, largest < smallest || largest - smallest <= 25) << low << " " << gap;
        if (!exact)
            continue;
        for (int i = 0; i < 3; ++i) {
            double fresh = rows[1][i], slid = rows[0][i];
            for (int r = 2; r < 6; ++r) {
                ASSERT_TRUE(ExactSum(fresh, rows[r][i]));
                fresh += rows[r][i];
            }
            for (int r = 1; r < 5; ++r)
                slid += rows[r][i];
            ASSERT_TRUE(ExactSum(slid, -static_cast<double>(rows[0][i])));
            ASSERT_TRUE(ExactSum(slid - rows[0][i], rows[5][i]));
        }
    }
    // Infinities, NaNs, subnormals and negative zeros never slide, wherever they lie in a row
    // (the vector loop and the tail); rows of positive zeros always do.
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    for (float odd : {inf, -inf, nan, 0x1p-130f, -0.0f})
        for (std::size_t at = 0; at < 11; ++at) {
            float row[11] = {1.0f, 2.0f, 1.0f, 2.0f, 1.0f, 2.0f, 1.0f, 2.0f, 1.0f, 2.0f, 1.0f};
            row[at] = odd;
            const spMagnitudes one = spRowMagnitudes(row, 11);
            EXPECT_FALSE(spSumsExact(&one, 1)) << odd << " at " << at;
        }
    const float zeros[11] = {};
    const spMagnitudes none = spRowMagnitudes(zeros, 11);
    EXPECT_TRUE(spSumsExact(&none, 1));
}

// Rounding toward -infinity makes x - x a -0: bands of rows of ones and positive zeros with
// rows of positive zeros between them, where a slide would take the ones' sum out and leave
// -0 while the fresh sum of the zero window is +0 (in the highpass 25 x 0 - S then flips).
TEST(SpFilterBox5x5, RoundingDownwardGivesTheFreshSumsSignedZeros)
{
    struct Rounding {
        const int saved = std::fegetround();
        Rounding() { std::fesetround(FE_DOWNWARD); }
        ~Rounding() { std::fesetround(saved); }
    };
    std::mt19937 rng(5);
    BorderedImage src(11, 60, 2, 15);
    src.Fill([&](Index row, Index) { return (row + 2) % 12 < 3 && rng() % 3 == 0 ? 1.0f : 0.0f; });
    for (const FilterOp& op : AllFilterOps()) {
        if (op.name != "Lowpass5x5" && op.name != "Hipass5x5")
            continue;
        ForEachLoopKind([&](const char* loops) {
            std::vector<float> got, want;
            {
                const Rounding downward;
                Destination dst(11, 60, 11);
                ASSERT_EQ(RunOp(op, src, dst, 0, 0, op.generic), spStsNoErr);
                got = dst.Region();
                want = ReferenceOutput(op, src);
            }
            EXPECT_EQ(FirstDifference(got, want), -1) << op.name << " (" << loops << ")";
        });
    }
}

TEST(SpFilterKnownAnswer, ImpulseGivesTheKernel)
{
    // An impulse of the kernel's divisor makes every output weight exact but the Gauss 5x5
    // ones (k/571 as floats), which come out within a relative 1e-6; the lowpass filters
    // multiply by their float factors instead of dividing.
    const double mean3 = std::bit_cast<float>(std::uint32_t{0x3DE38E37});
    for (int column : kColumns)
        for (const FilterOp& op : AllFilterOps()) {
            const ColumnScope scope(column);
            const float value = static_cast<float>(op.kernel.divisor);
            const double scale = op.name == "Lowpass3x3"   ? (column ? 0x1.c71c72p-4f : mean3)
                                 : op.name == "Lowpass5x5" ? static_cast<double>(0.04f)
                                                           : 1.0 / value;
            const double tolerance = op.name == "Gauss5x5" ? 1e-6 : 0.0;
            const Index py = 3, px = 4, w = 9, h = 7, r = op.border;
            BorderedImage src(w, h, r, w + 2 * r);
            src.Fill([&](Index y, Index i) { return y == py && i == px ? value : 0.0f; });
            Destination dst(w, h, w);
            ASSERT_EQ(RunOp(op, src, dst), spStsNoErr);
            const std::vector<float> out = dst.Region();
            for (Index y = 0; y < h; ++y)
                for (Index i = 0; i < w; ++i) {
                    const Index dy = py - y, dx = px - i;
                    const bool inside = std::abs(dy) <= r && std::abs(dx) <= r;
                    const double weight = inside ? op.kernel.w[dy + 2][dx + 2] : 0;
                    const float want = static_cast<float>(value * weight * scale);
                    EXPECT_NEAR(out[static_cast<std::size_t>(y * w + i)], want,
                                std::abs(want) * tolerance)
                        << op.name << " column " << column << " at " << y << "," << i;
                }
        }
}

// The sweeps above run both loop kinds only if the switch between them works.
TEST(SpFilterLoops, PlainLoopsOnRequestAvx2WhereAvailable)
{
    __builtin_cpu_init();
    const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    EXPECT_EQ(spUseAvx2Loops(), avx2);
    spDebugUsePlainLoops(true);
    EXPECT_FALSE(spUseAvx2Loops());
    spDebugUsePlainLoops(false);
    EXPECT_EQ(spUseAvx2Loops(), avx2);
}

// Columns 2 to 4 run one kernel set and agree bit for bit; their single-precision sums differ
// from column 0's double-precision ones in the last bits somewhere (column 1 beside column 4
// is SpFilterColumn1's test below), while every column stays within a few units of 2^-24 x
// the sum of |w x| of the window (over the divisor) of column 0.
TEST(SpFilterColumnOrders, ColumnsTwoToFourAgreeAndDifferFromColumn0InTheLastBitsOnly)
{
    std::mt19937 rng(17);
    const Index w = 45, h = 11;
    for (const FilterOp& op : AllFilterOps()) {
        BorderedImage src(w, h, op.border, w + 2 * op.border + 3, 1);
        src.Fill([&](Index, Index) { return Near<0>(rng); });
        std::vector<float> out[spDispatchColumns];
        for (int column : kColumns) {
            const ColumnScope scope(column);
            Destination dst(w, h, w);
            ASSERT_EQ(RunOp(op, src, dst), spStsNoErr);
            out[column] = dst.Region();
        }
        EXPECT_EQ(FirstDifference(out[2], out[4]), -1) << op.name;
        EXPECT_EQ(FirstDifference(out[3], out[4]), -1) << op.name;
        EXPECT_NE(FirstDifference(out[4], out[0]), -1) << op.name;
        for (int column = 1; column < spDispatchColumns; ++column) {
            double worst = 0;
            for (std::size_t k = 0; k < out[0].size(); ++k) {
                const Index y = static_cast<Index>(k) / w, i = static_cast<Index>(k) % w;
                const double unit = Bound(op, src, y, i) / 16;
                worst = std::max(worst,
                                 std::abs(static_cast<double>(out[column][k]) - out[0][k]) / unit);
            }
            // The 3x3 lowpass of columns 1 to 4 multiplies by a factor 2 ulps from column 0's.
            EXPECT_LE(worst, op.name == "Lowpass3x3" ? 8.0 : 4.0)
                << op.name << " column " << column;
        }
    }
}

// Each filter row holds, in every processor column, that column's own entry: a row that sent
// one column to another's entry would pass every comparison above.
template <int C>
void ExpectOwnEntries()
{
    using E = spVariantEntries<C>;
    EXPECT_EQ(spFilterGaussRow[C], &E::Gauss) << "column " << C;
    EXPECT_EQ(spFilterLaplaceRow[C], &E::Laplace) << "column " << C;
    EXPECT_EQ(spFilterLowpassRow[C], &E::Lowpass) << "column " << C;
    EXPECT_EQ(spFilterHipassRow[C], &E::Hipass) << "column " << C;
    EXPECT_EQ(spFilterSharpenRow[C], &E::Sharpen) << "column " << C;
    EXPECT_EQ(spFilterSobelVertRow[C], &E::SobelVert) << "column " << C;
    EXPECT_EQ(spFilterSobelHorizRow[C], &E::SobelHoriz) << "column " << C;
}

TEST(SpFilterDispatch, EveryRowHoldsEachColumnsOwnEntry)
{
    ExpectOwnEntries<1>();
    ExpectOwnEntries<2>();
    ExpectOwnEntries<3>();
    ExpectOwnEntries<4>();
}

INSTANTIATE_TEST_SUITE_P(AllColumns, SpFilterColumn,
                         ::testing::Combine(::testing::ValuesIn(kColumns),
                                            ::testing::ValuesIn(AllFilterOps())),
                         [](const auto& info) {
                             return std::get<1>(info.param).name + "_column" +
                                    std::to_string(std::get<0>(info.param));
                         });

} // namespace

// ---- Column 1 beside column 4 ----
// The filters whose column-1 and column-4 kernels add in different orders give different
// last bits somewhere on values whose sums round (column 1 subtracts the right neighbour
// before the middle one, sums the 5x5 window from the middle outwards, smooths the Sobel
// differences from the right), while both stay within the bound of column 0.
namespace {

TEST(SpFilterColumn1, DiffersFromColumn4InLastBitsBothWithinTheBoundOfColumn0)
{
    const std::string differing[] = {"Laplace3x3", "Hipass3x3", "Lowpass3x3", "Lowpass5x5",
                                     "Hipass5x5",  "Sharpen",   "SobelHoriz"};
    for (const FilterOp& op : AllFilterOps()) {
        if (std::find(std::begin(differing), std::end(differing), op.name) == std::end(differing))
            continue;
        std::mt19937 rng(5);
        BorderedImage src(67, 9, op.border, 67 + 2 * op.border + 3, 1);
        src.Fill([&](Index, Index) { return rng() % 2 ? TieProneValue(rng) : WideValue(rng); });
        Destination generic(67, 9, 67);
        ASSERT_EQ(RunOp(op, src, generic, 0, 0, op.generic), spStsNoErr);
        std::vector<float> got[2];
        for (int k = 0; k < 2; ++k) {
            const ColumnScope scope(k == 0 ? 1 : 4);
            Destination dst(67, 9, 67);
            ASSERT_EQ(RunOp(op, src, dst), spStsNoErr);
            got[k] = dst.Region();
        }
        const std::vector<float> want = generic.Region();
        Index differences = 0;
        for (std::size_t k = 0; k < want.size(); ++k) {
            const Index y = static_cast<Index>(k) / 67, i = static_cast<Index>(k) % 67;
            for (const auto& column : got)
                ASSERT_TRUE(Agrees(false, column[k], want[k], Bound(op, src, y, i)))
                    << op.name << " row " << y << " column " << i;
            differences += !SameFloat(got[0][k], got[1][k]);
        }
        EXPECT_GT(differences, 0) << op.name;
    }
}

} // namespace
