// The undo copy and its restore, crop, copy of a sub-image and rotation by 90 degrees.
#include <algorithm>
#include <utility>
#include <vector>

#include "image/SpmImage.h"
#include "image/ImageStatistics.h"
#include "processing/ImageProcessor.h"
#include "processing/PlaneShape.h"

void CImageProcessor::MakeUndoCopy(CSpmImage& image)
{
    const std::size_t points = ShapeOf(image) ? ShapeOf(image)->Points() : 0;
    image.m_pUndo.assign(image.m_pData.begin(), image.m_pData.begin() + static_cast<std::ptrdiff_t>(points));
    image.m_nUndoWidth = image.m_nWidth;
    image.m_nUndoHeight = image.m_nHeight;
    image.m_fUndoKx = image.m_header.m_fKx;
    image.m_fUndoKy = image.m_header.m_fKy;
    image.m_bUndoValid = 1;
}

int CImageProcessor::RestoreUndo(CSpmImage& image)
{
    const auto width = static_cast<std::size_t>(std::max(image.m_nUndoWidth, 0));
    const auto height = static_cast<std::size_t>(std::max(image.m_nUndoHeight, 0));
    if (width == 0 || height == 0 || image.m_pUndo.size() != width * height)
        return 0;
    image.m_pData = image.m_pUndo;
    SetImageSize(image, width, height);
    // A copy taken before steps were kept leaves the steps as they are.
    if (image.m_fUndoKx > 0.0f && image.m_fUndoKy > 0.0f) {
        image.m_header.m_fKx = image.m_fUndoKx;
        image.m_header.m_fKy = image.m_fUndoKy;
    }
    ComputeMinMax(image);
    SetRangeTexts(image);
    image.m_bUndoValid = 0;
    return 1;
}

int CImageProcessor::Crop(CSpmImage& image, const SelectionRect& rect)
{
    const auto shape = ShapeOf(image);
    if (!shape || !RectInsideImage(rect, image))
        return 0;
    const auto width = static_cast<std::size_t>(rect.x1 - rect.x0);
    const auto height = static_cast<std::size_t>(rect.y1 - rect.y0);
    std::vector<double> cropped(width * height);
    for (std::size_t row = 0; row < height; ++row)
        std::copy_n(image.m_pData.begin() + static_cast<std::ptrdiff_t>((rect.y0 + row) * shape->width + rect.x0),
                    width, cropped.begin() + static_cast<std::ptrdiff_t>(row * width));
    image.m_pData = std::move(cropped);
    SetImageSize(image, width, height);
    return UpdateMinMax(image);
}

int CImageProcessor::CopySubImage(CSpmImage& destination, const CSpmImage& source, int x, int y)
{
    const auto to = ShapeOf(destination);
    const auto from = ShapeOf(source);
    if (!to || !from || x < 0 || y < 0 || x + to->width > from->width || y + to->height > from->height)
        return 0;
    for (std::size_t row = 0; row < to->height; ++row)
        std::copy_n(source.m_pData.begin() + static_cast<std::ptrdiff_t>((y + row) * from->width + x), to->width,
                    destination.m_pData.begin() + static_cast<std::ptrdiff_t>(row * to->width));
    ComputeMinMax(destination);
    SetRangeTexts(destination);
    return 1;
}

int CImageProcessor::Rotate90(CSpmImage& image)
{
    const auto shape = ShapeOf(image);
    if (!shape)
        return 0;
    const std::size_t width = shape->width;
    const std::size_t height = shape->height;
    const std::vector<double>& old = image.m_pData;
    std::vector<double> turned(shape->Points());
    // New (x', y') is old (y', H - 1 - x'); tiles keep both planes' lines in the cache.
    constexpr std::size_t kTile = 32;
    for (std::size_t y0 = 0; y0 < width; y0 += kTile)
        for (std::size_t x0 = 0; x0 < height; x0 += kTile)
            for (std::size_t y = y0; y < std::min(width, y0 + kTile); ++y)
                for (std::size_t x = x0; x < std::min(height, x0 + kTile); ++x)
                    turned[y * height + x] = old[(height - 1 - x) * width + y];
    image.m_pData = std::move(turned);
    SetImageSize(image, height, width);
    std::swap(image.m_header.m_fKx, image.m_header.m_fKy);
    return 1;
}
