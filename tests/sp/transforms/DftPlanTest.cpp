// 1-D DFT plans: the method by length, the factorisation, work sizes, statuses in their
// order, and lengths whose counts the record cannot hold.
#include <vector>

#include "TransformTestSupport.h"
#include "sp/transforms/spDftPlan.h"

namespace {

using namespace sptest;

class DftPlanStatus : public ColumnTest {};
SP_COLUMN_SUITE(DftPlanStatus);

enum class Method { Small, Fft, MixedRadix, Bluestein, Direct };

Method MethodOf(const spDftSpec* spec)
{
    if (spec->len <= 4)
        return Method::Small;
    if (spec->useFft != 0)
        return Method::Fft;
    if (spec->useMixedRadix != 0)
        return Method::MixedRadix;
    return spec->bluesteinLen != 0 ? Method::Bluestein : Method::Direct;
}

TEST(DftPlan, MethodAndWorkBytesByLength)
{
    // Bytes -1: not checked here (Bluestein's sizes are in its own test).
    struct Case {
        int n;
        Method method;
        int bytes;
    };
    for (const Case& c : {Case{1, Method::Small, 0}, Case{4, Method::Small, 0}, Case{8, Method::Fft, 0},
                          Case{1024, Method::Fft, 0}, Case{8192, Method::Fft, 1040},
                          Case{6, Method::MixedRadix, 64}, Case{148, Method::MixedRadix, 1496},
                          Case{150, Method::MixedRadix, 1216}, Case{22201, Method::MixedRadix, -1},
                          Case{5, Method::Direct, 56}, Case{149, Method::Direct, 1208},
                          Case{151, Method::Bluestein, -1}, Case{302, Method::Bluestein, -1},
                          Case{453, Method::Bluestein, -1}, Case{22801, Method::Bluestein, -1}}) {
        DftPlan plan(c.n, spNoDivByAny);
        ASSERT_NE(plan.spec, nullptr);
        EXPECT_EQ(plan.spec->id, 13);
        EXPECT_EQ(plan.spec->len, c.n);
        EXPECT_EQ(MethodOf(plan.spec), c.method) << c.n;
        int bytes = -1;
        EXPECT_EQ(spDftGetBufSize(plan.spec, &bytes), spStsNoErr);
        if (c.bytes >= 0) {
            EXPECT_EQ(bytes, c.bytes) << c.n;
        }
    }
    // Every odd prime from 5 to 149 takes the direct sums, every length up to 150 that is not
    // such a prime (and above 4) a factorised or power-of-two path.
    for (int n = 5; n <= 150; ++n) {
        bool prime = true;
        for (int d = 2; d * d <= n; ++d)
            prime = prime && n % d != 0;
        DftPlan plan(n, spNoDivByAny);
        EXPECT_EQ(MethodOf(plan.spec) == Method::Direct, prime) << n;
    }
}

TEST(DftPlan, FactorisationExamples)
{
    struct Case {
        int n;
        std::vector<int> radices;
    };
    for (const Case& c : {Case{6, {2, 3}}, Case{9, {3, 3}}, Case{12, {4, 3}}, Case{24, {2, 4, 3}},
                          Case{36, {4, 3, 3}}, Case{98, {2, 7, 7}}, Case{148, {4, 37}},
                          Case{298, {2, 149}}, Case{1000, {2, 4, 5, 5, 5}}, Case{150, {2, 3, 5, 5}},
                          Case{1536, {2, 4, 4, 4, 4, 3}}, Case{374, {2, 11, 17}},
                          Case{22201, {149, 149}}, Case{4410, {2, 3, 3, 5, 7, 7}}}) {
        DftPlan plan(c.n, spNoDivByAny);
        ASSERT_EQ(plan.spec->useMixedRadix, 1) << c.n;
        std::vector<int> radices;
        for (int i = 0; i <= plan.spec->stagesMinus2 + 1; ++i)
            radices.push_back(plan.spec->stages[i].radix);
        EXPECT_EQ(radices, c.radices) << c.n;
    }
    spDftSpec scratch{};
    for (int n : {5, 149, 151, 302, 453, 22801, 2 * 151 * 151})
        EXPECT_FALSE(spDftFactorize(&scratch, n)) << n;
}

TEST_P(DftPlanStatus, InitInTheirOrder)
{
    spDftSpec* const sentinel = reinterpret_cast<spDftSpec*>(std::uintptr_t{0x1234});
    spDftSpec* spec = sentinel;
    const long live = spDebugLiveBlocks();
    EXPECT_EQ(spDftInitAlloc(nullptr, 0, static_cast<spScaleFlag>(3), 0), spStsNullPtrErr);
    EXPECT_EQ(spDftInitAlloc(&spec, 0, static_cast<spScaleFlag>(3), 0), spStsSizeErr);
    EXPECT_EQ(spDftInitAlloc(&spec, -5, spNoDivByAny, 0), spStsSizeErr);
    for (int flag : {0, 3, 16, -1})
        for (int n : {1, 5, 6, 8, 151})
            EXPECT_EQ(spDftInitAlloc(&spec, n, static_cast<spScaleFlag>(flag), 0), spStsFftFlagErr) << n;
    // The record's allocation comes before the flag check.
    spDebugFailAllocationsAfter(0);
    EXPECT_EQ(spDftInitAlloc(&spec, 6, static_cast<spScaleFlag>(3), 0), spStsMemAllocErr);
    spDebugFailAllocationsAfter(-1);
    EXPECT_EQ(spec, sentinel);
    EXPECT_EQ(spDebugLiveBlocks(), live);
}

TEST_P(DftPlanStatus, FreeAndSizeQuery)
{
    DftPlan plan(6, spNoDivByAny);
    FftPlan other(3, spNoDivByAny);
    ExpectFreeAndSizeStatuses(spDftFree, spDftGetBufSize, plan.spec, other.spec);
}

TEST_P(DftPlanStatus, LengthsBeyondTheRecordGiveNoMemory)
{
    // 2^28 - 1 factorises (3 5 29 43 113 127) but its work size passes 2^31; 2^29 + 1 and the
    // largest 32-bit length need twiddle tables beyond 2^31 bytes; 2^27 + 1 needs a Bluestein
    // FFT of 2^28 points. None of them allocates anything.
    const long live = spDebugLiveBlocks();
    for (int n : {(1 << 28) - 1, (1 << 29) + 1, 2147483647, (1 << 27) + 1}) {
        spDftSpec* spec = nullptr;
        EXPECT_EQ(spDftInitAlloc(&spec, n, spNoDivByAny, 0), spStsMemAllocErr) << n;
        EXPECT_EQ(spec, nullptr);
        EXPECT_EQ(spDebugLiveBlocks(), live);
    }
}

} // namespace
