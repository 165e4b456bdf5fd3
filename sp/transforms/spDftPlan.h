// The 1-D DFT plan: its record, creation, size query and release. The plan picks one method
// by length: fixed kernels up to 4, the FFT for powers of two, mixed radix for lengths that
// factor into small radices, Bluestein above 150, direct sums for the odd primes 5..149.
#pragma once

#include <cstdint>

#include "sp/transforms/spTransforms.h"

struct spFftSpec;

// Longest factorisation of a 32-bit length (3^19 has 19 stages) plus the last factor.
inline constexpr int spDftMaxStages = 20;

// Lengths above this, with no small factorisation, take Bluestein's path; below, direct sums.
inline constexpr int spDftDirectMaxLen = 150;

// One stage of a mixed-radix plan.
struct spDftStage {
    std::int32_t radix;   // factor this stage combines (the last record: the first-stage length)
    std::int32_t span;    // length of the sub-transforms it combines
    std::int32_t stride;  // product of the radices before it
    std::int32_t groups;  // independent groups it runs over inside one block
    spComplex* roots;     // roots of a radix above 5; consecutive stages of one radix share it
    spComplex* twiddles;  // the stage's twiddles, in the order the kernels read them
};

struct spDftSpec {
    std::int32_t id;            // spKindDft while the plan lives; 0 once released
    std::int32_t column;        // the dispatch column whose routines made the plan and may use it
    std::int32_t len;           // N >= 1
    std::int32_t scaleFwd;      // 1: the forward result is multiplied by `scale`
    std::int32_t scaleInv;      // 1: the inverse result is multiplied by `scale`
    float scale;                // 1/N or 1/sqrt(N); 0 when neither direction scales
    std::int32_t hint;          // stored, never read
    std::int32_t workBytes;     // bytes of work buffer a transform needs; 0 for none
    std::int32_t useFft;        // N is a power of two >= 8: runs through `fft`
    std::int32_t bluesteinLen;  // Bluestein's FFT length M
    spComplex* directRoots;     // N roots of the direct sums
    spComplex* chirp;           // Bluestein chirp, N values
    spComplex* chirpSpectrum;   // transformed Bluestein kernel, M values
    spFftSpec* fft;             // inner FFT of the power-of-two path
    spFftSpec* bluesteinFft;    // FFT of order log2 M of the Bluestein path
    std::int32_t useMixedRadix; // 1: the mixed-radix path is planned
    std::int32_t stagesMinus2;  // number of mixed-radix stages minus 2
    std::int32_t* mrIndex;      // first-stage offsets of the mixed-radix plan
    spDftStage stages[spDftMaxStages];
};

// Internal destructor (null does nothing); frees every table and inner plan.
void spDftRelease(spDftSpec* spec);

// Writes the stage radices and `stagesMinus2` and returns true when N suits the mixed-radix
// method; may leave radix words written when it returns false.
bool spDftFactorize(spDftSpec* spec, std::int32_t len);
// Columns 2 to 4: a factor 4 (or the single 2) changes places with the first-stage length.
void spDftReorderFactors(spDftSpec* spec);

// The routines of one dispatch column.
template <int Column>
spStatus spDftInitAllocCol(spDftSpec** ppSpec, int len, spScaleFlag flag, int hint);
template <int Column>
spStatus spDftFreeCol(spDftSpec* spec);
template <int Column>
spStatus spDftGetBufSizeCol(const spDftSpec* spec, int* pSize);
template <int Column, bool Inverse>
spStatus spDftRunCol(const spComplex* src, spComplex* dst, const spDftSpec* spec, std::uint8_t* work);

// The generic (column 0) routines behind the dispatch rows.
spStatus spDftInitAlloc_px(spDftSpec** ppSpec, int len, spScaleFlag flag, int hint);
spStatus spDftFree_px(spDftSpec* spec);
spStatus spDftForward_px(const spComplex* src, spComplex* dst, const spDftSpec* spec,
                         std::uint8_t* work);
spStatus spDftInverse_px(const spComplex* src, spComplex* dst, const spDftSpec* spec,
                         std::uint8_t* work);
