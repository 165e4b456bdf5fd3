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

// A destination of `rows` rows of `width` floats that starts `shift` floats past 16 bytes.
struct ShiftedRows {
    ShiftedRows(Index width, Index rows, Index shift)
        : width(width), plane(static_cast<std::size_t>(width * rows + 8))
    {
        const auto misplaced = reinterpret_cast<std::uintptr_t>(plane.data()) % 16 / 4;
        origin = plane.data() + (4 - misplaced) % 4 + shift;
    }
    std::vector<float> FirstRows(Index count) const { return {origin, origin + width * count}; }

    Index width;
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

} // namespace
