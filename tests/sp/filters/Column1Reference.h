// Column 1's float results as its kernels' own orders of addition give them, element by
// element in scalar single precision: which order an output takes (the scalar head, the main
// loop, the one-at-a-time tail) follows from the destination row's address and the row's
// length, and the column sums' orders from the top source row's address and the step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Index = std::ptrdiff_t;

// One call of a column-1 worker on 32-bit floats, as the worker receives it.
struct Column1Call {
    const unsigned char* src; // the region's first element; the border lies around it
    Index srcStep;            // bytes
    std::uintptr_t dst;       // the address of the destination region's first element
    Index dstStep;            // bytes
    Index width, height;
    int layout; // 1 to 4
    int form;   // the Sobel weights (0 1-1-1, 1 1-2-1)
};

// The results of `filter` (a name of AllFilterOps) row by row, e x width elements each; the
// fourth element of every layout-4 pixel, which column 1 leaves alone, is NaN.
std::vector<float> Column1Floats(const std::string& filter, const Column1Call& call);
