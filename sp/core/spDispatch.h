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
