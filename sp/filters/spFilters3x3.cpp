// The generic 3x3 workers: a row pass per source row into a ring of three row buffers, and
// a combine of the rows above, at and below each output row.
#include "sp/filters/spFilterWorkers.h"
#include "sp/filters/spRowKernels.h"

namespace {

// rowPass(first pixel of a source row, buffer, n); combine(centre source row, results of
// rows y-1, y, y+1, destination row, n).
template <class RowPass, class Combine>
spStatus RunRing3x3(const spFilterFrame& f, RowPass rowPass, Combine combine)
{
    spRowBlock block(3, f.width);
    if (!block.Valid())
        return spStsMemAllocErr;
    spRowRing<3> ring(block, 0);
    rowPass(f.SrcRow(-1), ring[0], f.width);
    rowPass(f.SrcRow(0), ring[1], f.width);
    for (std::ptrdiff_t y = 0; y < f.height; ++y) {
        rowPass(f.SrcRow(y + 1), ring[2], f.width);
        combine(f.SrcRow(y), ring[0], ring[1], ring[2], f.DstRow(y), f.width);
        ring.Rotate();
    }
    return spStsNoErr;
}

// The row kernels start one pixel left of the row, so their taps are left, centre, right.
void RowPass121(const float* row, float* out, std::ptrdiff_t n)
{
    spRowSum121(row - 1, out, n, 1);
}

void RowPass111(const float* row, float* out, std::ptrdiff_t n)
{
    spRowSum111(row - 1, out, n, 1);
}

// Left neighbour minus right neighbour.
void RowPassDiff(const float* row, float* out, std::ptrdiff_t n)
{
    spRowDiff(row - 1, out, n, 2);
}

// A combine of the three row results alone, without the centre source row.
template <void (*Combine)(const float*, const float*, const float*, float*, std::ptrdiff_t)>
void WithoutCentre(const float*, const float* r0, const float* r1, const float* r2, float* dst,
                   std::ptrdiff_t n)
{
    Combine(r0, r1, r2, dst, n);
}

// The row below minus the row above.
void CombineBelowMinusAbove(const float*, const float* r0, const float*, const float* r2,
                            float* dst, std::ptrdiff_t n)
{
    spRowsDiff(r2, r0, dst, n);
}

} // namespace

spStatus spFilterGauss3x3(const spFilterFrame& frame)
{
    return RunRing3x3(frame, RowPass121, WithoutCentre<spGauss3x3Combine>);
}

spStatus spFilterCentreMinusSum3x3(const spFilterFrame& frame)
{
    return RunRing3x3(frame, RowPass111, spCentreMinusSum3x3);
}

spStatus spFilterLowpass3x3(const spFilterFrame& frame)
{
    return RunRing3x3(frame, RowPass111, WithoutCentre<spMean3x3Combine>);
}

spStatus spFilterSharpen3x3(const spFilterFrame& frame)
{
    return RunRing3x3(frame, RowPass111, spSharpenCombine);
}

spStatus spFilterSobelVert3x3(const spFilterFrame& frame)
{
    return RunRing3x3(frame, RowPassDiff, WithoutCentre<spColumn121>);
}

spStatus spFilterSobelHoriz3x3(const spFilterFrame& frame)
{
    return RunRing3x3(frame, RowPass121, CombineBelowMinusAbove);
}
