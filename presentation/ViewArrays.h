// The arrays a 2D or 3D view keeps for its image and rebuilds on update hints: the surface
// (CreatePolygonArray), its colours (CreateColorArray), the border walls of the 3D view
// and its grid lines (CreateXYLineArray). The views look their images and records up by
// name and pass them here; nothing here draws.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "presentation/PresentationConfig.h"

class CSpmImage;

// The main frame's FastRenderSceneMode.
inline constexpr int kRenderPrecise = 0;
inline constexpr int kRenderCoarse = 1;
inline constexpr int kRenderNoDrawing = 2;

// Which grid lines CreateXYLineArray rebuilds (the update hints 1, 2 and 3).
inline constexpr int kBothLines = 1;
inline constexpr int kXLines = 2;
inline constexpr int kYLines = 3;

struct SurfaceArrays {
    int m_nImageCols = 0;  // image size when the surface was last built
    int m_nImageRows = 0;
    std::vector<float> m_pVertices;       // 3 floats per point
    std::vector<float> m_pNormals;
    std::vector<float> m_pSmoothNormals;
    std::vector<float> m_pColors;         // r, g, b in 0..1 per point
    std::vector<std::uint32_t> m_pIndices;
    int m_nCoarseStep = 1;                // cell size of the coarse list, 1..10
    std::vector<std::uint32_t> m_pCoarseIndices;
    std::vector<float> m_pBorderQuads;    // 3 floats per vertex, 4 vertices per quad
    std::vector<float> m_pBorderLines;    // 3 floats per vertex, 2 vertices per line
    std::vector<float> m_pXLineVertices;  // 3 floats per vertex, 2 vertices per segment
    std::vector<float> m_pXLineColors;
    std::vector<float> m_pYLineVertices;
    std::vector<float> m_pYLineColors;
};

// Cell size of the coarse triangle list: the longer image side divided by XYMatrixSize,
// kept within 1..10. A matrix size below 1 counts as 1.
int CoarseStepFor(int columns, int rows, int matrixSize);

// The surface of the image: vertices, normals, smoothed normals and the full triangle list;
// by the rendering mode also the coarse list (precise: none; coarse: rebuilt; no drawing:
// left as it was). The colours are CreateColorArray's.
void CreatePolygonArray(const CSpmImage& image, int renderMode, int matrixSize,
                        SurfaceArrays& arrays);

// The border walls and outline of the 3D view.
void CreateBorderArrays(const CSpmImage& image, SurfaceArrays& arrays);

// Rebuilds the colour source's table from its palette (one entry per histogram bin of the
// colour-source image) and colours the shown image's points through it by the colour
// source's heights. A colour source of another size than the shown image colours the
// shown image by its own heights through the source's table.
void CreateColorArray(const CSpmImage& shown, const CSpmImage& colourSource,
                      CPresentationConfig& colourSourceSettings, SurfaceArrays& arrays);

// Rebuilds the X lines, the Y lines or both (kBothLines, kXLines, kYLines; any other value
// changes nothing) with the decimations and shifts of `settings`, coloured through `table`.
void CreateXYLineArray(const CSpmImage& image, const CPresentationConfig& settings,
                       std::span<const COLORREF> table, int which, SurfaceArrays& arrays);
