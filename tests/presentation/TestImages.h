// Small images for the builder and profile tests.
#pragma once

#include <algorithm>
#include <functional>

#include "image/SpmImage.h"

// An image of `columns` x `rows` whose height at (row, column) is height(row, column), with
// its range set from the heights.
inline CSpmImage MakeImage(int columns, int rows, const std::function<double(int, int)>& height)
{
    CSpmImage image;
    image.m_nWidth = columns;
    image.m_nHeight = rows;
    image.m_header.m_nColumns = static_cast<std::uint16_t>(columns);
    image.m_header.m_nRows = static_cast<std::uint16_t>(rows);
    image.m_header.m_fKx = 1.0f;
    image.m_header.m_fKy = 1.0f;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            image.m_pData.push_back(height(r, c));
    if (!image.m_pData.empty()) {
        const auto [low, high] = std::minmax_element(image.m_pData.begin(), image.m_pData.end());
        image.m_dMin = *low;
        image.m_dMax = *high;
    }
    return image;
}
