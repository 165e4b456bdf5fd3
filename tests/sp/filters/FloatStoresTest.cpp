// The float rows of columns 2 to 4 are streamed only in runs that write spStreamRowsFrom
// bytes or more into rows that all start on 16 bytes; the store kind changes no bit.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "FilterTestSupport.h"
#include "sp/filters/spVariantStores.h"

namespace {

TEST(SpFloatRowStores, LargeRunsOnSixteenByteRowsStream)
{
    alignas(16) static unsigned char row[32];
    const struct {
        const void* dst;
        std::ptrdiff_t step, bytes;
        bool streams;
    } cases[] = {
        {row, 4096, spStreamRowsFrom, true},       {row, 4096, spStreamRowsFrom - 1, false},
        {row, 4104, spStreamRowsFrom, false},      {row + 4, 4096, spStreamRowsFrom, false},
        {row + 16, 16, 4 * spStreamRowsFrom, true}, {row + 8, 4104, spStreamRowsFrom, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(spStreamsRows(c.dst, c.step, c.bytes), c.streams)
            << static_cast<const unsigned char*>(c.dst) - row << " " << c.step << " " << c.bytes;
}

TEST(SpFloatRowStores, ARunsChoiceLastsAsLongAsTheRun)
{
    ASSERT_TRUE(spStreamsFloatRows);
    {
        const spFloatRowStores ordinary(false);
        EXPECT_FALSE(spStreamsFloatRows);
        {
            const spFloatRowStores streamed(true);
            EXPECT_TRUE(spStreamsFloatRows);
        }
        EXPECT_FALSE(spStreamsFloatRows);
    }
    EXPECT_TRUE(spStreamsFloatRows);
}

// A destination of `rows` rows of `width` floats, `step` floats apart, that starts `shift`
// floats past 16 bytes; every float holds the sentinel at first.
struct ShiftedRows {
    ShiftedRows(Index width, Index rows, Index shift, Index step = 0)
        : width(width), step(step == 0 ? width : step),
          plane(static_cast<std::size_t>(this->step * rows + 8), Destination::kSentinel)
    {
        const auto misplaced = reinterpret_cast<std::uintptr_t>(plane.data()) % 16 / 4;
        origin = plane.data() + (4 - misplaced) % 4 + shift;
    }
    std::vector<float> FirstRows(Index count) const { return {origin, origin + step * count}; }

    Index width, step;
    std::vector<float> plane;
    float* origin;
};

// Each filter at the heights just below and at the threshold, into rows on 16 bytes (streamed
// at the threshold) and rows 4 bytes past them (never streamed): the rows they share are equal
// bit for bit, in both loop forms, and the thread streams again after every run.
TEST(SpFloatRowStores, StreamedAndOrdinaryRowsHoldTheSameBitsAcrossTheThreshold)
{
    const Index width = 1024, streamed = spStreamRowsFrom / (width * 4);
    ASSERT_EQ(streamed * width * 4, spStreamRowsFrom);
    std::mt19937 rng(5);
    BorderedImage src(width, streamed, 2, width + 4);
    src.Fill([&](Index, Index) { return ModerateValue(rng); });
    for (int column : {2, 3, 4})
        for (const FilterOp& op : AllFilterOps())
            ForEachLoopKind([&](const char* loops) {
                const ColumnScope scope(column);
                std::vector<float> out[2][2];
                for (Index rows : {streamed - 1, streamed})
                    for (Index shift : {0, 1}) {
                        ShiftedRows dst(width, rows, shift);
                        ASSERT_EQ(op.entry(src.Origin(), static_cast<int>(src.stride() * 4),
                                           dst.origin, static_cast<int>(width * 4),
                                           {static_cast<int>(width), static_cast<int>(rows)},
                                           op.mask),
                                  spStsNoErr);
                        out[rows - streamed + 1][shift] = dst.FirstRows(streamed - 1);
                    }
                SCOPED_TRACE(::testing::Message()
                             << op.name << " column " << column << " " << loops);
                EXPECT_EQ(FirstDifference(out[1][0], out[1][1]), -1);
                EXPECT_EQ(FirstDifference(out[1][0], out[0][0]), -1);
                EXPECT_EQ(FirstDifference(out[1][0], out[0][1]), -1);
                EXPECT_TRUE(spStreamsFloatRows);
            });
}

// Every filter of columns 2 to 4 in every layout, run by its worker into rows on 16 bytes:
// the run whose rows just reach the threshold streams, the run of one row fewer does not.
// The rows both write agree bit for bit, and the streamed run leaves the kept fourth elements
// and the gaps between rows as they were.
TEST(SpFloatRowStores, StreamedRowsOfEveryLayoutHoldTheOrdinaryRowsBits)
{
    const Index width = 45; // pixels: passes of eight, a block of four and a tail in each layout
    std::mt19937 rng(9);
    for (int layout = 1; layout <= 4; ++layout) {
        const Index e = spPixelElements(layout), row = width * e;
        const Index streamed = (spStreamRowsFrom + row * 4 - 1) / (row * 4);
        ASSERT_LT((streamed - 1) * row * 4, spStreamRowsFrom);
        BorderedImage src(row, streamed, 2 * e, row + 4 * e);
        src.Fill([&](Index, Index) { return ModerateValue(rng); });
        const Index step = (row + 3) / 4 * 4;
        for (int column : {2, 3, 4})
            for (std::size_t op = 0; op < AllFilterOps().size(); ++op)
                ForEachLoopKind([&](const char* loops) {
                    std::vector<ShiftedRows> out;
                    for (Index rows : {streamed, streamed - 1}) {
                        out.emplace_back(row, rows, 0, step);
                        const spVariantFrame frame{src.Origin(), src.stride() * 4,
                                                   out.back().origin, step * 4, width, rows};
                        ASSERT_EQ(WorkerOf(column, op)(
                                      frame, {spKtF32, layout, FormOf(AllFilterOps()[op])}),
                                  spStsNoErr);
                    }
                    SCOPED_TRACE(::testing::Message() << AllFilterOps()[op].name << " column "
                                                      << column << " layout " << layout << " "
                                                      << loops);
                    EXPECT_EQ(FirstDifference(out[0].FirstRows(streamed - 1),
                                              out[1].FirstRows(streamed - 1)),
                              -1);
                    const std::vector<float> all = out[0].FirstRows(streamed);
                    for (Index k = 0; k < static_cast<Index>(all.size()); ++k) {
                        const Index i = k % step;
                        if (i >= row || (layout == 4 && i % 4 == 3)) {
                            ASSERT_TRUE(SameFloat(all[static_cast<std::size_t>(k)],
                                                  Destination::kSentinel))
                                << "row " << k / step << " element " << i << " written";
                        }
                    }
                });
    }
}

// Every worker of columns 2 to 4 streams every row of a run that writes spStreamRowsFrom bytes
// or more into rows that all start on 16 bytes, and no row of any other run, whatever the
// thread chose before: the kernels count the rows they stream.
TEST(SpFloatRowStores, EveryWorkerStreamsExactlyTheRunsTheRuleNames)
{
    const Index width = 64; // pixels: rows of 256, 1024, 768 and 1024 bytes
    const struct {
        int layout;
        Index rows, shift, stepExtra; // floats
        bool streams;
    } cases[] = {
        {1, 2048, 0, 0, true}, {1, 2047, 0, 0, false}, {2, 512, 0, 0, true},
        {2, 511, 0, 0, false}, {3, 683, 0, 0, true},   {3, 682, 0, 0, false},
        {4, 512, 0, 0, true},  {4, 511, 0, 0, false},  {2, 512, 1, 0, false},
        {2, 512, 0, 2, false}, {2, 512, 0, 4, true},   {1, 4096, 2, 2, false},
    };
    for (const auto& c : cases) {
        const Index e = spPixelElements(c.layout), row = width * e, step = row + c.stepExtra;
        const BorderedImage src(row, c.rows, 2 * e, row + 4 * e);
        ShiftedRows dst(row, c.rows, c.shift, step);
        const spVariantFrame frame{src.Origin(), src.stride() * 4, dst.origin, step * 4, width,
                                   c.rows};
        for (int column : {2, 3, 4})
            for (std::size_t op = 0; op < AllFilterOps().size(); ++op)
                ForEachLoopKind([&](const char* loops) {
                    const spFloatRowStores before(!c.streams);
                    const long streamed = spStreamedFloatRowCount;
                    ASSERT_EQ(WorkerOf(column, op)(
                                  frame, {spKtF32, c.layout, FormOf(AllFilterOps()[op])}),
                              spStsNoErr);
                    EXPECT_EQ(spStreamedFloatRowCount - streamed, c.streams ? c.rows : 0)
                        << AllFilterOps()[op].name << " column " << column << " layout "
                        << c.layout << " rows " << c.rows << " shift " << c.shift << " step +"
                        << c.stepExtra << " " << loops;
                    EXPECT_EQ(spStreamsFloatRows, !c.streams);
                });
    }
}

} // namespace
