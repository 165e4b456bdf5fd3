#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sp/transforms/spComplexVec.h"
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

namespace {

// Columns 1 to 4: the product in single precision, four values per step from the end of the
// vectors backwards (the first n mod 4 values one by one last); dst may be a or b.
void spComplexMulSingle(const spComplex* a, const spComplex* b, spComplex* dst, int n)
{
    std::ptrdiff_t k = n;
    for (; k >= 4; k -= 4) {
        const float* pa = &a[k - 4].re;
        const float* pb = &b[k - 4].re;
        for (int h = 0; h < 8; h += 4) {
            const spV4 x = spLoad4(pa + h), y = spLoad4(pb + h);
            const spV4 yr = __builtin_shuffle(y, spV4i{0, 0, 2, 2});
            const spV4 yi = __builtin_shuffle(y, spV4i{1, 1, 3, 3});
            const spV4 xs = __builtin_shuffle(x, spV4i{1, 0, 3, 2});
            spStore4(&dst[k - 4].re + h, x * yr + spFlipSigns(xs * yi, spV4i{spSignBit, 0, spSignBit, 0}));
        }
    }
    for (--k; k >= 0; --k) {
        const spComplex x = a[k], y = b[k];
        dst[k] = {x.re * y.re - x.im * y.im, x.im * y.re + x.re * y.im};
    }
}

void spComplexConjCopyVector(const spComplex* src, spComplex* dst, int n)
{
    std::ptrdiff_t k = 0;
    for (; k + 2 <= n; k += 2)
        spStore4(&dst[k].re, spFlipSigns(spLoad4(&src[k].re), spV4i{0, spSignBit, 0, spSignBit}));
    if (k < n)
        spComplexConjCopy(src + k, dst + k, 1);
}

} // namespace

const spComplexVecKernels& spComplexVecOf(int column)
{
    static constexpr spComplexVecKernels generic{spComplexMul, spComplexZero, spComplexConjCopy};
    static constexpr spComplexVecKernels vector{spComplexMulSingle, spComplexZero, spComplexConjCopyVector};
    return column == 0 ? generic : vector;
}
