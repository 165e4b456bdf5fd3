// Four complex values in blocked form (four real parts, then four imaginary parts) as the
// FFT kernels of columns 1 to 4 hold them between passes: their loads and stores (the
// arithmetic is spBlocks.h's).
#pragma once

#include <cstdint>
#include <cstring>

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

// The block turned into interleaved values when asked; 16 bytes at a time either whole (the
// caller knows `p` to be 16-byte aligned) or as two 8-byte halves.
template <bool Aligned>
inline void spPutBlk(float* p, spBlk v, spOutputMode mode)
{
    spV4 lo = v.re, hi = v.im;
    if (mode == spOutputMode::interleaved) {
        lo = __builtin_shuffle(v.re, v.im, spV4i{0, 4, 1, 5});
        hi = __builtin_shuffle(v.re, v.im, spV4i{2, 6, 3, 7});
    }
    if constexpr (Aligned) {
        spStore4At<true>(p, lo);
        spStore4At<true>(p + 4, hi);
    } else {
        const spV2d l = reinterpret_cast<spV2d>(lo), h = reinterpret_cast<spV2d>(hi);
        const double halves[4] = {l[0], l[1], h[0], h[1]};
        for (int k = 0; k < 4; ++k)
            std::memcpy(p + 2 * k, &halves[k], 8);
    }
}

// Two interleaved pairs of complex values (four values) as one block.
inline spBlk spDeinterleave(spV4 p, spV4 q)
{
    return {__builtin_shuffle(p, q, spV4i{0, 2, 4, 6}), __builtin_shuffle(p, q, spV4i{1, 3, 5, 7})};
}

} // namespace
