// Basic types and status codes of the signal-processing library.
#pragma once

#include <cstdint>

using spStatus = std::int32_t;

// Every public routine answers one of these; a negative status means nothing was written.
enum : spStatus {
    spStsNoErr = 0,
    spStsSizeErr = -6,          // a size, length or byte count below 1
    spStsKernelKeyErr = -7,     // an element type, pixel layout or form no kernel serves
    spStsNullPtrErr = -8,       // a required pointer is null
    spStsMemAllocErr = -9,      // a work buffer or table could not be allocated
    spStsStepErr = -14,         // a row step below 1 (after rounding to whole elements)
    spStsFftOrderErr = -15,     // a power-of-two order outside 0..30
    spStsFftFlagErr = -16,      // a scaling flag other than 1, 2, 4, 8
    spStsContextMatchErr = -17, // a spec of another kind than the routine expects
    spStsMaskSizeErr = -33,     // a mask code other than 33 and 55
    spStsNoCpuidWarn = 20,      // dispatch initialised, processor not identified
    spStsUnknownCpuWarn = 21,   // a processor code the dispatch table does not know
};

// Width and height of a filter region or of a 2-D transform, passed by value.
struct spRoiSize {
    int width;
    int height;
};

// Kernel size code of the fixed filters.
enum spMaskSize : std::int32_t {
    spMskSize3x3 = 33,
    spMskSize5x5 = 55,
};

// Scaling argument of the transform inits.
enum spScaleFlag : std::int32_t {
    spDivFwdByN = 1,  // forward result divided by N
    spDivInvByN = 2,  // inverse result divided by N
    spDivBySqrtN = 4, // both divided by sqrt(N)
    spNoDivByAny = 8, // neither (what the application passes)
};

// One complex sample: real part first, as the transforms store them.
struct spComplex {
    float re;
    float im;
};
static_assert(sizeof(spComplex) == 8);
