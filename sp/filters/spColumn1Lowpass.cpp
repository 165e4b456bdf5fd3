// Column 1's lowpass output rows: the 5x5 and 3x3 means of the column sums. Float rows take
// the streaming form (head, loop and tail each adding in an order of their own); pixels
// whose fourth element is kept take one pixel per pass.
#include <bit>
#include <cstdint>

#include "sp/filters/spColumn1Forms.h"
#include "sp/filters/spColumn1Kernels.h"

namespace spColumn1 {

namespace {

using spColumn1Detail::At;
using spColumn1Detail::Index;

constexpr float kFifth = 0.04f;               // 1/25 (0x3D23D70A)
constexpr float kNinth = 0x1.c71c72p-4f;      // the float nearest 1/9 (0x3DE38E39)
static_assert(std::bit_cast<std::uint32_t>(kFifth) == 0x3D23D70Au);
static_assert(std::bit_cast<std::uint32_t>(kNinth) == 0x3DE38E39u);

__m128 Add(__m128 a, __m128 b)
{
    return _mm_add_ps(a, b);
}

// Terms E elements apart; head and tail ((((b0 + b1) + b2) + b3) + b4), the loop
// ((((b2 + b0) + b1) + b4) + b3), for three channels ((b2 + b1) + ((b0 + b4) + b3)).
template <int E>
struct Mean5 {
    static constexpr bool kScaled = false;
    const float* b;

    __m128 Head(Index i) const
    {
        const float* p = b + i;
        const __m128 s = Add(Add(Add(Add(At<0>(p), At<E>(p)), At<2 * E>(p)), At<3 * E>(p)), At<4 * E>(p));
        return _mm_mul_ps(s, _mm_set1_ps(kFifth));
    }
    __m128 Block(Index i, __m128) const
    {
        const float* p = b + i;
        const __m128 b0 = At<0>(p), b1 = At<E>(p), b2 = At<2 * E>(p), b3 = At<3 * E>(p), b4 = At<4 * E>(p);
        const __m128 s = E == 3 ? Add(Add(b2, b1), Add(Add(b0, b4), b3)) : Add(Add(Add(Add(b2, b0), b1), b4), b3);
        return _mm_mul_ps(s, _mm_set1_ps(kFifth));
    }
    float Tail(Index i) const
    {
        const float* p = b + i;
        return ((((p[0] + p[E]) + p[2 * E]) + p[3 * E]) + p[4 * E]) * kFifth;
    }
};

// Head and tail ((b0 + b1) + b2), the loop ((b2 + b0) + b1).
template <int E>
struct Mean3 {
    static constexpr bool kScaled = false;
    const float* b;

    __m128 Head(Index i) const
    {
        const float* p = b + i;
        return _mm_mul_ps(Add(Add(At<0>(p), At<E>(p)), At<2 * E>(p)), _mm_set1_ps(kNinth));
    }
    __m128 Block(Index i, __m128) const
    {
        const float* p = b + i;
        return _mm_mul_ps(Add(Add(At<2 * E>(p), At<0>(p)), At<E>(p)), _mm_set1_ps(kNinth));
    }
    float Tail(Index i) const
    {
        const float* p = b + i;
        return ((p[0] + p[E]) + p[2 * E]) * kNinth;
    }
};

// Whole pixels: (((P0 + P2) + P4) + (P1 + P3)) and ((P0 + P1) + P2).
struct Mean5Pixels {
    static constexpr bool kScaled = false;
    const float* b;

    __m128 Pixel(Index i, __m128) const
    {
        const float* p = b + i;
        const __m128 s = Add(Add(Add(At<0>(p), At<8>(p)), At<16>(p)), Add(At<4>(p), At<12>(p)));
        return _mm_mul_ps(s, _mm_set1_ps(kFifth));
    }
};

struct Mean3Pixels {
    static constexpr bool kScaled = false;
    const float* b;

    __m128 Pixel(Index i, __m128) const
    {
        const float* p = b + i;
        return _mm_mul_ps(Add(Add(At<0>(p), At<4>(p)), At<8>(p)), _mm_set1_ps(kNinth));
    }
};

template <template <int> class K, int E>
void Streamed(const void* buf, void* dst, std::ptrdiff_t n)
{
    spColumn1StreamRow(K<E>{static_cast<const float*>(buf)}, dst, n);
}

template <class K>
void Pixels(const void* buf, void* dst, std::ptrdiff_t n)
{
    spColumn1PixelRow(K{static_cast<const float*>(buf)}, dst, n);
}

} // namespace

// Layout 2 (four elements per pixel, all written) takes the one-channel form with terms a
// pixel apart.
spLayoutRun Mean5Run()
{
    using Col = spColumnTraits<1>;
    return {::spColMean5<spU8, Col, 1, false>,  ::spColMean5<spU8, Col, 4, false>,
            ::spColMean5<spU8, Col, 3, false>,  ::spColMean5<spU8, Col, 4, true>,
            ::spColMean5<spS16, Col, 1, false>, ::spColMean5<spS16, Col, 4, false>,
            ::spColMean5<spS16, Col, 3, false>, ::spColMean5<spS16, Col, 4, true>,
            Streamed<Mean5, 1>,                 Streamed<Mean5, 4>,
            Streamed<Mean5, 3>,                 Pixels<Mean5Pixels>};
}

spLayoutRun Mean3Run()
{
    using Col = spColumnTraits<1>;
    return {::spColMean3<spU8, Col, 1, false>,  ::spColMean3<spU8, Col, 4, false>,
            ::spColMean3<spU8, Col, 3, false>,  ::spColMean3<spU8, Col, 4, true>,
            ::spColMean3<spS16, Col, 1, false>, ::spColMean3<spS16, Col, 4, false>,
            ::spColMean3<spS16, Col, 3, false>, ::spColMean3<spS16, Col, 4, true>,
            Streamed<Mean3, 1>,                 Streamed<Mean3, 4>,
            Streamed<Mean3, 3>,                 Pixels<Mean3Pixels>};
}

} // namespace spColumn1
