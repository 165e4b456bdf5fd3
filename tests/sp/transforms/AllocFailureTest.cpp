// Every allocation of every init fails in turn: the init reports -9, leaves the caller's
// pointer alone and leaves nothing behind (ASan adds: frees nothing twice).
#include <string>

#include "TransformTestSupport.h"

namespace {

using namespace sptest;

class AllocationFailure : public ColumnTest {};
SP_COLUMN_SUITE(AllocationFailure);

// Runs `init` with the k-th allocation failing, k = 0, 1, ..., until an init succeeds
// without meeting the failure; that one made at least one allocation and frees them all.
template <class Spec, class Init>
void FailEachAllocation(const std::string& what, Init init, spStatus (*free)(Spec*))
{
    Spec* const sentinel = reinterpret_cast<Spec*>(std::uintptr_t{0xBAD});
    for (int k = 0; k < 10000; ++k) {
        const long live = spDebugLiveBlocks();
        Spec* out = sentinel;
        spDebugFailAllocationsAfter(k);
        const spStatus status = init(&out);
        spDebugFailAllocationsAfter(-1);
        if (status == spStsNoErr) {
            EXPECT_GE(k, 1) << what;
            EXPECT_EQ(free(out), spStsNoErr) << what;
            EXPECT_EQ(spDebugLiveBlocks(), live) << what;
            return;
        }
        EXPECT_EQ(status, spStsMemAllocErr) << what << ", allocation " << k;
        EXPECT_EQ(out, sentinel) << what << ", allocation " << k;
        EXPECT_EQ(spDebugLiveBlocks(), live) << what << ", allocation " << k;
    }
    ADD_FAILURE() << what << " never succeeded";
}

TEST_P(AllocationFailure, DftInits)
{
    // Every path: small, FFT of the core, of the block path and of a split level, direct,
    // mixed radix with shared and separate roots, Bluestein with and without an FFT buffer.
    for (int n : {1, 4, 8, 2048, 8192, 5, 149, 6, 98, 150, 1000, 2002, 4410, 22201, 151, 302, 4099})
        FailEachAllocation(
            "DFT " + std::to_string(n),
            [n](spDftSpec** out) { return spDftInitAlloc(out, n, spDivBySqrtN, 0); }, spDftFree);
}

TEST_P(AllocationFailure, FftInits)
{
    for (int order : {0, 3, 4, 10, 11, 12, 13, 16, 19, 21})
        FailEachAllocation(
            "FFT order " + std::to_string(order),
            [order](spFftSpec** out) { return spFftInitAlloc(out, order, spNoDivByAny, 0); }, spFftFree);
}

TEST_P(AllocationFailure, TwoDimensionalInits)
{
    for (auto [w, h] : {std::pair{3, 4}, std::pair{8, 8}, std::pair{151, 2}, std::pair{6, 98}})
        FailEachAllocation(
            "2-D DFT " + std::to_string(w) + "x" + std::to_string(h),
            [w = w, h = h](spDft2DSpec** out) { return spDft2DInitAlloc(out, w, h, spNoDivByAny, 1); },
            spDft2DFree);
    for (auto [ox, oy] : {std::pair{3, 1}, std::pair{4, 4}, std::pair{13, 2}})
        FailEachAllocation(
            "2-D FFT " + std::to_string(ox) + ", " + std::to_string(oy),
            [ox = ox, oy = oy](spFft2DSpec** out) { return spFft2DInitAlloc(out, ox, oy, spNoDivByAny, 1); },
            spFft2DFree);
}

} // namespace
