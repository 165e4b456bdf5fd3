#include "sp/transforms/spFftPlan.h"

#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColumns.h"
#include "sp/transforms/spFftTables.h"
#include "sp/transforms/spFourierCommon.h"

namespace {

// Builds the pair table and the twiddle tables of a generic plan of order >= 4.
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

// The tables of a plan of columns 1 to 4: the first pass's index table or the pair table,
// then the core table or the table block of a large order.
spStatus spColFftInitTables(spFftSpec* spec, int column, int order, const float* sine)
{
    const std::int64_t n = std::int64_t{1} << order;
    const bool fused = order <= spColumnFusedOrder(column);
    spec->bitRevPairs = static_cast<std::int32_t*>(
        spAllocBytes(fused ? spAlign16(4 * (n / 16)) : spFftQuarterTableBytes(order), column));
    if (spec->bitRevPairs == nullptr)
        return spStsMemAllocErr;
    if (fused)
        spColInitFusedIndex(order, spec->bitRevPairs);
    else
        spFftInitBitRevPairs(order, spec->bitRevPairs);

    if (order <= spColumnCoreOrder(column)) {
        spec->twiddles = static_cast<spComplex*>(spAllocBytes(4 * spColCoreTableFloats(order), column));
        if (spec->twiddles == nullptr)
            return spStsMemAllocErr;
        spColInitCoreTable(order, sine, order, reinterpret_cast<float*>(spec->twiddles));
        // Room for the blocks of an in-place transform.
        spec->workBytes = static_cast<std::int32_t>(8 * n);
        return spStsNoErr;
    }
    spBlockPtr<std::uint8_t> block(
        static_cast<std::uint8_t*>(spAllocBytes(spColLargeTableBytes(column, order), column)));
    if (!block)
        return spStsMemAllocErr;
    spBlockPtr<std::uint8_t> temp;
    if (const std::int64_t tempBytes = spColLargeTempBytes(column, order); tempBytes >= 1) {
        temp.reset(static_cast<std::uint8_t*>(spAllocBytes(tempBytes, column)));
        if (!temp)
            return spStsMemAllocErr;
    }
    // From here the plan owns the block through `twiddles`.
    spColLargeTables(spec, column, order, sine, block.release(), temp.get());
    return spStsNoErr;
}

// True when every table of the order fits the 32-bit byte counts of the library; checked
// before anything is allocated, so a hopeless order costs nothing.
bool spFftTablesFit(int column, int order)
{
    if (column != 0)
        return order <= spColumnCoreOrder(column) || spColLargeTableBytes(column, order) <= spMaxBlockBytes;
    if (order <= spFftCoreMaxOrder)
        return true;
    std::int64_t blockBytes = 0;
    std::int64_t tempBytes = 0;
    spFftLargeTableSizes(order, &blockBytes, &tempBytes);
    return blockBytes <= spMaxBlockBytes && tempBytes <= spMaxBlockBytes;
}

// Scaling and tables of a fresh plan; on failure the caller releases what was made.
spStatus spFftInitContents(spFftSpec* spec, int column, int order, spScaleFlag flag)
{
    spScaling scaling;
    if (!spScalingFromFlag(flag, std::int64_t{1} << order, &scaling))
        return spStsFftFlagErr;
    spec->scaleFwd = scaling.scaleFwd;
    spec->scaleInv = scaling.scaleInv;
    spec->scale = scaling.scale;
    if (order <= 3)
        return spStsNoErr;
    if (!spFftTablesFit(column, order))
        return spStsMemAllocErr;
    spBlockPtr<float> sine(static_cast<float*>(spAllocBytes(spFftQuarterTableBytes(order), column)));
    if (!sine)
        return spStsMemAllocErr;
    spFftInitSineTable(order, sine.get());
    if (column != 0)
        return spColFftInitTables(spec, column, order, sine.get());
    return spFftInitTables(spec, order, sine.get(), order);
}

} // namespace

template <int Column>
spStatus spFftInitAllocCol(spFftSpec** pSpec, int order, spScaleFlag flag, int hint)
{
    if (pSpec == nullptr)
        return spStsNullPtrErr;
    if (order < 0 || order > 30)
        return spStsFftOrderErr;
    auto* spec = spNewRecord<Column, spFftSpec>(spKindFft);
    if (spec == nullptr)
        return spStsMemAllocErr;
    spec->order = order;
    spec->hint = hint;
    spec->ownsTables = 1;
    const spStatus status = spFftInitContents(spec, Column, order, flag);
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

template <int Column>
spStatus spFftFreeCol(spFftSpec* spec)
{
    return spFreeRecord(spec, spKindFft, Column, spFftRelease);
}

template <int Column>
spStatus spFftGetBufSizeCol(const spFftSpec* spec, int* pSize)
{
    return spRecordBufSize(spec, spKindFft, Column, pSize,
                           [](const spFftSpec* s) { return s->workBytes < 1 ? 0 : s->workBytes + 16; });
}

#define SP_FFT_PLAN_COLUMN(c)                                                                       \
    template spStatus spFftInitAllocCol<c>(spFftSpec**, int, spScaleFlag, int);                     \
    template spStatus spFftFreeCol<c>(spFftSpec*);                                                  \
    template spStatus spFftGetBufSizeCol<c>(const spFftSpec*, int*);
SP_FOR_EACH_COLUMN(SP_FFT_PLAN_COLUMN)

namespace {

using spFftInitFn = spStatus (*)(spFftSpec**, int, spScaleFlag, int);
using spFftFreeFn = spStatus (*)(spFftSpec*);
using spFftSizeFn = spStatus (*)(const spFftSpec*, int*);
constexpr spFftInitFn spFftInitCols[spDispatchColumns] = SP_COLUMN_ROUTINE(spFftInitAllocCol);
constexpr spFftFreeFn spFftFreeCols[spDispatchColumns] = SP_COLUMN_ROUTINE(spFftFreeCol);
constexpr spFftSizeFn spFftSizeCols[spDispatchColumns] = SP_COLUMN_ROUTINE(spFftGetBufSizeCol);

} // namespace

spStatus spFftInitAlloc(spFftSpec** pSpec, int order, spScaleFlag flag, int hint)
{
    return spFftInitCols[spDispatchIndex](pSpec, order, flag, hint);
}

spStatus spFftFree(spFftSpec* spec) { return spFftFreeCols[spDispatchIndex](spec); }

spStatus spFftGetBufSize(const spFftSpec* spec, int* pSize) { return spFftSizeCols[spDispatchIndex](spec, pSize); }
