#include <xmmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "sp/transforms/spColumns.h"
#include "sp/transforms/spComplexVec.h"
#include "sp/transforms/spSimd.h"
#include "sp/transforms/spTransforms.h"

void spComplexMul(const spComplex* a, const spComplex* b, spComplex* dst, int n)
{
    // Both factors of an element are read before its product is stored, so dst may be a or b.
    const auto product = [&](std::ptrdiff_t k) { return spMulCd<false>(spLoadCd(a[k]), spLoadCd(b[k])); };
    std::ptrdiff_t k = 0;
    for (; k + 2 <= n; k += 2) {
        const spCd p0 = product(k), p1 = product(k + 1);
        spStoreCd(dst[k], p0);
        spStoreCd(dst[k + 1], p1);
    }
    if (k < n)
        spStoreCd(dst[k], product(k));
}

void spComplexZero(spComplex* dst, int n) { spComplexZeroCol<0>(dst, n); }

void spComplexConjCopy(const spComplex* src, spComplex* dst, int n)
{
    // Bit operations keep NaN payloads and signed zeros exactly.
    constexpr std::uint64_t imaginarySign = std::uint64_t{1} << 63;
    static_assert(sizeof(spComplex) == sizeof(std::uint64_t));
    for (std::ptrdiff_t k = 0; k < n; ++k) {
        std::uint64_t bits;
        std::memcpy(&bits, &src[k], sizeof bits);
        bits ^= imaginarySign;
        std::memcpy(&dst[k], &bits, sizeof bits);
    }
}

void spScaleComplex(float scale, float* data, int count)
{
    // A float product is exact in double, so one float multiply gives the once-rounded result.
    const spV4 s = {scale, scale, scale, scale};
    std::ptrdiff_t i = 0;
    for (; i + 4 <= count; i += 4)
        spStore4(data + i, spLoad4(data + i) * s);
    for (; i < count; ++i)
        data[i] *= scale;
}

namespace {

// Products of this many values and more request their factors ahead of use.
constexpr int kMulPrefetchFrom = 516;
// Products of this many values and more may bypass the caches: a shorter destination stays
// in the second-level cache, where the transform that follows reads it (written past the
// caches a Bluestein run of 302 points takes half as long again, one of 4106 a quarter).
constexpr int kMulStreamFrom = 1 << 17;
// How far ahead, in values (two cache lines of each factor).
constexpr std::ptrdiff_t kMulAhead = 16;

// Two products of interleaved values in single precision.
inline spV4 MulPair(const float* pa, const float* pb)
{
    const spV4 x = spLoad4(pa), y = spLoad4(pb);
    const spV4 yr = __builtin_shuffle(y, spV4i{0, 0, 2, 2});
    const spV4 yi = __builtin_shuffle(y, spV4i{1, 1, 3, 3});
    const spV4 xs = __builtin_shuffle(x, spV4i{1, 0, 3, 2});
    return x * yr + spFlipSigns(xs * yi, spV4i{spSignBit, 0, spSignBit, 0});
}

// Columns 1 to 4 share the product; dst may be a or b.
void MulSingle(const spComplex* a, const spComplex* b, spComplex* dst, int n)
{
    const bool prefetch = n >= kMulPrefetchFrom;
    // A long product that goes elsewhere than into a factor bypasses the caches when the
    // stores line up (each group of four is then 32 aligned bytes).
    const bool stream = n >= kMulStreamFrom && dst != b && spIsAligned(dst + n - 4, 16);
    std::ptrdiff_t k = n;
    for (; k >= 4; k -= 4) {
        if (prefetch && k - 4 >= kMulAhead) {
            _mm_prefetch(reinterpret_cast<const char*>(a + k - 4 - kMulAhead), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(b + k - 4 - kMulAhead), _MM_HINT_T0);
        }
        const spV4 low = MulPair(&a[k - 4].re, &b[k - 4].re);
        const spV4 high = MulPair(&a[k - 2].re, &b[k - 2].re);
        if (stream) {
            _mm_stream_ps(&dst[k - 4].re, reinterpret_cast<__m128>(low));
            _mm_stream_ps(&dst[k - 2].re, reinterpret_cast<__m128>(high));
        } else {
            spStore4(&dst[k - 4].re, low);
            spStore4(&dst[k - 2].re, high);
        }
    }
    for (--k; k >= 0; --k) {
        const spComplex x = a[k], y = b[k];
        dst[k] = {x.re * y.re - x.im * y.im, x.im * y.re + x.re * y.im};
    }
    if (stream)
        _mm_sfence();
}

void ConjCopyVector(const spComplex* src, spComplex* dst, int n)
{
    std::ptrdiff_t k = 0;
    for (; k + 2 <= n; k += 2)
        spStore4(&dst[k].re, spFlipSigns(spLoad4(&src[k].re), spV4i{0, spSignBit, 0, spSignBit}));
    if (k < n)
        spComplexConjCopy(src + k, dst + k, 1);
}

// Backwards: single floats down to a 16-byte boundary, then eight floats per step.
void ScaleBackwards(float scale, float* data, int count)
{
    const spV4 s = {scale, scale, scale, scale};
    std::ptrdiff_t i = count;
    for (; i > 0 && !spIsAligned(data + i, 16); --i)
        data[i - 1] *= scale;
    for (; i >= 8; i -= 8) {
        spStore4(data + i - 8, spLoad4(data + i - 8) * s);
        spStore4(data + i - 4, spLoad4(data + i - 4) * s);
    }
    for (; i > 0; --i)
        data[i - 1] *= scale;
}

} // namespace

template <int Column>
void spComplexZeroCol(spComplex* dst, int n)
{
    using Word = std::conditional_t<spColumnZeroFloatStores(Column), float, std::uint32_t>;
    constexpr std::ptrdiff_t block = spColumnZeroBlock(Column);
    const auto clear = [dst](std::ptrdiff_t first, std::ptrdiff_t values) {
        const Word zero = 0;
        for (std::ptrdiff_t i = 0; i < 2 * values; ++i)
            std::memcpy(reinterpret_cast<Word*>(dst + first) + i, &zero, sizeof zero);
    };
    std::ptrdiff_t k = 0;
    for (; k + block <= n; k += block)
        clear(k, block);
    if (block == 4 && k + 2 <= n) {
        clear(k, 2);
        k += 2;
    }
    if (k < n)
        clear(k, 1);
}

template <int Column>
void spComplexMulCol(const spComplex* a, const spComplex* b, spComplex* dst, int n)
{
    if constexpr (Column == 0)
        spComplexMul(a, b, dst, n);
    else
        MulSingle(a, b, dst, n);
}

template <int Column>
void spComplexConjCopyCol(const spComplex* src, spComplex* dst, int n)
{
    if constexpr (spColumnVectorConjugate(Column))
        ConjCopyVector(src, dst, n);
    else
        spComplexConjCopy(src, dst, n);
}

template <int Column>
void spScaleComplexCol(float scale, float* data, int count)
{
    if constexpr (Column == 0)
        spScaleComplex(scale, data, count);
    else
        ScaleBackwards(scale, data, count);
}

#define SP_COMPLEX_VEC_COLUMN(c)                                                                    \
    template void spComplexMulCol<c>(const spComplex*, const spComplex*, spComplex*, int);          \
    template void spComplexZeroCol<c>(spComplex*, int);                                             \
    template void spComplexConjCopyCol<c>(const spComplex*, spComplex*, int);                       \
    template void spScaleComplexCol<c>(float, float*, int);
SP_FOR_EACH_COLUMN(SP_COMPLEX_VEC_COLUMN)

const spComplexVecKernels& spComplexVecOf(int column)
{
#define SP_COMPLEX_VEC_ROW(c) {spComplexMulCol<c>, spComplexZeroCol<c>, spComplexConjCopyCol<c>, spScaleComplexCol<c>},
    static constexpr spComplexVecKernels kernels[spDispatchColumns] = {SP_FOR_EACH_COLUMN(SP_COMPLEX_VEC_ROW)};
#undef SP_COMPLEX_VEC_ROW
    return kernels[column];
}
