// Plan records and tables of the power-of-two FFT against figures worked out by hand.
#include <cmath>
#include <cstring>
#include <vector>

#include "TransformTestSupport.h"
#include "sp/transforms/spFftCore.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFftTables.h"

namespace {

using sptest::FftPlan;

std::ptrdiff_t BytesInto(const void* base, const void* p)
{
    return static_cast<const std::uint8_t*>(p) - static_cast<const std::uint8_t*>(base);
}

std::int64_t Reverse(std::int64_t v, int bits)
{
    std::int64_t r = 0;
    for (int b = 0; b < bits; ++b)
        r |= ((v >> b) & 1) << (bits - 1 - b);
    return r;
}

TEST(FftTables, SineTableOfOrderFour)
{
    float sine[5];
    spFftInitSineTable(4, sine);
    EXPECT_EQ(sine[0], 0.0f);
    EXPECT_EQ(sine[1], static_cast<float>(std::sin(M_PI / 8)));
    EXPECT_EQ(sine[2], static_cast<float>(std::sin(M_PI / 4)));
    EXPECT_EQ(sine[3], static_cast<float>(std::cos(M_PI / 8)));
    EXPECT_EQ(sine[4], 1.0f);
}

TEST(FftTables, PairTablesOfSmallOrders)
{
    // Order 1 writes nothing.
    const std::vector<std::int32_t> tables[] = {
        {99}, {0, 0}, {0, 4, 0}, {4, 8, 0, 12, 0}, {4, 16, 12, 24, 0, 28, 20, 8, 0},
    };
    for (int order = 1; order <= 5; ++order) {
        std::vector<std::int32_t> t(tables[order - 1].size(), 99);
        spFftInitBitRevPairs(order, t.data());
        EXPECT_EQ(t, tables[order - 1]) << order;
    }
}

TEST(FftTables, PairTableListsEveryReversalOnce)
{
    for (int order = 4; order <= 12; ++order) {
        const int m = 1 << (order - 2);
        std::vector<std::int32_t> t(static_cast<size_t>(m + 1), -1);
        spFftInitBitRevPairs(order, t.data());
        std::vector<int> seen(static_cast<size_t>(m), 0);
        size_t w = 0;
        for (; t[w] != 0; w += 2) {
            const int i = t[w] / 4, j = t[w + 1] / 4;
            EXPECT_LT(i, j);
            EXPECT_EQ(Reverse(i, order - 2), j);
            ++seen[static_cast<size_t>(i)];
            ++seen[static_cast<size_t>(j)];
        }
        for (++w; t[w] != 0; ++w) {
            const int s = t[w] / 4;
            EXPECT_EQ(Reverse(s, order - 2), s);
            ++seen[static_cast<size_t>(s)];
        }
        EXPECT_EQ(w, static_cast<size_t>(m)) << order;
        for (int i = 1; i < m; ++i)
            EXPECT_EQ(seen[static_cast<size_t>(i)], 1) << order << " index " << i;
    }
}

TEST(FftTables, TwiddleLayoutFollowsTheQuadrantRule)
{
    for (int order : {4, 7, 10}) {
        FftPlan plan(order, spNoDivByAny);
        ASSERT_NE(plan.spec, nullptr);
        const spComplex* layout = plan.spec->twiddles;
        const int n = 1 << order, q = n / 4;
        for (int k = 0; k <= q; ++k)
            for (int p = 1; p <= 3; ++p) {
                const spComplex w = layout[3 * k + p - 1];
                const double angle = 2 * M_PI * k * p / n;
                EXPECT_NEAR(w.re, std::cos(angle), 1e-7) << order << " " << k << " " << p;
                EXPECT_NEAR(w.im, -std::sin(angle), 1e-7) << order << " " << k << " " << p;
            }
        // Record 0 holds (1, -0) three times; record Q is (0, -1, -1, -0, -0, 1).
        const spComplex ends[6] = {{1, -0.0f}, {1, -0.0f}, {1, -0.0f}, {0, -1}, {-1, -0.0f}, {-0.0f, 1}};
        EXPECT_EQ(std::memcmp(layout, ends, 3 * sizeof(spComplex)), 0) << order;
        EXPECT_EQ(std::memcmp(layout + 3 * q, ends + 3, 3 * sizeof(spComplex)), 0) << order;
        // W8 as the radix-2 pass reads it.
        EXPECT_EQ(layout[3 * (n / 8)].re, 0.70710677f);
        EXPECT_EQ(layout[3 * (n / 8)].im, -0.70710677f);
    }
}

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

TEST(FftTables, OrderElevenUsesTheBlockPath)
{
    FftPlan plan(11, spNoDivByAny);
    ASSERT_NE(plan.spec, nullptr);
    EXPECT_EQ(BytesInto(plan.spec->twiddles, plan.spec->quarterTwiddles), 6168 + 8);
    for (int k = 0; k < 512; ++k) {
        const spComplex w = plan.spec->quarterTwiddles[k];
        EXPECT_NEAR(w.re, std::cos(2 * M_PI * k / 2048), 1e-7);
        EXPECT_NEAR(w.im, -std::sin(2 * M_PI * k / 2048), 1e-7);
    }
    EXPECT_EQ(plan.spec->levelLayout[0], nullptr);
}

TEST(FftTables, OrderThirteenBlockLayout)
{
    FftPlan plan(13, spNoDivByAny);
    ASSERT_NE(plan.spec, nullptr);
    const spFftSpec* s = plan.spec;
    EXPECT_EQ(BytesInto(s->twiddles, s->levelLayout[0]), 1568);
    EXPECT_EQ(BytesInto(s->twiddles, s->levelTwiddles[0]), 1792);
    EXPECT_EQ(s->levelLayout[1], nullptr);
    EXPECT_EQ(s->quarterTwiddles, nullptr);
    // Group c, row p, column c + t holds W^((c + t) rev5(p)) of order 13.
    const int n = 1 << 13;
    for (int c = 0; c < 256; c += 4)
        for (int p = 0; p < 32; ++p)
            for (int t = 0; t < 4; ++t) {
                const spComplex w = s->levelTwiddles[0][(c / 4) * 128 + 4 * p + t];
                const double angle = 2 * M_PI * static_cast<double>((c + t) * Reverse(p, 5)) / n;
                ASSERT_NEAR(w.re, std::cos(angle), 1e-7) << c << " " << p << " " << t;
                ASSERT_NEAR(w.im, -std::sin(angle), 1e-7) << c << " " << p << " " << t;
            }
    // The base layout of order 8 at the start of the block.
    EXPECT_EQ(s->twiddles[3 * 32].re, 0.70710677f);
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

TEST(FftBitReversal, CopyAndInPlaceAgreeWithTheDefinition)
{
    // The copy needs no table below 8 points, the exchanges none below 4.
    for (int order = 1; order <= 12; ++order) {
        const int n = 1 << order;
        std::vector<std::int32_t> table(static_cast<size_t>(n / 4 + 1));
        spFftInitBitRevPairs(order, table.data());
        const auto x = sptest::RandomSignal(n, 7u + static_cast<unsigned>(order));
        sptest::Signal copy(x.size()), inPlace(x);
        spFftBitRevCopy(x.data(), copy.data(), n, order < 3 ? nullptr : table.data());
        spFftBitRevInPlace(inPlace.data(), n, order < 2 ? nullptr : table.data());
        EXPECT_TRUE(sptest::SameBits(copy, inPlace)) << order;
        for (int m = 0; m < n; ++m)
            ASSERT_EQ(std::memcmp(&copy[static_cast<size_t>(Reverse(m, order))],
                                  &x[static_cast<size_t>(m)], sizeof(spComplex)),
                      0)
                << order << " " << m;
    }
}

} // namespace
