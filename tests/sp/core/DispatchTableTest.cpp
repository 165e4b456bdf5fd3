#include <gtest/gtest.h>

#include "sp/core/spDispatchTable.h"
#include "sp/sp.h"

namespace {

template <class Fn>
void ExpectRow(int index, const spDispatchRow<Fn>& row, const char* name)
{
    const spDispatchTableRow& tableRow = spDispatchTable[static_cast<std::size_t>(index)];
    for (int c = 0; c < spDispatchColumns; ++c)
        EXPECT_EQ(tableRow[static_cast<std::size_t>(c)], reinterpret_cast<spRoutine>(row[c]))
            << "row " << index << " (" << name << ") column " << c;
}

TEST(SpDispatchTable, RowsInTheirFixedOrder)
{
    ExpectRow(0, spDft2DFreeRow, "spDft2DFree");
    ExpectRow(1, spDft2DInverseRow, "spDft2DInverse");
    ExpectRow(2, spDft2DForwardRow, "spDft2DForward");
    ExpectRow(3, spDft2DInitAllocRow, "spDft2DInitAlloc");
    ExpectRow(4, spFft2DFreeRow, "spFft2DFree");
    ExpectRow(5, spFft2DInverseRow, "spFft2DInverse");
    ExpectRow(6, spFft2DForwardRow, "spFft2DForward");
    ExpectRow(7, spFft2DInitAllocRow, "spFft2DInitAlloc");
    ExpectRow(8, spFilterGaussRow, "spFilterGauss");
    ExpectRow(9, spFilterLaplaceRow, "spFilterLaplace");
    ExpectRow(10, spFilterLowpassRow, "spFilterLowpass");
    ExpectRow(11, spFilterHipassRow, "spFilterHipass");
    ExpectRow(12, spFilterSharpenRow, "spFilterSharpen");
    ExpectRow(13, spFilterSobelVertRow, "spFilterSobelVert");
    ExpectRow(14, spFilterSobelHorizRow, "spFilterSobelHoriz");
    ExpectRow(15, spDftFreeRow, "spDftFree");
    ExpectRow(16, spDftInverseRow, "spDftInverse");
    ExpectRow(17, spDftForwardRow, "spDftForward");
    ExpectRow(18, spDftInitAllocRow, "spDftInitAlloc");
    ExpectRow(19, spGetLibVersionRow, "spGetLibVersion");
}

TEST(SpDispatchTable, EveryColumnHoldsARoutine)
{
    for (const spDispatchTableRow& row : spDispatchTable)
        for (spRoutine routine : row)
            EXPECT_NE(routine, nullptr);
}

TEST(SpDispatchTable, ColumnZeroIsTheGenericRoutine)
{
    EXPECT_EQ(spDispatchTable[8][0], reinterpret_cast<spRoutine>(&spFilterGauss_px));
    EXPECT_EQ(spDispatchTable[14][0], reinterpret_cast<spRoutine>(&spFilterSobelHoriz_px));
    EXPECT_EQ(spDispatchTable[19][0], reinterpret_cast<spRoutine>(&spGetLibVersion_px));
    // A call through the table, cast back to the row's type, reaches the routine.
    auto version = reinterpret_cast<spGetLibVersionFn*>(spDispatchTable[19][0]);
    EXPECT_EQ(version(), spGetLibVersion());
}

} // namespace
