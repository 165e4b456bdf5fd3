// The library's aligned blocks, its counted failure injection and spZero.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>

#include "sp/sp.h"

TEST(SpMemory, BlocksAreAlignedWritableAndInvalidRequestsGiveNull)
{
    const long live = spDebugLiveBlocks();
    for (void* none : std::initializer_list<void*>{spMalloc(0), spMalloc(-1), spMallocFloat(-5), spMallocSize(0), spMallocSize(SIZE_MAX),
                       spMallocSize(static_cast<std::size_t>(PTRDIFF_MAX) + 1)})
        EXPECT_EQ(none, nullptr);
    EXPECT_EQ(spDebugLiveBlocks(), live);
    for (int n : {1, 33, 100000}) {
        auto* p = static_cast<unsigned char*>(spMalloc(n));
        ASSERT_NE(p, nullptr) << n;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 32, 0u) << n;
        std::memset(p, 0xAB, static_cast<size_t>(n));
        spFree(p);
    }
    spFree(nullptr);
    // 2^29 floats are 2 GiB, a byte count beyond signed 32-bit arithmetic.
    if (float* f = spMallocFloat(1 << 29)) {
        f[(1 << 29) - 1] = 2.0f;
        EXPECT_EQ(f[(1 << 29) - 1], 2.0f);
        spFree(f);
    }
    EXPECT_EQ(spDebugLiveBlocks(), live);
}

TEST(SpMemory, InjectedFailureHitsTheCountedAllocation)
{
    const long live = spDebugLiveBlocks();
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
    EXPECT_EQ(spZero(nullptr, 0), spStsNullPtrErr);
    EXPECT_EQ(spZero(buf, 0), spStsSizeErr);
    EXPECT_EQ(spZero(buf + 3, 37), spStsNoErr);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(buf[i], i < 3 ? 0xFF : 0) << i;
}

TEST(SpMemory, ZeroFillCountsStayWithinTheDispatchColumns)
{
    // A column outside 0 to 4 is no column: it counts nothing and reads -1.
    long before[spDispatchColumns];
    for (int c = 0; c < spDispatchColumns; ++c)
        before[c] = spDebugZeroFills(c);
    for (int outside : {-1, spDispatchColumns, spDispatchColumns + 1, INT_MIN, INT_MAX}) {
        spCountZeroFill(outside);
        EXPECT_EQ(spDebugZeroFills(outside), -1) << outside;
    }
    for (int c = 0; c < spDispatchColumns; ++c)
        EXPECT_EQ(spDebugZeroFills(c), before[c]) << c;
    unsigned char block[4];
    ASSERT_EQ(spZero(block, 4), spStsNoErr);
    EXPECT_EQ(spDebugZeroFills(0), before[0] + 1);
}
