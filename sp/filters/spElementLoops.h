// The loop every filter kernel runs: dst[i] = formula(in0[i], in1[i], ...) for i in [0, n),
// each input element widened to double and the result stored once (rounded to float for a
// float destination). A formula is written once, as a generic lambda of +, - and * on
// doubles that takes its arguments by const reference; it runs either on one double at a
// time, in a plain loop the compiler vectorises for every x86-64, or on four doubles at a
// time in AVX2 registers when the processor has them. Both evaluate the same IEEE
// operations per element in the same order (nothing is fused: -ffp-contract=off), so their
// results are bit-identical.
#pragma once

#include <immintrin.h>

#include <cstddef>

// Formulas are always inlined, into the AVX2 loop for four-double arguments, so no vector
// value crosses a call whose ABI would depend on the target.
#pragma GCC diagnostic ignored "-Wpsabi"
#define SP_FORMULA __attribute__((always_inline))

// True when the AVX2 loops run: the processor has AVX2 and no test asked for the plain ones.
bool spUseAvx2Loops();
// Test hook: true makes every kernel run its plain loop.
void spDebugUsePlainLoops(bool plain);

namespace spLoopDetail {

#define SP_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

SP_AVX2_INLINE __m256d Load4(const float* p)
{
    return _mm256_cvtps_pd(_mm_loadu_ps(p));
}

SP_AVX2_INLINE __m256d Load4(const double* p)
{
    return _mm256_loadu_pd(p);
}

SP_AVX2_INLINE void Store4(float* p, __m256d v)
{
    _mm_storeu_ps(p, _mm256_cvtpd_ps(v));
}

SP_AVX2_INLINE void Store4(double* p, __m256d v)
{
    _mm256_storeu_pd(p, v);
}

#undef SP_AVX2_INLINE

} // namespace spLoopDetail

// A formula's intermediate value rounded to float and widened back, in either loop (the
// four-double form only ever inlined into the AVX2 loop, as formulas are).
inline double spRoundToFloat(double v) { return static_cast<float>(v); }
SP_FORMULA inline __m256d spRoundToFloat(__m256d v)
{
    typedef float Floats4 __attribute__((vector_size(16)));
    typedef double Doubles4 __attribute__((vector_size(32)));
    return reinterpret_cast<__m256d>(__builtin_convertvector(
        __builtin_convertvector(reinterpret_cast<Doubles4>(v), Floats4), Doubles4));
}

namespace spLoopDetail {

template <class Out, class Formula, class... In>
void PlainLoop(Out* dst, std::ptrdiff_t n, Formula formula, const In*... in)
{
    for (std::ptrdiff_t i = 0; i < n; ++i)
        dst[i] = static_cast<Out>(formula(static_cast<double>(in[i])...));
}

template <class Out, class Formula, class... In>
__attribute__((target("avx2"))) void Avx2Loop(Out* dst, std::ptrdiff_t n, Formula formula,
                                              const In*... in)
{
    // Two independent groups per step keep more additions in flight.
    const std::ptrdiff_t pairs = n - n % 8;
    for (std::ptrdiff_t i = 0; i < pairs; i += 8) {
        const __m256d low = formula(Load4(in + i)...);
        const __m256d high = formula(Load4(in + i + 4)...);
        Store4(dst + i, low);
        Store4(dst + i + 4, high);
    }
    const std::ptrdiff_t whole = n - n % 4;
    for (std::ptrdiff_t i = pairs; i < whole; i += 4)
        Store4(dst + i, formula(Load4(in + i)...));
    for (std::ptrdiff_t i = whole; i < n; ++i)
        dst[i] = static_cast<Out>(formula(static_cast<double>(in[i])...));
}

} // namespace spLoopDetail

// An input may be dst itself (each element is read before it is written), but no input may
// overlap dst otherwise; n < 1 writes nothing.
template <class Out, class Formula, class... In>
inline void spMapElements(Out* dst, std::ptrdiff_t n, Formula formula, const In*... in)
{
    if (n < 1)
        return;
    if (spUseAvx2Loops())
        spLoopDetail::Avx2Loop(dst, n, formula, in...);
    else
        spLoopDetail::PlainLoop(dst, n, formula, in...);
}
