// Columns 2 to 4 above their core order: the column passes over batches of adjacent columns
// and the driver of the split levels.
#include <cstddef>
#include <cstdint>

#include "sp/transforms/spColBlock.h"
#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spFftPlan.h"

namespace {

template <bool Aligned>
void spGatherRows(const float* src, float* work, std::ptrdiff_t rowStep, std::ptrdiff_t rows, std::ptrdiff_t width)
{
    auto* out = static_cast<float*>(__builtin_assume_aligned(work, 16));
    for (std::ptrdiff_t p = 0; p < rows; ++p) {
        const float* in = src + 2 * p * rowStep;
        for (std::ptrdiff_t v = 0; v < 2 * width; v += 16, out += 16) {
            const spV4 a = spLoad4At<Aligned>(in + v), b = spLoad4At<Aligned>(in + v + 4);
            const spV4 c = spLoad4At<Aligned>(in + v + 8), d = spLoad4At<Aligned>(in + v + 12);
            spStore4(out, a);
            spStore4(out + 4, b);
            spStore4(out + 8, c);
            spStore4(out + 12, d);
        }
    }
}

template <bool Aligned>
void spScatterRows(float* dst, const float* work, std::ptrdiff_t rowStep, std::ptrdiff_t rows, std::ptrdiff_t width,
                   spOutputMode mode)
{
    const auto* in = static_cast<const float*>(__builtin_assume_aligned(work, 16));
    for (std::ptrdiff_t p = 0; p < rows; ++p) {
        float* out = dst + 2 * p * rowStep;
        for (std::ptrdiff_t v = 0; v < 2 * width; v += 16, in += 16) {
            spPutBlk<Aligned>(out + v, spLoadBlk(in), mode);
            spPutBlk<Aligned>(out + v + 8, spLoadBlk(in + 8), mode);
        }
    }
}

// One split level: the rows, then the columns batch by batch. The split tables nest at most
// two levels; the template depth bounds the recursion for the compiler too.
template <bool Inverse, int Level>
void spBatchLevel(const spFftSpec* spec, int column, float* x, int order, float* work, spOutputMode mode)
{
    static_assert(Level < spFftMaxLevels);
    const spColumnSplit& split = spColumnSplits[column];
    const int columnOrder = split.columnOrder[order];
    const int rowOrder = order - columnOrder;
    const std::ptrdiff_t rows = std::ptrdiff_t{1} << columnOrder;
    const std::ptrdiff_t rowLength = std::ptrdiff_t{1} << rowOrder;
    for (std::ptrdiff_t p = 0; p < rows; ++p) {
        float* row = x + 2 * p * rowLength;
        if (rowOrder <= spColumnCoreOrder(column))
            spColCoreLinear<Inverse>(reinterpret_cast<spComplex*>(row), rowOrder,
                                     reinterpret_cast<const float*>(spec->twiddles), spColumnLeafOrder(column),
                                     spOutputMode::blocked);
        else if constexpr (Level + 1 < spFftMaxLevels)
            spBatchLevel<Inverse, Level + 1>(spec, column, row, rowOrder, work, spOutputMode::blocked);
    }

    // The stage twiddles are one stream, batch after batch, stage after stage.
    const std::ptrdiff_t width = std::ptrdiff_t{1} << (split.batchOrder[order] - columnOrder);
    const auto* twiddles = reinterpret_cast<const float*>(spec->columnTwiddles[Level]);
    for (std::ptrdiff_t c = 0; c < rowLength; c += width) {
        spFftColGather(x + 2 * c, work, rowLength, rows, width);
        std::ptrdiff_t q = width;
        for (; 4 * q <= rows * width; q *= 4) {
            spFftColRadix4<Inverse>(work, work, q, rows * width / (4 * q), twiddles);
            twiddles += 6 * q;
        }
        if (q < rows * width) {
            spFftColRadix2<Inverse>(work, work, q, 1, twiddles);
            twiddles += 2 * q;
        }
        spFftColScatter(x + 2 * c, work, rowLength, rows, width, mode);
    }
}

} // namespace

void spFftColGather(const float* src, float* work, std::ptrdiff_t rowStep, std::ptrdiff_t rows, std::ptrdiff_t width)
{
    if (spIsAligned(src, 16))
        spGatherRows<true>(src, work, rowStep, rows, width);
    else
        spGatherRows<false>(src, work, rowStep, rows, width);
}

template <bool Inverse>
void spFftColRadix4(const float* src, float* dst, std::ptrdiff_t q, std::ptrdiff_t groups, const float* records)
{
    for (std::ptrdiff_t g = 0; g < groups; ++g) {
        const float* x = src + 8 * q * g;
        float* y = dst + 8 * q * g;
        const float* w = records;
        for (std::ptrdiff_t i = 0; i < 2 * q; i += 8, w += 24) {
            spBlk a = spLoadBlk(x + i);
            spBlk b = spMulW<Inverse>(spLoadBlk(x + 2 * q + i), spLoadBlk(w + 8));
            spBlk c = spMulW<Inverse>(spLoadBlk(x + 4 * q + i), spLoadBlk(w));
            spBlk d = spMulW<Inverse>(spLoadBlk(x + 6 * q + i), spLoadBlk(w + 16));
            spBfly4<Inverse>(a, b, c, d);
            spStoreBlk(y + i, a, spOutputMode::blocked);
            spStoreBlk(y + 2 * q + i, b, spOutputMode::blocked);
            spStoreBlk(y + 4 * q + i, c, spOutputMode::blocked);
            spStoreBlk(y + 6 * q + i, d, spOutputMode::blocked);
        }
    }
}

template <bool Inverse>
void spFftColRadix2(const float* src, float* dst, std::ptrdiff_t h, std::ptrdiff_t groups, const float* records)
{
    for (std::ptrdiff_t g = 0; g < groups; ++g) {
        const float* x = src + 4 * h * g;
        float* y = dst + 4 * h * g;
        const float* w = records;
        for (std::ptrdiff_t i = 0; i < 2 * h; i += 8, w += 8) {
            const spBlk a = spLoadBlk(x + i);
            const spBlk b = spMulW<Inverse>(spLoadBlk(x + 2 * h + i), spLoadBlk(w));
            spStoreBlk(y + i, a + b, spOutputMode::blocked);
            spStoreBlk(y + 2 * h + i, a - b, spOutputMode::blocked);
        }
    }
}

void spFftColScatter(float* dst, const float* work, std::ptrdiff_t rowStep, std::ptrdiff_t rows, std::ptrdiff_t width,
                     spOutputMode mode)
{
    if (spIsAligned(dst, 16))
        spScatterRows<true>(dst, work, rowStep, rows, width, mode);
    else
        spScatterRows<false>(dst, work, rowStep, rows, width, mode);
}

template <bool Inverse>
void spColLargeBatch(const spFftSpec* spec, int column, spComplex* data, int order, std::uint8_t* work)
{
    spBatchLevel<Inverse, 0>(spec, column, &data->re, order, reinterpret_cast<float*>(work),
                             spOutputMode::interleaved);
}

template void spFftColRadix4<false>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*);
template void spFftColRadix4<true>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*);
template void spFftColRadix2<false>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*);
template void spFftColRadix2<true>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*);
template void spColLargeBatch<false>(const spFftSpec*, int, spComplex*, int, std::uint8_t*);
template void spColLargeBatch<true>(const spFftSpec*, int, spComplex*, int, std::uint8_t*);
