// The float results of columns 2 to 4 (one kernel set) as their kernels' own orders of
// addition give them, element by element in scalar single precision. Which order an output
// takes follows from its place in the row: the passes of eight (their first and second
// halves), the block of four after them, the last one to three elements; for four-element
// pixels, the first and second pixel of a pair and a last single pixel.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

using Index = std::ptrdiff_t;

// One call of a column-2-to-4 worker on 32-bit floats.
struct Column234Call {
    const unsigned char* src; // the region's first element; the border lies around it
    Index srcStep;            // bytes
    Index width, height;
    int layout; // 1 to 4
    int form;   // the Sobel weights (0 1-1-1, 1 1-2-1)
};

// The results of `filter` (a name of AllFilterOps) row by row, e x width elements each; the
// fourth element of every layout-4 pixel, which the kernels leave alone, is NaN.
std::vector<float> Column234Floats(const std::string& filter, const Column234Call& call);
