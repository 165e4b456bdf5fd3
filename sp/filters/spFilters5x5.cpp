// The generic 5x5 workers. Gauss and Laplace pass each source row once through three
// weighted row sums and add five of them per output row; lowpass and highpass pass each row
// through a plain five-tap sum and add the sums of the five rows around each output row.
#include "sp/filters/spFilterWorkers.h"
#include "sp/filters/spKernels5x5.h"

namespace {

using RowSums = void(const double* x, float* outer, float* middle, float* centre,
                     std::ptrdiff_t n);

constexpr std::ptrdiff_t kBorder = 2;

// Widens a source row with its border into the block's widened row; answers the row's
// first pixel there.
const double* Widened(const spRowBlock& block, const float* row, std::ptrdiff_t n)
{
    spWidenRow(row - kBorder, block.WidenedRow(), n + 2 * kBorder);
    return block.WidenedRow() + kBorder;
}

// Output row y = outer(y-2) + middle(y-1) + centre(y) + middle(y+1) + outer(y+2): rings of
// five outer, four middle and three centre sums, twelve buffers in one block.
spStatus RunWeightedRing5x5(const spFilterFrame& f, RowSums* rowSums)
{
    const std::ptrdiff_t n = f.width;
    spRowBlock block(12, n, n + 2 * kBorder);
    if (!block.Valid())
        return spStsMemAllocErr;
    spRowRing<5> outer(block, 0);
    spRowRing<4> middle(block, 5);
    spRowRing<3> centre(block, 9);
    auto pass = [&](std::ptrdiff_t row, float* p, float* q, float* r) {
        rowSums(Widened(block, f.SrcRow(row), n), p, q, r, n);
    };
    spRunRing5x5(
        outer, middle, centre, f.height, pass,
        [&](std::ptrdiff_t y, float* o0, float* m0, float* c0, float* m2, float* o4) {
            spSumFiveRows(o0, m0, c0, m2, o4, f.DstRow(y), n);
        },
        [&] {
            outer.Rotate();
            middle.Rotate();
            centre.Rotate();
        });
    return spStsNoErr;
}

// Each output row adds the five-tap sums of its five source rows afresh: a running column
// sum would carry rounding errors (and any NaN or infinity) down the whole image.
template <class Output>
spStatus RunBoxRing5x5(const spFilterFrame& f, Output output)
{
    const std::ptrdiff_t n = f.width;
    spRowBlock block(5, n, n + 2 * kBorder);
    if (!block.Valid())
        return spStsMemAllocErr;
    spRowRing<5> sums(block, 0);
    auto pass = [&](std::ptrdiff_t row, float* b) {
        spBoxRowSum5(Widened(block, f.SrcRow(row), n), b, n);
    };
    for (std::ptrdiff_t r = -2; r <= 1; ++r)
        pass(r, sums[static_cast<std::size_t>(r + 2)]);
    for (std::ptrdiff_t y = 0; y < f.height; ++y) {
        pass(y + 2, sums[4]);
        output(f.SrcRow(y), sums, f.DstRow(y), n);
        sums.Rotate();
    }
    return spStsNoErr;
}

} // namespace

spStatus spFilterGauss5x5(const spFilterFrame& frame)
{
    return RunWeightedRing5x5(frame, spGauss5x5RowSums);
}

spStatus spFilterLaplace5x5(const spFilterFrame& frame)
{
    return RunWeightedRing5x5(frame, spLaplace5x5RowSums);
}

spStatus spFilterLowpass5x5(const spFilterFrame& frame)
{
    return RunBoxRing5x5(frame, [](const float*, const spRowRing<5>& b, float* dst,
                                   std::ptrdiff_t n) {
        spBoxMean5x5Row(b[0], b[1], b[2], b[3], b[4], dst, n);
    });
}

spStatus spFilterHipass5x5(const spFilterFrame& frame)
{
    return RunBoxRing5x5(frame, [](const float* centre, const spRowRing<5>& b, float* dst,
                                   std::ptrdiff_t n) {
        spHipass5x5Row(centre, b[0], b[1], b[2], b[3], b[4], dst, n);
    });
}
