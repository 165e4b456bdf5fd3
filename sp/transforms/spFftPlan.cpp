#include "sp/transforms/spFftPlan.h"

#include "sp/transforms/spFftTables.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

// Builds the pair table and the twiddle tables of a plan of order >= 4 from the sine table.
spStatus spFftInitTables(spFftSpec* spec, int order, const float* sine, int sineOrder)
{
    spec->bitRevPairs = static_cast<std::int32_t*>(spAllocBytes(spFftQuarterTableBytes(order)));
    if (spec->bitRevPairs == nullptr)
        return spStsMemAllocErr;
    spFftInitBitRevPairs(order, spec->bitRevPairs);

    if (order <= spFftCoreMaxOrder) {
        spec->twiddles = static_cast<spComplex*>(spAllocBytes(spFftLayoutBytes(order)));
        if (spec->twiddles == nullptr)
            return spStsMemAllocErr;
        spFftInitTwiddleLayout(order, sine, sineOrder, spec->twiddles);
        spec->workBytes = 0;
        return spStsNoErr;
    }

    std::int64_t blockBytes = 0;
    std::int64_t tempBytes = 0;
    spFftLargeTableSizes(order, &blockBytes, &tempBytes);
    spBlockPtr<std::uint8_t> block(static_cast<std::uint8_t*>(spAllocBytes(blockBytes)));
    if (!block)
        return spStsMemAllocErr;
    spBlockPtr<std::uint8_t> temp;
    if (tempBytes >= 1) {
        temp.reset(static_cast<std::uint8_t*>(spAllocBytes(tempBytes)));
        if (!temp)
            return spStsMemAllocErr;
    }
    // From here the plan owns the block through `twiddles`.
    spFftLargeTables(spec, order, sine, sineOrder, block.release(), temp.get());
    return spStsNoErr;
}

// True when every table of the order fits the 32-bit byte counts of the library; checked
// before anything is allocated, so a hopeless order costs nothing.
bool spFftTablesFit(int order)
{
    if (order <= spFftCoreMaxOrder)
        return true;
    std::int64_t blockBytes = 0;
    std::int64_t tempBytes = 0;
    spFftLargeTableSizes(order, &blockBytes, &tempBytes);
    return blockBytes <= spMaxBlockBytes && tempBytes <= spMaxBlockBytes;
}

// Scaling and tables of a fresh plan; on failure the caller releases what was made.
spStatus spFftInitContents(spFftSpec* spec, int order, spScaleFlag flag)
{
    spScaling scaling;
    if (!spScalingFromFlag(flag, std::int64_t{1} << order, &scaling))
        return spStsFftFlagErr;
    spec->scaleFwd = scaling.scaleFwd;
    spec->scaleInv = scaling.scaleInv;
    spec->scale = scaling.scale;
    if (order <= 3)
        return spStsNoErr;
    if (!spFftTablesFit(order))
        return spStsMemAllocErr;
    spBlockPtr<float> sine(static_cast<float*>(spAllocBytes(spFftQuarterTableBytes(order))));
    if (!sine)
        return spStsMemAllocErr;
    spFftInitSineTable(order, sine.get());
    return spFftInitTables(spec, order, sine.get(), order);
}

} // namespace

spStatus spFftInitAlloc(spFftSpec** pSpec, int order, spScaleFlag flag, int hint)
{
    if (pSpec == nullptr)
        return spStsNullPtrErr;
    if (order < 0 || order > 30)
        return spStsFftOrderErr;
    auto* spec = spNewRecord<spFftSpec>(spKindFft);
    if (spec == nullptr)
        return spStsMemAllocErr;
    spec->order = order;
    spec->hint = hint;
    spec->ownsTables = 1;
    const spStatus status = spFftInitContents(spec, order, flag);
    if (status != spStsNoErr) {
        spFftRelease(spec);
        return status;
    }
    *pSpec = spec;
    return spStsNoErr;
}

void spFftRelease(spFftSpec* spec)
{
    if (spec == nullptr)
        return;
    spec->id = 0;
    // The other table pointers point into the block that `twiddles` owns.
    if (spec->ownsTables == 1) {
        spFree(spec->bitRevPairs);
        spFree(spec->twiddles);
    }
    spFree(spec);
}

spStatus spFftFree(spFftSpec* spec) { return spFreeRecord(spec, spKindFft, spFftRelease); }

spStatus spFftGetBufSize(const spFftSpec* spec, int* pSize)
{
    const spStatus status = pSize == nullptr ? spStsNullPtrErr : spCheckRecord(spec, spKindFft);
    if (status == spStsNoErr)
        *pSize = spec->workBytes < 1 ? 0 : spec->workBytes + 16;
    return status;
}
