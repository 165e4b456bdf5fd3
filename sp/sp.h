// Public header of the signal-processing library: fixed 3x3/5x5 filters on float images
// and complex DFTs of any length, 1-D and 2-D.
#pragma once

#include "sp/core/spTypes.h"
#include "sp/core/spMemory.h"
#include "sp/core/spDispatch.h"
#include "sp/core/spCpu.h"
#include "sp/core/spVersion.h"
#include "sp/core/spDispatchTable.h"
#include "sp/filters/spFilters.h"
#include "sp/transforms/spTransforms.h"
