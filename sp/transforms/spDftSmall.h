// Fixed kernels of 1, 2, 3, 4 and 8 points, plain and with the plan's scale folded in.
// Each reads all of its source before writing, so source and destination may coincide.
#pragma once

#include "sp/core/spTypes.h"

using spDftSmallKernel = void (*)(const spComplex* src, spComplex* dst);
using spDftSmallScaledKernel = void (*)(const spComplex* src, spComplex* dst, float scale);

// Kernels of one direction: entry i of `plain` and `scaled` serves length i + 1 (DFT tables)
// or order i (FFT tables).
struct spDftSmallTable {
    spDftSmallKernel plain[4];
    spDftSmallScaledKernel scaled[4];
};

// Runs entry `index` of a table, the scaled kernel when `scaled` is set.
inline void spRunSmallKernel(const spDftSmallTable& table, int index, bool scaled, float scale,
                             const spComplex* src, spComplex* dst)
{
    if (scaled)
        table.scaled[index](src, dst, scale);
    else
        table.plain[index](src, dst);
}

extern const spDftSmallTable spDftSmallFwdTable;
extern const spDftSmallTable spDftSmallInvTable;
extern const spDftSmallTable spFftSmallFwdTable;
extern const spDftSmallTable spFftSmallInvTable;
