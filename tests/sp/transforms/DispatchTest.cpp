// The twelve dispatch rows: every column holds the generic routine, and the entries reach it
// through the dispatch index with their arguments unchanged.
#include <gtest/gtest.h>

#include "TransformTestSupport.h"
#include "sp/transforms/spDft2D.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFft2D.h"

namespace {

using namespace sptest;

template <class Fn>
void ExpectAllGeneric(const spDispatchRow<Fn>& row, Fn* generic, const char* name)
{
    for (int column = 0; column < spDispatchColumns; ++column)
        EXPECT_EQ(row[column], generic) << name << " column " << column;
}

TEST(TransformDispatch, EveryColumnHoldsTheGenericRoutine)
{
    ExpectAllGeneric(spDftInitAllocRow, spDftInitAlloc_px, "spDftInitAlloc");
    ExpectAllGeneric(spDftFreeRow, spDftFree_px, "spDftFree");
    ExpectAllGeneric(spDftForwardRow, spDftForward_px, "spDftForward");
    ExpectAllGeneric(spDftInverseRow, spDftInverse_px, "spDftInverse");
    ExpectAllGeneric(spDft2DInitAllocRow, spDft2DInitAlloc_px, "spDft2DInitAlloc");
    ExpectAllGeneric(spDft2DFreeRow, spDft2DFree_px, "spDft2DFree");
    ExpectAllGeneric(spDft2DForwardRow, spDft2DForward_px, "spDft2DForward");
    ExpectAllGeneric(spDft2DInverseRow, spDft2DInverse_px, "spDft2DInverse");
    ExpectAllGeneric(spFft2DInitAllocRow, spFft2DInitAlloc_px, "spFft2DInitAlloc");
    ExpectAllGeneric(spFft2DFreeRow, spFft2DFree_px, "spFft2DFree");
    ExpectAllGeneric(spFft2DForwardRow, spFft2DForward_px, "spFft2DForward");
    ExpectAllGeneric(spFft2DInverseRow, spFft2DInverse_px, "spFft2DInverse");
}

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
        spDftSpec* spec = nullptr;
        ASSERT_EQ(spDftInitAlloc(&spec, 12, spNoDivByAny, 0), spStsNoErr);
        Signal y(12), z(12);
        EXPECT_EQ(spDftForward(x.data(), y.data(), spec, nullptr), spStsNoErr);
        EXPECT_TRUE(SameBits(y, reference)) << column;
        EXPECT_EQ(spDftInverse(y.data(), z.data(), spec, nullptr), spStsNoErr);
        EXPECT_EQ(spDftFree(spec), spStsNoErr);
        spDft2DSpec* plan2 = nullptr;
        ASSERT_EQ(spDft2DInitAlloc(&plan2, 12, 1, spNoDivByAny, 0), spStsNoErr);
        EXPECT_EQ(spDft2DForward(x.data(), 96, y.data(), 96, plan2, nullptr), spStsNoErr);
        EXPECT_TRUE(SameBits(y, reference)) << column;
        EXPECT_EQ(spDft2DInverse(y.data(), 96, z.data(), 96, plan2, nullptr), spStsNoErr);
        EXPECT_EQ(spDft2DFree(plan2), spStsNoErr);
        spFft2DSpec* fft2 = nullptr;
        ASSERT_EQ(spFft2DInitAlloc(&fft2, 2, 0, spNoDivByAny, 0), spStsNoErr);
        EXPECT_EQ(spFft2DForward(x.data(), 32, y.data(), 32, fft2, nullptr), spStsNoErr);
        EXPECT_EQ(spFft2DInverse(y.data(), 32, z.data(), 32, fft2, nullptr), spStsNoErr);
        EXPECT_EQ(spFft2DFree(fft2), spStsNoErr);
    }
    spDispatchIndex = saved;
}

} // namespace
