#include "sp/transforms/spDftBluestein.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "sp/transforms/spColumns.h"
#include "sp/transforms/spComplexVec.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spDftTables.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

// Work bytes an FFT plan of length m may ask for beyond the convolution: the largest level's
// staging in column 0; in columns 1 to 4 the blocks of the core or the largest column batch.
std::int64_t spFftLargestBufBytes(std::int64_t m, int column)
{
    if (column == 0)
        return 32768 + 16;
    return std::max<std::int64_t>(8 * m, std::int64_t{8} << 15) + 16;
}

using spFftInitFn = spStatus (*)(spFftSpec**, int, spScaleFlag, int);
using spFftRunFn = spStatus (*)(const spComplex*, spComplex*, const spFftSpec*, std::uint8_t*);
using spFftSizeFn = spStatus (*)(const spFftSpec*, int*);

template <int Column>
constexpr spFftRunFn spFwdOf = spFftRunCol<Column, false>;
template <int Column>
constexpr spFftRunFn spInvOf = spFftRunCol<Column, true>;

// The FFT routines of the plan's own column.
struct spColumnFft {
    spFftInitFn init;
    spFftRunFn forward;
    spFftRunFn inverse;
    spFftSizeFn size;
};

const spColumnFft& spColumnFftOf(int column)
{
    static constexpr spFftInitFn inits[spDispatchColumns] = SP_COLUMN_ROUTINE(spFftInitAllocCol);
    static constexpr spFftRunFn fwds[spDispatchColumns] = SP_COLUMN_ROUTINE(spFwdOf);
    static constexpr spFftRunFn invs[spDispatchColumns] = SP_COLUMN_ROUTINE(spInvOf);
    static constexpr spFftSizeFn sizes[spDispatchColumns] = SP_COLUMN_ROUTINE(spFftGetBufSizeCol);
    static const spColumnFft table[spDispatchColumns] = {
        {inits[0], fwds[0], invs[0], sizes[0]}, {inits[1], fwds[1], invs[1], sizes[1]},
        {inits[2], fwds[2], invs[2], sizes[2]}, {inits[3], fwds[3], invs[3], sizes[3]},
        {inits[4], fwds[4], invs[4], sizes[4]}};
    return table[column];
}

} // namespace

std::int64_t spDftBluesteinLen(std::int32_t len)
{
    std::int64_t m = 1;
    while (m < 2 * std::int64_t{len} - 1)
        m *= 2;
    return m;
}

bool spDftBluesteinFits(std::int32_t len, int column)
{
    const std::int64_t m = spDftBluesteinLen(len);
    return 16 * std::int64_t{len} <= spMaxBlockBytes &&
           8 * m + 16 + spFftLargestBufBytes(m, column) <= spMaxBlockBytes;
}

spStatus spDftInitBluestein(spDftSpec* spec, std::int32_t len)
{
    const std::ptrdiff_t n = len;
    const std::int64_t m = spDftBluesteinLen(len);
    spec->bluesteinLen = static_cast<std::int32_t>(m);

    spec->chirp = spAllocArray<spComplex>(n, spec->column);
    if (spec->chirp == nullptr)
        return spStsMemAllocErr;
    spec->chirpSpectrum = spAllocArray<spComplex>(m, spec->column);
    if (spec->chirpSpectrum == nullptr)
        return spStsMemAllocErr;

    // chirp[k] = exp(-pi i k^2 / N) = T[k^2 mod 2N] from a twiddle table of length 2N; the
    // index steps by 2k + 1, and one subtraction keeps it below 2N.
    {
        const spBlockPtr<spComplex> doubled(spDftInitTwiddles(2 * len, spec->column));
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
    const spComplexVecKernels& vec = spComplexVecOf(spec->column);
    const spColumnFft& fft = spColumnFftOf(spec->column);
    spComplex* kernel = spec->chirpSpectrum;
    vec.conjCopy(spec->chirp, kernel, len);
    if (n < m) {
        vec.zero(kernel + n, static_cast<int>(m - n));
        for (std::ptrdiff_t k = 1; k < n; ++k)
            kernel[m - k] = kernel[k];
    }

    spStatus status = fft.init(&spec->bluesteinFft, spOrderOf(m), spNoDivByAny, 0);
    if (status != spStsNoErr)
        return status;
    status = fft.forward(kernel, kernel, spec->bluesteinFft, nullptr);
    if (status != spStsNoErr)
        return status;
    // 1/M is exact; folding it into the kernel leaves the convolution unscaled.
    vec.scale(1.0f / static_cast<float>(m), reinterpret_cast<float*>(kernel), static_cast<int>(2 * m));

    int fftBytes = 0;
    fft.size(spec->bluesteinFft, &fftBytes);
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

    const spComplexVecKernels& vec = spComplexVecOf(spec->column);
    const spColumnFft& fft = spColumnFftOf(spec->column);
    vec.mul(spec->chirp, src, conv, len);
    if (n < m)
        vec.zero(conv + n, static_cast<int>(m - n));
    spStatus status = fft.forward(conv, conv, spec->bluesteinFft, fftWork);
    if (status != spStsNoErr)
        return status;
    vec.mul(spec->chirpSpectrum, conv, conv, static_cast<int>(m));
    status = fft.inverse(conv, conv, spec->bluesteinFft, fftWork);
    if (status != spStsNoErr)
        return status;
    vec.mul(spec->chirp, conv, dst, len);

    // The inverse DFT is the forward one read backwards: y_inv[j] = y_fwd[(N - j) mod N].
    if (direction < 0)
        for (std::ptrdiff_t i = 1; i < n - i; ++i)
            std::swap(dst[i], dst[n - i]);
    return spStsNoErr;
}
