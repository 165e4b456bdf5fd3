// Dispatch of the library's public routines: every public routine has a row of five
// implementations, column 0 the generic one and columns 1 to 4 the processor-specific
// ones (SSE, SSE2, SSE3, SSSE3); one global index picks the column for every call.
#pragma once

#include <cstdint>

inline constexpr int spDispatchColumns = 5;

// The column every public entry uses. 0 at start; only the dispatch initialisers change it.
extern std::int32_t spDispatchIndex;

// The row of one public routine: `Fn` is its function type.
template <class Fn>
using spDispatchRow = Fn* const[spDispatchColumns];

#include "sp/core/spTypes.h"

// The column for a processor code of spGetCpuType, or -1 when the code selects none
// (codes -1 to 4 are known processors without a column of their own: see spStaticInitCpu).
int spDispatchColumnOf(int cpuCode);
// Selects the column for `cpuCode`: codes -1 to 4 select column 0; a code the table does
// not know leaves the index alone and gives the warning 21.
spStatus spStaticInitCpu(int cpuCode);
// Selects the column for the running processor; warning 20 when the processor has no
// CPUID or another vendor (the index is set all the same).
spStatus spStaticInit();
// spStaticInit's decision for a processor code and whether the processor was identified.
spStatus spStaticInitFrom(int cpuCode, bool identified);
