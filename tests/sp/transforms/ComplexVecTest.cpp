// The complex vector helpers: exact results, aliasing, counts, signed zeros and NaN bits.
#include <cmath>
#include <cstring>
#include <limits>

#include "TransformTestSupport.h"
#include "sp/transforms/spComplexVec.h"

namespace {

using namespace sptest;

TEST(ComplexVec, MultiplyRoundsOnceAndMayAlias)
{
    const Signal a = RandomSignal(37, 1), b = RandomSignal(37, 2);
    Signal expected(38, spComplex{9, 9});
    for (size_t k = 0; k < 37; ++k) {
        const double re = static_cast<double>(a[k].re) * b[k].re - static_cast<double>(a[k].im) * b[k].im;
        const double im = static_cast<double>(a[k].im) * b[k].re + static_cast<double>(a[k].re) * b[k].im;
        expected[k] = {static_cast<float>(re), static_cast<float>(im)};
    }
    Signal d(38, spComplex{9, 9}), intoA = a, intoB = b;
    spComplexMul(a.data(), b.data(), d.data(), 37);
    spComplexMul(a.data(), intoB.data(), intoB.data(), 37);
    spComplexMul(intoA.data(), b.data(), intoA.data(), 37);
    EXPECT_TRUE(SameBits(d, expected));
    expected.pop_back();
    EXPECT_TRUE(SameBits(intoA, expected));
    EXPECT_TRUE(SameBits(intoB, expected));
    const spComplex i{0, 1};
    spComplex r{9, 9};
    spComplexMul(&i, &i, &r, 1);
    EXPECT_TRUE(r.re == -1.0f && r.im == 0.0f);
    spComplexMul(&i, &i, &r, 0);
    EXPECT_EQ(r.re, -1.0f);
}

TEST(ComplexVec, ZeroWritesExactlyTheCount)
{
    Signal d(5, spComplex{3, 3});
    spComplexZero(d.data(), 0);
    spComplexZero(d.data() + 1, 2);
    EXPECT_TRUE(SameBits(d, Signal{{3, 3}, {0, 0}, {0, 0}, {3, 3}, {3, 3}})); // positive zeros
}

TEST(ComplexVec, ConjugateCopyFlipsOnlyTheImaginarySignInEveryColumn)
{
    // +0.0 turns into -0.0 (0 - x would keep it), NaNs keep their payload.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Signal src = {{1.5f, 0.0f}, {-2.0f, -0.0f}, {nan, 3.0f}, {0.0f, nan}, {4.0f, 0.0f}};
    Signal expected = src;
    for (auto& v : expected)
        v.im = std::copysign(v.im, std::signbit(v.im) ? 1.0f : -1.0f);
    for (int column = 0; column < spDispatchColumns; ++column) {
        const auto conj = spComplexVecOf(column).conjCopy;
        Signal dst(5), inPlace = src;
        conj(src.data(), dst.data(), 5);
        conj(inPlace.data(), inPlace.data(), 5);
        EXPECT_TRUE(SameBits(dst, expected)) << column;
        EXPECT_TRUE(SameBits(inPlace, expected)) << column;
    }
}

TEST(ComplexVec, SinglePrecisionMultiplyOfTheColumnsMayAlias)
{
    const Signal a = RandomSignal(37, 1), b = RandomSignal(37, 2);
    Signal exact(37);
    spComplexMul(a.data(), b.data(), exact.data(), 37);
    for (int column = 1; column < spDispatchColumns; ++column) {
        const auto mul = spComplexVecOf(column).mul;
        Signal d(38, spComplex{9, 9}), intoA = a, intoB = b;
        mul(a.data(), b.data(), d.data(), 37);
        mul(a.data(), intoB.data(), intoB.data(), 37);
        mul(intoA.data(), b.data(), intoA.data(), 37);
        EXPECT_EQ(d[37].re, 9.0f);
        d.pop_back();
        EXPECT_TRUE(SameBits(intoA, d) && SameBits(intoB, d)) << column;
        EXPECT_LE(RelativeRms(d, Scaled(exact)), 2 * kEps) << column;
    }
}

TEST(ComplexVec, ScaleMultipliesEveryFloatOnce)
{
    for (int count : {-3, 0, 1, 3, 4, 5, 9, 64}) {
        Signal data = RandomSignal(40, static_cast<unsigned>(count + 3));
        const Signal before = data;
        spScaleComplex(0.3f, reinterpret_cast<float*>(data.data()), count);
        const float* a = reinterpret_cast<const float*>(before.data());
        const float* b = reinterpret_cast<const float*>(data.data());
        for (int i = 0; i < 80; ++i)
            ASSERT_EQ(b[i], i < count ? static_cast<float>(0.3f * static_cast<double>(a[i])) : a[i])
                << count << " " << i;
    }
}

} // namespace
