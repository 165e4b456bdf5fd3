// The complex vector helpers: exact results, aliasing, signed zeros and NaN bits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "TransformTestSupport.h"

namespace {

using namespace sptest;

spComplex ExpectedProduct(spComplex a, spComplex b)
{
    const double re = static_cast<double>(a.re) * b.re - static_cast<double>(a.im) * b.im;
    const double im = static_cast<double>(a.im) * b.re + static_cast<double>(a.re) * b.im;
    return {static_cast<float>(re), static_cast<float>(im)};
}

TEST(ComplexVec, MultiplyRoundsOnceAndMayAlias)
{
    const Signal a = RandomSignal(37, 1), b = RandomSignal(37, 2);
    Signal expected(37);
    for (size_t k = 0; k < 37; ++k)
        expected[k] = ExpectedProduct(a[k], b[k]);
    Signal d(37);
    spComplexMul(a.data(), b.data(), d.data(), 37);
    EXPECT_TRUE(SameBits(d, expected));
    Signal intoB = b;
    spComplexMul(a.data(), intoB.data(), intoB.data(), 37);
    EXPECT_TRUE(SameBits(intoB, expected));
    Signal intoA = a;
    spComplexMul(intoA.data(), b.data(), intoA.data(), 37);
    EXPECT_TRUE(SameBits(intoA, expected));
    const spComplex i{0, 1};
    spComplex r;
    spComplexMul(&i, &i, &r, 1);
    EXPECT_EQ(r.re, -1.0f);
    EXPECT_EQ(r.im, 0.0f);
    Signal untouched(2, spComplex{9, 9});
    spComplexMul(a.data(), b.data(), untouched.data(), 0);
    EXPECT_EQ(untouched[0].re, 9.0f);
}

TEST(ComplexVec, ZeroWritesExactlyTheCount)
{
    Signal d(5, spComplex{3, 3});
    spComplexZero(d.data(), 0);
    EXPECT_EQ(d[0].re, 3.0f);
    spComplexZero(d.data() + 1, 1);
    EXPECT_EQ(d[0].re, 3.0f);
    EXPECT_EQ(d[1].re, 0.0f);
    EXPECT_FALSE(std::signbit(d[1].im));
    EXPECT_EQ(d[2].re, 3.0f);
    spComplexZero(d.data(), 5);
    for (const auto& v : d)
        EXPECT_TRUE(v.re == 0.0f && v.im == 0.0f);
}

TEST(ComplexVec, ConjugateCopyFlipsOnlyTheImaginarySign)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Signal src = {{1.5f, 0.0f}, {-2.0f, -0.0f}, {nan, 3.0f}, {0.0f, nan}};
    Signal dst(4);
    spComplexConjCopy(src.data(), dst.data(), 4);
    EXPECT_TRUE(std::signbit(dst[0].im));
    EXPECT_FALSE(std::signbit(dst[1].im));
    EXPECT_EQ(std::memcmp(&dst[2].re, &src[2].re, 4), 0);
    EXPECT_EQ(dst[2].im, -3.0f);
    EXPECT_TRUE(std::isnan(dst[3].im));
    EXPECT_TRUE(std::signbit(dst[3].im));
    Signal inPlace = src;
    spComplexConjCopy(inPlace.data(), inPlace.data(), 4);
    EXPECT_TRUE(SameBits(inPlace, dst));
}

TEST(ComplexVec, ScaleMultipliesEveryFloatOnce)
{
    for (int count : {0, 1, 3, 4, 5, 9, 64}) {
        Signal data = RandomSignal(40, static_cast<unsigned>(count));
        const Signal before = data;
        spScaleComplex(0.3f, reinterpret_cast<float*>(data.data()), count);
        const float* a = reinterpret_cast<const float*>(before.data());
        const float* b = reinterpret_cast<const float*>(data.data());
        for (int i = 0; i < 80; ++i)
            ASSERT_EQ(b[i], i < count ? static_cast<float>(0.3f * static_cast<double>(a[i])) : a[i])
                << count << " " << i;
    }
    Signal data = RandomSignal(2, 1);
    const Signal before = data;
    spScaleComplex(2.0f, reinterpret_cast<float*>(data.data()), -3);
    EXPECT_TRUE(SameBits(data, before));
}

} // namespace
