// The element loop and the row and combine kernels on their own: element counts, the choice
// of loop, the channel distance, and the order of the grouped and the remaining elements.
// Every kernel's results inside the filters, in both loops, are checked against the reference.
#include <gtest/gtest.h>

#include <vector>

#include "FilterTestSupport.h"
#include "sp/filters/spElementLoops.h"
#include "sp/filters/spRowKernels.h"

namespace {

constexpr float kUntouched = -7.25f;

// The row kernels that take a channel distance c.
const struct RowKernel {
    const char* name;
    void (*run)(const float* src, float* dst, std::ptrdiff_t n, std::ptrdiff_t c);
} kRowKernels[] = {
    {"RowSum121", spRowSum121},
    {"RowSum111", spRowSum111},
    {"RowDiff", [](const float* src, float* d, Index n, Index c) { spRowDiff(src, d, n, 2 * c); }},
};

std::vector<float> RandomRow(Index length, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> value(-50.0f, 50.0f);
    std::vector<float> row;
    for (Index i = 0; i < length; ++i)
        row.push_back(value(rng));
    return row;
}

TEST(SpElementLoops, WriteExactlyNElementsAndNothingForNBelowOne)
{
    // Every kernel runs its formulas through this loop, in whole groups of four and eight
    // and one element at a time; float and double destinations.
    const std::vector<float> a = RandomRow(16, 1), b = RandomRow(16, 2);
    ForEachLoopKind([&](const char* loops) {
        for (Index n = -2; n <= 13; ++n) {
            std::vector<float> out(16, kUntouched);
            std::vector<double> wide(16, kUntouched);
            spMapElements(
                out.data(), n, [](const auto& x, const auto& y) SP_FORMULA { return x - y; },
                a.data(), b.data());
            spMapElements(wide.data(), n, [](const auto& x) SP_FORMULA { return x; }, a.data());
            for (Index i = 0; i < 16; ++i) {
                const auto k = static_cast<std::size_t>(i);
                EXPECT_EQ(out[k], i < n ? static_cast<float>(double{a[k]} - b[k]) : kUntouched)
                    << "n=" << n << " i=" << i << " " << loops;
                EXPECT_EQ(wide[k], i < n ? a[k] : kUntouched)
                    << "n=" << n << " i=" << i << " " << loops;
            }
        }
    });
}

TEST(SpRowKernels, PlainLoopsOnRequestAvx2WhereAvailable)
{
    __builtin_cpu_init();
    const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    EXPECT_EQ(spUseAvx2Loops(), avx2);
    spDebugUsePlainLoops(true);
    EXPECT_FALSE(spUseAvx2Loops());
    spDebugUsePlainLoops(false);
    EXPECT_EQ(spUseAvx2Loops(), avx2);
}

TEST(SpRowKernels, ChannelDistanceTakesNeighboursOfTheSameChannel)
{
    // Two interleaved channels filtered with c = 2 equal each channel filtered with c = 1.
    const std::vector<float> row = RandomRow(40, 3);
    std::vector<float> channels[2];
    for (std::size_t i = 0; i < row.size(); ++i)
        channels[i % 2].push_back(row[i]);
    ForEachLoopKind([&](const char* loops) {
        for (const RowKernel& k : kRowKernels) {
            std::vector<float> both(30), alone(15);
            k.run(row.data(), both.data(), 30, 2);
            for (std::size_t channel = 0; channel < 2; ++channel) {
                k.run(channels[channel].data(), alone.data(), 15, 1);
                for (std::size_t i = 0; i < 15; ++i)
                    EXPECT_TRUE(SameFloat(both[2 * i + channel], alone[i]))
                        << k.name << " channel " << channel << " element " << i << " " << loops;
            }
        }
    });
}

TEST(SpRowKernels, GroupsOfFourThenTheRemainingElements)
{
    // Three values whose two orders of the 1-2-1 column sum round differently.
    const double a = 0x1.450aa2p+29f, b = -0x1.57c1bap-25f, c = 0x1.b5dfc4p+27f;
    const double grouped = (a + c) + (b + b), tail = ((a + c) + b) + b;
    ASSERT_NE(static_cast<float>(grouped), static_cast<float>(tail));
    const std::vector<float> r0(9, static_cast<float>(a)), r1(9, static_cast<float>(b)),
        r2(9, static_cast<float>(c));
    ForEachLoopKind([&](const char* loops) {
        for (Index n = 1; n <= 9; ++n)
            for (const auto& [combine, scale] : {std::pair{&spColumn121, 1.0},
                                                 std::pair{&spGauss3x3Combine, 0.0625}}) {
                std::vector<float> out(9, kUntouched);
                combine(r0.data(), r1.data(), r2.data(), out.data(), n);
                for (Index i = 0; i < n; ++i)
                    EXPECT_EQ(out[static_cast<std::size_t>(i)],
                              static_cast<float>((i < n - n % 4 ? grouped : tail) * scale))
                        << n << " " << i << " scale " << scale << " " << loops;
            }
    });
}

} // namespace
