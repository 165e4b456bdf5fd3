#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "sp/sp.h"

namespace {

TEST(SpMemory, RequestsBelowOneOrBeyondAnyObjectGiveNull)
{
    const long live = spDebugLiveBlocks();
    EXPECT_EQ(spMalloc(0), nullptr);
    EXPECT_EQ(spMalloc(-1), nullptr);
    EXPECT_EQ(spMallocFloat(-5), nullptr);
    EXPECT_EQ(spMallocSize(0), nullptr);
    EXPECT_EQ(spMallocSize(SIZE_MAX), nullptr);
    EXPECT_EQ(spMallocSize(static_cast<std::size_t>(PTRDIFF_MAX) + 1), nullptr);
    EXPECT_EQ(spDebugLiveBlocks(), live);
}

TEST(SpMemory, BlocksAreAlignedAndWritable)
{
    for (int n : {1, 3, 31, 32, 33, 4096, 100000}) {
        auto* p = static_cast<unsigned char*>(spMalloc(n));
        ASSERT_NE(p, nullptr) << n;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 32, 0u) << n;
        std::memset(p, 0xAB, static_cast<size_t>(n));
        spFree(p);
    }
    float* f = spMallocFloat(7);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(f) % 32, 0u);
    spFree(f);
    spFree(nullptr);
}

TEST(SpMemory, FloatCountsAreSizedInFullWidth)
{
    // 2^29 floats are 2 GiB, a byte count beyond signed 32-bit arithmetic.
    float* f = spMallocFloat(1 << 29);
    if (f == nullptr)
        GTEST_SKIP() << "no 2 GiB of address space for the block";
    f[0] = 1.0f;
    f[(1 << 29) - 1] = 2.0f;
    EXPECT_EQ(f[(1 << 29) - 1], 2.0f);
    spFree(f);
}

TEST(SpMemory, InjectedFailureHitsTheCountedAllocation)
{
    long live = spDebugLiveBlocks();
    spDebugFailAllocationsAfter(2);
    void* a = spMalloc(8);
    void* b = spMalloc(8);
    void* c = spMalloc(8);
    spDebugFailAllocationsAfter(-1);
    EXPECT_NE(a, nullptr);
    EXPECT_NE(b, nullptr);
    EXPECT_EQ(c, nullptr);
    spFree(a);
    spFree(b);
    EXPECT_EQ(spDebugLiveBlocks(), live);
}

TEST(SpMemory, ZeroChecksPointerBeforeLength)
{
    unsigned char buf[40];
    std::memset(buf, 0xFF, sizeof buf);
    EXPECT_EQ(spZero(nullptr, 10), spStsNullPtrErr);
    EXPECT_EQ(spZero(nullptr, 0), spStsNullPtrErr);
    EXPECT_EQ(spZero(buf, 0), spStsSizeErr);
    EXPECT_EQ(buf[0], 0xFF);
    EXPECT_EQ(spZero(buf + 3, 37), spStsNoErr);
    EXPECT_EQ(buf[2], 0xFF);
    for (int i = 3; i < 40; ++i)
        EXPECT_EQ(buf[i], 0) << i;
}

} // namespace
