// The element types of the processor columns' kernels and what each kernel needs of them:
// the source and destination elements, the element of the three-row sums (16-bit for 8-bit
// samples; 16-bit samples enter with their sign bit flipped, as sample + 32768, so their
// 32-bit sums stay unsigned), of the row differences and of the 5x5 profiles, the widening of
// a sample and the saturation of a result.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <type_traits>

// Element type codes of the kernel tables.
enum spKernelType : int {
    spKtU8 = 0,   // 8-bit unsigned in and out
    spKtS16 = 1,  // 16-bit signed in and out
    spKtF32 = 2,  // 32-bit float in and out
    spKtU8S16 = 3, // 8-bit unsigned in, 16-bit signed out
    spKtS8S16 = 4, // 8-bit signed in, 16-bit signed out
};

template <class SrcT, class DstT, class SumT, class DiffT, class AccT, std::int32_t Bias>
struct spElementTraits {
    using Src = SrcT;
    using Dst = DstT;
    using Sum = SumT;   // three- and five-row sums
    using Diff = DiffT; // differences of two rows
    using Acc = AccT;   // what a result is formed in
    static constexpr bool kFloat = std::is_floating_point_v<Src>;
    // A sample as it enters a sum: 16-bit samples offset by 32768.
    static constexpr std::int32_t kBias = Bias;

    static Sum Widen(Src x) { return static_cast<Sum>(static_cast<Acc>(x) + Bias); }
    static Acc Value(Src x) { return static_cast<Acc>(x); }
    // A sum of `terms` widened samples as its true value.
    static Acc Unbiased(Sum s, int terms) { return static_cast<Acc>(s) - Bias * terms; }
    // The result stored into a destination element: integers saturate to its range.
    static Dst Saturate(Acc v)
    {
        if constexpr (kFloat) {
            return v;
        } else {
            constexpr Acc lo = std::numeric_limits<Dst>::min(), hi = std::numeric_limits<Dst>::max();
            return static_cast<Dst>(std::clamp<Acc>(v, lo, hi));
        }
    }
};

using spU8 = spElementTraits<std::uint8_t, std::uint8_t, std::uint16_t, std::int16_t, std::int32_t, 0>;
using spS16 =
    spElementTraits<std::int16_t, std::int16_t, std::uint32_t, std::int32_t, std::int32_t, 32768>;
using spF32 = spElementTraits<float, float, float, float, float, 0>;
using spU8S16 =
    spElementTraits<std::uint8_t, std::int16_t, std::uint16_t, std::int16_t, std::int32_t, 0>;
using spS8S16 =
    spElementTraits<std::int8_t, std::int16_t, std::int16_t, std::int16_t, std::int32_t, 0>;

// The profiles of the 5x5 Gauss and Laplace row passes: 16-bit for 8-bit samples (unsigned
// for the Gauss centre profile, which reaches 255 x 255), 32-bit for 16-bit samples.
template <class E, bool Gauss>
using spProfile = std::conditional_t<
    E::kFloat, float,
    std::conditional_t<sizeof(typename E::Src) == 2, std::int32_t,
                       std::conditional_t<Gauss, std::uint16_t, std::int16_t>>>;

// Bytes of one source element of a type code.
inline int spElementBytes(int type)
{
    return type == spKtS16 ? 2 : type == spKtF32 ? 4 : 1;
}
