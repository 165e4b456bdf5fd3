#include "processing/PlaneShape.h"

#include <cstdint>

#include "image/SpmImage.h"

std::optional<PlaneShape> ShapeOf(const CSpmImage& image)
{
    if (image.m_nWidth < 1 || image.m_nHeight < 1)
        return std::nullopt;
    const PlaneShape shape{static_cast<std::size_t>(image.m_nWidth), static_cast<std::size_t>(image.m_nHeight)};
    if (image.m_pData.size() < shape.Points())
        return std::nullopt;
    return shape;
}

void SetImageSize(CSpmImage& image, std::size_t width, std::size_t height)
{
    image.m_nWidth = static_cast<int>(width);
    image.m_nHeight = static_cast<int>(height);
    image.m_header.m_nColumns = static_cast<std::uint16_t>(width);
    image.m_header.m_nRows = static_cast<std::uint16_t>(height);
}
