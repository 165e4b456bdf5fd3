// The forms every column-1 kernel takes; a kernel supplies its arithmetic, the form its
// loops, alignment choices and stores.
//
// Float output rows (spColumn1StreamRow): below four outputs only the scalar tail runs.
// Otherwise, when the destination is 4-byte aligned but k = (address / 4) mod 4 floats past
// a 16-byte boundary, a scalar head computes outputs 0-3 and writes the first 4 - k; the
// main loop then writes four outputs per pass through the lagging writer the access block
// picks (aligned stores, k floats behind their place); one unaligned store writes the last
// four again at their place, and the last n mod 4 outputs go one at a time. Head, loop and
// tail each sum in the order their kernel states, so one row may round three ways.
//
// Column sums (spColumn1SumRow): single elements until the top row's read position is on a
// 16-byte boundary (k of them), then four sums per pass written through the store the
// access block picks for k, then single elements.
//
// Four-element pixels whose fourth element is kept (spColumn1PixelRow): one pixel per pass,
// elements 0-2 written as an 8-byte and a 4-byte store (8-byte aligned) or a 4-byte and an
// 8-byte store; element 3 is neither read nor written.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "sp/filters/spColumn1Access.h"

namespace spColumn1Detail {

using Index = std::ptrdiff_t;

inline unsigned char* Bytes(void* p)
{
    return static_cast<unsigned char*>(p);
}

// Scalar float stores at any address.
inline void PutFloat(unsigned char* at, float v)
{
    std::memcpy(at, &v, sizeof v);
}

inline float GetFloat(const float* p)
{
    float v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The first `count` (1 to 3) lanes of v at `at`: 8-byte and 4-byte pieces.
inline void PutLanes(unsigned char* at, __m128 v, int count)
{
    if (count >= 2) {
        _mm_storel_pi(reinterpret_cast<__m64*>(at), v);
        at += 8;
        v = _mm_movehl_ps(v, v);
        count -= 2;
    }
    if (count == 1)
        PutFloat(at, _mm_cvtss_f32(v));
}

inline __m128 Add(__m128 a, __m128 b)
{
    return _mm_add_ps(a, b);
}

inline __m128 Sub(__m128 a, __m128 b)
{
    return _mm_sub_ps(a, b);
}

// Four floats at p + d, for p on a 16-byte boundary: an aligned load when d is a multiple of
// 4, two 8-byte halves when it is 2 mod 4, else an unaligned load.
template <int D>
inline __m128 At(const float* p)
{
    if constexpr (D % 4 == 0)
        return _mm_load_ps(p + D);
    else if constexpr (D % 2 == 0)
        return LoadHalves(p + D);
    else
        return _mm_loadu_ps(p + D);
}

} // namespace spColumn1Detail

// Runs body.template operator()<R>() with R the one of Routines that `picked` is, so that the
// loop of each choice calls its routine inline.
template <auto... Routines, class Routine, class Body>
inline void spWithPicked(Routine* picked, const Body& body)
{
    const bool found = ((picked == Routines ? (body.template operator()<Routines>(), true) : false) || ...);
    (void)found;
}

// K provides: kScaled (whether the loop's centre values come through a scaled loader, with
// K::kFactor and k.centre), Head(i) and Block(i, scaledCentre) as four results from i, and
// Tail(i) as one result.
template <class K>
void spColumn1StreamRow(const K& kernel, void* dst, std::ptrdiff_t n)
{
    using namespace spColumn1Detail;
    unsigned char* out = Bytes(dst);
    Index i = 0;
    if (n >= 4) {
        const std::uintptr_t a = Address(dst);
        const int k = a % 4 == 0 ? static_cast<int>(a / 4 % 4) : 0;
        spColumn1Cursor c;
        c.write = out;
        if (k > 0) {
            c.carry = c.result = kernel.Head(0);
            PutLanes(out, c.result, 4 - k);
            c.write = out + 4 * (4 - k);
            i = 4;
        }
        spColumn1Store* store = spPickStreamStore(c.write, k);
        const auto loop = [&]<spColumn1Store* Store, spColumn1ScaledLoad* Load>() {
            // Two passes per trip: a pass alone costs as much loop as work.
            #pragma GCC unroll 2
            for (; n - i >= 4; i += 4) {
                __m128 centre = _mm_setzero_ps();
                if constexpr (K::kScaled)
                    centre = Load(c);
                c.result = kernel.Block(i, centre);
                c.write += 16;
                Store(c);
            }
        };
        if constexpr (K::kScaled) {
            c.scale = _mm_set1_ps(K::kFactor);
            c.scaledRead = kernel.centre + i;
            spWithPicked<spLoadScaledA16, spLoadScaledA4, spLoadScaledA8, spLoadScaledA12>(
                spPickScaledLoad(c.scaledRead), [&]<spColumn1ScaledLoad* Load>() {
                    spWithPicked<spStreamA16, spStreamShift1, spStreamShift2, spStreamShift3, spStoreUnaligned>(
                        store, [&]<spColumn1Store* Store>() { loop.template operator()<Store, Load>(); });
                });
        } else {
            spWithPicked<spStreamA16, spStreamShift1, spStreamShift2, spStreamShift3, spStoreUnaligned>(
                store, [&]<spColumn1Store* Store>() { loop.template operator()<Store, nullptr>(); });
        }
        // The last four outputs at their place, with the k the shifted stores still owe.
        _mm_storeu_ps(reinterpret_cast<float*>(out + 4 * (i - 4)), c.result);
    }
    for (; i < n; ++i)
        PutFloat(out + 4 * i, kernel.Tail(i));
}

// K provides kScaled (as above) and Pixel(i, scaledCentre): the pixel's four results.
template <class K>
void spColumn1PixelRow(const K& kernel, void* dst, std::ptrdiff_t n)
{
    using namespace spColumn1Detail;
    unsigned char* out = Bytes(dst);
    spColumn1Cursor c;
    const auto loop = [&]<spColumn1ScaledLoad* Load>() {
        for (Index i = 0; i + 4 <= n; i += 4) {
            __m128 centre = _mm_setzero_ps();
            if constexpr (K::kScaled)
                centre = Load(c);
            const __m128 v = kernel.Pixel(i, centre);
            unsigned char* at = out + 4 * i;
            if (Address(at) % 8 == 0) {
                PutLanes(at, v, 3);
            } else {
                PutFloat(at, _mm_cvtss_f32(v));
                _mm_storel_pi(reinterpret_cast<__m64*>(at + 4), _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 2, 1)));
            }
        }
    };
    if constexpr (K::kScaled) {
        c.scale = _mm_set1_ps(K::kFactor);
        c.scaledRead = kernel.centre;
        spWithPicked<spLoadScaledA16, spLoadScaledA4, spLoadScaledA8, spLoadScaledA12>(
            spPickScaledLoad(c.scaledRead), [&]<spColumn1ScaledLoad* Load>() { loop.template operator()<Load>(); });
    } else {
        loop.template operator()<nullptr>();
    }
}

// K provides One(i) (a single sum, head and tail order) and Block(i) (four sums from i, whose
// top-row position is on a 16-byte boundary); buf starts on a 16-byte boundary.
template <class K>
void spColumn1SumRow(const K& kernel, const float* top, float* buf, std::ptrdiff_t n)
{
    using namespace spColumn1Detail;
    const std::uintptr_t a = Address(top);
    Index head = a % 4 == 0 ? static_cast<Index>((16 - a % 16) % 16 / 4) : 0;
    if (head > n)
        head = n;
    Index i = 0;
    for (; i < head; ++i)
        buf[i] = kernel.One(i);
    spColumn1Cursor c;
    c.write = reinterpret_cast<unsigned char*>(buf + i);
    spWithPicked<spStoreA16, spStoreA4, spStoreA8>(spPickStore(static_cast<int>(head)), [&]<spColumn1Store* Store>() {
        // Two passes per trip: a pass alone costs as much loop as work.
        #pragma GCC unroll 2
        for (; n - i >= 4; i += 4) {
            c.result = kernel.Block(i);
            c.write += 16;
            Store(c);
        }
    });
    for (; i < n; ++i)
        buf[i] = kernel.One(i);
}
