// The power-of-two FFT plan: its record, creation, size query and release.
#pragma once

#include <cstdint>

#include "sp/transforms/spTransforms.h"

// Deepest recursion of the large-order transform plus one spare level.
inline constexpr int spFftMaxLevels = 3;

struct spFftSpec {
    std::int32_t id;         // spKindFft while the plan lives; 0 once released
    std::int32_t order;      // n: N = 2^n points
    std::int32_t scaleFwd;   // 1: the forward result is multiplied by `scale`
    std::int32_t scaleInv;   // 1: the inverse result is multiplied by `scale`
    float scale;             // 1/N or 1/sqrt(N); 0 when neither direction scales
    std::int32_t hint;       // stored, never read
    std::int32_t workBytes;  // bytes of work area one transform needs; 0 for none
    std::int32_t ownsTables; // 1: the release frees `bitRevPairs` and `twiddles`
    std::int32_t* bitRevPairs;          // orders >= 4
    spComplex* twiddles;                // orders 4..10: radix-4 layout; above: the table block
    spComplex* quarterTwiddles;         // inside the block: twiddles of the block path
    spComplex* levelLayout[spFftMaxLevels];   // inside the block: column layout per level
    spComplex* levelTwiddles[spFftMaxLevels]; // inside the block: level twiddle table per level
};

// Internal destructor of a plan (null does nothing); frees only what the plan owns.
void spFftRelease(spFftSpec* spec);
