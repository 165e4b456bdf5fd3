// The transform entries reach their routines through the dispatch index in every column with
// their arguments unchanged (the table test of the core checks what each column holds).
#include "TransformTestSupport.h"
#include "sp/transforms/spDftPlan.h"

namespace {

using namespace sptest;

TEST(TransformDispatch, EntriesGiveTheSameResultInEveryColumn)
{
    const Signal x = RandomSignal(12, 4);
    Signal reference(12);
    {
        DftPlan plan(12, spNoDivByAny);
        ASSERT_EQ(spDftForward_px(x.data(), reference.data(), plan.spec, nullptr), spStsNoErr);
    }
    const std::int32_t saved = spDispatchIndex;
    for (std::int32_t column = 0; column < spDispatchColumns; ++column) {
        spDispatchIndex = column;
        Signal y(12), z(12);
        {
            DftPlan plan(12, spNoDivByAny);
            EXPECT_TRUE(SameBits(Transform(plan.spec, x, false), reference)) << column;
            Transform(plan.spec, x, true);
        }
        {
            Dft2DPlan plan(12, 1, spNoDivByAny);
            EXPECT_EQ(spDft2DForward(x.data(), 96, y.data(), 96, plan.spec, nullptr), spStsNoErr);
            EXPECT_TRUE(SameBits(y, reference)) << column;
            EXPECT_EQ(spDft2DInverse(y.data(), 96, z.data(), 96, plan.spec, nullptr), spStsNoErr);
        }
        Fft2DPlan plan(2, 0, spNoDivByAny);
        EXPECT_EQ(spFft2DForward(x.data(), 32, y.data(), 32, plan.spec, nullptr), spStsNoErr);
        EXPECT_EQ(spFft2DInverse(y.data(), 32, z.data(), 32, plan.spec, nullptr), spStsNoErr);
    }
    spDispatchIndex = saved;
}

} // namespace
