// The generic 5x5 workers. Gauss and Laplace pass each source row once through three
// weighted row sums and add five of them per output row; lowpass and highpass pass each row
// through a plain five-tap sum and carry the column sum of five of them from row to row.
#include <algorithm>
#include <array>

#include "sp/core/spCpu.h"
#include "sp/filters/spFilterWorkers.h"
#include "sp/filters/spKernels5x5.h"

namespace {

using RowSums = void(const double* x, float* outer, float* middle, float* centre,
                     std::ptrdiff_t n);

constexpr std::ptrdiff_t kBorder = 2;
// The rounding bits of MXCSR for rounding toward -infinity.
constexpr std::uint32_t kMxcsrDownward = 0x2000;

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

// Output row y takes the column sum S of the five-tap row sums b of source rows y - 2 to
// y + 2, kept in double precision from row to row: the sum of the row above with b(y - 3)
// taken out and b(y + 2) put in. That sliding sum equals the fresh one only while every
// partial sum is exact, and an infinity or NaN would stay in it for good; so S is summed
// afresh for the first row and whenever the six rows involved hold a value that is not
// finite, is subnormal, is a negative zero, or lies more than 2^25 away in magnitude from
// another. Rounding toward -infinity makes x - x a -0, so that a slide would turn a window
// sum of +0 into -0 where the fresh sum keeps +0; in that mode every sum is fresh.
template <class Output>
spStatus RunBoxRing5x5(const spFilterFrame& f, Output output)
{
    const std::ptrdiff_t n = f.width;
    spRowBlock block(6, n, n + 2 * kBorder, 2);
    if (!block.Valid())
        return spStsMemAllocErr;
    const bool maySlide = (spGetMxcsr() & spMxcsrRoundingMask) != kMxcsrDownward;
    // b of source rows y - 3 to y + 2 at output row y, with their magnitudes.
    spRowRing<6> sums(block, 0);
    std::array<spMagnitudes, 6> spread{};
    double* column = block.WidenedRow(1);
    auto pass = [&](std::ptrdiff_t row, std::size_t slot) {
        spBoxRowSum5(Widened(block, f.SrcRow(row), n), sums[slot], n);
        spread[slot] = spRowMagnitudes(sums[slot], n);
    };
    for (std::ptrdiff_t r = -2; r <= 1; ++r)
        pass(r, static_cast<std::size_t>(r + 3));
    for (std::ptrdiff_t y = 0; y < f.height; ++y) {
        pass(y + 2, 5);
        if (y > 0 && maySlide && spSumsExact(spread.data(), spread.size()))
            spSlideBoxSum(column, sums[0], sums[5], n);
        else
            spSumFiveRows(sums[1], sums[2], sums[3], sums[4], sums[5], column, n);
        output(f.SrcRow(y), column, f.DstRow(y), n);
        sums.Rotate();
        std::rotate(spread.begin(), spread.begin() + 1, spread.end());
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
    return RunBoxRing5x5(frame, [](const float*, const double* sum, float* dst, std::ptrdiff_t n) {
        spBoxMean5x5Row(sum, dst, n);
    });
}

spStatus spFilterHipass5x5(const spFilterFrame& frame)
{
    return RunBoxRing5x5(frame, [](const float* centre, const double* sum, float* dst, std::ptrdiff_t n) {
        spHipass5x5Row(centre, sum, dst, n);
    });
}
