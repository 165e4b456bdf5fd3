// The routines that rewrite one image's heights in place: line corrections, flattening,
// normalisation, the one-level undo copy, crop, rotation, the square filters and the line
// high-pass filter. The class holds no state; callers make one around each call.
#pragma once

#include <span>

class CSpmImage;

// A selection in image columns and rows: columns x0 to x1 - 1 and rows y0 to y1 - 1.
struct SelectionRect {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
};

// True when the rectangle covers at least one point and lies wholly inside the image.
bool RectInsideImage(const SelectionRect& rect, const CSpmImage& image);
// True when (x, y) is a point of the image.
bool PointInsideImage(int x, int y, const CSpmImage& image);

// Which lines a correction works on.
enum LineMode : int {
    kLinesNone = 0,
    kLinesX = 1,     // rows
    kLinesY = 2,     // columns
    kLinesXY = 3,    // rows, then columns of the result
};

// The plane a flattening subtracts.
enum FlattenMode : int {
    kFlattenNone = 0,
    kFlattenX = 1,          // least squares, slope along the rows only
    kFlattenY = 2,          // slope along the columns only
    kFlattenXY = 3,         // both slopes
    kFlattenThreePoints = 4 // the plane through three given points
};

// One point of a three-point plane: column, row and height.
struct PlanePoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// Size code of the mask filters.
enum SquareSize : int {
    kSquare3x3 = 1,
    kSquare5x5 = 2,
};

class CImageProcessor {
public:
    CImageProcessor() = default;
    virtual ~CImageProcessor() = default;

    // Every routine returns 1 when it ran and 0 when it changed nothing (mode 0, a plane
    // that does not match the image's size, a selection outside the image, a degenerate
    // three-point plane). Routines that change heights refresh m_dMin and m_dMax unless
    // said otherwise; none touches the histogram.

    // Makes the median difference of neighbouring rows (columns) zero by shifting each line.
    int MedianLineCorrection(int mode, CSpmImage& image);
    // The same with the medians measured inside the rectangle; the shifts reach the edges.
    int MedianLineCorrectionInRect(int mode, CSpmImage& image, const SelectionRect& rect);
    // Gives every row (column) the image's overall mean.
    int AlignLines(int mode, CSpmImage& image);
    // Subtracts a least-squares plane (modes 1 to 3) or the plane through three points
    // (mode 4). A fit without extent along an axis takes slope 0 there.
    int FlattenSurface(CSpmImage& image, int mode, const PlanePoint& p1 = {},
                       const PlanePoint& p2 = {}, const PlanePoint& p3 = {});
    // Shifts the heights so that the recorded minimum becomes 0.
    int NormalizeToZero(CSpmImage& image);
    int UpdateMinMax(CSpmImage& image);

    // The one undo level: the heights, their size and the X and Y steps.
    void MakeUndoCopy(CSpmImage& image);
    int RestoreUndo(CSpmImage& image);

    int Crop(CSpmImage& image, const SelectionRect& rect);
    // Fills the destination, keeping its size, from the source starting at column x, row y.
    int CopySubImage(CSpmImage& destination, const CSpmImage& source, int x, int y);
    // Turns the image by 90 degrees: the last row becomes the first column.
    int Rotate90(CSpmImage& image);

    // Copies the heights into a plane of (W + 2 bx) x (H + 2 by) elements, the border
    // mirrored with the edge sample repeated (and again, for borders wider than the image).
    int CopyToBorderedBuffer(std::span<float> plane, const CSpmImage& image, int bx, int by);
    int CopyToBorderedPlane(std::span<double> plane, const CSpmImage& image, int bx, int by);

    // The library's fixed filters on a float copy with a 2-pixel mirrored border.
    int FilterGauss(CSpmImage& image, int size);
    int FilterLaplace(CSpmImage& image, int size);
    int FilterLowpass(CSpmImage& image, int size);
    int FilterHighpass(CSpmImage& image, int size);
    int FilterSharpen(CSpmImage& image);
    // Direction 0 the vertical Sobel filter, 1 the horizontal one.
    int FilterSobel(CSpmImage& image, int direction);

    // Gaussian high-pass along every row with point spacing `spacing` and cutoff wavelength
    // `cutoff` (same unit). Leaves the height range to the caller.
    int LineHipassGauss(CSpmImage& image, double spacing, double cutoff);
};

// "MinVal = ..." and "MaxVal = ..." of the image's current range.
void SetRangeTexts(CSpmImage& image);
