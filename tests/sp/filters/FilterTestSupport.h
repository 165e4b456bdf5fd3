// Running a filter operation on a bordered image into a destination with a margin of
// sentinels, and the random images the filter tests draw.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "FilterReference.h"

// A destination region inside a larger plane whose other elements hold a sentinel.
struct Destination {
    Destination(std::ptrdiff_t width, std::ptrdiff_t height, std::ptrdiff_t strideFloats,
                std::ptrdiff_t offset = 0);

    float* Origin() { return &plane[static_cast<std::size_t>(offset)]; }
    // The region, row-major, width x height.
    std::vector<float> Region() const;
    // True when every element outside the region still holds the sentinel.
    bool MarginUntouched() const;

    static constexpr float kSentinel = -12345.678f;
    std::ptrdiff_t width, height, stride, offset;
    std::vector<float> plane;
};

// Calls op (through `call`, its entry by default) with byte steps that may carry 0 to 3
// extra bytes.
spStatus RunOp(const FilterOp& op, const BorderedImage& src, Destination& dst,
               int srcExtraBytes = 0, int dstExtraBytes = 0, const FilterCall* call = nullptr);

// Values of moderate range, and values whose magnitudes span many binades so that double
// sums round before the final rounding to float.
float ModerateValue(std::mt19937& rng);
float WideValue(std::mt19937& rng);
// Small integers times 2^0, 2^-23..2^-25 and 2^-52..2^-54: sums of such values often fall
// exactly between two floats or two doubles, where the order of the additions decides the
// rounding. Tests of evaluation order draw from these.
float TieProneValue(std::mt19937& rng);

// Runs `body` twice: with every kernel in its plain loop, then in the loop the processor
// selects (AVX2 where it has it). `loops` names the pass for messages.
void ForEachLoopKind(const std::function<void(const char* loops)>& body);

// The index of the first element where the two differ (SameFloat), or -1.
std::ptrdiff_t FirstDifference(const std::vector<float>& a, const std::vector<float>& b);
