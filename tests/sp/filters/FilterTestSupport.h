// What the filter tests share: bordered source images, destinations with a margin of
// sentinels, the eleven filter operations with a slow reference written straight from their
// formulas (FilterReference.cpp), random values, guard pages and column scopes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "sp/filters/spVariantDrivers.h"
#include "sp/sp.h"

using Index = std::ptrdiff_t;

// A float plane with a border around a region, rows `stride` floats apart, starting
// `offset` floats into its storage (so the region is not always aligned).
class BorderedImage {
public:
    BorderedImage(Index width, Index height, Index border, Index stride, Index offset = 0);

    // Region coordinates: rows and columns -border to size + border - 1 are valid.
    float& at(Index row, Index col) { return m_data[Position(row, col)]; }
    float at(Index row, Index col) const { return m_data[Position(row, col)]; }
    const float* Origin() const { return &m_data[Position(0, 0)]; }
    // Fills region and border with fn(row, col).
    void Fill(const std::function<float(Index, Index)>& fn);

    Index width() const { return m_width; }
    Index height() const { return m_height; }
    Index stride() const { return m_stride; }
    const std::vector<float>& storage() const { return m_data; }

private:
    std::size_t Position(Index row, Index col) const;

    Index m_width, m_height, m_border, m_stride, m_offset;
    std::vector<float> m_data;
};

// A destination region inside a larger plane whose other elements hold a sentinel.
struct Destination {
    Destination(Index width, Index height, Index strideFloats, Index offset = 0);

    float* Origin() { return &plane[static_cast<std::size_t>(offset)]; }
    std::vector<float> Region() const; // row-major, width x height
    bool MarginUntouched() const;      // every element outside the region holds the sentinel

    static constexpr float kSentinel = -12345.678f;
    Index width, height, stride, offset;
    std::vector<float> plane;
};

// A filter call through the mask filters' signature; the filters without a mask ignore it.
using FilterCall = spFilterMaskFn*;

// Integer weights of the source pixels (rows, then columns, -2 to 2 around the output pixel;
// a 3x3 kernel in the middle) whose weighted sum is divided by `divisor`.
struct IntKernel {
    int w[5][5];
    int divisor;
};

// One filter with one kernel size.
struct FilterOp {
    std::string name;
    int border;        // 1 for 3x3, 2 for 5x5
    spMaskSize mask;   // passed to the mask filters
    bool takesMask;
    FilterCall entry;   // the public entry
    FilterCall generic; // the column-0 routine, called directly
    float (*reference)(const BorderedImage& src, Index y, Index i);
    IntKernel kernel;
};

// Four mask filters with 3x3 and 5x5, and the three 3x3 filters.
const std::vector<FilterOp>& AllFilterOps();

std::vector<float> ReferenceOutput(const FilterOp& op, const BorderedImage& src);

// The worker of processor column 1 to 4 that runs AllFilterOps()[op].
spVariantWorkerFn* WorkerOf(int column, std::size_t op);
// The form of a worker's key that runs `op` as its entry does: the Sobel filters 1-2-1, the
// 5x5 ring its kind.
int FormOf(const FilterOp& op);
// Every form of a worker's key for `op`: both Sobel weightings (0 1-1-1, 1 1-2-1), the 5x5
// ring's kind.
std::vector<int> FormsOf(const FilterOp& op);
// Whether the tables hold `op` for element type `type` in pixel layout `layout`: 8-bit samples
// with 16-bit results only for the Laplace 3x3 (every layout, signed samples one channel) and
// 5x5 (one channel).
bool HeldByTables(const FilterOp& op, int type, int layout);
// Calls body(column, op, key) for every column 1 to 4, filter, form, element type and one of
// `layouts` that the tables hold.
void ForEachHeldKey(std::initializer_list<int> layouts,
                    const std::function<void(int column, std::size_t op, const spKernelKey& key)>&
                        body);

// Calls body(In{}, Out{}) with the source and destination elements of kernel type `type`.
template <class Body>
void WithElementsOf(int type, const Body& body)
{
    switch (type) {
    case spKtU8: return body(std::uint8_t{}, std::uint8_t{});
    case spKtS16: return body(std::int16_t{}, std::int16_t{});
    case spKtU8S16: return body(std::uint8_t{}, std::int16_t{});
    case spKtS8S16: return body(std::int8_t{}, std::int16_t{});
    default: return body(float{}, float{});
    }
}

// Calls op (through `call`, its entry by default) with byte steps that may carry 0 to 3
// extra bytes.
spStatus RunOp(const FilterOp& op, const BorderedImage& src, Destination& dst,
               int srcExtraBytes = 0, int dstExtraBytes = 0, FilterCall call = nullptr);

// Values of moderate range; values whose magnitudes span many binades, so that double sums
// round before the final rounding to float; and small integers times 2^0, 2^-23..2^-25 and
// 2^-52..2^-54, whose sums often fall exactly between two floats or doubles, where the order
// of the additions decides the rounding.
float ModerateValue(std::mt19937& rng);
float WideValue(std::mt19937& rng);
float TieProneValue(std::mt19937& rng);

// Runs `body` with every kernel in its plain loop, then in the loop the processor selects.
void ForEachLoopKind(const std::function<void(const char* loops)>& body);

// Readable and writable pages between two inaccessible ones.
class GuardedPages {
public:
    explicit GuardedPages(std::size_t bytes);
    ~GuardedPages();
    GuardedPages(const GuardedPages&) = delete;
    GuardedPages& operator=(const GuardedPages&) = delete;

    unsigned char* AtStart() { return m_base + m_page; }
    unsigned char* AtEnd(std::size_t bytes) { return m_base + m_page + m_usable - bytes; }

private:
    unsigned char* m_base = nullptr;
    std::size_t m_page = 0, m_usable = 0;
};

// Points every dispatch entry at one column while it lives.
class ColumnScope {
public:
    explicit ColumnScope(int column) : m_old(spDispatchIndex) { spDispatchIndex = column; }
    ~ColumnScope() { spDispatchIndex = m_old; }
    ColumnScope(const ColumnScope&) = delete;
    ColumnScope& operator=(const ColumnScope&) = delete;

private:
    int m_old;
};

inline constexpr int kColumns[] = {0, 1, 2, 3, 4};

// Random paddings, offsets and extra step bytes (0 to 3) around a width x height region.
struct Layout {
    Index width, height, srcPad, srcOffset, dstPad, dstOffset;
    int srcExtra, dstExtra;
};
Layout RandomLayout(std::mt19937& rng, Index width, Index height);

// One unit of the filters' error bound at output (y, i): 2^-24 x the sum of |w x| over the
// window, the centre's term counted twice (a multiple of the centre minus the whole window
// rounds the centre's terms as well), over the kernel's divisor.
double WindowUnit(const FilterOp& op, const BorderedImage& x, Index y, Index i);

// Equal bit for bit, or both NaN (which NaN payload survives is not fixed).
bool SameFloat(float a, float b);
// The index of the first element where the two differ (SameFloat), or -1.
Index FirstDifference(const std::vector<float>& a, const std::vector<float>& b);
