#include "presentation/ViewArrays.h"

#include <algorithm>

#include "image/SpmImage.h"
#include "presentation/ColorTable.h"
#include "presentation/SurfaceBuilders.h"

int CoarseStepFor(int columns, int rows, int matrixSize)
{
    const int step = std::max(columns, rows) / std::max(matrixSize, 1);
    return std::clamp(step, 1, 10);
}

void CreatePolygonArray(const CSpmImage& image, int renderMode, int matrixSize,
                        SurfaceArrays& arrays)
{
    arrays.m_nImageCols = image.m_nWidth;
    arrays.m_nImageRows = image.m_nHeight;
    BuildTriangleIndices(image, arrays.m_pIndices);
    BuildVertexNormalArrays(image, arrays.m_pVertices, arrays.m_pNormals);
    SmoothNormalArray(image, arrays.m_pNormals, arrays.m_pSmoothNormals);
    if (renderMode == kRenderPrecise) {
        arrays.m_pCoarseIndices.clear();
    } else if (renderMode == kRenderCoarse) {
        arrays.m_nCoarseStep = CoarseStepFor(image.m_nWidth, image.m_nHeight, matrixSize);
        BuildCoarseTriangleIndices(static_cast<unsigned>(arrays.m_nCoarseStep), image,
                                   arrays.m_pCoarseIndices);
    }
}

void CreateBorderArrays(const CSpmImage& image, SurfaceArrays& arrays)
{
    BuildBorderArrays(image, arrays.m_pBorderQuads, arrays.m_pBorderLines);
}

void CreateColorArray(const CSpmImage& shown, const CSpmImage& colourSource,
                      CPresentationConfig& colourSourceSettings, SurfaceArrays& arrays)
{
    const std::size_t entries = static_cast<std::size_t>(std::max(colourSource.m_nBins, 1));
    FillColorTable(colourSourceSettings.m_ColorCursors, entries, colourSourceSettings.m_pColorTable);
    const bool sameSize = colourSource.m_nWidth == shown.m_nWidth &&
                          colourSource.m_nHeight == shown.m_nHeight;
    BuildColorArray(sameSize ? colourSource : shown, arrays.m_pColors,
                    colourSourceSettings.m_pColorTable);
}

void CreateXYLineArray(const CSpmImage& image, const CPresentationConfig& settings,
                       std::span<const COLORREF> table, int which, SurfaceArrays& arrays)
{
    if (which == kBothLines || which == kXLines)
        BuildXLineArray(image, settings.m_XLineDecim, settings.m_XLineShift,
                        arrays.m_pXLineVertices, arrays.m_pXLineColors, table);
    if (which == kBothLines || which == kYLines)
        BuildYLineArray(image, settings.m_YLineDecim, settings.m_YLineShift,
                        arrays.m_pYLineVertices, arrays.m_pYLineColors, table);
}
