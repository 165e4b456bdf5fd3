#include <gtest/gtest.h>

#include "sp/core/spDispatchTable.h"
#include "sp/sp.h"
#include "sp/transforms/spDft2D.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFft2D.h"

namespace {

struct NamedRow {
    const char* name;
    spDispatchTableRow columns;
    spRoutine generic;
};

template <class Fn>
NamedRow Row(const char* name, const spDispatchRow<Fn>& row, Fn* generic)
{
    NamedRow named{name, {}, reinterpret_cast<spRoutine>(generic)};
    for (int c = 0; c < spDispatchColumns; ++c)
        named.columns[static_cast<std::size_t>(c)] = reinterpret_cast<spRoutine>(row[c]);
    return named;
}

TEST(SpDispatchTable, RowsInTheirFixedOrderHoldTheGenericRoutines)
{
    const NamedRow rows[spDispatchRoutines] = {
        Row("spDft2DFree", spDft2DFreeRow, spDft2DFree_px),
        Row("spDft2DInverse", spDft2DInverseRow, spDft2DInverse_px),
        Row("spDft2DForward", spDft2DForwardRow, spDft2DForward_px),
        Row("spDft2DInitAlloc", spDft2DInitAllocRow, spDft2DInitAlloc_px),
        Row("spFft2DFree", spFft2DFreeRow, spFft2DFree_px),
        Row("spFft2DInverse", spFft2DInverseRow, spFft2DInverse_px),
        Row("spFft2DForward", spFft2DForwardRow, spFft2DForward_px),
        Row("spFft2DInitAlloc", spFft2DInitAllocRow, spFft2DInitAlloc_px),
        Row("spFilterGauss", spFilterGaussRow, spFilterGauss_px),
        Row("spFilterLaplace", spFilterLaplaceRow, spFilterLaplace_px),
        Row("spFilterLowpass", spFilterLowpassRow, spFilterLowpass_px),
        Row("spFilterHipass", spFilterHipassRow, spFilterHipass_px),
        Row("spFilterSharpen", spFilterSharpenRow, spFilterSharpen_px),
        Row("spFilterSobelVert", spFilterSobelVertRow, spFilterSobelVert_px),
        Row("spFilterSobelHoriz", spFilterSobelHorizRow, spFilterSobelHoriz_px),
        Row("spDftFree", spDftFreeRow, spDftFree_px),
        Row("spDftInverse", spDftInverseRow, spDftInverse_px),
        Row("spDftForward", spDftForwardRow, spDftForward_px),
        Row("spDftInitAlloc", spDftInitAllocRow, spDftInitAlloc_px),
        Row("spGetLibVersion", spGetLibVersionRow, spGetLibVersion_px),
    };
    for (std::size_t i = 0; i < spDispatchRoutines; ++i)
        for (std::size_t c = 0; c < spDispatchColumns; ++c) {
            EXPECT_EQ(spDispatchTable[i][c], rows[i].columns[c]) << rows[i].name << " column " << c;
            // Column 0 holds the generic routine of every row; columns 1 to 4 hold the processor
            // variants of the filter and transform rows and a version record of their own.
            if (c == 0) {
                EXPECT_EQ(rows[i].columns[c], rows[i].generic) << rows[i].name << " column " << c;
            }
        }
    // A call through the table, cast back to the row's type, reaches the routine.
    auto version = reinterpret_cast<spGetLibVersionFn*>(spDispatchTable[19][0]);
    EXPECT_EQ(version(), spGetLibVersion_px());
}

} // namespace
