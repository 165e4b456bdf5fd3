// The kernel tables of the processor columns. Each table is a group of slot runs, one run per
// kernel role, and a key (element type, layout code, form) selects a slot of a run by the
// run's formula. spFindKernel is the only way in: it refuses keys outside the formulas.
#pragma once

#include <array>
#include <cstddef>

#include "sp/filters/spVariantKernels.h"

// Layout codes: 1 one channel; 2 four channels; 3 three channels; 4 four elements per pixel,
// of which the fourth of every destination pixel is left as it was.
struct spKernelKey {
    int type;       // spKernelType
    int layout;     // 1 to 4
    int form = 0;   // 5x5 kind (0 Laplace, 1 Gauss) or Sobel weights (0 1-1-1, 1 1-2-1)
};

// Elements per pixel of a layout code.
inline std::ptrdiff_t spPixelElements(int layout)
{
    return layout == 1 ? 1 : layout == 3 ? 3 : 4;
}

enum class spSlotRule {
    ByType,       // t
    ByTypeLayout, // 4t + c - 1 (type 4: one channel only)
    Vertical,     // 2t + form; type 3 the 8-bit plain sum (6), type 4 the signed one (8)
    RowPass5x5,   // 8t + 4 form + c - 1; types 3 and 4: Laplace, one channel (24, 32)
    ColPass5x5,   // 4t + 2 form + (c == 4); types 3 and 4: Laplace, one channel (12, 16)
    Smooth,       // 8t + 4 form + c - 1
};

// The slot of `key` in a run of `rule` whose types end at `lastType`, or -1 when the key lies
// outside the run's formula.
int spKernelSlot(spSlotRule rule, const spKernelKey& key, int lastType);

template <class Fn, std::size_t N>
Fn* spFindKernel(const std::array<Fn*, N>& run, spSlotRule rule, const spKernelKey& key,
                 int lastType = spKtF32)
{
    const int slot = spKernelSlot(rule, key, lastType);
    return slot < 0 || static_cast<std::size_t>(slot) >= N ? nullptr : run[static_cast<std::size_t>(slot)];
}

using spVerticalBlock = std::array<spVerticalFn*, 9>;
using spLayoutRun = std::array<spRowFn*, 12>;
using spCentreRun = std::array<spCentreFn*, 12>;
using spTypeRun = std::array<spVerticalFn*, 3>;

struct spColumnTables {
    struct {
        std::array<spRowPass5Fn*, 33> rowPass5x5;
        std::array<spColPass5Fn*, 17> colPass5x5;
        spVerticalBlock vertical;
        spLayoutRun gaussRowPass3x3;
    } kernelSet1;
    struct {
        std::array<spCentreFn*, 17> combine;
        spVerticalBlock vertical;
    } laplaceHipass3x3;
    struct {
        spTypeRun sum5;
        spLayoutRun mean5;
        spTypeRun slide5;
        spVerticalBlock vertical;
        spLayoutRun mean3;
    } lowpass;
    struct {
        spTypeRun sum5;
        spCentreRun combine;
        spTypeRun slide5;
    } hipass5x5;
    struct {
        spVerticalBlock vertical;
        spCentreRun combine;
    } sharpen;
    struct {
        spVerticalBlock vertical;
        spLayoutRun diff;
    } sobelVert;
    struct {
        std::array<spRowFn*, 24> smooth;
        spTypeRun rowDiff;
    } sobelHoriz;
};

// The tables of column 1 to 4.
const spColumnTables& spTablesOf(int column);
