// Every allocation of every init fails in turn: the init reports -9, leaves the caller's
// pointer alone and leaves nothing behind (ASan adds: frees nothing twice).
#include <gtest/gtest.h>

#include <functional>

#include "TransformTestSupport.h"

namespace {

// Runs `init` with the k-th allocation failing, k = 0, 1, ..., until an init succeeds
// without meeting the failure; returns how many allocations that init made.
int FailEachAllocation(const std::function<spStatus(void** out)>& init,
                       const std::function<void(void*)>& release, const char* what)
{
    void* const sentinel = reinterpret_cast<void*>(std::uintptr_t{0xBAD});
    for (int k = 0; k < 10000; ++k) {
        const long live = spDebugLiveBlocks();
        void* out = sentinel;
        spDebugFailAllocationsAfter(k);
        const spStatus status = init(&out);
        spDebugFailAllocationsAfter(-1);
        if (status == spStsNoErr) {
            release(out);
            EXPECT_EQ(spDebugLiveBlocks(), live) << what;
            return k;
        }
        EXPECT_EQ(status, spStsMemAllocErr) << what << ", allocation " << k;
        EXPECT_EQ(out, sentinel) << what << ", allocation " << k;
        EXPECT_EQ(spDebugLiveBlocks(), live) << what << ", allocation " << k;
    }
    ADD_FAILURE() << what << " never succeeded";
    return -1;
}

TEST(AllocationFailure, DftInits)
{
    // Every path: small, FFT of the core, of the block path and of a split level, direct,
    // mixed radix with shared and separate roots, Bluestein with and without an FFT buffer.
    for (int n : {1, 4, 8, 2048, 8192, 5, 149, 6, 98, 150, 1000, 2002, 4410, 22201, 151, 302, 4099}) {
        const int allocations = FailEachAllocation(
            [n](void** out) {
                return spDftInitAlloc(reinterpret_cast<spDftSpec**>(out), n, spDivBySqrtN, 0);
            },
            [](void* spec) { EXPECT_EQ(spDftFree(static_cast<spDftSpec*>(spec)), spStsNoErr); },
            ("DFT " + std::to_string(n)).c_str());
        EXPECT_GE(allocations, 1) << n;
    }
}

TEST(AllocationFailure, FftInits)
{
    for (int order : {0, 3, 4, 10, 11, 12, 13, 16, 19}) {
        FailEachAllocation(
            [order](void** out) {
                return spFftInitAlloc(reinterpret_cast<spFftSpec**>(out), order, spNoDivByAny, 0);
            },
            [](void* spec) { EXPECT_EQ(spFftFree(static_cast<spFftSpec*>(spec)), spStsNoErr); },
            ("FFT order " + std::to_string(order)).c_str());
    }
}

TEST(AllocationFailure, TwoDimensionalInits)
{
    for (auto [w, h] : {std::pair{3, 4}, std::pair{8, 8}, std::pair{151, 2}, std::pair{6, 98}}) {
        FailEachAllocation(
            [w = w, h = h](void** out) {
                return spDft2DInitAlloc(reinterpret_cast<spDft2DSpec**>(out), w, h, spNoDivByAny, 1);
            },
            [](void* spec) { EXPECT_EQ(spDft2DFree(static_cast<spDft2DSpec*>(spec)), spStsNoErr); },
            "2-D DFT");
    }
    for (auto [ox, oy] : {std::pair{3, 1}, std::pair{4, 4}, std::pair{13, 2}}) {
        FailEachAllocation(
            [ox = ox, oy = oy](void** out) {
                return spFft2DInitAlloc(reinterpret_cast<spFft2DSpec**>(out), ox, oy, spNoDivByAny, 1);
            },
            [](void* spec) { EXPECT_EQ(spFft2DFree(static_cast<spFft2DSpec*>(spec)), spStsNoErr); },
            "2-D FFT");
    }
}

} // namespace
