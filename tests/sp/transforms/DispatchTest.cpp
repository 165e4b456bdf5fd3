// Every column's entries make plans of their own column, cleared by the column's own zero
// fill, and refuse the plans of any other column with -17: the columns share kind codes, not
// table layouts.
#include <algorithm>
#include <array>
#include <functional>

#include "TransformTestSupport.h"
#include "sp/core/spCpu.h"
#include "sp/transforms/spDft2D.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFft2D.h"
#include "sp/transforms/spFftPlan.h"

namespace {

using namespace sptest;

struct ColumnPlans {
    spDftSpec* dft = nullptr;   // mixed radix, whose layout the columns reorder
    spFftSpec* fft = nullptr;   // order 13: a large order in columns 0 and 1, a core in 2 to 4
    spDft2DSpec* dft2d = nullptr;
    spFft2DSpec* fft2d = nullptr;
};

TEST(TransformDispatch, PlansOfAnotherColumnAreRefused)
{
    std::array<ColumnPlans, spDispatchColumns> plans;
    for (int c = 0; c < spDispatchColumns; ++c) {
        spDispatchIndex = c;
        ASSERT_EQ(spDftInitAlloc(&plans[c].dft, 12, spNoDivByAny, 0), spStsNoErr);
        ASSERT_EQ(spFftInitAlloc(&plans[c].fft, 13, spNoDivByAny, 0), spStsNoErr);
        ASSERT_EQ(spDft2DInitAlloc(&plans[c].dft2d, 12, 3, spNoDivByAny, 0), spStsNoErr);
        ASSERT_EQ(spFft2DInitAlloc(&plans[c].fft2d, 2, 1, spNoDivByAny, 0), spStsNoErr);
        EXPECT_EQ(plans[c].dft->column, c);
        EXPECT_EQ(plans[c].fft2d->rowPlan->column, c);
    }
    const Signal x = RandomSignal(8192, 3);
    Signal y(8192, spComplex{7, 7});
    std::uint8_t* none = nullptr;
    int bytes = -1;
    for (int c = 0; c < spDispatchColumns; ++c) {
        spDispatchIndex = c;
        for (int other = 0; other < spDispatchColumns; ++other) {
            if (other == c)
                continue;
            const ColumnPlans& p = plans[other];
            for (spStatus status :
                 {spDftForward(x.data(), y.data(), p.dft, none), spDftInverse(x.data(), y.data(), p.dft, none),
                  spDftGetBufSize(p.dft, &bytes), spDftFree(p.dft), spFftForward(x.data(), y.data(), p.fft, none),
                  spFftInverse(x.data(), y.data(), p.fft, none), spFftGetBufSize(p.fft, &bytes), spFftFree(p.fft),
                  spDft2DForward(x.data(), 96, y.data(), 96, p.dft2d, none),
                  spDft2DInverse(x.data(), 96, y.data(), 96, p.dft2d, none), spDft2DFree(p.dft2d),
                  spFft2DForward(x.data(), 32, y.data(), 32, p.fft2d, none),
                  spFft2DInverse(x.data(), 32, y.data(), 32, p.fft2d, none), spFft2DFree(p.fft2d)})
                EXPECT_EQ(status, spStsContextMatchErr) << "column " << c << ", plan of column " << other;
        }
    }
    EXPECT_EQ(bytes, -1);
    for (const auto& v : y)
        ASSERT_EQ(v.re, 7.0f);
    for (int c = 0; c < spDispatchColumns; ++c) {
        spDispatchIndex = c;
        EXPECT_EQ(spDftFree(plans[c].dft), spStsNoErr);
        EXPECT_EQ(spFftFree(plans[c].fft), spStsNoErr);
        EXPECT_EQ(spDft2DFree(plans[c].dft2d), spStsNoErr);
        EXPECT_EQ(spFft2DFree(plans[c].fft2d), spStsNoErr);
    }
    spDispatchIndex = 0;
}

// The processor detection picks the column the entries then run (column 4 on any processor
// with SSSE3), and each row holds that column's own routines.
TEST(TransformDispatch, StaticInitSelectsTheColumnTheEntriesRun)
{
    spStaticInit();
    const int column = spDispatchIndex;
    EXPECT_EQ(column, std::max(spDispatchColumnOf(spGetCpuType()), 0));
    {
        DftPlan plan(1536, spNoDivByAny);
        EXPECT_EQ(plan.spec->column, column);
    }
    EXPECT_EQ(spDftForwardRow[4], (&spDftRunCol<4, false>));
    EXPECT_EQ(spDft2DInitAllocRow[2], (&spDft2DInitAllocCol<2>));
    spDispatchIndex = 0;
}

// Every plan record a column's inits make is cleared by that column's own zero fill, and by
// no other column's: one record per 1-D plan, its inner FFT plan, and each 2-D plan's line
// plans (one when rows and columns have the same length).
TEST(TransformDispatch, EachColumnClearsItsPlansWithItsOwnZeroFill)
{
    struct Case {
        const char* what;
        long records;
        std::function<void()> make;
    };
    const Case cases[] = {
        {"mixed-radix DFT", 1, [] { DftPlan plan(12, spNoDivByAny); }},
        {"power-of-two DFT", 2, [] { DftPlan plan(16, spNoDivByAny); }},
        {"FFT", 1, [] { FftPlan plan(13, spNoDivByAny); }},
        {"2-D DFT", 3, [] { Dft2DPlan plan(12, 3, spNoDivByAny); }},
        {"square 2-D DFT", 2, [] { Dft2DPlan plan(5, 5, spNoDivByAny); }},
        {"2-D FFT", 3, [] { Fft2DPlan plan(2, 1, spNoDivByAny); }},
    };
    const auto fills = [] {
        std::array<long, spDispatchColumns> counts{};
        for (int c = 0; c < spDispatchColumns; ++c)
            counts[c] = spDebugZeroFills(c);
        return counts;
    };
    for (int column = 0; column < spDispatchColumns; ++column) {
        spDispatchIndex = column;
        for (const Case& k : cases) {
            std::array<long, spDispatchColumns> want = fills();
            want[column] += k.records;
            k.make();
            EXPECT_EQ(fills(), want) << k.what << ", column " << column;
        }
    }
    spDispatchIndex = 0;
}

} // namespace
