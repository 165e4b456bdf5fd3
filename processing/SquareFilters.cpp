// Bordered copies of the heights and the library's fixed 3x3 and 5x5 filters on them.
#include <vector>

#include "image/SpmImage.h"
#include "processing/ImageProcessor.h"
#include "processing/PlaneShape.h"
#include "processing/Reflection.h"
#include "sp/sp.h"

namespace {

// The square filters always give the region a border of 2, what the 5x5 masks read.
constexpr int kFilterBorder = 2;

template <class T>
int CopyBordered(std::span<T> plane, const CSpmImage& image, int bx, int by)
{
    const auto shape = ShapeOf(image);
    if (!shape || bx < 0 || by < 0)
        return 0;
    const std::size_t stride = shape->width + 2 * static_cast<std::size_t>(bx);
    const std::size_t rows = shape->height + 2 * static_cast<std::size_t>(by);
    if (plane.size() < stride * rows)
        return 0;
    std::vector<std::size_t> sourceColumn(stride);
    for (std::size_t u = 0; u < stride; ++u)
        sourceColumn[u] = ReflectEdgeRepeated(static_cast<std::ptrdiff_t>(u) - bx, shape->width);
    for (std::size_t v = 0; v < rows; ++v) {
        const double* source =
            image.m_pData.data() + ReflectEdgeRepeated(static_cast<std::ptrdiff_t>(v) - by, shape->height) * shape->width;
        T* target = plane.data() + v * stride;
        for (std::size_t u = 0; u < static_cast<std::size_t>(bx); ++u)
            target[u] = static_cast<T>(source[sourceColumn[u]]);
        for (std::size_t x = 0; x < shape->width; ++x)
            target[bx + x] = static_cast<T>(source[x]);
        for (std::size_t u = bx + shape->width; u < stride; ++u)
            target[u] = static_cast<T>(source[sourceColumn[u]]);
    }
    return 1;
}

// Runs one library filter over the whole image: a float copy with a border of 2, the
// filter into a second plane, the result back into the heights row by row.
template <class Filter>
int RunSquareFilter(CSpmImage& image, Filter filter)
{
    const auto shape = ShapeOf(image);
    if (!shape)
        return 0;
    const std::size_t stride = shape->width + 2 * kFilterBorder;
    std::vector<float> bordered(stride * (shape->height + 2 * kFilterBorder));
    std::vector<float> filtered(shape->Points());
    CImageProcessor().CopyToBorderedBuffer(bordered, image, kFilterBorder, kFilterBorder);
    const spRoiSize region{static_cast<int>(shape->width), static_cast<int>(shape->height)};
    const spStatus status = filter(bordered.data() + kFilterBorder * stride + kFilterBorder,
                                   static_cast<int>(stride * sizeof(float)), filtered.data(),
                                   static_cast<int>(shape->width * sizeof(float)), region);
    // The arguments above pass every check; only a failed row-buffer allocation is left,
    // and then the heights stay as they were.
    if (status != spStsNoErr)
        return 0;
    for (std::size_t i = 0; i < shape->Points(); ++i)
        image.m_pData[i] = filtered[i];
    return CImageProcessor().UpdateMinMax(image);
}

spMaskSize MaskOf(int size)
{
    return size == kSquare5x5 ? spMskSize5x5 : spMskSize3x3;
}

template <class MaskFilter>
int RunMaskFilter(CSpmImage& image, MaskFilter* filter, int size)
{
    return RunSquareFilter(image, [filter, size](const float* src, int srcStep, float* dst, int dstStep,
                                                 spRoiSize roi) { return filter(src, srcStep, dst, dstStep, roi, MaskOf(size)); });
}

}  // namespace

int CImageProcessor::CopyToBorderedBuffer(std::span<float> plane, const CSpmImage& image, int bx, int by)
{
    return CopyBordered(plane, image, bx, by);
}

int CImageProcessor::CopyToBorderedPlane(std::span<double> plane, const CSpmImage& image, int bx, int by)
{
    return CopyBordered(plane, image, bx, by);
}

int CImageProcessor::FilterGauss(CSpmImage& image, int size)
{
    return RunMaskFilter(image, spFilterGauss, size);
}

int CImageProcessor::FilterLaplace(CSpmImage& image, int size)
{
    return RunMaskFilter(image, spFilterLaplace, size);
}

int CImageProcessor::FilterLowpass(CSpmImage& image, int size)
{
    return RunMaskFilter(image, spFilterLowpass, size);
}

int CImageProcessor::FilterHighpass(CSpmImage& image, int size)
{
    return RunMaskFilter(image, spFilterHipass, size);
}

int CImageProcessor::FilterSharpen(CSpmImage& image)
{
    return RunSquareFilter(image, spFilterSharpen);
}

int CImageProcessor::FilterSobel(CSpmImage& image, int direction)
{
    return RunSquareFilter(image, direction == 0 ? spFilterSobelVert : spFilterSobelHoriz);
}
