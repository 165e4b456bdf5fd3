// The row-then-column scheme that the 2-D DFT and the 2-D FFT share: every row through the
// 1-D transform from source to destination, then the columns of the destination four (in
// columns 2 to 4 eight) at a time through contiguous runs in the work buffer, each run
// transformed in place.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "sp/transforms/spFourierCommon.h"

template <class Plan>
using spLineTransform = spStatus (*)(const spComplex*, spComplex*, const Plan*, std::uint8_t*);

// What one 2-D transform needs of its plan.
template <class Plan>
struct spPlan2D {
    std::int64_t width;
    std::int64_t height;
    const Plan* rows;
    const Plan* columns;      // the row plan when both sizes agree
    std::int64_t workBytes;
    std::int64_t tailGroup;   // columns left after the groups of four go this many at a time
    int column;               // the dispatch column: its group width and work area allocator
};

// Columns 2 to 4 gather eight columns at a time.
constexpr std::int64_t spGroupWidth2D(int column) { return column >= 2 ? 8 : 4; }

// Bytes the plan's work buffer needs: the row transforms' buffer, or the four runs of a
// group (64 bytes per row: the eight runs of columns 2 to 4) with the
// column transforms' buffer behind them.
inline std::int64_t spWorkBytes2D(std::int64_t height, std::int64_t rowBytes, std::int64_t columnBytes)
{
    return std::max(rowBytes, 64 * height + columnBytes);
}

// Columns of an image as contiguous runs side by side: run k holds the column's `height`
// values from base + k * height.
struct spRuns {
    spComplex* base;
    std::ptrdiff_t height;
    spComplex* Run(std::ptrdiff_t k) const { return base + k * height; }
};

// Columns 2 to 4: eight adjacent columns (64 bytes per row) to or from eight runs. With the
// image, its step and the runs on 16-byte boundaries and an even height the copies move 16
// bytes at a time.
bool spColumns8Aligned(const void* image, std::ptrdiff_t step, const spRuns& runs);
void spDft2DGatherColumns8(const spComplex* image, std::ptrdiff_t step, const spRuns& runs);
void spDft2DScatterColumns8(const spRuns& runs, spComplex* image, std::ptrdiff_t step);
// The runs back into the eight columns from column `from` of the image (row 0, column 0 at
// `image`), and the eight columns from column `to` into the runs, row by row in one pass.
void spDft2DScatterGatherColumns8(const spRuns& runs, spComplex* image, std::ptrdiff_t step, std::ptrdiff_t from,
                                  std::ptrdiff_t to);

namespace sp2d {

inline spComplex* spAt(const void* base, std::ptrdiff_t y, std::ptrdiff_t step, std::ptrdiff_t x)
{
    return reinterpret_cast<spComplex*>(const_cast<std::uint8_t*>(static_cast<const std::uint8_t*>(base)) +
                                        y * step) + x;
}

// `count` adjacent columns from column c into runs, or back.
inline void spGather(const spComplex* image, std::ptrdiff_t step, std::ptrdiff_t c, std::ptrdiff_t count,
                     const spRuns& runs)
{
    for (std::ptrdiff_t r = 0; r < runs.height; ++r) {
        const spComplex* row = spAt(image, r, step, c);
        for (std::ptrdiff_t k = 0; k < count; ++k)
            runs.Run(k)[r] = row[k];
    }
}

inline void spScatter(const spRuns& runs, std::ptrdiff_t count, spComplex* image, std::ptrdiff_t step,
                      std::ptrdiff_t c)
{
    for (std::ptrdiff_t r = 0; r < runs.height; ++r) {
        spComplex* row = spAt(image, r, step, c);
        for (std::ptrdiff_t k = 0; k < count; ++k)
            row[k] = runs.Run(k)[r];
    }
}

// Transforms the first `count` runs in place with the 1-D work area `lineWork`.
template <class Plan>
spStatus spTransformRuns(const spPlan2D<Plan>& plan, spLineTransform<Plan> line, const spRuns& runs,
                         std::ptrdiff_t count, std::uint8_t* lineWork)
{
    for (std::ptrdiff_t k = 0; k < count; ++k) {
        const spStatus status = line(runs.Run(k), runs.Run(k), plan.columns, lineWork);
        if (status != spStsNoErr)
            return status;
    }
    return spStsNoErr;
}

// The columns of the destination, the column's group width (8 or 4) at a time while that many
// remain, then four at a time, then `tailGroup` at a time; the runs of a group lie side by
// side in the buffer and the 1-D work area follows the last. An eight-column group goes back
// into the image only while the next one comes out (one pass down the rows for both); a group
// whose transform fails is not written back, the groups before it are.
template <class Plan>
spStatus spColumnPasses(const spPlan2D<Plan>& plan, spLineTransform<Plan> line, spComplex* image,
                        std::ptrdiff_t step, std::uint8_t* buffer)
{
    const std::ptrdiff_t w = plan.width, h = plan.height, group = spGroupWidth2D(plan.column);
    std::ptrdiff_t waiting = -1; // first column of the eight whose runs wait to go back
    const spRuns runs{reinterpret_cast<spComplex*>(buffer), h};
    for (std::ptrdiff_t c = 0, count = 0; c < w; c += count) {
        if (w - c >= group)
            count = group;
        else
            count = w - c >= 4 ? 4 : std::min<std::ptrdiff_t>(plan.tailGroup, w - c);
        if (count == 8 && waiting >= 0) {
            spDft2DScatterGatherColumns8(runs, image, step, waiting, c);
        } else {
            if (waiting >= 0)
                spDft2DScatterColumns8(runs, spAt(image, 0, step, waiting), step);
            if (count == 8)
                spDft2DGatherColumns8(spAt(image, 0, step, c), step, runs);
            else
                spGather(image, step, c, count, runs);
        }
        waiting = -1;
        const spStatus status =
            spTransformRuns(plan, line, runs, count, reinterpret_cast<std::uint8_t*>(runs.Run(count)));
        if (status != spStsNoErr)
            return status;
        if (count == 8)
            waiting = c;
        else
            spScatter(runs, count, image, step, c);
    }
    if (waiting >= 0)
        spDft2DScatterColumns8(runs, spAt(image, 0, step, waiting), step);
    return spStsNoErr;
}

} // namespace sp2d

// Runs one 2-D transform after the caller's argument checks; steps are at least 1.
template <class Plan>
spStatus spTransform2D(const spPlan2D<Plan>& plan, spLineTransform<Plan> line, const spComplex* src,
                       int srcStep, spComplex* dst, int dstStep, std::uint8_t* work)
{
    const spWorkArea area(work, plan.workBytes, plan.column);
    if (area.failed())
        return spStsMemAllocErr;
    std::uint8_t* buffer = area.data();
    const std::ptrdiff_t w = plan.width, h = plan.height;
    const std::ptrdiff_t sStep = srcStep, dStep = dstStep;

    if (h == 1)
        return line(src, dst, plan.rows, buffer);
    // A single column goes straight through when both are contiguous, else through the buffer.
    if (w == 1 && sStep == 8 && dStep == 8)
        return line(src, dst, plan.columns, buffer);
    if (w == 1) {
        const spRuns run{reinterpret_cast<spComplex*>(buffer), h};
        sp2d::spGather(src, sStep, 0, 1, run);
        const spStatus status = sp2d::spTransformRuns(plan, line, run, 1, buffer + 8 * h);
        if (status == spStsNoErr)
            sp2d::spScatter(run, 1, dst, dStep, 0);
        return status;
    }

    for (std::ptrdiff_t y = 0; y < h; ++y) {
        const spStatus status = line(sp2d::spAt(src, y, sStep, 0), sp2d::spAt(dst, y, dStep, 0),
                                     plan.rows, buffer);
        if (status != spStsNoErr)
            return status;
    }
    return sp2d::spColumnPasses(plan, line, dst, dStep, buffer);
}

// Creates the row plan and, when the two sizes differ, the column plan of a 2-D plan, and
// computes its work size in 64 bits: -9 when that exceeds what the record holds. On failure
// the caller's release frees whatever plan was made.
template <class Plan, class Init, class BufSize>
spStatus spInitLinePlans(Plan** rows, Plan** columns, int rowSize, int columnSize,
                         std::int64_t height, Init init, BufSize bufSize, std::int32_t* workBytes)
{
    spStatus status = init(rows, rowSize);
    if (status != spStsNoErr)
        return status;
    int rowBytes = 0;
    bufSize(*rows, &rowBytes);
    int columnBytes = rowBytes;
    if (columnSize != rowSize) {
        status = init(columns, columnSize);
        if (status != spStsNoErr)
            return status;
        bufSize(*columns, &columnBytes);
    }
    const std::int64_t bytes = spWorkBytes2D(height, rowBytes, columnBytes);
    if (bytes > spMaxBlockBytes)
        return spStsMemAllocErr;
    *workBytes = static_cast<std::int32_t>(bytes);
    return spStsNoErr;
}

// Creates a 2-D plan after the caller's size checks: a height whose column runs alone pass
// the 32-bit work size is refused before anything is allocated; then the record of `kind`,
// whose size fields `fill` stores, with its line plans. The out pointer is written only on
// success; a failure releases what was made.
template <int Column, class Spec, class Fill, class Init, class BufSize, class Release>
spStatus spCreate2D(Spec** ppSpec, std::int32_t kind, int rowSize, int columnSize, std::int64_t height, int hint,
                    Fill fill, Init init, BufSize bufSize, Release release)
{
    if (spWorkBytes2D(height, 0, 0) > spMaxBlockBytes)
        return spStsMemAllocErr;
    auto* spec = spNewRecord<Column, Spec>(kind);
    if (spec == nullptr)
        return spStsMemAllocErr;
    fill(spec);
    spec->hint = hint;
    const spStatus status = spInitLinePlans(&spec->rowPlan, &spec->colPlan, rowSize, columnSize, height,
                                            init, bufSize, &spec->workBytes);
    if (status != spStsNoErr) {
        release(spec);
        return status;
    }
    *ppSpec = spec;
    return spStsNoErr;
}

// The argument checks of the 2-D transforms, in their order.
template <class Spec>
spStatus spCheck2D(const Spec* spec, std::int32_t kind, int column, const void* src, int srcStep,
                   const void* dst, int dstStep)
{
    const spStatus status = spCheckTransform(spec, kind, column, src, dst);
    if (status != spStsNoErr)
        return status;
    if (srcStep < 1 || dstStep < 1)
        return spStsStepErr;
    return spStsNoErr;
}

// The destructor of a 2-D plan: the kind code cleared, both line plans freed, then the record.
template <class Spec, class FreeLine>
void spRelease2D(Spec* spec, FreeLine freeLine)
{
    if (spec == nullptr)
        return;
    spec->id = 0;
    if (spec->rowPlan != nullptr)
        freeLine(spec->rowPlan);
    if (spec->colPlan != nullptr)
        freeLine(spec->colPlan);
    spFree(spec);
}
