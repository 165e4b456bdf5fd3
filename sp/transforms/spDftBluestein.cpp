#include "sp/transforms/spDftBluestein.h"

#include <cstddef>
#include <utility>

#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spDftTables.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

// Work bytes an FFT plan may ask for beyond the convolution (the largest level's staging).
constexpr std::int64_t spFftLargestBufBytes = 32768 + 16;

} // namespace

std::int64_t spDftBluesteinLen(std::int32_t len)
{
    std::int64_t m = 1;
    while (m < 2 * std::int64_t{len} - 1)
        m *= 2;
    return m;
}

bool spDftBluesteinFits(std::int32_t len)
{
    const std::int64_t m = spDftBluesteinLen(len);
    return 16 * std::int64_t{len} <= spMaxBlockBytes &&
           8 * m + 16 + spFftLargestBufBytes <= spMaxBlockBytes;
}

spStatus spDftInitBluestein(spDftSpec* spec, std::int32_t len)
{
    const std::ptrdiff_t n = len;
    const std::int64_t m = spDftBluesteinLen(len);
    spec->bluesteinLen = static_cast<std::int32_t>(m);

    spec->chirp = spAllocArray<spComplex>(n);
    if (spec->chirp == nullptr)
        return spStsMemAllocErr;
    spec->chirpSpectrum = spAllocArray<spComplex>(m);
    if (spec->chirpSpectrum == nullptr)
        return spStsMemAllocErr;

    // chirp[k] = exp(-pi i k^2 / N) = T[k^2 mod 2N] from a twiddle table of length 2N; the
    // index steps by 2k + 1, and one subtraction keeps it below 2N.
    {
        const spBlockPtr<spComplex> doubled(spDftInitTwiddles(2 * len));
        if (!doubled)
            return spStsMemAllocErr;
        std::ptrdiff_t q = 0;
        for (std::ptrdiff_t k = 0; k < n; ++k) {
            spec->chirp[k] = doubled.get()[q];
            q += 2 * k + 1;
            if (q >= 2 * n)
                q -= 2 * n;
        }
    }

    // The kernel: conj(chirp) at k and at M - k, zeros between.
    spComplex* kernel = spec->chirpSpectrum;
    spComplexConjCopy(spec->chirp, kernel, len);
    if (n < m) {
        spComplexZero(kernel + n, static_cast<int>(m - n));
        for (std::ptrdiff_t k = 1; k < n; ++k)
            kernel[m - k] = kernel[k];
    }

    spStatus status = spFftInitAlloc(&spec->bluesteinFft, spOrderOf(m), spNoDivByAny, 0);
    if (status != spStsNoErr)
        return status;
    status = spFftForward(kernel, kernel, spec->bluesteinFft, nullptr);
    if (status != spStsNoErr)
        return status;
    // 1/M is exact; folding it into the kernel leaves the convolution unscaled.
    spScaleComplex(1.0f / static_cast<float>(m), reinterpret_cast<float*>(kernel), static_cast<int>(2 * m));

    int fftBytes = 0;
    spFftGetBufSize(spec->bluesteinFft, &fftBytes);
    spec->workBytes = static_cast<std::int32_t>(fftBytes + 8 * m + 16);
    return spStsNoErr;
}

spStatus spDftBluestein(const spDftSpec* spec, const spComplex* src, spComplex* dst,
                        std::int32_t len, int direction, std::uint8_t* work)
{
    const std::ptrdiff_t n = len;
    const std::ptrdiff_t m = spec->bluesteinLen;
    auto* conv = reinterpret_cast<spComplex*>(work);
    std::uint8_t* fftWork = work + 8 * m;

    spComplexMul(spec->chirp, src, conv, len);
    if (n < m)
        spComplexZero(conv + n, static_cast<int>(m - n));
    spStatus status = spFftForward(conv, conv, spec->bluesteinFft, fftWork);
    if (status != spStsNoErr)
        return status;
    spComplexMul(spec->chirpSpectrum, conv, conv, static_cast<int>(m));
    status = spFftInverse(conv, conv, spec->bluesteinFft, fftWork);
    if (status != spStsNoErr)
        return status;
    spComplexMul(spec->chirp, conv, dst, len);

    // The inverse DFT is the forward one read backwards: y_inv[j] = y_fwd[(N - j) mod N].
    if (direction < 0)
        for (std::ptrdiff_t i = 1; i < n - i; ++i)
            std::swap(dst[i], dst[n - i]);
    return spStsNoErr;
}
