#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sp/transforms/spSimd.h"
#include "sp/transforms/spTransforms.h"

void spComplexMul(const spComplex* a, const spComplex* b, spComplex* dst, int n)
{
    // Both factors of an element are read before its product is stored, so dst may be a or b.
    for (std::ptrdiff_t k = 0; k < n; ++k)
        spStoreCd(dst[k], spMulCd<false>(spLoadCd(a[k]), spLoadCd(b[k])));
}

void spComplexZero(spComplex* dst, int n)
{
    for (std::ptrdiff_t k = 0; k < n; ++k)
        dst[k] = {0.0f, 0.0f};
}

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
