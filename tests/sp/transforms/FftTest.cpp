// The power-of-two FFT: accuracy of every order against the oracle (whose signs the DFT's
// known answers pin), scaling and round trips, in-place and buffer variants, and every
// status of the plan and the transforms.
#include <cmath>
#include <random>

#include "TransformTestSupport.h"
#include "sp/transforms/spColFft.h"
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
    // Order 13 wants 1024 bytes of work area; without a buffer the call allocates them.
    FftPlan plan(13, spNoDivByAny);
    DftPlan other(13, spNoDivByAny);
    ExpectFreeAndSizeStatuses(spFftFree, spFftGetBufSize, plan.spec, other.spec);
    ExpectTransformStatuses(spFftForward, spFftInverse, plan.spec, other.spec, 8192);
}

} // namespace

namespace {

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
        spFftBitRevCopy(x.data(), interleaved.data(), static_cast<int>(n), pairs.data());
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
