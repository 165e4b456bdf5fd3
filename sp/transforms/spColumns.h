// What sets the dispatch columns of the Fourier transforms apart. Column 0 is the generic
// code; columns 1 to 4 share one implementation (blocked radix-4 FFT core) that these few
// numbers tune. Above the core order column 1 keeps the generic split and gathers four
// columns at a time; columns 2 to 4 transform batches of columns by their own split tables.
#pragma once

#include <cstdint>

#include "sp/core/spDispatch.h"

// Largest order whose transform the core does in one piece; above it the large-order driver.
constexpr int spColumnCoreOrder(int column)
{
    constexpr int orders[spDispatchColumns] = {10, 10, 15, 16, 17};
    return orders[column];
}

// Largest order whose first pass reads the source through the bit reversal itself; the
// orders above it permute first (the fused pass needs an index table of N/16 entries).
constexpr int spColumnFusedOrder(int column)
{
    constexpr int orders[spDispatchColumns] = {0, 9, 14, 15, 16};
    return orders[column];
}

// Cores above this order run depth first: pieces of this order from the first pass to the
// last, then the passes across them.
constexpr int spColumnLeafOrder(int column) { return column == 4 ? 11 : 10; }

// Mixed-radix plans move a factor 4 or 2 into the first stage, lay their twiddles out for
// the packed single-precision stage kernels (blocked by span) and run those kernels.
constexpr bool spColumnReordersFactors(int column) { return column >= 2; }
// Column 3's radix-3 and radix-5 stages spread two rows' twiddles over the lanes with the
// loads that duplicate even or odd lanes (same results as column 2).
constexpr bool spColumnDuplicatingLoads(int column) { return column == 3; }

// Running sums per output pair of the direct DFT: column 0 one in double precision, columns
// 1 to 4 in single precision four floats wide, one in column 1 and two in columns 2 to 4.
constexpr int spColumnDirectSums(int column) { return column <= 1 ? 1 : 2; }

// Column 3's plans and work areas come from the allocator's twin that requests the cache
// line 128 bytes into each block before handing it out.
constexpr bool spColumnPrefetchingAlloc(int column) { return column == 3; }

// The zero fill of complex vectors: values cleared per step (then two and one, as many as
// remain) and whether by float stores (columns 0 and 3) or 32-bit integer stores.
constexpr int spColumnZeroBlock(int column) { return column >= 3 ? 4 : 2; }
constexpr bool spColumnZeroFloatStores(int column) { return column == 0 || column == 3; }
// Columns 1, 2 and 4 conjugate four floats at a time, columns 0 and 3 one value at a time.
constexpr bool spColumnVectorConjugate(int column) { return column != 0 && column != 3; }

// Columns 2 to 4: order of the column transform a large order takes off at each level (0:
// none), and the order of the batch of columns that one pass over the rows transforms.
struct spColumnSplit {
    std::int8_t columnOrder[31];
    std::int8_t batchOrder[31];
};

inline constexpr spColumnSplit spColumnSplits[spDispatchColumns] = {
    {{}, {}}, // column 0 keeps spFftSplitOrder and its four-column gathers
    {{}, {}}, // column 1 keeps spFftSplitOrder and its four-column gathers
    {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 4, 4, 5, 6, 6, 8, 8, 8, 8, 8, 8, 8, 8, 8},
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 10, 10, 13, 13, 13, 14, 14, 14, 14, 14, 14, 14, 14, 14}},
    {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 4, 4, 4, 5, 8, 8, 8, 8, 8, 8, 8, 8, 8},
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 10, 10, 10, 13, 15, 15, 15, 15, 15, 15, 15, 15, 15}},
    {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 4, 4, 4, 5, 8, 8, 8, 8, 8, 8, 8, 8, 8},
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 10, 10, 10, 13, 15, 15, 15, 15, 15, 15, 15, 15, 15}},
};

// Expands `X(c)` once for every dispatch column.
#define SP_FOR_EACH_COLUMN(X) X(0) X(1) X(2) X(3) X(4)
// The same for the processor columns only.
#define SP_FOR_EACH_VECTOR_COLUMN(X) X(1) X(2) X(3) X(4)
// A row of one templated routine, column 0 to 4.
#define SP_COLUMN_ROUTINE(...) {__VA_ARGS__<0>, __VA_ARGS__<1>, __VA_ARGS__<2>, __VA_ARGS__<3>, __VA_ARGS__<4>}
