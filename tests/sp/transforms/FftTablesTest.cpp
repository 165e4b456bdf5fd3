// Sizes of the power-of-two FFT's tables and work areas, which no transform result shows.
#include "TransformTestSupport.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFftTables.h"

namespace {

using sptest::FftPlan;

TEST(FftTables, LargeOrderSizeFigures)
{
    // Temporary bytes -1: not given for the order.
    struct Figure {
        int order;
        std::int64_t block, temp;
    };
    for (const Figure& f : {Figure{11, 12304, -1}, Figure{12, 16400, -1}, Figure{13, 67872, 1072},
                            Figure{14, 133664, -1}, Figure{15, 265248, -1}, Figure{16, 528416, 8464},
                            Figure{17, 1054752, -1}, Figure{18, 2107424, -1}, Figure{19, 4206624, -1},
                            Figure{20, 8405024, 33808}, Figure{21, 16797728, 33808},
                            Figure{24, 134748208, 16928}, Figure{27, 1074804784, 42272},
                            Figure{28, 2149599280, 42272}, Figure{29, 4299182128, 67616},
                            Figure{30, 8598347824, 67616}}) {
        std::int64_t blockBytes = 0, tempBytes = 0;
        spFftLargeTableSizes(f.order, &blockBytes, &tempBytes);
        EXPECT_EQ(blockBytes, f.block) << f.order;
        EXPECT_TRUE(f.temp < 0 || tempBytes == f.temp) << f.order << ": " << tempBytes;
    }
}

TEST(FftTables, WorkBufferPerOrder)
{
    // Orders 0 to 3 hold no tables at all. Orders 23 and 24 hold 134 MB of tables; the figure
    // is checked on orders up to 22.
    const int work[] = {0, 0, 1024, 2048, 4096, 8192, 8192, 8192, 32768, 32768, 32768, 32768};
    for (int order : {0, 1, 2, 3, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22}) {
        FftPlan plan(order, spNoDivByAny);
        const spFftSpec* s = plan.spec;
        const int bytes = order < 4 ? 0 : work[order - 11];
        EXPECT_TRUE(s->id == 4 && s->order == order && s->ownsTables == 1) << order;
        EXPECT_EQ(s->bitRevPairs == nullptr && s->twiddles == nullptr, order < 4) << order;
        EXPECT_EQ(s->workBytes, bytes) << order;
        int size = -1;
        EXPECT_EQ(spFftGetBufSize(s, &size), spStsNoErr);
        EXPECT_EQ(size, bytes == 0 ? 0 : bytes + 16) << order;
    }
}

TEST(FftTables, TwoLevelOrderSetsBothLevels)
{
    if (!sptest::LongTests())
        GTEST_SKIP() << "order 23 holds 67 MB of tables; runs with SPM_LONG_TESTS=1";
    FftPlan plan(23, spNoDivByAny);
    ASSERT_NE(plan.spec, nullptr);
    EXPECT_NE(plan.spec->levelLayout[0], nullptr);
    EXPECT_NE(plan.spec->levelLayout[1], nullptr);
    EXPECT_NE(plan.spec->levelTwiddles[1], nullptr);
    EXPECT_EQ(plan.spec->levelLayout[2], nullptr);
    EXPECT_EQ(plan.spec->workBytes, 8192);
}

} // namespace

namespace {

// The work sizes of the processor columns: below the core order the blocks of a transform in
// place (8 N); column 1's block path 8192; a split level at least its rows' core (8 R) and its
// work rows (32 M in column 1) or its column batch (8 * 2^batch order in columns 2 to 4).
TEST(FftTables, WorkBufferOfTheProcessorColumns)
{
    struct Figure {
        int column, order, bytes;
    };
    for (const Figure& f : {Figure{1, 4, 128}, Figure{1, 10, 8192}, Figure{1, 11, 8192}, Figure{1, 12, 8192},
                            Figure{1, 13, 2048}, Figure{1, 16, 8192}, Figure{1, 19, 32768}, Figure{1, 21, 32768},
                            Figure{2, 15, 262144}, Figure{2, 16, 32768}, Figure{2, 19, 131072},
                            Figure{3, 17, 131072}, Figure{4, 17, 1048576}, Figure{4, 18, 131072},
                            Figure{4, 21, 524288}}) {
        spFftSpec* spec = nullptr;
        using Init = spStatus (*)(spFftSpec**, int, spScaleFlag, int);
        using Free = spStatus (*)(spFftSpec*);
        constexpr Init inits[] = {spFftInitAllocCol<0>, spFftInitAllocCol<1>, spFftInitAllocCol<2>,
                                  spFftInitAllocCol<3>, spFftInitAllocCol<4>};
        constexpr Free frees[] = {spFftFreeCol<0>, spFftFreeCol<1>, spFftFreeCol<2>, spFftFreeCol<3>,
                                  spFftFreeCol<4>};
        ASSERT_EQ(inits[f.column](&spec, f.order, spNoDivByAny, 0), spStsNoErr);
        EXPECT_EQ(spec->workBytes, f.bytes) << "column " << f.column << " order " << f.order;
        frees[f.column](spec);
    }
}

} // namespace
