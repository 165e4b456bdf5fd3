// What the views rebuild on update hints: the coarse step, the rendering modes, colours from
// another image of the document and the grid lines of the record.
#include <gtest/gtest.h>

#include <array>

#include "presentation/ColorTable.h"
#include "presentation/SurfaceBuilders.h"
#include "presentation/ViewArrays.h"
#include "tests/presentation/TestImages.h"

namespace {

CSpmImage Ramp(int columns, int rows, double slope)
{
    return MakeImage(columns, rows, [=](int r, int c) { return slope * (r * columns + c); });
}

CPresentationConfig BlackToWhite()
{
    CPresentationConfig settings;
    settings.m_ColorCursors = {{MakeColor(0, 0, 0), 0.0f}, {MakeColor(255, 255, 255), 1.0f}};
    return settings;
}

} // namespace

TEST(ViewArrays, CoarseStepFromTheMatrixSize)
{
    // Columns, rows, XYMatrixSize and the step.
    const std::array<int, 4> cases[] = {
        {512, 256, 128, 4}, {512, 256, 32, 10}, {64, 64, 128, 1}, {300, 1000, 100, 10},
        {256, 256, 0, 10},  {5, 5, 0, 5},       {5, 5, -3, 5},
    };
    for (const auto& [columns, rows, matrixSize, step] : cases)
        EXPECT_EQ(CoarseStepFor(columns, rows, matrixSize), step) << columns << "x" << rows << " / " << matrixSize;
}

TEST(ViewArrays, PolygonAndBorderArraysByRenderingMode)
{
    const CSpmImage image = Ramp(512, 256, 0.01);
    SurfaceArrays arrays;
    CreatePolygonArray(image, kRenderCoarse, 128, arrays);
    EXPECT_EQ(arrays.m_nImageCols, 512);
    EXPECT_EQ(arrays.m_nImageRows, 256);
    EXPECT_EQ(arrays.m_pVertices.size(), 512u * 256u * 3u);
    EXPECT_EQ(arrays.m_pNormals.size(), arrays.m_pVertices.size());
    EXPECT_EQ(arrays.m_pSmoothNormals.size(), arrays.m_pVertices.size());
    EXPECT_EQ(arrays.m_pIndices.size(), 6u * 511u * 255u);
    EXPECT_EQ(arrays.m_nCoarseStep, 4);
    EXPECT_EQ(arrays.m_pCoarseIndices.size(), 6u * 127u * 63u);

    const CSpmImage smaller = Ramp(64, 64, 1.0);
    CreatePolygonArray(smaller, kRenderNoDrawing, 128, arrays);
    EXPECT_EQ(arrays.m_nCoarseStep, 4) << "no drawing leaves the coarse list";
    EXPECT_EQ(arrays.m_pCoarseIndices.size(), 6u * 127u * 63u);
    EXPECT_EQ(arrays.m_pIndices.size(), 6u * 63u * 63u);
    CreatePolygonArray(smaller, kRenderPrecise, 128, arrays);
    EXPECT_TRUE(arrays.m_pCoarseIndices.empty());

    const CSpmImage thin = Ramp(1024, 4, 1.0);
    CreatePolygonArray(thin, kRenderCoarse, 128, arrays);
    EXPECT_EQ(arrays.m_nCoarseStep, 8);
    EXPECT_TRUE(arrays.m_pCoarseIndices.empty());
    // The 3D view's border walls and outline.
    CreateBorderArrays(thin, arrays);
    EXPECT_EQ(arrays.m_pBorderQuads.size() / 3, static_cast<std::size_t>(8 * (1024 + 4) - 16));
    EXPECT_EQ(arrays.m_pBorderLines.size() / 3, static_cast<std::size_t>(4 * (1024 + 4) + 8));
}

TEST(ViewArrays, ColoursComeFromTheColourSourceAndItsPalette)
{
    const CSpmImage shown = Ramp(8, 6, 1.0);
    const CSpmImage source = Ramp(8, 6, -2.0);  // same size, heights running the other way
    CPresentationConfig sourceSettings = BlackToWhite();
    SurfaceArrays arrays;
    std::vector<float> expected;
    CreateColorArray(shown, source, sourceSettings, arrays);
    ASSERT_EQ(sourceSettings.m_pColorTable.size(), 300u);
    BuildColorArray(source, expected, sourceSettings.m_pColorTable);
    EXPECT_EQ(arrays.m_pColors, expected);
    EXPECT_GT(arrays.m_pColors[0], arrays.m_pColors[47 * 3]);

    // A source of another size colours the shown image by its own heights.
    sourceSettings.m_ColorCursors.front().m_Color = MakeColor(255, 0, 0);
    CSpmImage other = Ramp(20, 30, -1.0);
    other.m_nBins = 3000;
    CreateColorArray(shown, other, sourceSettings, arrays);
    ASSERT_EQ(sourceSettings.m_pColorTable.size(), 3000u);
    BuildColorArray(shown, expected, sourceSettings.m_pColorTable);
    EXPECT_EQ(arrays.m_pColors, expected);
    EXPECT_EQ(arrays.m_pColors[0], 1.0f);  // the lowest shown height takes the palette's red
}

TEST(ViewArrays, GridLinesFollowTheRecord)
{
    const CSpmImage image = Ramp(10, 7, 1.0);
    CPresentationConfig settings;
    settings.m_XLineDecim = 0;
    settings.m_XLineShift = 1;
    settings.m_YLineDecim = 2;
    settings.m_YLineShift = 0;
    std::vector<COLORREF> table;
    FillColorTable(BlackToWhite().m_ColorCursors, 300, table);
    SurfaceArrays arrays;
    CreateXYLineArray(image, settings, table, kXLines, arrays);
    EXPECT_EQ(arrays.m_pXLineVertices.size() / 3, 2u * 5u * 9u);
    EXPECT_TRUE(arrays.m_pYLineVertices.empty());
    CreateXYLineArray(image, settings, table, kYLines, arrays);
    EXPECT_EQ(arrays.m_pYLineVertices.size() / 3, 2u * 3u * 6u);
    EXPECT_EQ(arrays.m_pYLineColors.size(), arrays.m_pYLineVertices.size());
    settings.m_XLineShift = 6;
    settings.m_YLineShift = 9;
    CreateXYLineArray(image, settings, table, 4, arrays);
    EXPECT_FALSE(arrays.m_pXLineVertices.empty()) << "an unknown choice rebuilds nothing";
    CreateXYLineArray(image, settings, table, kBothLines, arrays);
    EXPECT_TRUE(arrays.m_pXLineVertices.empty());
    EXPECT_TRUE(arrays.m_pYLineVertices.empty());
}

