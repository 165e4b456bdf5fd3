// Images with row gaps for the 2-D transform tests, and the long-double 2-D oracle.
#pragma once

#include <cstdint>
#include <vector>

#include "TransformTestSupport.h"

namespace sptest {

// A width x height image of complex values in rows `step` bytes apart; the bytes between
// rows hold a fixed pattern that no transform may touch.
struct Image {
    int width;
    int height;
    int step;
    std::vector<std::uint8_t> bytes;

    Image(int w, int h, int stepBytes);
    spComplex* data() { return reinterpret_cast<spComplex*>(bytes.data()); }
    const spComplex* data() const { return reinterpret_cast<const spComplex*>(bytes.data()); }
    spComplex& at(int x, int y);
    const spComplex& at(int x, int y) const;
    // True when every byte outside the image still holds the pattern.
    bool GapsUntouched() const;
    // The image's values row by row.
    Signal Values() const;
};

inline constexpr std::uint8_t kGapPattern = 0xC3;

Image RandomImage(int w, int h, int stepBytes, unsigned seed);

// The 2-D DFT of an image in long double, rows then columns.
Exact Oracle2D(const Image& image, bool inverse);

} // namespace sptest
