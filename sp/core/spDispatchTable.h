// The dispatch table of the library's twenty public routines: one row of five columns per
// routine, in the fixed order below, column 0 the generic routine.
#pragma once

#include <array>

#include "sp/core/spDispatch.h"

inline constexpr int spDispatchRoutines = 20;

// A routine of any of the rows' types; cast back to the row's own type before a call.
using spRoutine = void (*)();
using spDispatchTableRow = std::array<spRoutine, spDispatchColumns>;

// Rows: 0 spDft2DFree, 1 spDft2DInverse, 2 spDft2DForward, 3 spDft2DInitAlloc,
// 4 spFft2DFree, 5 spFft2DInverse, 6 spFft2DForward, 7 spFft2DInitAlloc, 8 spFilterGauss,
// 9 spFilterLaplace, 10 spFilterLowpass, 11 spFilterHipass, 12 spFilterSharpen,
// 13 spFilterSobelVert, 14 spFilterSobelHoriz, 15 spDftFree, 16 spDftInverse,
// 17 spDftForward, 18 spDftInitAlloc, 19 spGetLibVersion.
extern const std::array<spDispatchTableRow, spDispatchRoutines> spDispatchTable;
