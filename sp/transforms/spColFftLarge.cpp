#include <cstddef>
#include <cstring>

#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spSimd.h"

namespace {

template <bool Inverse>
inline void spMulBlock(float* p, const float* w, spV4& re, spV4& im)
{
    const spV4 ar = spLoad4(p), ai = spLoad4(p + 4);
    const spV4 wr = spLoad4(w), wi = spLoad4(w + 4);
    if constexpr (Inverse) {
        re = ar * wr + ai * wi;
        im = ai * wr - ar * wi;
    } else {
        re = ar * wr - ai * wi;
        im = ai * wr + ar * wi;
    }
}

// One batch of `width` adjacent columns of all M rows, held row after row in blocked form:
// the radix-4 passes over the rows and, for an odd column order, the closing radix-2 pass.
// Records of (row k, column c) lie at k R/4 + c/4 within each pass's table.
template <bool Inverse>
class spColumnBatch {
public:
    spColumnBatch(float* work, std::ptrdiff_t rows, std::ptrdiff_t width, std::ptrdiff_t rowLength)
        : m_work(work), m_rows(rows), m_width(width), m_groups(rowLength / 4)
    {
    }

    void Run(const float* table, std::ptrdiff_t firstColumn) const
    {
        std::ptrdiff_t span = 4;
        for (; span <= m_rows; span *= 4) {
            Radix4(table, firstColumn / 4, span / 4);
            table += 24 * (span / 4) * m_groups;
        }
        if (span / 4 < m_rows)
            Radix2(table, firstColumn / 4);
    }

private:
    void Radix4(const float* table, std::ptrdiff_t group0, std::ptrdiff_t q) const
    {
        const std::ptrdiff_t step = 2 * q * m_width; // floats between the four inputs
        for (std::ptrdiff_t k = 0; k < q; ++k) {
            const float* records = table + 24 * (k * m_groups + group0);
            for (std::ptrdiff_t base = k; base < m_rows; base += 4 * q) {
                float* row = m_work + 2 * base * m_width;
                for (std::ptrdiff_t c = 0; c < m_width / 4; ++c) {
                    const float* w = records + 24 * c;
                    float* p = row + 8 * c;
                    spV4 ar = spLoad4(p), ai = spLoad4(p + 4), br, bi, cr, ci, dr, di;
                    spMulBlock<Inverse>(p + step, w + 8, br, bi);
                    spMulBlock<Inverse>(p + 2 * step, w, cr, ci);
                    spMulBlock<Inverse>(p + 3 * step, w + 16, dr, di);
                    const spV4 t0r = ar + br, t0i = ai + bi, t1r = ar - br, t1i = ai - bi;
                    const spV4 t2r = cr + dr, t2i = ci + di, t3r = cr - dr, t3i = ci - di;
                    spStore4(p, t0r + t2r);
                    spStore4(p + 4, t0i + t2i);
                    spStore4(p + 2 * step, t0r - t2r);
                    spStore4(p + 2 * step + 4, t0i - t2i);
                    if constexpr (Inverse) {
                        spStore4(p + step, t1r - t3i);
                        spStore4(p + step + 4, t1i + t3r);
                        spStore4(p + 3 * step, t1r + t3i);
                        spStore4(p + 3 * step + 4, t1i - t3r);
                    } else {
                        spStore4(p + step, t1r + t3i);
                        spStore4(p + step + 4, t1i - t3r);
                        spStore4(p + 3 * step, t1r - t3i);
                        spStore4(p + 3 * step + 4, t1i + t3r);
                    }
                }
            }
        }
    }

    void Radix2(const float* table, std::ptrdiff_t group0) const
    {
        const std::ptrdiff_t half = m_rows / 2;
        const std::ptrdiff_t step = 2 * half * m_width;
        for (std::ptrdiff_t k = 0; k < half; ++k) {
            const float* records = table + 8 * (k * m_groups + group0);
            float* row = m_work + 2 * k * m_width;
            for (std::ptrdiff_t c = 0; c < m_width / 4; ++c) {
                float* p = row + 8 * c;
                spV4 br, bi;
                spMulBlock<Inverse>(p + step, records + 8 * c, br, bi);
                const spV4 ar = spLoad4(p), ai = spLoad4(p + 4);
                spStore4(p, ar + br);
                spStore4(p + 4, ai + bi);
                spStore4(p + step, ar - br);
                spStore4(p + step + 4, ai - bi);
            }
        }
    }

    float* m_work;
    std::ptrdiff_t m_rows;
    std::ptrdiff_t m_width;
    std::ptrdiff_t m_groups; // column groups of four in a whole row
};

// `count` blocks from `in` to `out`, interleaved on the way when asked.
void spCopyBlocks(const float* in, float* out, std::ptrdiff_t count, spOutputMode mode)
{
    if (mode == spOutputMode::blocked) {
        std::memcpy(out, in, static_cast<std::size_t>(count) * 32);
        return;
    }
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        const spV4 re = spLoad4(in + 8 * i), im = spLoad4(in + 8 * i + 4);
        spStore4(out + 8 * i, __builtin_shuffle(re, im, spV4i{0, 4, 1, 5}));
        spStore4(out + 8 * i + 4, __builtin_shuffle(re, im, spV4i{2, 6, 3, 7}));
    }
}

// One split level: the rows, then the columns. The split tables nest at most two levels;
// the template depth bounds the recursion for the compiler too.
template <bool Inverse, int Level>
void spColLevel(const spFftSpec* spec, int column, float* x, int order, float* work, spOutputMode mode)
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
                                     reinterpret_cast<const float*>(spec->twiddles),
                                     spColumnLeafOrder(column), spOutputMode::blocked);
        else if constexpr (Level + 1 < spFftMaxLevels)
            spColLevel<Inverse, Level + 1>(spec, column, row, rowOrder, work, spOutputMode::blocked);
    }

    const std::ptrdiff_t width = std::ptrdiff_t{1} << (split.batchOrder[order] - columnOrder);
    const spColumnBatch<Inverse> batch(work, rows, width, rowLength);
    const auto* table = reinterpret_cast<const float*>(spec->levelTwiddles[Level]);
    for (std::ptrdiff_t c = 0; c < rowLength; c += width) {
        for (std::ptrdiff_t p = 0; p < rows; ++p)
            spCopyBlocks(x + 2 * (p * rowLength + c), work + 2 * p * width, width / 4, spOutputMode::blocked);
        batch.Run(table, c);
        for (std::ptrdiff_t p = 0; p < rows; ++p)
            spCopyBlocks(work + 2 * p * width, x + 2 * (p * rowLength + c), width / 4, mode);
    }
}

} // namespace

template <bool Inverse>
void spColLarge(const spFftSpec* spec, int column, spComplex* data, int order, std::uint8_t* work)
{
    spColLevel<Inverse, 0>(spec, column, &data->re, order, reinterpret_cast<float*>(work),
                           spOutputMode::interleaved);
}

template void spColLarge<false>(const spFftSpec*, int, spComplex*, int, std::uint8_t*);
template void spColLarge<true>(const spFftSpec*, int, spComplex*, int, std::uint8_t*);
