// Image statistics: height range, histogram, automatic range and the grey picture. They read
// and fill the image record only, so every folder above may use them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

class CSpmImage;

// A picture in memory for the GUI to blit: 32-bit pixels 0x00RRGGBB, row by row.
struct PixelBuffer {
    PixelBuffer() = default;
    PixelBuffer(int width, int height);

    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<std::uint32_t> m_pPixels;  // m_nWidth x m_nHeight, row 0 first
};

// m_dMin and m_dMax from m_pData (both 0 for an image without points).
void ComputeMinMax(CSpmImage& image);
// Smallest and largest of columns x rows elements; 0, or -1 (nothing written) when the
// plane holds fewer elements. An empty plane gives 0 and 0.
int MinMaxInt(std::uint16_t columns, std::uint16_t rows, std::span<const std::int32_t> plane,
              std::int32_t& min, std::int32_t& max);
int MinMaxDouble(std::uint16_t columns, std::uint16_t rows, std::span<const double> plane,
                 double& min, double& max);
// m_nBins counts of m_pData between m_dMin and m_dMax, then the smallest and largest count.
void ComputeHistogram(CSpmImage& image);
// Narrows m_dMin and m_dMax to the bins holding more than 1 % of the largest count.
void AutoRangeFromHistogram(CSpmImage& image);
// Paints the heights as grey levels (the last row and column are not painted); pixels
// outside the picture are left out. Returns 1.
int DrawGreyImage(PixelBuffer& picture, float zoomX, float zoomY, const CSpmImage& image);
