// Root tables of the DFT of lengths that are not powers of two, and the direct DFT.
#pragma once

#include <cstdint>

#include "sp/core/spTypes.h"

// N values exp(-2 pi i k / N) (cos, -sin), a quarter or half computed and the rest copied
// by symmetry; null when the allocation fails. Tables of the plans of a dispatch column come
// from that column's allocator.
spComplex* spDftInitTwiddles(std::int32_t len, int column = 0);
// `count` entries of `table` (length tableLen) at stride tableLen / count, copied bit for bit.
// The tables of columns 1 to 4 for an odd count of 7 and more carry an index behind the
// roots (16 count bytes in all): 2 count entries, entry i and entry i + count both 2i, the
// float offset of root i, so that a root number up to 2 count - 1 needs no reduction.
spComplex* spDftInitRoots(std::int32_t count, const spComplex* table, std::int32_t tableLen, int column = 0);
// True when the roots that `column` makes for `count` carry the index.
constexpr bool spDftRootsIndexed(int column, std::int32_t count) { return column >= 1 && count >= 7 && count % 2 != 0; }
// The index behind such a table.
inline const std::int32_t* spDftRootIndex(const spComplex* roots, std::int32_t count)
{
    return reinterpret_cast<const std::int32_t*>(roots + count);
}

// Unscaled DFT of N points by pair sums: forward for direction > 0, else inverse. `roots`
// holds exp(-2 pi i m / N); `work` holds 2 (N - 1) values and overlaps neither array, while
// dst may be src. Sums and products in double precision, each stored value rounded once.
void spDftDirect(const spComplex* src, spComplex* dst, std::int32_t len, int direction,
                 const spComplex* roots, spComplex* work);
// The direct sums of one column, on the roots that the column's spDftInitRoots made for N.
// Where those carry the index, columns 1 to 4 sum in single precision four floats at a time:
// column 1 in one running sum per output pair, columns 2 to 4 in two (alternate pairs),
// reading direction 0 as forward. Other lengths go through spDftDirect. `work` is 16-byte
// aligned.
template <int Column>
void spDftDirectCol(const spComplex* src, spComplex* dst, std::int32_t len, int direction,
                    const spComplex* roots, spComplex* work);
