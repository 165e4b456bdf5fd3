// The row and combine kernels on their own: element counts, the channel distance, and the
// order of the grouped and the remaining elements.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "FilterTestSupport.h"
#include "sp/filters/spElementLoops.h"
#include "sp/filters/spKernels5x5.h"
#include "sp/filters/spRowKernels.h"

namespace {

constexpr float kUntouched = -7.25f;
using Index = std::ptrdiff_t;

// A kernel over `inputs` rows; the 5x5 row kernel is given its row `lead` elements in, as
// it reads two elements to the left of element 0.
struct Kernel {
    const char* name;
    Index lead;
    std::function<void(const std::vector<const float*>&, float*, Index n, Index c)> run;
    int inputs;
};

std::vector<Kernel> Kernels()
{
    return {
        {"RowSum121", 0, [](auto& in, float* d, Index n, Index c) { spRowSum121(in[0], d, n, c); },
         1},
        {"RowSum111", 0, [](auto& in, float* d, Index n, Index c) { spRowSum111(in[0], d, n, c); },
         1},
        {"RowDiff", 0, [](auto& in, float* d, Index n, Index c) { spRowDiff(in[0], d, n, 2 * c); },
         1},
        {"Gauss3x3Combine", 0,
         [](auto& in, float* d, Index n, Index) { spGauss3x3Combine(in[0], in[1], in[2], d, n); },
         3},
        {"Column121", 0,
         [](auto& in, float* d, Index n, Index) { spColumn121(in[0], in[1], in[2], d, n); }, 3},
        {"Mean3x3Combine", 0,
         [](auto& in, float* d, Index n, Index) { spMean3x3Combine(in[0], in[1], in[2], d, n); },
         3},
        {"CentreMinusSum3x3", 0,
         [](auto& in, float* d, Index n, Index) {
             spCentreMinusSum3x3(in[0], in[1], in[2], in[3], d, n);
         },
         4},
        {"SharpenCombine", 0,
         [](auto& in, float* d, Index n, Index) {
             spSharpenCombine(in[0], in[1], in[2], in[3], d, n);
         },
         4},
        {"RowsDiff", 0, [](auto& in, float* d, Index n, Index) { spRowsDiff(in[0], in[1], d, n); },
         2},
        {"BoxRowSum5", 2,
         [](auto& in, float* d, Index n, Index) {
             std::vector<double> wide(static_cast<std::size_t>(std::max<Index>(n, 0) + 4));
             spWidenRow(in[0] - 2, wide.data(), std::max<Index>(n, 0) + 4);
             spBoxRowSum5(wide.data() + 2, d, n);
         },
         1},
        {"SumFiveRows", 0,
         [](auto& in, float* d, Index n, Index) {
             spSumFiveRows(in[0], in[1], in[2], in[3], in[4], d, n);
         },
         5},
        {"BoxMean5x5Row", 0,
         [](auto& in, float* d, Index n, Index) {
             spBoxMean5x5Row(in[0], in[1], in[2], in[3], in[4], d, n);
         },
         5},
        {"Hipass5x5Row", 0,
         [](auto& in, float* d, Index n, Index) {
             spHipass5x5Row(in[0], in[1], in[2], in[3], in[4], in[5], d, n);
         },
         6},
    };
}

// Runs a kernel over n elements of random inputs; answers the output with 3 guard elements
// after it.
std::vector<float> RunKernel(const Kernel& k, Index n, Index c,
                             const std::vector<std::vector<float>>& inputs)
{
    std::vector<const float*> ptrs;
    for (const auto& in : inputs)
        ptrs.push_back(in.data() + k.lead);
    std::vector<float> out(static_cast<std::size_t>(std::max<Index>(n, 0) + 3), kUntouched);
    k.run(ptrs, out.data(), n, c);
    return out;
}

std::vector<std::vector<float>> RandomInputs(int count, Index length, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> value(-50.0f, 50.0f);
    std::vector<std::vector<float>> inputs(static_cast<std::size_t>(count));
    for (auto& in : inputs) {
        in.resize(static_cast<std::size_t>(length));
        for (float& v : in)
            v = value(rng);
    }
    return inputs;
}

TEST(SpRowKernels, WriteExactlyNElementsAndNothingForNBelowOne)
{
    ForEachLoopKind([](const char* loops) {
        for (const Kernel& k : Kernels())
            for (Index n = -2; n <= 13; ++n) {
                const auto inputs = RandomInputs(k.inputs, 32, static_cast<unsigned>(n + 10));
                const std::vector<float> out = RunKernel(k, n, 1, inputs);
                for (std::size_t i = 0; i < out.size(); ++i) {
                    const bool written = static_cast<Index>(i) < n;
                    EXPECT_EQ(out[i] == kUntouched, !written)
                        << k.name << " n=" << n << " i=" << i << " " << loops;
                }
            }
    });
}

TEST(SpRowKernels, BothLoopsGiveTheSameBits)
{
    for (const Kernel& k : Kernels())
        for (Index n : {1, 3, 4, 5, 8, 11, 26}) {
            const auto inputs = RandomInputs(k.inputs, 32, static_cast<unsigned>(n));
            std::vector<float> results[2];
            int pass = 0;
            ForEachLoopKind([&](const char*) { results[pass++] = RunKernel(k, n, 1, inputs); });
            EXPECT_EQ(FirstDifference(results[0], results[1]), -1) << k.name << " n=" << n;
        }
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
    ForEachLoopKind([](const char* loops) {
        for (const Kernel& k : Kernels()) {
            if (k.inputs != 1 || k.lead != 0)
                continue;
            const auto inputs = RandomInputs(1, 40, 3);
            const Index n = 30;
            const std::vector<float> both = RunKernel(k, n, 2, inputs);
            for (Index channel = 0; channel < 2; ++channel) {
                std::vector<std::vector<float>> single(1);
                for (Index i = channel; i < 40; i += 2)
                    single[0].push_back(inputs[0][static_cast<std::size_t>(i)]);
                const std::vector<float> alone = RunKernel(k, n / 2, 1, single);
                for (Index i = 0; i < n / 2; ++i)
                    EXPECT_TRUE(SameFloat(both[static_cast<std::size_t>(2 * i + channel)],
                                          alone[static_cast<std::size_t>(i)]))
                        << k.name << " channel " << channel << " element " << i << " " << loops;
            }
        }
    });
}

TEST(SpRowKernels, GroupsOfFourThenTheRemainingElements)
{
    const float a = 0x1.450aa2p+29f, b = -0x1.57c1bap-25f, c = 0x1.b5dfc4p+27f;
    const double da = a, db = b, dc = c;
    const float grouped = static_cast<float>((da + dc) + (db + db));
    const float tail = static_cast<float>(((da + dc) + db) + db);
    ASSERT_NE(grouped, tail);
    ForEachLoopKind([&](const char* loops) {
        for (Index n = 1; n <= 9; ++n) {
            const std::vector<float> r0(9, a), r1(9, b), r2(9, c);
            std::vector<float> col(9, kUntouched), gauss(9, kUntouched);
            spColumn121(r0.data(), r1.data(), r2.data(), col.data(), n);
            spGauss3x3Combine(r0.data(), r1.data(), r2.data(), gauss.data(), n);
            for (Index i = 0; i < n; ++i) {
                const bool inGroup = i < n - n % 4;
                EXPECT_EQ(col[static_cast<std::size_t>(i)], inGroup ? grouped : tail)
                    << n << " " << i << " " << loops;
                EXPECT_EQ(gauss[static_cast<std::size_t>(i)],
                          static_cast<float>(
                              (inGroup ? (da + dc) + (db + db) : ((da + dc) + db) + db) * 0.0625))
                    << n << " " << i << " " << loops;
            }
        }
    });
}

} // namespace
