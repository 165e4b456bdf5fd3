// A slow reference of the seven filters written straight from their formulas, one output
// pixel at a time, and the bordered test images the filter tests share.
#pragma once

#include <cstddef>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "sp/sp.h"

// A float plane with a border around a region, rows `stride` floats apart, starting
// `offset` floats into its storage (so the region is not always aligned).
class BorderedImage {
public:
    BorderedImage(std::ptrdiff_t width, std::ptrdiff_t height, std::ptrdiff_t border,
                  std::ptrdiff_t stride, std::ptrdiff_t offset = 0, float fill = 0.0f);

    // Region coordinates: rows and columns -border to size + border - 1 are valid.
    float& at(std::ptrdiff_t row, std::ptrdiff_t col);
    float at(std::ptrdiff_t row, std::ptrdiff_t col) const;
    const float* Origin() const { return &m_data[Index(0, 0)]; }
    float* Origin() { return &m_data[Index(0, 0)]; }

    std::ptrdiff_t width() const { return m_width; }
    std::ptrdiff_t height() const { return m_height; }
    std::ptrdiff_t border() const { return m_border; }
    std::ptrdiff_t stride() const { return m_stride; }
    // Every storage element, padding included (for checks that nothing changed).
    const std::vector<float>& storage() const { return m_data; }

    // Fills region and border with fn(row, col).
    void Fill(const std::function<float(std::ptrdiff_t, std::ptrdiff_t)>& fn);

private:
    std::size_t Index(std::ptrdiff_t row, std::ptrdiff_t col) const;

    std::ptrdiff_t m_width, m_height, m_border, m_stride, m_offset;
    std::vector<float> m_data;
};

// Arguments of a filter call through either signature; `mask` is ignored by the filters
// without one.
using FilterCall = std::function<spStatus(const float* pSrc, int srcStep, float* pDst,
                                          int dstStep, spRoiSize roi, spMaskSize mask)>;

// One filter with one kernel size.
struct FilterOp {
    std::string name;
    int border;        // 1 for 3x3, 2 for 5x5
    spMaskSize mask;   // passed to the mask filters
    bool takesMask;
    FilterCall entry;   // the public entry
    FilterCall generic; // the column-0 routine, called directly
    // Output pixel (y, i) of a region of the given width, from the bordered source.
    std::function<float(const BorderedImage& src, std::ptrdiff_t y, std::ptrdiff_t i)> reference;
};

// The eleven operations: four mask filters with 3x3 and 5x5, and the three 3x3 filters.
const std::vector<FilterOp>& AllFilterOps();
const FilterOp& FindFilterOp(const std::string& name);

// The reference output of a whole region, row-major, width x height.
std::vector<float> ReferenceOutput(const FilterOp& op, const BorderedImage& src);

// Equal bit for bit, or both NaN (which NaN payload survives is not fixed).
bool SameFloat(float a, float b);
