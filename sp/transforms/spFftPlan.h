// The power-of-two FFT plan: its record, creation, size query and release.
#pragma once

#include <cstdint>

#include "sp/transforms/spTransforms.h"

// Deepest recursion of the large-order transform plus one spare level.
inline constexpr int spFftMaxLevels = 3;

struct spFftSpec {
    std::int32_t id;         // spKindFft while the plan lives; 0 once released
    std::int32_t column;     // the dispatch column whose routines made the plan and may use it
    std::int32_t order;      // n: N = 2^n points
    std::int32_t scaleFwd;   // 1: the forward result is multiplied by `scale`
    std::int32_t scaleInv;   // 1: the inverse result is multiplied by `scale`
    float scale;             // 1/N or 1/sqrt(N); 0 when neither direction scales
    std::int32_t hint;       // stored, never read
    std::int32_t workBytes;  // bytes of work area one transform needs; 0 for none
    std::int32_t ownsTables; // 1: the release frees `bitRevPairs` and `twiddles`
    // Orders >= 4: the bit-reverse pair table; in columns 1 to 4 up to the fused order the
    // first pass's index table instead.
    std::int32_t* bitRevPairs;
    // Up to the core order: the core table (column 0 the radix-4 layout, columns 1 to 4
    // the blocked pass records); above it the table block, whose start holds the rows' core
    // table in columns 1 to 4.
    spComplex* twiddles;
    // Inside the block of a large order. Column 0 names the fields after the driver that reads
    // them (quarter twiddles of the block path, per level the core layout and the twiddle
    // matrix of the column transforms); columns 1 to 4 after their column passes. A column
    // reads a field by the name it wrote it under.
    union {
        spComplex* quarterTwiddles; // column 0: W^k of the block path, k < N/4
        spComplex* combineTwiddles; // column 1: the blocked combine tables, largest span first
    };
    union {
        spComplex* levelLayout[spFftMaxLevels];   // column 0: per level
        spComplex* columnLayouts[spFftMaxLevels]; // column 1: per level, its core table
    };
    union {
        spComplex* levelTwiddles[spFftMaxLevels];  // column 0: per level, the twiddle matrix
        spComplex* columnTwiddles[spFftMaxLevels]; // columns 1 to 4: per level, blocked twiddles
    };
};

// Internal destructor of a plan (null does nothing); frees only what the plan owns.
void spFftRelease(spFftSpec* spec);

// The routines of one dispatch column; the public FFT entries run those of the current
// column, and the DFT plans of a column use its own.
template <int Column>
spStatus spFftInitAllocCol(spFftSpec** pSpec, int order, spScaleFlag flag, int hint);
template <int Column>
spStatus spFftFreeCol(spFftSpec* spec);
template <int Column>
spStatus spFftGetBufSizeCol(const spFftSpec* spec, int* pSize);
template <int Column, bool Inverse>
spStatus spFftRunCol(const spComplex* src, spComplex* dst, const spFftSpec* spec, std::uint8_t* work);
