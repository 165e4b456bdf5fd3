// Images made from a height function, for the tests of every folder that works on images.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "image/ImageStatistics.h"
#include "image/SpmImage.h"

// An image of columns x rows whose height at (row, column) is height(row, column), with its
// range computed; steps kx and ky, Z scale 1, quantity "Height".
inline CSpmImage MakeImage(int columns, int rows, const std::function<double(int, int)>& height,
                           float kx = 2.5f, float ky = 3.0f, const char* xyUnit = "nm", const char* zUnit = "nm")
{
    CSpmImage image;
    image.m_nWidth = columns;
    image.m_nHeight = rows;
    image.m_header.m_nColumns = static_cast<std::uint16_t>(columns);
    image.m_header.m_nRows = static_cast<std::uint16_t>(rows);
    image.m_header.m_fKx = kx;
    image.m_header.m_fKy = ky;
    image.m_header.m_fKz = 1.0f;
    SetHeaderText(image.m_header.m_szXYUnit, xyUnit);
    SetHeaderText(image.m_header.m_szZUnit, zUnit);
    SetHeaderText(image.m_header.m_szQuantity, "Height");
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            image.m_pData.push_back(height(r, c));
    ComputeMinMax(image);
    return image;
}

// Whether `heights`, read back from a file `image` was written to, are the image's to within
// a step of the 16-bit samples that span its largest height.
inline bool HeightsWithinSampleStep(const std::vector<double>& heights, const CSpmImage& image)
{
    const double step = std::max(std::abs(image.m_dMin), std::abs(image.m_dMax)) / 32000.0;
    return heights.size() == image.m_pData.size() &&
           std::equal(heights.begin(), heights.end(), image.m_pData.begin(),
                      [step](double a, double b) { return std::abs(a - b) <= step; });
}
