#include "sp/filters/spFilterFrame.h"

namespace {

// Row buffers start on 32-byte boundaries, so each is padded to whole groups of 8 floats.
constexpr std::size_t kPitchFloats = spAlignment / sizeof(float);

} // namespace

spStatus spCheckFilterArgs(const float* pSrc, int srcStep, float* pDst, int dstStep,
                           spRoiSize roiSize, spFilterFrame* frame)
{
    if (pSrc == nullptr || pDst == nullptr)
        return spStsNullPtrErr;
    if (roiSize.width < 1 || roiSize.height < 1)
        return spStsSizeErr;
    // Steps of 1 to 3 bytes hold no whole float; taken as 0 they would alias every row.
    const std::ptrdiff_t srcStride = srcStep / static_cast<std::ptrdiff_t>(sizeof(float));
    const std::ptrdiff_t dstStride = dstStep / static_cast<std::ptrdiff_t>(sizeof(float));
    if (srcStride < 1 || dstStride < 1)
        return spStsStepErr;
    *frame = {pSrc, srcStride, pDst, dstStride, roiSize.width, roiSize.height};
    return spStsNoErr;
}

spStatus spRunMaskFilter(const float* pSrc, int srcStep, float* pDst, int dstStep,
                         spRoiSize roiSize, spMaskSize mask, spFilterWorker* worker3x3,
                         spFilterWorker* worker5x5)
{
    spFilterFrame frame;
    const spStatus status = spCheckFilterArgs(pSrc, srcStep, pDst, dstStep, roiSize, &frame);
    if (status != spStsNoErr)
        return status;
    if (mask == spMskSize3x3)
        return worker3x3(frame);
    if (mask == spMskSize5x5)
        return worker5x5(frame);
    return spStsMaskSizeErr;
}

spStatus spRunFilter(const float* pSrc, int srcStep, float* pDst, int dstStep,
                     spRoiSize roiSize, spFilterWorker* worker)
{
    spFilterFrame frame;
    const spStatus status = spCheckFilterArgs(pSrc, srcStep, pDst, dstStep, roiSize, &frame);
    return status != spStsNoErr ? status : worker(frame);
}

namespace {

std::size_t PaddedFloats(std::size_t count)
{
    return (count + kPitchFloats - 1) / kPitchFloats * kPitchFloats;
}

} // namespace

spRowBlock::spRowBlock(std::size_t rows, std::ptrdiff_t width, std::ptrdiff_t widened, std::size_t widenedRows)
    : m_rows(rows), m_pitch(PaddedFloats(static_cast<std::size_t>(width))),
      m_widenedPitch(PaddedFloats(static_cast<std::size_t>(widened) * 2))
{
    // Widths and lengths are below 2^31 and rows at most 12: no size can overflow.
    const std::size_t floats = rows * m_pitch + widenedRows * m_widenedPitch;
    m_block.reset(static_cast<float*>(spMallocSize(floats * sizeof(float))));
}
