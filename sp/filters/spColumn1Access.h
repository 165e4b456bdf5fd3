// Column 1's access block: the loads and stores through which its float kernels reach rows
// of any alignment with 16-byte vectors. A kernel asks a picker once per row for the routine
// that fits the row's address and then calls that routine for every vector of four floats.
//
// The routines share the kernel's running state (spColumn1Cursor) instead of taking
// arguments: the scaled loaders read at, and move on, the scaled read position; the stores
// write the result vector to the 16 bytes below the write position, which the kernel has
// already moved past them. A row that is 4 bytes aligned but not 16 reaches 16-byte
// boundaries through the shifted streaming stores: the kernel writes the first 4 - k floats
// itself, and every later store then joins the last k floats of the previous result (the
// carry) with the first 4 - k of the new one, k floats behind their place.
//
// Misaligned loads may read floats below the row inside the row's 16-byte block (never
// across a page), as the aligned block holding them is what the processor reads.
// The pickers' choices are made once per row; each loop copy then calls its routine inline
// (spWithPicked, spColumn1Forms.h), as an indirect call per vector cost more than the work.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

struct spColumn1Cursor {
    const float* scaledRead = nullptr; // moved on by 16 bytes per scaled load
    unsigned char* write = nullptr;    // 16 bytes past the block that a store writes
    __m128 result = _mm_setzero_ps();
    __m128 carry = _mm_setzero_ps(); // the previous result, for the shifted stores
    __m128 scale = _mm_set1_ps(1.0f);
};

using spColumn1ScaledLoad = __m128(spColumn1Cursor& c);
using spColumn1Load = __m128(const float* at);
using spColumn1Store = void(spColumn1Cursor& c);

namespace spColumn1Detail {

inline std::uintptr_t Address(const void* p)
{
    return reinterpret_cast<std::uintptr_t>(p);
}

// Four floats from 8-byte halves at p and p + 2 (any address).
inline __m128 LoadHalves(const float* p)
{
    const __m128 low = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p));
    return _mm_loadh_pi(low, reinterpret_cast<const __m64*>(p + 2));
}

// Four floats at p, which lies 4 bytes past a 16-byte boundary: the aligned block below
// with the float at p + 3 put into its first lane, rotated by one lane.
inline __m128 LoadPast4(const float* p)
{
    const __m128 block = _mm_move_ss(_mm_load_ps(p - 1), _mm_load_ss(p + 3)); // p3 p0 p1 p2
    return _mm_shuffle_ps(block, block, _MM_SHUFFLE(0, 3, 2, 1));
}

// Four floats at p, 12 bytes past a 16-byte boundary: 8-byte loads at p - 1 and p + 1, the
// float at p + 3 put into the first lane, rotated by one lane.
inline __m128 LoadPast12(const float* p)
{
    const __m128 both = _mm_move_ss(LoadHalves(p - 1), _mm_load_ss(p + 3)); // p3 p0 p1 p2
    return _mm_shuffle_ps(both, both, _MM_SHUFFLE(0, 3, 2, 1));
}

// Four floats at p, 4 bytes past an 8-byte boundary: the float at p, 8 bytes at p + 1 and
// the float at p + 3.
inline __m128 LoadPast4Of8(const float* p)
{
    const __m128 middle = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p + 1));
    const __m128 head = _mm_movelh_ps(_mm_load_ss(p), middle); // p0 0 p1 p2
    const __m128 last = _mm_unpacklo_ps(_mm_shuffle_ps(middle, middle, _MM_SHUFFLE(1, 1, 1, 1)),
                                        _mm_load_ss(p + 3)); // p2 p3 p2 0
    return _mm_shuffle_ps(head, last, _MM_SHUFFLE(1, 0, 2, 0));
}

// The lanes of `carry` from `from` on, then the first lanes of `result`: the 16 bytes a
// shifted store writes.
template <int From>
inline __m128 Joined(__m128 carry, __m128 result)
{
    if constexpr (From == 2)
        return _mm_shuffle_ps(carry, result, _MM_SHUFFLE(1, 0, 3, 2));
    const __m128 seam = _mm_shuffle_ps(carry, result, _MM_SHUFFLE(0, 0, 3, 3)); // c3 c3 r0 r0
    if constexpr (From == 3)
        return _mm_shuffle_ps(seam, result, _MM_SHUFFLE(2, 1, 2, 0)); // c3 r0 r1 r2
    else
        return _mm_shuffle_ps(carry, seam, _MM_SHUFFLE(2, 0, 2, 1)); // c1 c2 c3 r0
}

// Four floats just read at the scaled read position: the position moves on, the floats are
// scaled.
inline __m128 Scaled(spColumn1Cursor& c, __m128 v)
{
    c.scaledRead += 4;
    return _mm_mul_ps(v, c.scale);
}

inline float* Below(const spColumn1Cursor& c)
{
    return reinterpret_cast<float*>(c.write - 16);
}

} // namespace spColumn1Detail

// ---- Scaled loads: four floats at the scaled read position times the scale vector ----

inline __m128 spLoadScaledA16(spColumn1Cursor& c)
{
    return spColumn1Detail::Scaled(c, _mm_load_ps(c.scaledRead));
}

inline __m128 spLoadScaledA4(spColumn1Cursor& c)
{
    return spColumn1Detail::Scaled(c, spColumn1Detail::LoadPast4(c.scaledRead));
}

inline __m128 spLoadScaledA8(spColumn1Cursor& c)
{
    return spColumn1Detail::Scaled(c, spColumn1Detail::LoadHalves(c.scaledRead));
}

inline __m128 spLoadScaledA12(spColumn1Cursor& c)
{
    return spColumn1Detail::Scaled(c, spColumn1Detail::LoadPast12(c.scaledRead));
}

inline spColumn1ScaledLoad* spPickScaledLoad(const void* at)
{
    const std::uintptr_t a = spColumn1Detail::Address(at);
    if (a % 4 != 0)
        return spLoadScaledA8;
    switch (a / 4 % 4) {
    case 0: return spLoadScaledA16;
    case 1: return spLoadScaledA4;
    case 2: return spLoadScaledA8;
    default: return spLoadScaledA12;
    }
}

// ---- Plain loads: four floats at an address ----

inline __m128 spLoadA16(const float* at)
{
    return _mm_load_ps(at);
}

inline __m128 spLoadA4(const float* at)
{
    return spColumn1Detail::LoadPast4Of8(at);
}

inline __m128 spLoadA8(const float* at)
{
    return spColumn1Detail::LoadHalves(at);
}

inline spColumn1Load* spPickLoad(const void* at)
{
    const std::uintptr_t a = spColumn1Detail::Address(at);
    if (a % 4 != 0)
        return spLoadA8;
    return a % 16 == 0 ? spLoadA16 : a % 8 == 4 ? spLoadA4 : spLoadA8;
}

// ---- Stores of the result vector to the 16 bytes below the write position ----
// A row of column sums that starts k floats past a 16-byte boundary is written with one
// unaligned 16-byte store per vector, where pieces of 4 and 8 bytes made the 3x3 filters
// 10 to 15 % slower.

inline void spStoreA16(spColumn1Cursor& c)
{
    _mm_store_ps(spColumn1Detail::Below(c), c.result);
}

// For k = 1 and 3.
inline void spStoreA4(spColumn1Cursor& c)
{
    _mm_storeu_ps(spColumn1Detail::Below(c), c.result);
}

// For k = 2.
inline void spStoreA8(spColumn1Cursor& c)
{
    _mm_storeu_ps(spColumn1Detail::Below(c), c.result);
}

// k: how many floats past a 16-byte boundary the row's write position lies.
inline spColumn1Store* spPickStore(int k)
{
    return k == 0 ? spStoreA16 : k == 2 ? spStoreA8 : spStoreA4;
}

// ---- The lagging writer of output rows ----
// Every store lands on a 16-byte boundary. The stores are ordinary ones, not streaming: an
// output image that fits the cache is read again soon (the views show it), and streaming
// stores made a 1024 x 1024 filter three times slower while gaining nothing at 4096 x 4096.

inline void spStreamA16(spColumn1Cursor& c)
{
    _mm_store_ps(spColumn1Detail::Below(c), c.result);
}

// (carry lane 3, result lanes 0-2)
inline void spStreamShift1(spColumn1Cursor& c)
{
    _mm_store_ps(spColumn1Detail::Below(c), spColumn1Detail::Joined<3>(c.carry, c.result));
    c.carry = c.result;
}

// (carry lanes 2-3, result lanes 0-1)
inline void spStreamShift2(spColumn1Cursor& c)
{
    _mm_store_ps(spColumn1Detail::Below(c), spColumn1Detail::Joined<2>(c.carry, c.result));
    c.carry = c.result;
}

// (carry lanes 1-3, result lane 0)
inline void spStreamShift3(spColumn1Cursor& c)
{
    _mm_store_ps(spColumn1Detail::Below(c), spColumn1Detail::Joined<1>(c.carry, c.result));
    c.carry = c.result;
}

// Rows that do not lie on a float boundary.
inline void spStoreUnaligned(spColumn1Cursor& c)
{
    _mm_storeu_ps(spColumn1Detail::Below(c), c.result);
}

// k: how many floats the kernel's scalar head wrote to bring the row to a 16-byte boundary.
inline spColumn1Store* spPickStreamStore(const void* at, int k)
{
    if (spColumn1Detail::Address(at) % 4 != 0)
        return spStoreUnaligned;
    return k == 0 ? spStreamA16 : k == 1 ? spStreamShift1 : k == 2 ? spStreamShift2 : spStreamShift3;
}
