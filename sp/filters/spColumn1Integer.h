// The forms of column 1's integer kernels: 64-bit vectors, as MMX code writes them. An output
// row goes out 8 bytes per pass (8 results of 8 bits or 4 of 16 bits) with a streaming 8-byte
// store; the last partial pass in pieces of 4, 2 and 1 bytes. Rows whose fourth element of
// every pixel is kept go out 8 bytes per pass as well, by a byte-masked store that leaves
// those elements unwritten, by a read-merge-write of 8 bytes, or element by element, as each
// kernel does it. Rows of sums and differences take 8 source bytes per pass into ordinary
// 8-byte stores. Every lane is computed exactly once from its own elements, so no pass reads
// past its row.
//
// The kernels leave the 64-bit vector state in use; their worker clears it at the end
// (spKernelExit).
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace spColumn1Detail {

// How a row whose fourth element of every pixel is kept is written.
enum class Alpha {
    Masked, // byte-masked streaming store; a last 8-bit pixel as a 2-byte and a 1-byte store
    Merged, // read, merge, ordinary store; a last 8-bit pixel merged as 4 bytes
    Pieces, // the three elements of a pixel one by one
};

template <class T>
inline void PutElement(unsigned char* at, T v)
{
    std::memcpy(at, &v, sizeof v);
}

template <class T>
inline T GetElement(const void* p, std::ptrdiff_t k)
{
    T v;
    std::memcpy(&v, static_cast<const unsigned char*>(p) + k * static_cast<std::ptrdiff_t>(sizeof(T)), sizeof v);
    return v;
}

inline __m64 Bits(std::uint64_t v)
{
    return _mm_cvtsi64_m64(static_cast<long long>(v));
}

// The first `bytes` (1 to 7) bytes of v at `at`: 4-, 2- and 1-byte pieces.
inline void PutBytes(unsigned char* at, std::uint64_t v, int bytes)
{
    for (int piece = 4; piece >= 1; piece /= 2)
        if (bytes >= piece) {
            std::memcpy(at, &v, static_cast<std::size_t>(piece));
            at += piece;
            v >>= 8 * piece;
            bytes -= piece;
        }
}

} // namespace spColumn1Detail

// dst[k] = lane(k) for k < n, results of type D.
template <class D, class Lane>
void spColumn1IntRow(void* dst, std::ptrdiff_t n, const Lane& lane)
{
    using namespace spColumn1Detail;
    constexpr std::ptrdiff_t L = 8 / sizeof(D);
    auto* out = static_cast<unsigned char*>(dst);
    std::ptrdiff_t k = 0;
    for (; n - k >= L; k += L) {
        D v[L];
        for (std::ptrdiff_t j = 0; j < L; ++j)
            v[j] = lane(k + j);
        std::uint64_t bits;
        std::memcpy(&bits, v, 8);
        _mm_stream_pi(reinterpret_cast<__m64*>(out + k * static_cast<std::ptrdiff_t>(sizeof(D))), Bits(bits));
    }
    if (k < n) {
        D v[L] = {};
        for (std::ptrdiff_t j = 0; k + j < n; ++j)
            v[j] = lane(k + j);
        std::uint64_t bits;
        std::memcpy(&bits, v, 8);
        PutBytes(out + k * static_cast<std::ptrdiff_t>(sizeof(D)), bits, static_cast<int>((n - k) * sizeof(D)));
    }
}

// The same for pixels of four elements whose fourth is kept (n a multiple of 4).
template <class D, spColumn1Detail::Alpha How, class Lane>
void spColumn1IntPixels(void* dst, std::ptrdiff_t n, const Lane& lane)
{
    using namespace spColumn1Detail;
    constexpr std::ptrdiff_t L = 8 / sizeof(D);
    constexpr std::uint64_t keep = sizeof(D) == 1 ? 0xFF000000FF000000ull : 0xFFFF000000000000ull;
    auto* out = static_cast<unsigned char*>(dst);
    for (std::ptrdiff_t k = 0; k < n; k += L) {
        unsigned char* at = out + k * static_cast<std::ptrdiff_t>(sizeof(D));
        const std::ptrdiff_t count = n - k < L ? n - k : L; // a last 8-bit pixel alone
        D v[L] = {};
        for (std::ptrdiff_t j = 0; j < count; ++j)
            if (j % 4 != 3)
                v[j] = lane(k + j);
        std::uint64_t bits;
        std::memcpy(&bits, v, 8);
        if constexpr (How == Alpha::Pieces) {
            for (std::ptrdiff_t j = 0; j < count; ++j)
                if (j % 4 != 3)
                    PutElement(at + j * static_cast<std::ptrdiff_t>(sizeof(D)), v[j]);
        } else if (count < L) {
            // One 8-bit pixel.
            if constexpr (How == Alpha::Masked) {
                PutBytes(at, bits, 2);
                PutBytes(at + 2, bits >> 16, 1);
            } else {
                std::uint32_t old;
                std::memcpy(&old, at, 4);
                const auto merged = static_cast<std::uint32_t>((old & 0xFF000000u) | (bits & 0x00FFFFFFu));
                std::memcpy(at, &merged, 4);
            }
        } else if constexpr (How == Alpha::Masked) {
            _mm_maskmove_si64(Bits(bits), Bits(~keep), reinterpret_cast<char*>(at));
        } else {
            std::uint64_t old;
            std::memcpy(&old, at, 8);
            const std::uint64_t merged = (old & keep) | (bits & ~keep);
            std::memcpy(at, &merged, 8);
        }
    }
}

// buf[i] = lane(i) for i < n, sums or differences of type S; `ahead` is the lowest source
// row, prefetched 64 bytes ahead once per pass.
template <class S, class Src, class Lane>
void spColumn1IntSums(void* buf, std::ptrdiff_t n, const Src* ahead, const Lane& lane)
{
    constexpr std::ptrdiff_t L = 8 / sizeof(Src); // 8 source bytes per pass
    auto* out = static_cast<S*>(buf);
    std::ptrdiff_t i = 0;
    for (; n - i >= L; i += L) {
        _mm_prefetch(reinterpret_cast<const char*>(ahead + i) + 64, _MM_HINT_T0);
        S v[L];
        for (std::ptrdiff_t j = 0; j < L; ++j)
            v[j] = lane(i + j);
        std::memcpy(out + i, v, sizeof v); // 8-byte stores
    }
    for (; i < n; ++i)
        out[i] = lane(i);
}

// Every element on its own, for the kernels that divide by an integer reciprocal.
template <class D, bool KeepAlpha, class Lane>
void spColumn1IntElements(void* dst, std::ptrdiff_t n, const Lane& lane)
{
    auto* out = static_cast<unsigned char*>(dst);
    for (std::ptrdiff_t k = 0; k < n; ++k)
        if (!KeepAlpha || k % 4 != 3)
            spColumn1Detail::PutElement<D>(out + k * static_cast<std::ptrdiff_t>(sizeof(D)), lane(k));
}

// An output row of E's results: all elements, or pixels with the fourth kept in the way `How`.
template <class E, bool KeepAlpha, spColumn1Detail::Alpha How, class Lane>
void spColumn1IntOutput(void* dst, std::ptrdiff_t n, const Lane& lane)
{
    using D = typename E::Dst;
    const auto saturated = [&](std::ptrdiff_t k) { return E::Saturate(lane(k)); };
    if constexpr (KeepAlpha)
        spColumn1IntPixels<D, How>(dst, n, saturated);
    else
        spColumn1IntRow<D>(dst, n, saturated);
}

// Buffer element i (a sum of `terms` samples) as its true value.
template <class E>
inline typename E::Acc spColumn1True(const void* buf, std::ptrdiff_t i, int terms)
{
    return E::Unbiased(static_cast<const typename E::Sum*>(buf)[i], terms);
}
