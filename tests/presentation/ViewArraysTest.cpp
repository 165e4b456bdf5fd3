// What the views rebuild on update hints: the coarse step, the rendering modes, colours from
// another image of the document and the grid lines of the record.
#include <gtest/gtest.h>

#include <array>

#include "presentation/ColorTable.h"
#include "presentation/SurfaceBuilders.h"
#include "presentation/ViewArrays.h"
#include "support/TestImages.h"

namespace {

CSpmImage Ramp(int columns, int rows, double slope)
{
    return MakeImage(columns, rows, [=](int r, int c) { return slope * (r * columns + c); });
}

}  // namespace

TEST(ViewArrays, CoarseStepPolygonAndBorderArraysByRenderingMode)
{
    // Columns, rows, XYMatrixSize and the step.
    const std::array<int, 4> steps[] = {{512, 256, 128, 4}, {512, 256, 32, 10}, {64, 64, 128, 1}, {300, 1000, 100, 10},
                                        {256, 256, 0, 10},  {5, 5, -3, 5}};
    for (const auto& [columns, rows, matrixSize, step] : steps)
        EXPECT_EQ(CoarseStepFor(columns, rows, matrixSize), step) << columns << "x" << rows << " / " << matrixSize;
    SurfaceArrays arrays;
    CreatePolygonArray(Ramp(512, 256, 0.01), kRenderCoarse, 128, arrays);
    EXPECT_EQ(std::tie(arrays.m_nImageCols, arrays.m_nImageRows, arrays.m_nCoarseStep), std::tuple(512, 256, 4));
    EXPECT_EQ(arrays.m_pVertices.size(), 512u * 256u * 3u);
    EXPECT_EQ(arrays.m_pSmoothNormals.size(), arrays.m_pVertices.size());
    EXPECT_EQ(arrays.m_pIndices.size(), 6u * 511u * 255u);
    EXPECT_EQ(arrays.m_pCoarseIndices.size(), 6u * 127u * 63u);
    const CSpmImage smaller = Ramp(64, 64, 1.0);
    CreatePolygonArray(smaller, kRenderNoDrawing, 128, arrays);
    EXPECT_EQ(arrays.m_pCoarseIndices.size(), 6u * 127u * 63u) << "no drawing leaves the coarse list";
    EXPECT_EQ(arrays.m_pIndices.size(), 6u * 63u * 63u);
    CreatePolygonArray(smaller, kRenderPrecise, 128, arrays);
    EXPECT_TRUE(arrays.m_pCoarseIndices.empty());
    const CSpmImage thin = Ramp(1024, 4, 1.0);
    CreatePolygonArray(thin, kRenderCoarse, 128, arrays);
    EXPECT_EQ(arrays.m_nCoarseStep, 8);
    CreateBorderArrays(thin, arrays);
    EXPECT_EQ(arrays.m_pBorderQuads.size() / 3, static_cast<std::size_t>(8 * (1024 + 4) - 16));
}

TEST(ViewArrays, ColoursComeFromTheColourSourceOfTheSameSizeElseFromTheShownImage)
{
    const CSpmImage shown = Ramp(8, 6, 1.0);
    CPresentationConfig settings;
    settings.m_ColorCursors = {{MakeColor(255, 0, 0), 0.0f}, {MakeColor(255, 255, 255), 1.0f}};
    SurfaceArrays arrays;
    std::vector<float> expected;
    // Same size, heights running the other way; then another width, then another height.
    for (const auto& [columns, rows, bins] : {std::tuple{8, 6, 300}, {20, 6, 3000}, {8, 5, 300}}) {
        CSpmImage source = Ramp(columns, rows, -2.0);
        source.m_nBins = bins;
        CreateColorArray(shown, source, settings, arrays);
        ASSERT_EQ(settings.m_pColorTable.size(), static_cast<std::size_t>(bins));
        const bool same = columns == 8 && rows == 6;
        BuildColorArray(same ? source : shown, expected, settings.m_pColorTable);
        EXPECT_EQ(arrays.m_pColors, expected) << columns << "x" << rows;
        // Point 0 is the source's highest and the shown image's lowest: near white, or red.
        EXPECT_EQ(arrays.m_pColors[1] > 0.9f, same) << columns << "x" << rows;
    }
}

TEST(ViewArrays, GridLinesFollowTheRecord)
{
    const CSpmImage image = Ramp(10, 7, 1.0);
    CPresentationConfig settings;
    settings.m_XLineDecim = 0;
    settings.m_XLineShift = 1;
    settings.m_YLineDecim = 2;
    settings.m_YLineShift = 0;
    std::vector<COLORREF> table(300);
    SurfaceArrays arrays;
    CreateXYLineArray(image, settings, table, kXLines, arrays);
    EXPECT_EQ(arrays.m_pXLineVertices.size() / 3, 2u * 5u * 9u);
    EXPECT_TRUE(arrays.m_pYLineVertices.empty());
    CreateXYLineArray(image, settings, table, kYLines, arrays);
    EXPECT_EQ(arrays.m_pYLineVertices.size() / 3, 2u * 3u * 6u);
    settings.m_XLineShift = 6;
    settings.m_YLineShift = 9;
    CreateXYLineArray(image, settings, table, 4, arrays);
    EXPECT_FALSE(arrays.m_pXLineVertices.empty()) << "an unknown choice rebuilds nothing";
    CreateXYLineArray(image, settings, table, kBothLines, arrays);
    EXPECT_TRUE(arrays.m_pXLineVertices.empty());
    EXPECT_TRUE(arrays.m_pYLineVertices.empty());
}
