// One height image of a document: its file, header, samples, heights, undo copy, height
// range, histogram and the name by which views, panels and commands find it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/SpmHeader.h"

// Bins of a document image's histogram (the Fourier tool's spectrum image uses more).
inline constexpr int kImageHistogramBins = 300;
// Largest number of columns or rows of a loaded image.
inline constexpr int kMaxImageSide = 1024;
// True for a number of columns or rows an image may have: 1 to kMaxImageSide.
constexpr bool IsImageSide(int side)
{
    return side >= 1 && side <= kMaxImageSide;
}

class CSpmImage {
public:
    CSpmImage() = default;
    virtual ~CSpmImage() = default;

    std::string m_strPath;          // file the image was read from; "Save Image" writes here
    int m_nIndexInFile = 0;         // which image of its file (NanoScope block, NT-MDT frame)
    SpmHeader m_header{};
    int m_nWidth = 0;               // columns, equal to m_header.m_nColumns after a load
    int m_nHeight = 0;              // rows, equal to m_header.m_nRows
    std::vector<std::int32_t> m_pRaw;  // raw samples as read, row by row
    std::int32_t m_nRawMin = 0;
    std::int32_t m_nRawMax = 0;
    // Heights in the Z unit, row-major: row r, column c is element r * m_nWidth + c.
    // Processing may swap in a plane of another size; it then updates the sizes together.
    std::vector<double> m_pData;
    std::vector<double> m_pUndo;    // undo copy of the heights
    int m_nUndoWidth = 0;
    int m_nUndoHeight = 0;
    float m_fUndoKx = 0.0f;         // X and Y steps of the undo copy (a rotation swaps them);
    float m_fUndoKy = 0.0f;         // 0 until a copy is taken
    double m_dMin = 0.0;            // height range
    double m_dMax = 0.0;
    int m_nBins = kImageHistogramBins;
    std::uint32_t m_nBinCountMin = 0;
    std::uint32_t m_nBinCountMax = 0;
    std::vector<std::uint32_t> m_pHistogram;  // m_nBins counts
    std::string m_strName;          // key of every lookup, e.g. "Height_01"
    std::string m_strMinText;       // "MinVal = %.10f"
    std::string m_strMaxText;       // "MaxVal = %.10f"
    int m_bUndoValid = 0;           // 1 while m_pUndo holds a copy Undo may restore
};
