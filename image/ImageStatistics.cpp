#include "image/ImageStatistics.h"

#include <algorithm>
#include <cmath>

#include "image/SpmImage.h"

namespace {

// The points of an image: columns x rows (each taken as unsigned 16-bit), never more than
// its height plane holds.
std::size_t PointCount(const CSpmImage& image)
{
    const std::size_t count = static_cast<std::size_t>(static_cast<std::uint16_t>(image.m_nWidth)) *
                              static_cast<std::uint16_t>(image.m_nHeight);
    return std::min(count, image.m_pData.size());
}

// Both start at the first element; strictly greater raises the maximum, strictly smaller
// lowers the minimum. No elements give 0 and 0.
template <class T>
void MinMaxOf(std::span<const T> values, T& min, T& max)
{
    T low{};
    T high{};
    if (!values.empty()) {
        low = values[0];
        high = values[0];
        for (const T value : values.subspan(1)) {
            if (value > high)
                high = value;
            if (value < low)
                low = value;
        }
    }
    min = low;
    max = high;
}

template <class T>
int MinMaxOfPlane(std::uint16_t columns, std::uint16_t rows, std::span<const T> plane, T& min, T& max)
{
    const std::size_t count = static_cast<std::size_t>(columns) * rows;
    if (plane.size() < count)
        return -1;
    MinMaxOf(plane.first(count), min, max);
    return 0;
}

// The bin of a height: heights below the range count in the first bin, heights at or above
// its top in the last; a range that is empty or not a number puts everything in bin 0.
std::size_t BinOf(double value, double min, double scale, std::size_t bins)
{
    const double position = (value - min) * scale;
    if (!(position >= 0.0))
        return 0;
    if (position >= static_cast<double>(bins))
        return bins - 1;
    return static_cast<std::size_t>(position);
}

// A pixel bound: point index x zoom, truncated, kept inside 0..limit.
int PixelBound(int index, float zoom, int limit)
{
    const float bound = static_cast<float>(index) * zoom;
    return bound >= static_cast<float>(limit) ? limit : static_cast<int>(bound);
}

}  // namespace

PixelBuffer::PixelBuffer(int width, int height)
    : m_nWidth(width > 0 ? width : 0),
      m_nHeight(height > 0 ? height : 0),
      m_pPixels(static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight), 0)
{
}

int MinMaxInt(std::uint16_t columns, std::uint16_t rows, std::span<const std::int32_t> plane,
                          std::int32_t& min, std::int32_t& max)
{
    return MinMaxOfPlane(columns, rows, plane, min, max);
}

int MinMaxDouble(std::uint16_t columns, std::uint16_t rows, std::span<const double> plane,
                             double& min, double& max)
{
    return MinMaxOfPlane(columns, rows, plane, min, max);
}

void ComputeMinMax(CSpmImage& image)
{
    MinMaxOf(std::span<const double>(image.m_pData).first(PointCount(image)), image.m_dMin, image.m_dMax);
}

void ComputeHistogram(CSpmImage& image)
{
    const std::size_t bins = image.m_nBins > 0 ? static_cast<std::size_t>(image.m_nBins) : 0;
    image.m_pHistogram.assign(bins, 0);
    image.m_nBinCountMin = 0;
    image.m_nBinCountMax = 0;
    if (bins == 0)
        return;
    const double range = image.m_dMax - image.m_dMin;
    // A flat image (no range) has every point in bin 0.
    const double scale = range > 0.0 ? static_cast<double>(image.m_nBins) / range : 0.0;
    const std::size_t count = PointCount(image);
    for (std::size_t i = 0; i < count; ++i)
        ++image.m_pHistogram[BinOf(image.m_pData[i], image.m_dMin, scale, bins)];
    MinMaxOf(std::span<const std::uint32_t>(image.m_pHistogram), image.m_nBinCountMin, image.m_nBinCountMax);
}

void AutoRangeFromHistogram(CSpmImage& image)
{
    const std::size_t bins = image.m_nBins > 0 ? static_cast<std::size_t>(image.m_nBins) : 0;
    if (bins == 0 || image.m_pHistogram.size() < bins)
        return;
    const auto threshold = static_cast<std::uint32_t>(image.m_nBinCountMax * 0.01);
    const auto counts = std::span<const std::uint32_t>(image.m_pHistogram).first(bins);
    const auto above = [threshold](std::uint32_t count) { return count > threshold; };
    const auto low = std::find_if(counts.begin(), counts.end(), above);
    if (low == counts.end())
        return;  // an all-zero histogram has no bins to take: the range stays as it is
    const auto high = std::find_if(counts.rbegin(), counts.rend(), above);
    const double range = image.m_dMax - image.m_dMin;
    const double lowBin = static_cast<double>(low - counts.begin());
    const double highBin = static_cast<double>(counts.rend() - high - 1);
    const double newMin = lowBin / image.m_nBins * range + image.m_dMin;
    const double newMax = highBin / image.m_nBins * range + image.m_dMin;
    image.m_dMin = newMin;
    image.m_dMax = newMax;
}

int DrawGreyImage(PixelBuffer& picture, float zoomX, float zoomY, const CSpmImage& image)
{
    const int columns = static_cast<std::uint16_t>(image.m_nWidth);
    const int rows = static_cast<std::uint16_t>(image.m_nHeight);
    const auto usableZoom = [](float zoom) { return zoom > 0.0f && std::isfinite(zoom); };
    if (rows < 2 || !usableZoom(zoomX) || !usableZoom(zoomY) ||
        image.m_pData.size() < static_cast<std::size_t>(columns) * rows ||
        picture.m_pPixels.size() < static_cast<std::size_t>(picture.m_nWidth) * picture.m_nHeight)
        return 1;
    const double min = image.m_dMin;
    const double max = image.m_dMax;
    const double range = max - min;
    for (int r = 0; r + 1 < rows; ++r) {
        const int y0 = PixelBound(r, zoomY, picture.m_nHeight);
        const int y1 = PixelBound(r + 1, zoomY, picture.m_nHeight);
        for (int c = 0; c + 1 < columns; ++c) {
            double v = image.m_pData[static_cast<std::size_t>(r) * columns + c];
            v = v < min ? min : v > max ? max : v;
            // A flat image, or a height that is not a number, paints black.
            const double level = (v - min) / range * 255.0;
            const std::uint32_t grey =
                level >= 0.0 && level <= 255.0 ? static_cast<std::uint32_t>(level) & 0xFF : 0;
            const int x0 = PixelBound(c, zoomX, picture.m_nWidth);
            const int x1 = PixelBound(c + 1, zoomX, picture.m_nWidth);
            for (int y = y0; y < y1; ++y)
                std::fill(picture.m_pPixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.m_nWidth + x0,
                          picture.m_pPixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.m_nWidth + x1,
                          grey * 0x010101u);
        }
    }
    return 1;
}
