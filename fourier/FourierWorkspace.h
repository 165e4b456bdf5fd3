// The bordered working planes of the Fourier tool and the transforms between an image and
// its centred spectra. The unfiltered spectrum is what the last forward transform gave; the
// current spectrum is what the filters made of it, and what the inverse transform reads.
#pragma once

#include <cstddef>
#include <vector>

class CSpmImage;

// Show modes of the inverse 2-D transform.
enum FourierShowMode : int {
    kShowOriginal = 0,    // the heights the document image had at opening (the undo plane)
    kShowFiltered = 1,
    kShowDifference = 2,  // original minus filtered
};

// Directions of the transform.
enum FourierMode : int {
    kFourierX = 0,   // every row
    kFourierY = 1,   // every column; the spectrum is stored transposed
    kFourierXY = 2,  // 2-D
};

struct FourierWorkspace {
    // Sizes for an image of w x h with a border of (factor - 1) / 2 of each side, and all six
    // planes allocated. The planes never change size afterwards.
    void Allocate(int width, int height, double factor = 1.5);

    std::size_t PaddedWidth() const { return static_cast<std::size_t>(m_nWidth) + 2u * m_nBorderX; }
    std::size_t PaddedHeight() const { return static_cast<std::size_t>(m_nHeight) + 2u * m_nBorderY; }
    std::size_t Cells() const { return PaddedWidth() * PaddedHeight(); }
    // The zero frequency of the centred spectra, column W'/2 and row H'/2. The sign pattern
    // moves a side of n cells by n/2 frequencies, so on an odd side the zero frequency lies
    // between two cells: a filter that weighs every frequency as its negative, and so leaves
    // a real image real, is symmetric about these, not about a cell.
    double ZeroFrequencyX() const { return 0.5 * static_cast<double>(PaddedWidth()); }
    double ZeroFrequencyY() const { return 0.5 * static_cast<double>(PaddedHeight()); }

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBorderX = 0;
    int m_nBorderY = 0;
    std::vector<double> m_pSpatialRe, m_pSpatialIm;
    std::vector<double> m_pSpectrumRe, m_pSpectrumIm;
    std::vector<double> m_pUnfilteredRe, m_pUnfilteredIm;
    double m_dFactor = 1.5;
    // The direction of the last forward transform, which decides what a spectrum cell is: a
    // frequency of the plane, or in the line directions one of a line whose frequency runs
    // along x. The masks are built for it.
    int m_nMode = kFourierXY;
};

// The Y direction keeps a column's spectrum in a row of the plane, which only a square
// bordered plane can hold.
bool SupportsLineAxisY(const FourierWorkspace& workspace);

// Line transform of the image's rows (axis 0) or columns (axis 1); forward writes both
// spectra, inverse writes the image's heights and range from the current spectrum. Returns
// 0, changing nothing, when the axis is 1 and the plane is not square.
int LineFourierTransform(CSpmImage& image, int inverse, int axis, FourierWorkspace& workspace);
// 2-D transform; the inverse writes heights by the show mode.
int FourierTransform2D(CSpmImage& image, int inverse, int showMode, FourierWorkspace& workspace);
// The transform of the dialog's Fourier mode, forward or inverse.
int TransformByMode(CSpmImage& image, int mode, int inverse, int showMode,
                    FourierWorkspace& workspace);

// Magnitude of the current (unfiltered) spectrum's image window into the image's heights,
// with its range.
int SpectrumMagnitude(CSpmImage& image, const FourierWorkspace& workspace);
int UnfilteredSpectrumMagnitude(CSpmImage& image, const FourierWorkspace& workspace);
