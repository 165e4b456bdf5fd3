// Median line correction, line alignment, flattening, normalisation and the height range.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "image/SpmImage.h"
#include "image/ImageStatistics.h"
#include "processing/ImageProcessor.h"
#include "processing/LineMedian.h"
#include "processing/PlaneShape.h"

namespace {

// Median of z(x, k) - z(x, k + 1) over the rectangle's columns, for each row pair k from y0
// to y1 - 2.
std::vector<double> RowPairMedians(const std::vector<double>& z, std::size_t width, const SelectionRect& r)
{
    std::vector<double> medians;
    std::vector<double> differences(static_cast<std::size_t>(r.x1 - r.x0));
    std::vector<double> scratch;
    for (int k = r.y0; k + 1 < r.y1; ++k) {
        const double* upper = z.data() + static_cast<std::size_t>(k) * width + r.x0;
        const double* lower = upper + width;
        for (std::size_t i = 0; i < differences.size(); ++i)
            differences[i] = upper[i] - lower[i];
        medians.push_back(LineMedian(differences, scratch));
    }
    return medians;
}

// Median of z(j, y) - z(j + 1, y) over the rectangle's rows, for each column pair j from x0
// to x1 - 2, with row y's heights taken as z + rowShifts[y]. The differences are turned into
// one column-major block a tile at a time through a small buffer, so that both sides are read
// and written along their lines; the block's columns lie a little more than the row count
// apart, since a power-of-two distance would send every line of a tile to the same cache set.
std::vector<double> ColumnPairMedians(const std::vector<double>& z, std::size_t width, const SelectionRect& r,
                                      const std::vector<double>& rowShifts)
{
    const std::size_t pairs = r.x1 - r.x0 > 1 ? static_cast<std::size_t>(r.x1 - r.x0 - 1) : 0;
    const auto rows = static_cast<std::size_t>(r.y1 - r.y0);
    const std::size_t columnStep = rows + 8;
    // Every element the medians read is written below: no need to clear 8 MB first.
    const auto block = std::make_unique_for_overwrite<double[]>(pairs * columnStep);
    constexpr std::size_t kTile = 32;
    double tile[kTile][kTile + 1];
    for (std::size_t y0 = 0; y0 < rows; y0 += kTile) {
        const std::size_t tileRows = std::min(kTile, rows - y0);
        for (std::size_t j0 = 0; j0 < pairs; j0 += kTile) {
            const std::size_t tilePairs = std::min(kTile, pairs - j0);
            for (std::size_t y = 0; y < tileRows; ++y) {
                const std::size_t row = r.y0 + y0 + y;
                const double* left = z.data() + row * width + r.x0 + j0;
                const double shift = rowShifts[row];
                for (std::size_t j = 0; j < tilePairs; ++j)
                    tile[j][y] = (left[j] + shift) - (left[j + 1] + shift);
            }
            for (std::size_t j = 0; j < tilePairs; ++j) {
                double* column = block.get() + (j0 + j) * columnStep + y0;
                if (tileRows == kTile)
                    std::memcpy(column, tile[j], sizeof tile[j] - sizeof(double));  // a fixed size copies inline
                else
                    std::copy_n(tile[j], tileRows, column);
            }
        }
    }
    std::vector<double> medians(pairs);
    std::vector<double> scratch;
    for (std::size_t j = 0; j < pairs; ++j)
        medians[j] = LineMedian(std::span<double>(block.get() + j * columnStep, rows), scratch);
    return medians;
}

// The shift of each of `count` lines: 0 up to line `first`, then the running sums of the
// medians of pairs first .. last - 2, and the full sum for every line from `last` on.
std::vector<double> RunningShifts(std::size_t count, int first, int last, const std::vector<double>& medians)
{
    std::vector<double> shifts(count, 0.0);
    double sum = 0.0;
    for (std::size_t line = static_cast<std::size_t>(first) + 1; line < count; ++line) {
        if (line < static_cast<std::size_t>(last))
            sum += medians[line - 1 - static_cast<std::size_t>(first)];
        shifts[line] = sum;
    }
    return shifts;
}

struct PlaneSums {
    double z = 0.0;
    double xz = 0.0;
    double yz = 0.0;
};

PlaneSums SumsOf(const std::vector<double>& z, PlaneShape shape)
{
    PlaneSums sums;
    for (std::size_t y = 0; y < shape.height; ++y)
        for (std::size_t x = 0; x < shape.width; ++x) {
            const double value = z[y * shape.width + x];
            sums.z += value;
            sums.xz += static_cast<double>(x) * value;
            sums.yz += static_cast<double>(y) * value;
        }
    return sums;
}

// Mean of 0 .. n - 1 and of their squares.
struct AxisMoments {
    double mean = 0.0;
    double meanSquare = 0.0;
};

AxisMoments MomentsOf(std::size_t n)
{
    AxisMoments moments;
    for (std::size_t i = 0; i < n; ++i) {
        moments.mean += static_cast<double>(i);
        moments.meanSquare += static_cast<double>(i) * static_cast<double>(i);
    }
    moments.mean /= static_cast<double>(n);
    moments.meanSquare /= static_cast<double>(n);
    return moments;
}

// Least-squares slope along one axis; an axis of one line has no slope to fit.
double SlopeOf(double meanProduct, double meanZ, const AxisMoments& axis)
{
    const double variance = axis.meanSquare - axis.mean * axis.mean;
    return variance == 0.0 ? 0.0 : (meanProduct - meanZ * axis.mean) / variance;
}

struct Plane {
    double a = 0.0;  // per column
    double b = 0.0;  // per row
    double c = 0.0;
};

Plane FittedPlane(const std::vector<double>& z, PlaneShape shape, int mode)
{
    const auto points = static_cast<double>(shape.Points());
    const PlaneSums sums = SumsOf(z, shape);
    const double meanZ = sums.z / points;
    const AxisMoments xs = MomentsOf(shape.width);
    const AxisMoments ys = MomentsOf(shape.height);
    Plane plane;
    if (mode == kFlattenX || mode == kFlattenXY)
        plane.a = SlopeOf(sums.xz / points, meanZ, xs);
    if (mode == kFlattenY || mode == kFlattenXY)
        plane.b = SlopeOf(sums.yz / points, meanZ, ys);
    plane.c = meanZ - plane.a * xs.mean - plane.b * ys.mean;
    return plane;
}

// The plane through three points; nothing when they lie on one line.
std::optional<Plane> PlaneThrough(const PlanePoint& p1, const PlanePoint& p2, const PlanePoint& p3)
{
    const double nx = (p2.y - p1.y) * (p3.z - p1.z) - (p3.y - p1.y) * (p2.z - p1.z);
    const double ny = (p3.x - p1.x) * (p2.z - p1.z) - (p2.x - p1.x) * (p3.z - p1.z);
    const double nz = (p2.x - p1.x) * (p3.y - p1.y) - (p3.x - p1.x) * (p2.y - p1.y);
    if (nz == 0.0)
        return std::nullopt;
    return Plane{-nx / nz, -ny / nz, (nx * p1.x + ny * p1.y + nz * p1.z) / nz};
}

void SubtractPlane(std::vector<double>& z, PlaneShape shape, const Plane& plane)
{
    for (std::size_t y = 0; y < shape.height; ++y) {
        double* line = z.data() + y * shape.width;
        const double rowPart = plane.b * static_cast<double>(y);
        for (std::size_t x = 0; x < shape.width; ++x)
            line[x] = line[x] - plane.a * static_cast<double>(x) - rowPart - plane.c;
    }
}

}  // namespace

bool RectInsideImage(const SelectionRect& rect, const CSpmImage& image)
{
    return rect.x0 >= 0 && rect.y0 >= 0 && rect.x0 < rect.x1 && rect.y0 < rect.y1 &&
           rect.x1 <= image.m_nWidth && rect.y1 <= image.m_nHeight;
}

bool PointInsideImage(int x, int y, const CSpmImage& image)
{
    return x >= 0 && y >= 0 && x < image.m_nWidth && y < image.m_nHeight;
}

void SetRangeTexts(CSpmImage& image)
{
    char text[64];
    std::snprintf(text, sizeof text, "MinVal = %.10f", image.m_dMin);
    image.m_strMinText = text;
    std::snprintf(text, sizeof text, "MaxVal = %.10f", image.m_dMax);
    image.m_strMaxText = text;
}

int CImageProcessor::UpdateMinMax(CSpmImage& image)
{
    if (ShapeOf(image))
        ComputeMinMax(image);
    return 1;
}

int CImageProcessor::MedianLineCorrection(int mode, CSpmImage& image)
{
    return MedianLineCorrectionInRect(mode, image, {0, 0, image.m_nWidth, image.m_nHeight});
}

int CImageProcessor::MedianLineCorrectionInRect(int mode, CSpmImage& image, const SelectionRect& rect)
{
    const auto shape = ShapeOf(image);
    if (mode == kLinesNone || !shape || !RectInsideImage(rect, image))
        return 0;
    std::vector<double>& z = image.m_pData;
    // The column medians see the row-corrected heights; both shifts then go in at once, in
    // the order the two corrections would apply them one after the other.
    std::vector<double> rowShifts(shape->height, 0.0);
    std::vector<double> columnShifts(shape->width, 0.0);
    if (mode == kLinesX || mode == kLinesXY)
        rowShifts = RunningShifts(shape->height, rect.y0, rect.y1, RowPairMedians(z, shape->width, rect));
    if (mode == kLinesY || mode == kLinesXY)
        columnShifts = RunningShifts(shape->width, rect.x0, rect.x1, ColumnPairMedians(z, shape->width, rect, rowShifts));
    for (std::size_t y = 0; y < shape->height; ++y) {
        double* line = z.data() + y * shape->width;
        for (std::size_t x = 0; x < shape->width; ++x)
            line[x] = (line[x] + rowShifts[y]) + columnShifts[x];
    }
    return UpdateMinMax(image);
}

int CImageProcessor::AlignLines(int mode, CSpmImage& image)
{
    const auto shape = ShapeOf(image);
    if (!shape)
        return 0;
    std::vector<double>& z = image.m_pData;
    double total = 0.0;
    for (std::size_t i = 0; i < shape->Points(); ++i)
        total += z[i];
    const double mean = total / static_cast<double>(shape->Points());
    if (mode == kLinesX || mode == kLinesXY)
        for (std::size_t y = 0; y < shape->height; ++y) {
            double* line = z.data() + y * shape->width;
            double sum = 0.0;
            for (std::size_t x = 0; x < shape->width; ++x)
                sum += line[x];
            const double rowMean = sum / static_cast<double>(shape->width);
            for (std::size_t x = 0; x < shape->width; ++x)
                line[x] = (mean + line[x]) - rowMean;
        }
    if (mode == kLinesY || mode == kLinesXY) {
        // Column sums gathered along the rows add each column's heights in the same order.
        std::vector<double> columnMeans(shape->width, 0.0);
        for (std::size_t y = 0; y < shape->height; ++y)
            for (std::size_t x = 0; x < shape->width; ++x)
                columnMeans[x] += z[y * shape->width + x];
        for (double& m : columnMeans)
            m /= static_cast<double>(shape->height);
        for (std::size_t y = 0; y < shape->height; ++y)
            for (std::size_t x = 0; x < shape->width; ++x)
                z[y * shape->width + x] = (mean + z[y * shape->width + x]) - columnMeans[x];
    }
    return UpdateMinMax(image);
}

int CImageProcessor::FlattenSurface(CSpmImage& image, int mode, const PlanePoint& p1, const PlanePoint& p2,
                                    const PlanePoint& p3)
{
    const auto shape = ShapeOf(image);
    if (mode == kFlattenNone || !shape)
        return 0;
    Plane plane;
    if (mode == kFlattenThreePoints) {
        const auto through = PlaneThrough(p1, p2, p3);
        if (!through)
            return 0;
        plane = *through;
    } else if (mode >= kFlattenX && mode <= kFlattenXY) {
        plane = FittedPlane(image.m_pData, *shape, mode);
    }
    SubtractPlane(image.m_pData, *shape, plane);
    return UpdateMinMax(image);
}

int CImageProcessor::NormalizeToZero(CSpmImage& image)
{
    const auto shape = ShapeOf(image);
    if (!shape)
        return 1;
    const double lowest = image.m_dMin;
    for (std::size_t i = 0; i < shape->Points(); ++i)
        image.m_pData[i] -= lowest;
    return UpdateMinMax(image);
}
