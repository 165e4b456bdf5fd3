// The kernel tables of the processor columns. Each table is a group of slot runs, one run per
// kernel role, and a key (element type, layout code, form) selects a slot of a run by the
// run's formula. spFindKernel is the only way in: it refuses keys outside the formulas.
#pragma once

#include <array>
#include <cstddef>

#include "sp/filters/spVariantKernels.h"

// The pixel layouts of the tables' keys.
enum spChannelCode : int {
    spCcOne = 1,           // one channel
    spCcFour = 2,          // four channels, all written
    spCcThree = 3,         // three channels
    spCcFourKeepAlpha = 4, // four elements per pixel, the fourth of every destination pixel kept
};

// The two filters of the 5x5 ring worker.
enum spFilterKind : int {
    spFkLaplace = 0,
    spFkGauss = 1,
};

struct spKernelKey {
    int type;       // spKernelType
    int layout;     // spChannelCode
    int form = 0;   // spFilterKind of the 5x5 ring, or the Sobel weights (0 1-1-1, 1 1-2-1)
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

// The nine vertical three-row kernels that several tables of a column repeat: the plain
// sum and the 1-2-1 sum of types 0 to 2, the 8-bit plain sum twice more, the signed 8-bit one.
using spVerticalBlock = std::array<spVerticalFn*, 9>;
using spColumnSumBlock = spVerticalBlock;
using spLayoutRun = std::array<spRowFn*, 12>;
using spCentreRun = std::array<spCentreFn*, 12>;
using spTypeRun = std::array<spVerticalFn*, 3>;

// Kernel set 1: the Gauss filters and the 5x5 Laplace.
using spRowPassTable5x5 = std::array<spRowPass5Fn*, 33>;
using spColumnPassTable5x5 = std::array<spColPass5Fn*, 17>;
struct spPassTable3x3 {
    spColumnSumBlock vertical;
    spLayoutRun gaussRowPass3x3;
};
struct spKernelSet1 : spPassTable3x3 {
    spRowPassTable5x5 rowPass5x5;
    spColumnPassTable5x5 colPass5x5;
};

// The tables of the other filters.
struct spLaplaceHipass3x3KernelTable {
    std::array<spCentreFn*, 17> combine;
    spVerticalBlock vertical;
};
struct spLowpassKernelTable {
    spTypeRun sum5;
    spLayoutRun mean5;
    spTypeRun slide5;
    spVerticalBlock vertical;
    spLayoutRun mean3;
};
struct spHipass5x5KernelTable {
    spTypeRun sum5;
    spCentreRun combine;
    spTypeRun slide5;
};
struct spSharpenKernelTable {
    spVerticalBlock vertical;
    spCentreRun combine;
};
struct spSobelVertKernelTable {
    spVerticalBlock vertical;
    spLayoutRun diff;
};
struct spSobelHorizKernelTable {
    std::array<spRowFn*, 24> smooth;
    spTypeRun rowDiff;
};

struct spColumnTables {
    spKernelSet1 kernelSet1;
    spLaplaceHipass3x3KernelTable laplaceHipass3x3;
    spLowpassKernelTable lowpass;
    spHipass5x5KernelTable hipass5x5;
    spSharpenKernelTable sharpen;
    spSobelVertKernelTable sobelVert;
    spSobelHorizKernelTable sobelHoriz;
};

// The tables of column 1 to 4.
const spColumnTables& spTablesOf(int column);
