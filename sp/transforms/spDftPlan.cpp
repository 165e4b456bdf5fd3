#include "sp/transforms/spDftPlan.h"

#include <utility>

#include "sp/transforms/spColumns.h"
#include "sp/transforms/spDftBluestein.h"
#include "sp/transforms/spDftMixedRadix.h"
#include "sp/transforms/spDftTables.h"
#include "sp/transforms/spFftPlan.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

// True when every table and the work area of the chosen path fit the 32-bit byte counts;
// tested before anything is allocated, so lengths the record cannot describe cost nothing.
bool spDftPathFits(const spDftSpec* spec, std::int32_t len, bool mixedRadix)
{
    if (8 * std::int64_t{len} > spMaxBlockBytes)
        return false;
    if (mixedRadix)
        return spDftMixedRadixWorkBytes(spec, len) <= spMaxBlockBytes;
    if (len > spDftDirectMaxLen)
        return spDftBluesteinFits(len, spec->column);
    return true;
}

// Mixed radix, Bluestein or direct sums for a length above 4 that is not a power of two;
// mixed radix and direct sums build their tables from one twiddle table of N, freed here.
spStatus spDftInitOther(spDftSpec* spec, std::int32_t len)
{
    const bool mixedRadix = spDftFactorize(spec, len);
    if (mixedRadix && spColumnReordersFactors(spec->column))
        spDftReorderFactors(spec);
    if (!spDftPathFits(spec, len, mixedRadix))
        return spStsMemAllocErr;
    if (!mixedRadix && len > spDftDirectMaxLen)
        return spDftInitBluestein(spec, len);
    spBlockPtr<spComplex> tw(spDftInitTwiddles(len, spec->column));
    if (!tw)
        return spStsMemAllocErr;
    if (mixedRadix) {
        spec->useMixedRadix = 1;
        return spDftInitMixedRadix(spec, len, tw.get());
    }
    spec->directRoots = spDftInitRoots(len, tw.get(), len, spec->column);
    if (spec->directRoots == nullptr)
        return spStsMemAllocErr;
    spec->workBytes = 8 * len + 16;
    return spStsNoErr;
}

// Releases a plan whose creation failed.
spStatus spDftInitFailed(spDftSpec* spec, spStatus status)
{
    spDftRelease(spec);
    return status;
}

} // namespace

bool spDftFactorize(spDftSpec* spec, std::int32_t len)
{
    std::int32_t r = len;
    int count = 0;
    while (r % 4 == 0) {
        spec->stages[count++].radix = 4;
        r /= 4;
    }
    // A single factor 2 takes the first stage; the 4 it displaces goes behind the others.
    if (r % 2 == 0) {
        r /= 2;
        spec->stages[count++].radix = 4;
        spec->stages[0].radix = 2;
    }
    if (r >= 9) {
        std::int32_t d = 3;
        do {
            if (r % d == 0) {
                if (count >= spDftMaxStages - 1)
                    return false;
                spec->stages[count++].radix = d;
                r /= d;
            } else {
                d += 2;
                if (d > spDftDirectMaxLen)
                    return false;
            }
        } while (r >= d * d);
    }
    if (count == 0 || r > spDftDirectMaxLen)
        return false;
    spec->stagesMinus2 = count - 1;
    spec->stages[count].radix = r;
    return true;
}

void spDftReorderFactors(spDftSpec* spec)
{
    spDftStage* stages = spec->stages;
    const int last = spec->stagesMinus2;
    int chosen = -1;
    if (stages[0].radix == 4)
        chosen = 0;
    else if (last >= 1 && stages[1].radix == 4)
        chosen = 1;
    else if (stages[0].radix == 2)
        chosen = 0;
    if (chosen >= 0)
        std::swap(stages[chosen].radix, stages[last + 1].radix);
}

template <int Column>
spStatus spDftInitAllocCol(spDftSpec** ppSpec, int len, spScaleFlag flag, int hint)
{
    if (ppSpec == nullptr)
        return spStsNullPtrErr;
    if (len < 1)
        return spStsSizeErr;
    auto* spec = spNewRecord<Column, spDftSpec>(spKindDft);
    if (spec == nullptr)
        return spStsMemAllocErr;
    spec->len = len;
    spec->hint = hint;

    spScaling scaling;
    if (!spScalingFromFlag(flag, len, &scaling))
        return spDftInitFailed(spec, spStsFftFlagErr);
    spec->scaleFwd = scaling.scaleFwd;
    spec->scaleInv = scaling.scaleInv;
    spec->scale = scaling.scale;

    if (len > 4) {
        spStatus status;
        if ((len & (len - 1)) == 0) {
            // The inner plan carries the same scaling and applies it itself.
            spec->useFft = 1;
            status = spFftInitAllocCol<Column>(&spec->fft, spOrderOf(len), flag, hint);
            if (status == spStsNoErr) {
                int bytes = 0;
                spFftGetBufSizeCol<Column>(spec->fft, &bytes);
                spec->workBytes = bytes;
            }
        } else {
            status = spDftInitOther(spec, len);
        }
        if (status != spStsNoErr)
            return spDftInitFailed(spec, status);
    }
    *ppSpec = spec;
    return spStsNoErr;
}

void spDftRelease(spDftSpec* spec)
{
    if (spec == nullptr)
        return;
    spFree(spec->directRoots);
    spFree(spec->chirp);
    spFree(spec->chirpSpectrum);
    spFree(spec->mrIndex);
    spFftRelease(spec->fft);
    spFftRelease(spec->bluesteinFft);
    if (spec->useMixedRadix != 0) {
        // Consecutive stages of one radix share their roots; each table goes once.
        const spComplex* lastFreed = nullptr;
        for (int i = 0; i <= spec->stagesMinus2 + 1; ++i) {
            spFree(spec->stages[i].twiddles);
            spComplex* roots = spec->stages[i].roots;
            if (roots != nullptr && roots != lastFreed) {
                spFree(roots);
                lastFreed = roots;
            }
        }
    }
    spec->id = 0;
    spFree(spec);
}

template <int Column>
spStatus spDftFreeCol(spDftSpec* spec)
{
    return spFreeRecord(spec, spKindDft, Column, spDftRelease);
}

template <int Column>
spStatus spDftGetBufSizeCol(const spDftSpec* spec, int* pSize)
{
    return spRecordBufSize(spec, spKindDft, Column, pSize, [](const spDftSpec* s) { return s->workBytes; });
}

#define SP_DFT_PLAN_COLUMN(c)                                                                       \
    template spStatus spDftInitAllocCol<c>(spDftSpec**, int, spScaleFlag, int);                     \
    template spStatus spDftFreeCol<c>(spDftSpec*);                                                  \
    template spStatus spDftGetBufSizeCol<c>(const spDftSpec*, int*);
SP_FOR_EACH_COLUMN(SP_DFT_PLAN_COLUMN)

spStatus spDftInitAlloc_px(spDftSpec** ppSpec, int len, spScaleFlag flag, int hint)
{
    return spDftInitAllocCol<0>(ppSpec, len, flag, hint);
}

spStatus spDftFree_px(spDftSpec* spec) { return spDftFreeCol<0>(spec); }

spStatus spDftGetBufSize(const spDftSpec* spec, int* pSize)
{
    using Size = spStatus (*)(const spDftSpec*, int*);
    static constexpr Size columns[spDispatchColumns] = SP_COLUMN_ROUTINE(spDftGetBufSizeCol);
    return columns[spDispatchIndex](spec, pSize);
}
