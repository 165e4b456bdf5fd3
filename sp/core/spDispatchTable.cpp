#include "sp/core/spDispatchTable.h"

#include "sp/core/spVersion.h"
#include "sp/filters/spFilters.h"
#include "sp/transforms/spTransforms.h"

namespace {

template <class Fn>
spDispatchTableRow Columns(const spDispatchRow<Fn>& row)
{
    spDispatchTableRow columns{};
    for (int c = 0; c < spDispatchColumns; ++c)
        columns[static_cast<std::size_t>(c)] = reinterpret_cast<spRoutine>(row[c]);
    return columns;
}

} // namespace

// Every row is constant-initialised from addresses of functions, so this table may be built
// during dynamic initialisation without an order problem.
const std::array<spDispatchTableRow, spDispatchRoutines> spDispatchTable = {
    Columns(spDft2DFreeRow),     Columns(spDft2DInverseRow),   Columns(spDft2DForwardRow),
    Columns(spDft2DInitAllocRow), Columns(spFft2DFreeRow),     Columns(spFft2DInverseRow),
    Columns(spFft2DForwardRow),  Columns(spFft2DInitAllocRow), Columns(spFilterGaussRow),
    Columns(spFilterLaplaceRow), Columns(spFilterLowpassRow),  Columns(spFilterHipassRow),
    Columns(spFilterSharpenRow), Columns(spFilterSobelVertRow), Columns(spFilterSobelHorizRow),
    Columns(spDftFreeRow),       Columns(spDftInverseRow),     Columns(spDftForwardRow),
    Columns(spDftInitAllocRow),  Columns(spGetLibVersionRow),
};
