// What every fixed filter shares: the argument checks, the region with its row strides in
// whole floats, and the row buffers through which each source row passes once.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>

#include "sp/core/spMemory.h"
#include "sp/core/spTypes.h"

// A checked filter call: the region's first source and destination pixels and the row
// strides in floats (the byte steps rounded down once, at the entry).
struct spFilterFrame {
    const float* src;
    std::ptrdiff_t srcStride;
    float* dst;
    std::ptrdiff_t dstStride;
    std::ptrdiff_t width;
    std::ptrdiff_t height;

    // Source row y relative to the region; rows -2 to height + 1 may be the border.
    const float* SrcRow(std::ptrdiff_t y) const { return src + y * srcStride; }
    float* DstRow(std::ptrdiff_t y) const { return dst + y * dstStride; }
};

// The checks of every filter, in this order: -8 a null pointer, -6 a width or height below
// 1, -14 a step below one whole float. Fills `frame` on success.
spStatus spCheckFilterArgs(const float* pSrc, int srcStep, float* pDst, int dstStep,
                           spRoiSize roiSize, spFilterFrame* frame);

// A generic worker: runs one kernel size of one filter over a checked frame; 0 or -9.
using spFilterWorker = spStatus(const spFilterFrame& frame);

// The mask filters' frame: the common checks, then -33 for a mask other than 33 and 55;
// runs the worker of the mask.
spStatus spRunMaskFilter(const float* pSrc, int srcStep, float* pDst, int dstStep,
                         spRoiSize roiSize, spMaskSize mask, spFilterWorker* worker3x3,
                         spFilterWorker* worker5x5);
// The same for the filters without a mask.
spStatus spRunFilter(const float* pSrc, int srcStep, float* pDst, int dstStep,
                     spRoiSize roiSize, spFilterWorker* worker);

// One block holding `rows` row buffers of `width` floats, each 32-byte aligned, and
// optionally `widenedRows` rows of `widened` doubles after them.
class spRowBlock {
public:
    spRowBlock(std::size_t rows, std::ptrdiff_t width, std::ptrdiff_t widened = 0, std::size_t widenedRows = 1);
    // False when the block could not be allocated: the worker then answers -9.
    bool Valid() const { return m_block != nullptr; }
    float* Row(std::size_t k) const { return m_block.get() + k * m_pitch; }
    double* WidenedRow(std::size_t k = 0) const
    {
        return reinterpret_cast<double*>(Row(m_rows) + k * m_widenedPitch);
    }

private:
    struct Release {
        void operator()(float* p) const { spFree(p); }
    };
    std::size_t m_rows;
    std::size_t m_pitch;
    std::size_t m_widenedPitch; // in floats
    std::unique_ptr<float, Release> m_block;
};

// N row buffers of a block, oldest first. Rotate() retires the oldest: it becomes the last,
// free buffer. Rows move by pointer, never by copying.
template <std::size_t N>
class spRowRing {
public:
    spRowRing(const spRowBlock& block, std::size_t first)
    {
        for (std::size_t k = 0; k < N; ++k)
            m_rows[k] = block.Row(first + k);
    }
    float* operator[](std::size_t k) const { return m_rows[k]; }
    void Rotate() { std::rotate(m_rows.begin(), m_rows.begin() + 1, m_rows.end()); }

private:
    std::array<float*, N> m_rows{};
};

// The row order of a separable 5x5 filter: output row y = outer(y-2) + middle(y-1) +
// centre(y) + middle(y+1) + outer(y+2), from rings of five outer, four middle and three centre
// sums. sums(row, outer, middle, centre) fills a source row's sums; add(y, five sums) writes
// output row y; rotate() retires the oldest buffer of each ring.
template <class Outer, class Middle, class Centre, class Sums, class Add, class Rotate>
inline void spRunRing5x5(const Outer& outer, const Middle& middle, const Centre& centre,
                         std::ptrdiff_t height, const Sums& sums, const Add& add,
                         const Rotate& rotate)
{
    // Rows -2 and -1 need not all their sums; the unused ones go to the free buffers, which
    // row 2 overwrites.
    sums(-2, outer[0], middle[3], centre[2]);
    sums(-1, outer[1], middle[0], centre[2]);
    sums(0, outer[2], middle[1], centre[0]);
    sums(1, outer[3], middle[2], centre[1]);
    for (std::ptrdiff_t y = 0; y < height; ++y) {
        sums(y + 2, outer[4], middle[3], centre[2]);
        add(y, outer[0], middle[0], centre[0], middle[2], outer[4]);
        rotate();
    }
}
