// The complex vector helpers: exact results, aliasing, counts, signed zeros and NaN bits; the
// variants of every column against column 0 over short lengths from every float boundary.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

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

// Random floats with `count` values from `offset` floats past a 16-byte boundary.
struct Floats {
    Floats(int count, int offset, unsigned seed) : storage(2 * static_cast<size_t>(count) + 16), offset(offset)
    {
        const Signal values = RandomSignal(static_cast<std::int64_t>(storage.size()), seed);
        for (size_t i = 0; i < storage.size(); ++i)
            storage[i] = values[i].re;
    }
    int Start() const { return static_cast<int>((16 - reinterpret_cast<std::uintptr_t>(storage.data()) % 16) % 16 / 4) + offset; }
    float* data() { return storage.data() + Start(); }
    spComplex* values() { return reinterpret_cast<spComplex*>(data()); }
    // True when every float but the first `floats` from data() equals that of `other`.
    bool OutsideEqual(const Floats& other, int floats) const
    {
        for (int i = 0; i < static_cast<int>(storage.size()); ++i)
            if ((i < Start() || i >= Start() + floats) && storage[static_cast<size_t>(i)] != other.storage[static_cast<size_t>(i)])
                return false;
        return true;
    }
    std::vector<float> storage;
    int offset;
};

class ComplexVecColumns : public ColumnTest {};
SP_COLUMN_SUITE(ComplexVecColumns);

TEST_P(ComplexVecColumns, ZeroFillWritesPositiveZerosOverExactlyTheCount)
{
    const auto zero = spComplexVecOf(GetParam()).zero;
    for (int n = 0; n <= 40; ++n)
        for (int offset = 0; offset < 4; ++offset) {
            Floats buffer(n, offset, 5);
            const Floats before = buffer;
            zero(buffer.values(), n);
            EXPECT_TRUE(buffer.OutsideEqual(before, 2 * n)) << n << " at " << offset;
            for (int i = 0; i < 2 * n; ++i)
                ASSERT_TRUE(buffer.data()[i] == 0.0f && !std::signbit(buffer.data()[i])) << n << " at " << offset;
        }
}

TEST_P(ComplexVecColumns, ScalingGivesColumnZerosBitsAndStopsAtTheCount)
{
    const auto scale = spComplexVecOf(GetParam()).scale;
    for (int count = -3; count <= 40; ++count)
        for (int offset = 0; offset < 4; ++offset) {
            Floats mine(std::max(count, 0), offset, 7);
            const Floats before = mine;
            std::vector<float> zero(before.storage.begin() + before.Start(), before.storage.end());
            spScaleComplex(0.3f, zero.data(), count);
            scale(0.3f, mine.data(), count);
            EXPECT_TRUE(std::equal(zero.begin(), zero.end(), mine.storage.begin() + mine.Start())) << count << " at " << offset;
            EXPECT_TRUE(mine.OutsideEqual(before, std::max(count, 0))) << count << " at " << offset;
        }
}

TEST_P(ComplexVecColumns, MultiplyAgreesWithColumnZeroAndMayAlias)
{
    // Lengths below and above the prefetching length and the length from which products
    // bypass the caches, destinations on and off the boundary that asks.
    const auto mul = spComplexVecOf(GetParam()).mul;
    std::vector<int> lengths;
    for (int n = 0; n <= 40; ++n)
        lengths.push_back(n);
    lengths.insert(lengths.end(), {515, 516, 517, 1031, (1 << 17) - 1, 1 << 17, (1 << 17) + 3});
    for (int n : lengths)
        for (int offset = 0; offset < 4; ++offset) {
            const std::string what = std::to_string(n) + " at " + std::to_string(offset);
            Floats a(n, offset, 11), b(n, 3 - offset, 12), d(n, offset, 13), exact(n, 0, 14);
            const Floats before = d;
            mul(a.values(), b.values(), d.values(), n);
            spComplexMul(a.values(), b.values(), exact.values(), n);
            const Signal got(d.values(), d.values() + n), want(exact.values(), exact.values() + n);
            EXPECT_TRUE(d.OutsideEqual(before, 2 * n)) << what;
            if (n == 0)
                continue;
            EXPECT_LE(RelativeRms(got, Scaled(want)), 2 * kEps) << what;
            // Into either factor: the same bits as into a vector of its own.
            Floats intoA(n, offset, 11), intoB(n, 3 - offset, 12);
            mul(intoA.values(), b.values(), intoA.values(), n);
            mul(a.values(), intoB.values(), intoB.values(), n);
            EXPECT_TRUE(SameBits(Signal(intoA.values(), intoA.values() + n), got)) << what;
            EXPECT_TRUE(SameBits(Signal(intoB.values(), intoB.values() + n), got)) << what;
        }
}

TEST(ComplexVec, ColumnZeroScaleMultipliesEveryFloatOnce)
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
