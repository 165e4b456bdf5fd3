// Four complex values in blocked form (four real parts, then four imaginary parts) as the
// FFT kernels of columns 1 to 4 hold them between passes: their loads and stores (the
// arithmetic is spBlocks.h's).
#pragma once

#include <cstdint>

#include "sp/transforms/spBlocks.h"
#include "sp/transforms/spFftCore.h"
#include "sp/transforms/spSimd.h"

namespace {

using spBlk = spBlkOf<spV4>;

inline spBlk spLoadBlk(const float* p) { return {spLoad4(p), spLoad4(p + 4)}; }

// The block stored as it is, or as four interleaved values.
inline void spStoreBlk(float* p, spBlk v, spOutputMode mode)
{
    if (mode == spOutputMode::blocked) {
        spStore4(p, v.re);
        spStore4(p + 4, v.im);
    } else {
        spStore4(p, __builtin_shuffle(v.re, v.im, spV4i{0, 4, 1, 5}));
        spStore4(p + 4, __builtin_shuffle(v.re, v.im, spV4i{2, 6, 3, 7}));
    }
}

// Two interleaved pairs of complex values (four values) as one block.
inline spBlk spDeinterleave(spV4 p, spV4 q)
{
    return {__builtin_shuffle(p, q, spV4i{0, 2, 4, 6}), __builtin_shuffle(p, q, spV4i{1, 3, 5, 7})};
}

} // namespace
