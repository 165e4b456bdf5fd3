// The power-of-two FFT: accuracy of every order against the oracle (whose signs the DFT's
// known answers pin), scaling and round trips, in-place and buffer variants, and every
// status of the plan and the transforms.
#include <cmath>
#include <cstring>
#include <random>

#include "TransformTestSupport.h"
#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spFftCore.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFftTables.h"

namespace {

using namespace sptest;

void CheckOrders(int first, int last)
{
    for (int order = first; order <= last; ++order) {
        FftPlan plan(order, spNoDivByAny);
        ASSERT_NE(plan.spec, nullptr);
        const std::int64_t n = std::int64_t{1} << order;
        const Signal x = RandomSignal(n, 900u + static_cast<unsigned>(order));
        for (bool inverse : {false, true}) {
            const Signal y = Transform(plan.spec, x, inverse);
            EXPECT_TRUE(NearColumnZero(y, ColumnZeroFft(x, inverse))) << "against column 0, order " << order;
            if (order <= 12) {
                EXPECT_LE(RelativeRms(y, OracleDft(x, inverse)), FftBound(n)) << "order " << order;
                continue;
            }
            // Each bin costs N long-double steps: fewer of them for the longest orders.
            std::mt19937 gen(static_cast<unsigned>(order));
            std::vector<std::int64_t> bins = {1};
            for (int i = 0; i < (order <= 20 ? 9 : 1); ++i)
                bins.push_back(static_cast<std::int64_t>(gen() % static_cast<unsigned>(n)));
            EXPECT_LE(RelativeRmsAt(y, x, bins, inverse), FftBound(n)) << "order " << order;
        }
    }
}

class FftAccuracy : public ColumnTest {};
class FftScaling : public ColumnTest {};
class FftVariants : public ColumnTest {};
class FftStatus : public ColumnTest {};
SP_COLUMN_SUITE(FftAccuracy);
SP_COLUMN_SUITE(FftScaling);
SP_COLUMN_SUITE(FftVariants);
SP_COLUMN_SUITE(FftStatus);

TEST_P(FftAccuracy, OrdersZeroToTwelve) { CheckOrders(0, 12); }
TEST_P(FftAccuracy, OrdersThirteenToTwenty) { CheckOrders(13, 20); }
TEST_P(FftAccuracy, OrdersTwentyOneAndTwentyTwo) { CheckOrders(21, 22); }
TEST_P(FftAccuracy, OrdersTwentyThreeAndTwentyFour) { CheckOrders(23, 24); }

TEST_P(FftAccuracy, OrdersTwentyFiveToTwentySeven)
{
    if (!LongTests())
        GTEST_SKIP() << "orders 25 to 27 (up to 1 GB of tables) run with SPM_LONG_TESTS=1";
    CheckOrders(25, 27);
}

TEST_P(FftScaling, EachFlagScalesItsDirectionOnceAndRoundTrips)
{
    // Orders of the small kernels, the core, the block path and both split depths.
    for (int order : {0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 16, 17, 19}) {
        const std::int64_t n = std::int64_t{1} << order;
        ExpectScalingFlags(RandomSignal(n, 60u + static_cast<unsigned>(order)),
                           [order](spScaleFlag flag) { return std::make_unique<FftPlan>(order, flag); },
                           2 * FftBound(std::max<std::int64_t>(n, 2)), "order " + std::to_string(order));
    }
}

TEST_P(FftScaling, ForwardThenInverseReturnsNTimesTheInput)
{
    // Block paths of 2048 and 4096 points, alone and as the rows of a level, and levels of
    // odd and even column orders in every column's split tables.
    for (int order : {11, 12, 13, 15, 17, 19, 21}) {
        FftPlan plan(order, spNoDivByAny);
        const std::int64_t n = std::int64_t{1} << order;
        const Signal x = RandomSignal(n, 30u + static_cast<unsigned>(order));
        const Signal back = Transform(plan.spec, Transform(plan.spec, x, false), true);
        EXPECT_LE(RelativeRms(back, Scaled(x, static_cast<long double>(n))), 2 * FftBound(n)) << "order " << order;
    }
}

TEST_P(FftVariants, InPlaceAndCallerBuffersAgreeBitForBit)
{
    for (int order = 0; order <= 19; ++order) {
        FftPlan plan(order, spDivBySqrtN);
        const std::int64_t n = std::int64_t{1} << order;
        const Signal x = RandomSignal(n, 80u + static_cast<unsigned>(order));
        int bytes = -1;
        ASSERT_EQ(spFftGetBufSize(plan.spec, &bytes), spStsNoErr);
        WorkBuffer work(static_cast<size_t>(bytes) + 32, 0x5A);
        for (bool inverse : {false, true}) {
            const Signal reference = Transform(plan.spec, x, inverse);
            Signal data = x;
            const auto run = inverse ? spFftInverse : spFftForward;
            EXPECT_EQ(run(data.data(), data.data(), plan.spec, nullptr), spStsNoErr);
            EXPECT_TRUE(SameBits(data, reference)) << "in place, order " << order;
            for (std::uint8_t* buffer : {work.aligned, work.aligned + 4, work.aligned + 12})
                EXPECT_TRUE(SameBits(Transform(plan.spec, x, inverse, buffer), reference))
                    << "caller buffer, order " << order;
        }
        for (std::uint8_t v : work.storage)
            ASSERT_TRUE(order > 10 || v == 0x5A) << "orders of the core leave the buffer alone: " << order;
    }
}

// Data that do not start on a 16-byte boundary take the unaligned moves of the bit
// reversals, gathers and scatters, in 128-bit and in 256-bit vectors; the arithmetic is the
// same.
TEST_P(FftVariants, MisalignedDataGiveTheSameBits)
{
    for (int order : {3, 4, 5, 9, 10, 11, 12, 13, 15, 16, 17, 18}) {
        FftPlan plan(order, spDivFwdByN);
        const std::int64_t n = std::int64_t{1} << order;
        const Signal x = RandomSignal(n, 40u + static_cast<unsigned>(order));
        WorkBuffer storage(static_cast<size_t>(16 * n));
        for (bool inverse : {false, true}) {
            const auto run = inverse ? spFftInverse : spFftForward;
            const Signal reference = Transform(plan.spec, x, inverse);
            ForEachVectorWidth([&](bool wide) {
                for (std::size_t offset : {4, 8, 12}) {
                    auto* src = reinterpret_cast<spComplex*>(storage.aligned + offset);
                    auto* dst = reinterpret_cast<spComplex*>(storage.aligned + 8 * n + 16 + (offset + 4) % 16);
                    std::memcpy(src, x.data(), 8 * static_cast<size_t>(n));
                    ASSERT_EQ(run(src, dst, plan.spec, nullptr), spStsNoErr);
                    EXPECT_TRUE(SameBits(Signal(dst, dst + n), reference))
                        << "order " << order << ", offset " << offset << " wide " << wide;
                    ASSERT_EQ(run(src, src, plan.spec, nullptr), spStsNoErr);
                    EXPECT_TRUE(SameBits(Signal(src, src + n), reference))
                        << "in place, order " << order << ", offset " << offset << " wide " << wide;
                }
            });
        }
    }
}

// A call without a buffer allocates only the work area its path touches: the column passes of
// the large orders, and in place the blocks of the fused first pass; nothing for the cores
// and block paths that run in place. A caller's buffer of the reported size is all a call
// touches.
TEST_P(FftVariants, WorkAreaIsWhatTheCallTouches)
{
    const int column = GetParam();
    for (int order = 4; order <= 19; ++order) {
        FftPlan plan(order, spNoDivByAny);
        const std::int64_t n = std::int64_t{1} << order;
        DftPlan dft(static_cast<int>(n), spNoDivByAny);
        const Signal x = RandomSignal(n, 50u + static_cast<unsigned>(order));
        // Columns 0 and 1 join 2048 and 4096 points in place without a work area.
        const bool blockPath = column <= 1 && spFftSplitOrder[order] == 0;
        const bool large = order > spColumnCoreOrder(column) && !blockPath;
        const bool fused = order <= spColumnFusedOrder(column);
        int bytes = -1;
        ASSERT_EQ(spFftGetBufSize(plan.spec, &bytes), spStsNoErr);
        for (bool inPlace : {false, true}) {
            const bool allocates = large || (inPlace && fused);
            const Signal reference = Transform(plan.spec, x, false);
            Signal y(x.size()), data = x;
            spComplex* dst = inPlace ? data.data() : y.data();
            spDebugFailAllocationsAfter(0);
            const spStatus status = spFftForward(data.data(), dst, plan.spec, nullptr);
            // The DFT of a power-of-two length hands the call on as it is.
            const spStatus dftStatus = spDftForward(data.data(), dst, dft.spec, nullptr);
            spDebugFailAllocationsAfter(-1);
            EXPECT_EQ(status, allocates ? spStsMemAllocErr : spStsNoErr) << "order " << order << " in place " << inPlace;
            EXPECT_EQ(dftStatus, status) << "DFT, order " << order << " in place " << inPlace;
            // Exactly the reported bytes, from an odd start: past them lies the heap's end
            // (ASan) or a pattern that must stay.
            std::vector<std::uint8_t> buffer(static_cast<size_t>(bytes) + 64, 0xA5);
            data = x;
            ASSERT_EQ(spFftForward(data.data(), dst, plan.spec, bytes == 0 ? nullptr : buffer.data() + 1),
                      spStsNoErr);
            EXPECT_TRUE(SameBits(inPlace ? data : y, reference)) << "order " << order << " in place " << inPlace;
            for (std::size_t k = static_cast<size_t>(bytes) + 1; k < buffer.size(); ++k)
                ASSERT_EQ(buffer[k], 0xA5) << "order " << order << " byte " << k;
        }
    }
}

TEST_P(FftStatus, PlanChecksInTheirOrder)
{
    spFftSpec* const sentinel = reinterpret_cast<spFftSpec*>(std::uintptr_t{0x4321});
    spFftSpec* spec = sentinel;
    const long live = spDebugLiveBlocks();
    EXPECT_EQ(spFftInitAlloc(nullptr, 31, static_cast<spScaleFlag>(3), 0), spStsNullPtrErr);
    // Orders outside 0..30 are refused before any allocation: even a failing allocator is
    // never asked.
    spDebugFailAllocationsAfter(0);
    EXPECT_EQ(spFftInitAlloc(&spec, -1, spNoDivByAny, 0), spStsFftOrderErr);
    EXPECT_EQ(spFftInitAlloc(&spec, 31, static_cast<spScaleFlag>(3), 0), spStsFftOrderErr);
    EXPECT_EQ(spFftInitAlloc(&spec, 4, static_cast<spScaleFlag>(3), 0), spStsMemAllocErr);
    spDebugFailAllocationsAfter(-1);
    for (int flag : {0, 3, 16})
        for (int order : {0, 4, 11, 13})
            EXPECT_EQ(spFftInitAlloc(&spec, order, static_cast<spScaleFlag>(flag), 0), spStsFftFlagErr);
    // Orders whose tables pass 2^31 bytes are refused without allocating them.
    for (int order = 28; order <= 30; ++order)
        EXPECT_EQ(spFftInitAlloc(&spec, order, spNoDivByAny, 0), spStsMemAllocErr) << order;
    EXPECT_EQ(spec, sentinel);
    EXPECT_EQ(spDebugLiveBlocks(), live);
}

TEST_P(FftStatus, FreeSizeQueryAndTransformChecksInTheirOrder)
{
    // Order 18 is a large order in every column: without a buffer the call allocates its work area.
    FftPlan plan(18, spNoDivByAny);
    DftPlan other(13, spNoDivByAny);
    ExpectFreeAndSizeStatuses(spFftFree, spFftGetBufSize, plan.spec, other.spec);
    ExpectTransformStatuses(spFftForward, spFftInverse, plan.spec, other.spec, 1 << 18);
}

// Column 0's large orders form each twiddle product in double precision and keep it so for
// the butterfly, rounding once on storing. With x[0] = e and x[1] = o alone every row and
// block is a constant, so orders 11 and 12 give X[k] = e + t and X[k + N/2] = e - t with
// t = o W^k from the combine's quarter table, and bins 0 .. 255 of order 13 give e plus the
// level gather's product o W^k stored as a float. A product rounded in single precision (each
// part, then their sum) gives other bits in many of those bins.
TEST(FftLargeOrders, ColumnZeroRoundsEachProductOnce)
{
    const spComplex e{0.3f, -0.6f}, o{0.7f, 0.45f};
    struct Product {
        double re, im;
        float singleRe, singleIm;
    };
    // o times w (inverse: times conj(w)).
    const auto times = [&o](spComplex w, bool inverse) {
        const float wi = inverse ? -w.im : w.im;
        const float pr = o.re * w.re, qr = o.im * wi, pi = o.im * w.re, qi = o.re * wi;
        return Product{double(o.re) * w.re - double(o.im) * wi, double(o.im) * w.re + double(o.re) * wi,
                       pr - qr, pi + qi};
    };
    for (int order : {11, 12, 13}) {
        FftPlan plan(order, spNoDivByAny);
        const std::int64_t n = std::int64_t{1} << order;
        Signal x(static_cast<size_t>(n), spComplex{0, 0});
        x[0] = e;
        x[1] = o;
        for (bool inverse : {false, true}) {
            const Signal y = Transform(plan.spec, x, inverse);
            int singleDiffers = 0;
            const auto expect = [&](std::int64_t bin, float re, float im, float singleRe, float singleIm) {
                const spComplex got = y[static_cast<size_t>(bin)];
                EXPECT_TRUE(got.re == re && got.im == im) << "order " << order << " inverse " << inverse << " bin "
                                                          << bin << ": " << got.re << ", " << got.im;
                singleDiffers += singleRe != re || singleIm != im;
            };
            if (order <= 12) {
                const spComplex* quarter = plan.spec->quarterTwiddles;
                for (std::int64_t k = 0; k < n / 2; ++k) {
                    // W^k from the first quarter, turned by -i in the second.
                    const spComplex q = quarter[k % (n / 4)];
                    const spComplex w = k < n / 4 ? q : spComplex{q.im, -q.re};
                    const Product t = times(w, inverse);
                    const float sre = t.singleRe, sim = t.singleIm;
                    expect(k, float(e.re + t.re), float(e.im + t.im), e.re + sre, e.im + sim);
                    expect(k + n / 2, float(e.re - t.re), float(e.im - t.im), e.re - sre, e.im - sim);
                }
            } else {
                // 32 rows: row 16 holds the residue 1, its twiddles W^k four columns at a time.
                const spComplex* level = plan.spec->levelTwiddles[0];
                for (std::int64_t k = 0; k < 256; ++k) {
                    const Product t = times(level[(k / 4) * 4 * 32 + 4 * 16 + k % 4], inverse);
                    const float sre = t.singleRe, sim = t.singleIm;
                    expect(k, e.re + float(t.re), e.im + float(t.im), e.re + sre, e.im + sim);
                }
            }
            EXPECT_GT(singleDiffers, 0) << "order " << order << ": the probe tells no single-precision product apart";
        }
    }
}

} // namespace

namespace {

// Column 0's core forms the products by W8 and W8^3 of its span-4 passes as the sum or
// difference of the parts times one factor, and the quarter turns exactly. One value v
// placed so that the first pass copies it over a whole quarter comes out of the span-4 pass
// of 16 points (as b, c or d of butterflies 0 to 3) and the radix-2 pass of 32 points as
// its products alone.
TEST(FftCore, ColumnZeroFormsEighthTurnsAsOneSumTimesOneFactor)
{
    const spComplex v{0.8125f, -0.3359375f};
    // (re + im, im - re) f forward, (re - im, re + im) f for the conjugate turn.
    const auto eighth = [&v](bool conjugate, float f) {
        return conjugate ? spComplex{(v.re - v.im) * f, (v.re + v.im) * f}
                         : spComplex{(v.re + v.im) * f, (v.im - v.re) * f};
    };
    const auto general = [&v](spComplex w, bool inverse) {
        const float wi = inverse ? -w.im : w.im;
        return spComplex{v.re * w.re - v.im * wi, v.im * w.re + v.re * wi};
    };
    const auto quarter = [&v](bool inverse) { return inverse ? spComplex{-v.im, v.re} : spComplex{v.im, -v.re}; };
    int generalDiffers = 0;
    for (int order : {4, 5}) {
        FftPlan plan(order, spNoDivByAny);
        const int n = 1 << order;
        const spComplex* table = plan.spec->twiddles;
        const spComplex w1 = table[3 * (n / 16)], w2 = table[3 * (n / 16) + 1], w3 = table[3 * (n / 16) + 2];
        const spComplex w8 = table[3 * (n / 8)];
        for (bool inverse : {false, true}) {
            struct Case {
                int at; // where v enters, bit-reversed input
                spComplex expected[4], generalForm[4];
            };
            std::vector<Case> cases;
            if (order == 4) {
                const spComplex w6{w2.im, w2.im}, w9{w3.im, w3.re};
                cases.push_back({4,
                                 {v, eighth(inverse, w2.re), quarter(inverse), eighth(!inverse, w2.im)},
                                 {v, general(w2, inverse), quarter(inverse), general(w6, inverse)}});
                cases.push_back({8,
                                 {v, general(w1, inverse), eighth(inverse, w2.re), general(w3, inverse)},
                                 {v, general(w1, inverse), general(w2, inverse), general(w3, inverse)}});
                cases.push_back({12,
                                 {v, general(w3, inverse), eighth(!inverse, w2.im), general(w9, inverse)},
                                 {v, general(w3, inverse), general(w6, inverse), general(w9, inverse)}});
            } else {
                const spComplex w83{w8.im, w8.im};
                cases.push_back({4,
                                 {v, eighth(inverse, w8.re), quarter(inverse), eighth(!inverse, w8.im)},
                                 {v, general(w8, inverse), quarter(inverse), general(w83, inverse)}});
            }
            for (const Case& c : cases) {
                Signal x(static_cast<size_t>(n), spComplex{0, 0});
                x[static_cast<size_t>(c.at)] = v;
                (inverse ? spFftCoreInv<0> : spFftCoreFwd<0>)(x.data(), n, table);
                for (int j = 0; j < 4; ++j) {
                    EXPECT_TRUE(x[j].re == c.expected[j].re && x[j].im == c.expected[j].im)
                        << "order " << order << " inverse " << inverse << " input " << c.at << " output " << j;
                    generalDiffers += c.generalForm[j].re != c.expected[j].re || c.generalForm[j].im != c.expected[j].im;
                }
            }
        }
    }
    EXPECT_GT(generalDiffers, 0) << "the probe tells no general product apart";
}

// The core of columns 1 to 4 ends in blocks (four real parts, then four imaginary parts) when
// a further level follows, else in interleaved values: both hold the same bits, and depth
// first (small pieces, then the passes across them) computes exactly what breadth first does.
TEST(FftCore, OutputModesAndPieceSizesAgreeBitForBit)
{
    for (int order : {4, 5, 6, 7, 10, 11, 13}) {
        spFftSpec* plan = nullptr;
        ASSERT_EQ(spFftInitAllocCol<4>(&plan, order, spNoDivByAny, 0), spStsNoErr);
        const auto* table = reinterpret_cast<const float*>(plan->twiddles);
        const std::int64_t n = std::int64_t{1} << order;
        const Signal x = RandomSignal(n, 5u + static_cast<unsigned>(order));
        std::vector<std::int32_t> pairs(static_cast<size_t>(n / 4 + 1));
        spFftInitBitRevPairs(order, pairs.data());
        Signal interleaved(x.size()), blocked, pieces;
        spFftBitRevCopy<0>(x.data(), interleaved.data(), static_cast<int>(n), pairs.data());
        blocked = pieces = interleaved;
        spColCoreLinear<false>(interleaved.data(), order, table, 11, spOutputMode::interleaved);
        spColCoreLinear<false>(blocked.data(), order, table, 11, spOutputMode::blocked);
        spColCoreLinear<false>(pieces.data(), order, table, 4, spOutputMode::interleaved);
        Signal unblocked(x.size());
        const float* b = &blocked[0].re;
        for (std::int64_t k = 0; k < n; ++k)
            unblocked[static_cast<size_t>(k)] = {b[8 * (k / 4) + k % 4], b[8 * (k / 4) + 4 + k % 4]};
        EXPECT_TRUE(SameBits(unblocked, interleaved)) << order;
        EXPECT_TRUE(SameBits(pieces, interleaved)) << order;
        // The fused first pass, and the passes in 128-bit and (where the processor has them)
        // 256-bit vectors, give the same bits.
        for (bool wide : {false, true}) {
            const bool before = spColSetWideVectors(wide);
            Signal fused(x.size()), inverse(x.size()), narrow(x.size());
            ASSERT_EQ((spFftRunCol<4, false>(x.data(), fused.data(), plan, nullptr)), spStsNoErr);
            EXPECT_TRUE(SameBits(fused, interleaved)) << order << " wide " << wide;
            ASSERT_EQ((spFftRunCol<4, true>(x.data(), inverse.data(), plan, nullptr)), spStsNoErr);
            spColSetWideVectors(false);
            ASSERT_EQ((spFftRunCol<4, true>(x.data(), narrow.data(), plan, nullptr)), spStsNoErr);
            EXPECT_TRUE(SameBits(inverse, narrow)) << order << " wide " << wide;
            spColSetWideVectors(before);
        }
        spFftFreeCol<4>(plan);
    }
}

} // namespace

namespace {

// The bit reversals of columns 1 to 4 against column 0's: copies with the arrays at every
// 4-byte offset from a 16-byte boundary (aligned, 8-byte and unaligned moves), and in place
// at each of those offsets.
template <int Column>
void CheckBitReversal()
{
    for (int order = 0; order <= 13; ++order) {
        const std::int64_t n = std::int64_t{1} << order;
        const Signal x = RandomSignal(n, 70u + static_cast<unsigned>(order));
        std::vector<std::int32_t> pairs(static_cast<size_t>(n / 4 + 2));
        spFftInitBitRevPairs(order, pairs.data());
        Signal expected(x.size());
        spFftBitRevCopy<0>(x.data(), expected.data(), static_cast<int>(n), pairs.data());
        WorkBuffer storage(static_cast<size_t>(16 * n + 32));
        for (std::size_t from : {0, 4, 8, 12})
            for (std::size_t to : {0, 4, 8, 12}) {
                auto* src = reinterpret_cast<spComplex*>(storage.aligned + from);
                auto* dst = reinterpret_cast<spComplex*>(storage.aligned + 8 * n + 16 + to);
                std::memcpy(src, x.data(), 8 * static_cast<size_t>(n));
                spFftBitRevCopy<Column>(src, dst, static_cast<int>(n), pairs.data());
                EXPECT_TRUE(SameBits(Signal(dst, dst + n), expected))
                    << "column " << Column << " order " << order << " from " << from << " to " << to;
                EXPECT_TRUE(SameBits(Signal(src, src + n), x)) << "source changed, column " << Column;
            }
        for (std::size_t at : {0, 4, 8, 12}) {
            auto* data = reinterpret_cast<spComplex*>(storage.aligned + at);
            std::memcpy(data, x.data(), 8 * static_cast<size_t>(n));
            if constexpr (Column == 1)
                spFftBitRevInPlaceColumn1(data, static_cast<int>(n), pairs.data());
            else
                spFftBitRevInPlace<Column>(data, static_cast<int>(n), pairs.data());
            EXPECT_TRUE(SameBits(Signal(data, data + n), expected))
                << "in place, column " << Column << " order " << order << " at " << at;
        }
    }
}

TEST(FftBitReversal, ColumnsMoveAsColumnZeroDoes)
{
    // Column 0 against the definition first: rev over the order's bits.
    for (int order = 0; order <= 13; ++order) {
        const std::int64_t n = std::int64_t{1} << order;
        Signal x(static_cast<size_t>(n)), y(x.size());
        for (std::int64_t m = 0; m < n; ++m)
            x[static_cast<size_t>(m)] = {static_cast<float>(m), -static_cast<float>(m)};
        std::vector<std::int32_t> pairs(static_cast<size_t>(n / 4 + 2));
        spFftInitBitRevPairs(order, pairs.data());
        spFftBitRevCopy<0>(x.data(), y.data(), static_cast<int>(n), pairs.data());
        for (std::int64_t m = 0; m < n; ++m) {
            std::int64_t r = 0;
            for (int b = 0; b < order; ++b)
                r |= ((m >> b) & 1) << (order - 1 - b);
            ASSERT_EQ(y[static_cast<size_t>(r)].re, static_cast<float>(m)) << "order " << order;
        }
    }
    CheckBitReversal<1>();
    CheckBitReversal<2>();
    CheckBitReversal<3>();
    CheckBitReversal<4>();
}

} // namespace
