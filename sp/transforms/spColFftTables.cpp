#include <algorithm>
#include <cstddef>

#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFftTables.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

// Writes w^e of a view for the four lanes e = e0 + lane * de: four real parts, four imaginary.
float* spPutLanes(float* out, const spSineView& view, std::ptrdiff_t e0, std::ptrdiff_t de)
{
    for (std::ptrdiff_t lane = 0; lane < 4; ++lane) {
        const spComplex w = view.twiddle(e0 + lane * de);
        out[lane] = w.re;
        out[4 + lane] = w.im;
    }
    return out + 8;
}

// Radix-4 records of butterflies e0, e0 + de, .. (four per record): powers 1, 2 and 3.
float* spPutRadix4(float* out, const spSineView& view, std::ptrdiff_t e0, std::ptrdiff_t de)
{
    for (std::ptrdiff_t p = 1; p <= 3; ++p)
        out = spPutLanes(out, view, p * e0, p * de);
    return out;
}

} // namespace

std::int64_t spColCoreTableFloats(int order) { return 2 * (std::int64_t{1} << order); }

void spColInitCoreTable(int order, const float* sine, int sineOrder, float* table)
{
    const std::ptrdiff_t n = std::ptrdiff_t{1} << order;
    float* out = table;
    int viewOrder = 4;
    for (std::ptrdiff_t s = 4; 4 * s <= n; s *= 4, viewOrder += 2) {
        const spSineView view(sine, sineOrder, viewOrder);
        for (std::ptrdiff_t j = 0; j < s; j += 4)
            out = spPutRadix4(out, view, j, 1);
    }
    if (order % 2 != 0) {
        const spSineView view(sine, sineOrder, order);
        for (std::ptrdiff_t j = 0; j < n / 2; j += 4)
            out = spPutLanes(out, view, j, 1);
    }
}

std::int64_t spColLevelTableFloats(int order, int columnOrder)
{
    // A radix-4 pass of L rows holds L/4 x R/4 records of 24 floats, the radix-2 pass M/2 x
    // R/4 records of 8.
    const std::int64_t rows = std::int64_t{1} << columnOrder;
    const std::int64_t width = std::int64_t{1} << (order - columnOrder);
    std::int64_t floats = 0;
    std::int64_t span = 4;
    for (; span <= rows; span *= 4)
        floats += 3 * span * width / 2;
    if (columnOrder % 2 != 0)
        floats += rows * width;
    return floats;
}

void spColInitLevelTable(int order, int columnOrder, int batchOrder, const float* sine, int sineOrder, float* table)
{
    // The level's twiddle matrix is folded into its column passes: the butterfly of rows
    // k + {0, 1, 2, 3} L/4 in column c of a pass of L rows takes w^(R k + c) of w = exp(-2 pi i / R L).
    // Laid out in the order the batches read them: batch by batch, pass by pass.
    const std::ptrdiff_t rows = std::ptrdiff_t{1} << columnOrder;
    const int rowOrder = order - columnOrder;
    const std::ptrdiff_t width = std::ptrdiff_t{1} << rowOrder;
    const std::ptrdiff_t batch = std::ptrdiff_t{1} << (batchOrder - columnOrder);
    float* out = table;
    for (std::ptrdiff_t c0 = 0; c0 < width; c0 += batch) {
        int viewOrder = rowOrder + 2;
        std::ptrdiff_t span = 4;
        for (; span <= rows; span *= 4, viewOrder += 2) {
            const spSineView view(sine, sineOrder, viewOrder);
            for (std::ptrdiff_t k = 0; k < span / 4; ++k)
                for (std::ptrdiff_t c = c0; c < c0 + batch; c += 4)
                    out = spPutRadix4(out, view, width * k + c, 1);
        }
        if (columnOrder % 2 != 0) {
            const spSineView view(sine, sineOrder, order);
            for (std::ptrdiff_t k = 0; k < rows / 2; ++k)
                for (std::ptrdiff_t c = c0; c < c0 + batch; c += 4)
                    out = spPutLanes(out, view, width * k + c, 1);
        }
    }
}

void spColInitFusedIndex(int order, std::int32_t* index)
{
    const int bits = order - 4;
    const std::int32_t count = std::int32_t{1} << bits;
    for (std::int32_t g = 0; g < count; ++g) {
        std::int32_t r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((g >> b) & 1) << (bits - 1 - b);
        index[g] = r;
    }
}

namespace {

// The levels of a large order in columns 2 to 4, outermost first: the order and column order
// of each, and the order of the rows the innermost level leaves to the core.
struct spColLevels {
    int count = 0;
    int order[3] = {};
    int columnOrder[3] = {};
    int coreOrder = 0;

    spColLevels(int column, int order0)
    {
        int n = order0;
        while (n > spColumnCoreOrder(column) && count < 3) {
            order[count] = n;
            columnOrder[count] = spColumnSplits[column].columnOrder[n];
            n -= columnOrder[count++];
        }
        coreOrder = n;
    }
};

// ---- column 1: the generic split, blocked tables ----

constexpr int spBlockOrder = spColumnCoreOrder(1); // the cores of column 1's block path

std::int64_t spCoreTableBytes(int order) { return spAlign16(4 * spColCoreTableFloats(order)); }

// The combine tables of the block path of order n: spans 2^n down to 2^11, 2 * span bytes each.
std::int64_t spCombineBytes(int order) { return (std::int64_t{1} << (order + 2)) - (std::int64_t{1} << 12); }

std::int64_t spFourTableBytes(int order)
{
    const int m = spFftSplitOrder[order];
    if (m == 0)
        return spCoreTableBytes(spBlockOrder) + spCombineBytes(order);
    const int r = order - m;
    const std::int64_t inner = r <= spBlockOrder ? spCoreTableBytes(r) : spFourTableBytes(r);
    return inner + spCoreTableBytes(m) + 8 * (std::int64_t{1} << order);
}

// Largest column order of the levels of an order (0: none).
int spFourLargestColumnOrder(int order)
{
    int largest = 0;
    for (int n = order; spFftSplitOrder[n] != 0; n -= spFftSplitOrder[n])
        largest = std::max(largest, spFftSplitOrder[n]);
    return largest;
}

// The block path's tables at `block`: the order-10 core table, then the combine tables.
std::uint8_t* spFourBlockPathTables(spFftSpec* spec, int order, const float* sine, int sineOrder, std::uint8_t* block)
{
    spec->twiddles = reinterpret_cast<spComplex*>(block);
    spColInitCoreTable(spBlockOrder, sine, sineOrder, reinterpret_cast<float*>(block));
    std::uint8_t* end = block + spCoreTableBytes(spBlockOrder);
    spec->combineTwiddles = reinterpret_cast<spComplex*>(end);
    for (int k = order; k > spBlockOrder; --k)
        end = spFftInitCombineTwiddles<1>(k, sine, sineOrder, reinterpret_cast<spComplex*>(end));
    spec->workBytes = 8 << spBlockOrder;
    return end;
}

// One split level at `depth`: everything inside it from the block's start, then its column
// core table and its twiddle matrix, each row's four twiddles as one block. Returns the end.
std::uint8_t* spFftLargeLevelTables(spFftSpec* spec, int order, const float* sine, int sineOrder, int depth,
                                std::uint8_t* block, std::uint8_t* temp)
{
    const int m = spFftSplitOrder[order];
    const int r = order - m;
    const std::ptrdiff_t rows = std::ptrdiff_t{1} << m;
    const std::ptrdiff_t rowLength = std::ptrdiff_t{1} << r;

    std::uint8_t* end;
    if (r <= spBlockOrder) {
        spec->twiddles = reinterpret_cast<spComplex*>(block);
        spColInitCoreTable(r, sine, sineOrder, reinterpret_cast<float*>(block));
        end = block + spCoreTableBytes(r);
        spec->workBytes = static_cast<std::int32_t>(8 * rowLength);
    } else if (spFftSplitOrder[r] == 0) {
        end = spFourBlockPathTables(spec, r, sine, sineOrder, block);
    } else {
        end = spFftLargeLevelTables(spec, r, sine, sineOrder, depth + 1, block, temp);
    }

    spec->columnLayouts[depth] = reinterpret_cast<spComplex*>(end);
    spColInitCoreTable(m, sine, sineOrder, reinterpret_cast<float*>(end));
    end += spCoreTableBytes(m);
    spec->columnTwiddles[depth] = reinterpret_cast<spComplex*>(end);

    end = spFftInitLevelTwiddles<1>(order, m, sine, sineOrder, temp, spec->columnTwiddles[depth]);
    spec->workBytes = std::max<std::int32_t>(spec->workBytes, static_cast<std::int32_t>(32 * rows));
    return end;
}

} // namespace

std::int64_t spColLargeTableBytes(int column, int order)
{
    if (column == 1)
        return spFourTableBytes(order);
    const spColLevels levels(column, order);
    std::int64_t floats = spColCoreTableFloats(levels.coreOrder);
    for (int d = 0; d < levels.count; ++d)
        floats += spColLevelTableFloats(levels.order[d], levels.columnOrder[d]);
    return 4 * floats;
}

std::int64_t spColLargeTempBytes(int column, int order)
{
    const int m = column == 1 ? spFourLargestColumnOrder(order) : 0;
    // The levels build one after the other: room for the largest one's four column vectors
    // and pair table.
    return m == 0 ? 0 : 32 * (std::int64_t{1} << m) + spFftQuarterTableBytes(m);
}

void spColLargeTables(spFftSpec* spec, int column, int order, const float* sine, std::uint8_t* block,
                      std::uint8_t* temp)
{
    if (column == 1) {
        if (spFftSplitOrder[order] == 0)
            spFourBlockPathTables(spec, order, sine, order, block);
        else
            spFftLargeLevelTables(spec, order, sine, order, 0, block, temp);
        return;
    }
    const spColLevels levels(column, order);
    auto* out = reinterpret_cast<float*>(block);
    spec->twiddles = reinterpret_cast<spComplex*>(block);
    spColInitCoreTable(levels.coreOrder, sine, order, out);
    out += spColCoreTableFloats(levels.coreOrder);
    // The rows' core works in place, yet the size reported still counts a core's length, the
    // figure these plans have always reported; what uses the work block is the levels' batches.
    std::int64_t work = 8 * (std::int64_t{1} << levels.coreOrder);
    for (int d = 0; d < levels.count; ++d) {
        const int batchOrder = spColumnSplits[column].batchOrder[levels.order[d]];
        spec->columnTwiddles[d] = reinterpret_cast<spComplex*>(out);
        spColInitLevelTable(levels.order[d], levels.columnOrder[d], batchOrder, sine, order, out);
        out += spColLevelTableFloats(levels.order[d], levels.columnOrder[d]);
        work = std::max<std::int64_t>(work, std::int64_t{8} << batchOrder);
    }
    spec->workBytes = static_cast<std::int32_t>(work);
}

std::int64_t spColLargeWorkUsed(int column, int order)
{
    if (column == 1) {
        const int m = spFourLargestColumnOrder(order);
        return m == 0 ? 0 : 32 * (std::int64_t{1} << m);
    }
    const spColLevels levels(column, order);
    std::int64_t work = 0;
    for (int d = 0; d < levels.count; ++d)
        work = std::max<std::int64_t>(work, std::int64_t{8} << spColumnSplits[column].batchOrder[levels.order[d]]);
    return work;
}
