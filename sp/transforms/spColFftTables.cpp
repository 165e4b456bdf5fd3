#include <algorithm>
#include <cstddef>

#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFftTables.h"

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

void spColInitLevelTable(int order, int columnOrder, const float* sine, int sineOrder, float* table)
{
    // The level's twiddle matrix is folded into its column passes: the butterfly of rows
    // k + {0, 1, 2, 3} L/4 in column c of a pass of L rows takes w^(R k + c) of w = exp(-2 pi i / R L).
    const std::ptrdiff_t rows = std::ptrdiff_t{1} << columnOrder;
    const int rowOrder = order - columnOrder;
    const std::ptrdiff_t width = std::ptrdiff_t{1} << rowOrder;
    float* out = table;
    int viewOrder = rowOrder + 2;
    std::ptrdiff_t span = 4;
    for (; span <= rows; span *= 4, viewOrder += 2) {
        const spSineView view(sine, sineOrder, viewOrder);
        for (std::ptrdiff_t k = 0; k < span / 4; ++k)
            for (std::ptrdiff_t c = 0; c < width; c += 4)
                out = spPutRadix4(out, view, width * k + c, 1);
    }
    if (columnOrder % 2 != 0) {
        const spSineView view(sine, sineOrder, order);
        for (std::ptrdiff_t k = 0; k < rows / 2; ++k)
            for (std::ptrdiff_t c = 0; c < width; c += 4)
                out = spPutLanes(out, view, width * k + c, 1);
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

// The levels of a large order, outermost first: the order and column order of each, and the
// order of the rows the innermost level leaves to the core.
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

} // namespace

std::int64_t spColLargeTableBytes(int column, int order)
{
    const spColLevels levels(column, order);
    std::int64_t floats = spColCoreTableFloats(levels.coreOrder);
    for (int d = 0; d < levels.count; ++d)
        floats += spColLevelTableFloats(levels.order[d], levels.columnOrder[d]);
    return 4 * floats;
}

void spColLargeTables(spFftSpec* spec, int column, int order, const float* sine, std::uint8_t* block)
{
    const spColLevels levels(column, order);
    auto* out = reinterpret_cast<float*>(block);
    spec->twiddles = reinterpret_cast<spComplex*>(block);
    spColInitCoreTable(levels.coreOrder, sine, order, out);
    out += spColCoreTableFloats(levels.coreOrder);
    std::int64_t work = 0;
    for (int d = 0; d < levels.count; ++d) {
        spec->levelTwiddles[d] = reinterpret_cast<spComplex*>(out);
        spColInitLevelTable(levels.order[d], levels.columnOrder[d], sine, order, out);
        out += spColLevelTableFloats(levels.order[d], levels.columnOrder[d]);
        work = std::max<std::int64_t>(work, std::int64_t{8} << spColumnSplits[column].batchOrder[levels.order[d]]);
    }
    spec->workBytes = static_cast<std::int32_t>(work);
}
