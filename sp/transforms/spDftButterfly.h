// The short DFTs of the mixed-radix stages (2 to 5 points), written once over an arithmetic
// policy: column 0's and column 1's one complex value in double precision, and the packed
// single-precision forms of columns 2 to 4 (blocks of four values or interleaved pairs, in
// 128-bit or 256-bit vectors). The sums and products are the same in every form; only the
// precision of the policy differs. Internal linkage, as the packed kernels are compiled for
// several instruction sets.
#pragma once

// The rotation constants of radix 3 and 5 by their row in the packed kernels' constant table.
enum spVecRow : int {
    spRowC3,      // cos(2 pi / 3)
    spRowS3,      // -sin(2 pi / 3)
    spRowC5a,     // cos(2 pi / 5)
    spRowS5a,     // -sin(2 pi / 5)
    spRowC5b,     // cos(4 pi / 5)
    spRowS5b,     // -sin(4 pi / 5)
    spRowFlip13,  // negates lanes 1 and 3
    spRowFlip02,  // lanes 0 and 2
    spRowFlip03,  // lanes 0 and 3
    spRowFlip12,  // lanes 1 and 2
    spRowFlip23,  // lanes 2 and 3
    spRowKeep01,  // keeps lanes 0 and 1, clears 2 and 3 (loads of one value here clear them)
};

// The rotation constants' values, the rows spRowC3 to spRowS5b: every column's kernels take
// them from here, the double-precision ones widened exactly.
inline constexpr float spRadixRotations[spRowS5b + 1] = {-0.5f, -0.8660254f, 0.309017f, -0.95105654f, -0.809017f,
                                                         -0.58778524f};

namespace {

// p-point DFT on u[0 .. p-1], p = 2 .. 5. The policy V gives the value type `Blk`, the
// constants `Const(row)` (a scalar or a vector that multiplies a Blk) and the rotation
// `Rotate<Inverse>` by -i (forward) or +i (inverse).
template <class V, int Radix, bool Inverse>
inline void spRadixButterfly(typename V::Blk* u)
{
    using B = typename V::Blk;
    if constexpr (Radix == 2) {
        const B a = u[0], b = u[1];
        u[0] = a + b;
        u[1] = a - b;
    } else if constexpr (Radix == 3) {
        const B s = u[1] + u[2];
        const B a = u[0] + V::Const(spRowC3) * s;
        const B rot = V::template Rotate<Inverse>(V::Const(spRowS3) * (u[1] - u[2]));
        u[0] = u[0] + s;
        u[1] = a - rot;
        u[2] = a + rot;
    } else if constexpr (Radix == 4) {
        const B e = u[0] + u[2], f = u[0] - u[2], g = u[1] + u[3];
        const B rot = V::template Rotate<Inverse>(u[1] - u[3]);
        u[0] = e + g;
        u[2] = e - g;
        u[1] = f + rot;
        u[3] = f - rot;
    } else {
        static_assert(Radix == 5);
        const auto c1 = V::Const(spRowC5a), c2 = V::Const(spRowC5b);
        const auto s1 = V::Const(spRowS5a), s2 = V::Const(spRowS5b);
        const B sum1 = u[1] + u[4], dif1 = u[1] - u[4];
        const B sum2 = u[2] + u[3], dif2 = u[2] - u[3];
        const B a1 = (u[0] + c1 * sum1) + c2 * sum2;
        const B a2 = (u[0] + c2 * sum1) + c1 * sum2;
        const B b1 = V::template Rotate<Inverse>(s1 * dif1 + s2 * dif2);
        const B b2 = V::template Rotate<Inverse>(s2 * dif1 - s1 * dif2);
        u[0] = (u[0] + sum1) + sum2;
        u[1] = a1 - b1;
        u[4] = a1 + b1;
        u[2] = a2 - b2;
        u[3] = a2 + b2;
    }
}

} // namespace
