// Column 1's kernels, family by family, as the runs its tables are made of. Each family's
// source holds the kernels of every element type; the float ones reach rows of any alignment
// through the access block (spColumn1Access.h) in the forms of spColumn1Forms.h, the integer
// ones work on 64-bit vectors (spColumn1Integer.h).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "sp/filters/spVariantTables.h"

namespace spColumn1 {

// The runs of a table joined in order.
template <class T, std::size_t... N>
constexpr auto Join(const std::array<T, N>&... parts)
{
    std::array<T, (N + ...)> out{};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), out.begin() + static_cast<std::ptrdiff_t>(at)), at += N),
     ...);
    return out;
}

// The layout codes 1 to 4 of one element type E of a kernel<E, P, KeepAlpha> (P the elements
// between horizontal neighbours): layout 2, four elements per pixel all written, takes the
// one-channel form with its terms a pixel apart.
#define SP_COLUMN1_LAYOUTS(Fn, kernel, E)                                                       \
    std::array<Fn*, 4>                                                                          \
    {                                                                                           \
        kernel<E, 1, false>, kernel<E, 4, false>, kernel<E, 3, false>, kernel<E, 4, true>       \
    }

// Three- and five-row column sums, the five-row slide and the row differences.
spVerticalBlock VerticalBlock();
spTypeRun Sum5Run();
spTypeRun Slide5Run();
spTypeRun RowPairDiffRun();

// The lowpass output rows: spColMean5 and spColMean3 for three types and four layouts.
spLayoutRun Mean5Run();
spLayoutRun Mean3Run();

// The centre-combine kernels: spColCentreMinusSum3 (types 0 to 4), spColHipass5 and
// spSharpenFromSums.
std::array<spCentreFn*, 17> CentreMinusSum3Run();
spCentreRun Hipass5Run();
spCentreRun SharpenRun();

// The Sobel output rows: spHorizDiff and the smoothing kernels spSmooth111 / spSmooth121.
spLayoutRun HorizDiffRun();
std::array<spRowFn*, 24> SmoothRun();

// Kernel set 1: the 5x5 Gauss and Laplace row and column passes, the 3x3 Gauss row pass.
std::array<spRowPass5Fn*, 33> RowPass5x5Run();
std::array<spColPass5Fn*, 17> ColPass5x5Run();
spLayoutRun GaussRowPass3x3Run();

} // namespace spColumn1
