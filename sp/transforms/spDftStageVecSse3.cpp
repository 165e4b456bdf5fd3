// Column 3's radix-3 and radix-5 stages on two interleaved rows per step: SSE3's loads that
// duplicate the even or the odd lanes spread the two rows' twiddles, where columns 2 and 4
// load and shuffle. The products and sums are the same, so are the results.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <pmmintrin.h>

#include "sp/transforms/spDftStageVec.h"

// Only the kernels' own bodies (internal linkage) are compiled for the wider instruction set.
#pragma GCC target("sse3")

#include "sp/transforms/spDftStageVecImpl.h"

namespace {

struct spDuplicatingPrep {
    template <bool Inverse>
    static spPairTw Prepare(const float* w)
    {
        return spSignPairTw<Inverse>(_mm_moveldup_ps(_mm_load_ps(w)), _mm_movehdup_ps(_mm_load_ps(w)));
    }
};

} // namespace

template <int Radix, bool Inverse>
void spVecPairStageDuplicating(const float* src, float* dst, std::ptrdiff_t span, std::ptrdiff_t count,
                               const float* twiddles)
{
    spPairStageRun<spDuplicatingPrep, Radix, Inverse>(src, dst, span, count, twiddles);
}

template void spVecPairStageDuplicating<3, false>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*);
template void spVecPairStageDuplicating<3, true>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*);
template void spVecPairStageDuplicating<5, false>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*);
template void spVecPairStageDuplicating<5, true>(const float*, float*, std::ptrdiff_t, std::ptrdiff_t, const float*);
