// What distinguishes the four processor columns of the filters: the rounding of their
// row-buffer lengths, their allocator, their prefetching, how their integer kernels store
// their rows and sum 16-bit samples, and how each rounds an integer result of a division to
// the nearest integer (the columns use other instructions for it; all give the same values).
#pragma once

#include <immintrin.h>

#include <bit>
#include <cstdint>

#include "sp/core/spColumnCore.h"
#include "sp/core/spMemory.h"
#include "sp/filters/spVariantElements.h"

// The float constants of the processor columns.
inline constexpr float spVariantMean3 = 0x1.c71c72p-4f; // nearest to 1/9 (0x3DE38E39)
inline constexpr float spVariantMean5 = 0.04f;
inline constexpr float spVariantInv571 = 0x1.cb18a8p-10f; // nearest to 1/571
static_assert(std::bit_cast<std::uint32_t>(spVariantMean3) == 0x3DE38E39u);

// How an integer kernel writes its destination row: eight bytes per pass with streaming stores
// at any alignment (the 64-bit vector kernels that columns 3 and 4 run for one and three
// channels), sixteen bytes per pass with streaming stores where the row lies on 16 bytes and
// ordinary ones elsewhere, or sixteen bytes read, merged with every fourth element kept and
// written back with an ordinary store.
enum class spRowStores { Stream8, Stream16, Merge16 };

template <int C>
struct spColumnTraits {
    static_assert(C >= 1 && C <= 4);
    static constexpr int kColumn = C;
    // Buffer rows are rounded up to whole vectors of this many elements.
    static constexpr std::ptrdiff_t kPad = C == 1 ? 8 : 16;
    // Columns 2 to 4 convert integer Gauss 5x5 and 16-bit mean results through floating
    // point, so their workers run those under round-to-nearest; column 1 divides in integers.
    static constexpr bool kConvertsThroughFloat = C != 1;
    // Columns 3 and 4 prefetch the source rows their vertical kernels and float row passes are
    // about to read, column 2 does not (column 1's kernels choose their own prefetches).
    static constexpr bool kPrefetches = C >= 3;
    // The stores of an integer kernel with pixel pitch P; Narrow when its one- and
    // three-channel member is a 64-bit vector kernel in columns 3 and 4.
    template <int P, bool KeepAlpha, bool Narrow = true>
    static constexpr spRowStores kStores = KeepAlpha                         ? spRowStores::Merge16
                                           : C >= 3 && P != 4 && Narrow ? spRowStores::Stream8
                                                                        : spRowStores::Stream16;
    // The offset each 16-bit sample carries in a five-row sum: column 2 sums the samples
    // themselves, the others their offset form.
    template <class E>
    static constexpr std::int32_t kFiveRowBias = C == 2 ? 0 : E::kBias;

    static void* Allocate(int bytes) { return C == 3 ? spMallocPrefetch(bytes) : spMalloc(bytes); }

    // v / 2^K rounded to nearest, ties to even.
    template <int K>
    static std::int32_t RoundShift(std::int32_t v)
    {
        constexpr std::int32_t half = 1 << (K - 1);
        if constexpr (C == 2)
            return ((v + half) >> K) - ((v & (4 * half - 1)) == half ? 1 : 0);
        else
            return (v + half - 1 + ((v >> K) & 1)) >> K;
    }

    // The nearest integer to s / 9 and s / 25 of a true sum s (ties cannot occur).
    template <class E>
    static std::int32_t Div9(std::int32_t s)
    {
        return DivSmall<E>(s, 9, 5, 7281, 16, 477218588, spVariantMean3);
    }
    template <class E>
    static std::int32_t Div25(std::int32_t s)
    {
        return DivSmall<E>(s, 25, 13, 10485, 18, 171798691, spVariantMean5);
    }

    // The nearest integer to s / 571 (571 is odd: no ties).
    template <class E>
    static std::int32_t Div571(std::int32_t s)
    {
        // Column 1's kernels divide in integers, in its own files.
        static_assert(C != 1);
        if constexpr (sizeof(typename E::Src) == 1) {
            return _mm_cvtss_si32(_mm_set_ss(static_cast<float>(s) * spVariantInv571));
        } else {
            return _mm_cvtsd_si32(_mm_set_sd(static_cast<double>(s) * (1.0 / 571.0)));
        }
    }

private:
    template <class E>
    static std::int32_t DivSmall(std::int32_t s, std::int32_t d, std::int32_t add8,
                                 std::uint32_t mul8, int shift8, std::uint32_t mul16, float inv)
    {
        if constexpr (sizeof(typename E::Src) == 1) {
            return ((s + add8) * static_cast<std::int32_t>(mul8)) >> shift8;
        } else if constexpr (C == 2) {
            return _mm_cvtss_si32(_mm_set_ss(static_cast<float>(s) * inv));
        } else {
            // The multiply-high on the sum in offset form, whose quotient carries 32768.
            const auto biased = static_cast<std::uint64_t>(s + d * E::kBias + add8);
            return static_cast<std::int32_t>((biased * mul16) >> 32) - E::kBias;
        }
    }
};

