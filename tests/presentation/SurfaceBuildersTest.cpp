// Surface, colour, index, border and grid-line arrays: worked examples, analytic normals of
// planes, counts, and comparisons with direct transcriptions of the build rules.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "presentation/SurfaceBuilders.h"
#include "tests/presentation/TestImages.h"

namespace {

Vec3 At(const std::vector<float>& array, std::size_t vertex)
{
    return {array[vertex * 3], array[vertex * 3 + 1], array[vertex * 3 + 2]};
}

void ExpectNear(const Vec3& actual, const Vec3& expected, float tolerance)
{
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(actual[k], expected[k], tolerance) << "component " << k;
}

CSpmImage RandomImage(int columns, int rows, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> height(-50.0, 80.0);
    return MakeImage(columns, rows, [&](int, int) { return height(random); });
}

// The smoothing rule applied literally, in place over an output that starts as a copy.
std::vector<float> ReferenceSmooth(const std::vector<float>& n, int nx, int ny)
{
    std::vector<float> m = n;
    auto idx = [&](int r, int c) { return static_cast<std::size_t>((r * nx + c) * 3); };
    for (int r = 1; r <= ny - 3; ++r)
        for (int c = 1; c <= nx - 3; ++c) {
            float v[3];
            for (int k = 0; k < 3; ++k)
                v[k] = 2.0f * (n[idx(r, c) + k] + n[idx(r - 1, c - 1) + k]) + n[idx(r - 1, c) + k] +
                       n[idx(r, c - 1) + k];
            const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            for (int k = 0; k < 3; ++k)
                m[idx(r, c) + k] = length != 0.0f ? v[k] / length : v[k];
        }
    auto copy = [&](int r, int c, int r2, int c2) {
        for (int k = 0; k < 3; ++k)
            m[idx(r, c) + k] = m[idx(r2, c2) + k];
    };
    for (int r = 0; r < ny; ++r) {
        copy(r, 0, r, 1);
        copy(r, nx - 2, r, nx - 3);
        copy(r, nx - 1, r, nx - 3);
    }
    for (int c = 0; c < nx; ++c) {
        copy(0, c, 1, c);
        copy(ny - 2, c, ny - 3, c);
        copy(ny - 1, c, ny - 3, c);
    }
    return m;
}

// The coarse list as the rule states it, written position by position.
std::vector<std::uint32_t> ReferenceCoarse(int k, int nx, int ny)
{
    const int mc = nx / k - 1;
    const int mr = ny / k - 1;
    std::vector<std::uint32_t> list(static_cast<std::size_t>(std::max(0, 6 * mc * mr)));
    for (int i = 0; i < mr; ++i)
        for (int j = 0; j < mc; ++j) {
            const std::uint32_t a = static_cast<std::uint32_t>(i * k * nx + j * k);
            const std::uint32_t b = a + static_cast<std::uint32_t>(k * nx);
            const std::uint32_t k32 = static_cast<std::uint32_t>(k);
            const std::uint32_t cell[6] = {a, b, b + k32, a, b + k32, a + k32};
            std::copy(cell, cell + 6, list.begin() + (i * mc + j) * 6);
        }
    return list;
}

// A table whose entry i names its own index.
std::vector<COLORREF> IndexTable(std::size_t entries)
{
    std::vector<COLORREF> table(entries);
    for (std::size_t i = 0; i < entries; ++i)
        table[i] = MakeColor(static_cast<unsigned>(i & 0xFF), static_cast<unsigned>(i >> 8), 0);
    return table;
}

std::size_t IndexOfColour(const std::vector<float>& colours, std::size_t vertex)
{
    const Vec3 c = At(colours, vertex);
    return static_cast<std::size_t>(std::lround(c[0] * 255.0f)) +
           256 * static_cast<std::size_t>(std::lround(c[1] * 255.0f));
}

} // namespace

TEST(SurfaceBuilders, TwoByTwoImage)
{
    const CSpmImage image = MakeImage(2, 2, [](int r, int c) { return 2.0 * r + c; });
    std::vector<float> vertices, normals;
    BuildVertexNormalArrays(image, vertices, normals);
    ASSERT_EQ(vertices.size(), 12u);
    ExpectNear(At(vertices, 0), {0.0f, 0.0f, 0.0f}, 0.0f);
    ExpectNear(At(vertices, 1), {100.0f, 0.0f, -1.0f / 3.0f}, 1e-7f);
    ExpectNear(At(vertices, 2), {0.0f, 100.0f, -2.0f / 3.0f}, 1e-7f);
    ExpectNear(At(vertices, 3), {100.0f, 100.0f, -1.0f}, 0.0f);
    const Vec3 normal = CalcNormal(At(vertices, 0), At(vertices, 2), At(vertices, 3));
    for (std::size_t v = 0; v < 4; ++v)
        ExpectNear(At(normals, v), normal, 0.0f);

    std::vector<std::uint32_t> indices;
    BuildTriangleIndices(image, indices);
    EXPECT_EQ(indices, (std::vector<std::uint32_t>{0, 2, 3, 0, 3, 1}));
}

TEST(SurfaceBuilders, CalcNormalIsTheUnitCrossProduct)
{
    ExpectNear(CalcNormal({0, 0, 0}, {0, 1, 0}, {1, 1, 0}), {0, 0, -1}, 0.0f);
    ExpectNear(CalcNormal({1, 1, 1}, {1, 3, 1}, {1, 1, 5}), {1, 0, 0}, 0.0f);
    ExpectNear(CalcNormal({0, 0, 0}, {3, 0, 0}, {0, 4, 0}), {0, 0, 1}, 0.0f);
}

TEST(SurfaceBuilders, VerticesFollowTheSurfaceCoordinates)
{
    const CSpmImage image = RandomImage(7, 4, 1);
    std::vector<float> vertices, normals;
    BuildVertexNormalArrays(image, vertices, normals);
    const double s = 100.0 / 6.0;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 7; ++c) {
            const double h = image.m_pData[static_cast<std::size_t>(r * 7 + c)];
            const Vec3 expected{static_cast<float>(c * s), static_cast<float>(r * s),
                                static_cast<float>(-(h - image.m_dMin) / (image.m_dMax - image.m_dMin))};
            ExpectNear(At(vertices, static_cast<std::size_t>(r * 7 + c)), expected, 0.0f);
        }
}

TEST(SurfaceBuilders, TiltedPlaneHasItsAnalyticNormalEverywhere)
{
    for (const auto& [nx, ny] : {std::pair{9, 6}, std::pair{4, 4}, std::pair{5, 12}}) {
        const double p = 0.7, q = -1.3;
        const CSpmImage image = MakeImage(nx, ny, [&](int r, int c) { return p * c + q * r + 5.0; });
        const double s = 100.0 / (std::max(nx, ny) - 1);
        const double dz = image.m_dMax - image.m_dMin;
        // z = -(h - min) / dz over x = c s, y = r s: the normal is (dz/dx, dz/dy, -1), unit.
        const double gx = -p / dz / s, gy = -q / dz / s;
        const double length = std::sqrt(gx * gx + gy * gy + 1.0);
        const Vec3 analytic{static_cast<float>(gx / length), static_cast<float>(gy / length),
                            static_cast<float>(-1.0 / length)};
        std::vector<float> vertices, normals, smoothed;
        BuildVertexNormalArrays(image, vertices, normals);
        SmoothNormalArray(image, normals, smoothed);
        ASSERT_EQ(smoothed.size(), normals.size());
        for (std::size_t v = 0; v < static_cast<std::size_t>(nx * ny); ++v) {
            SCOPED_TRACE(v);
            ExpectNear(At(normals, v), analytic, 2e-6f);
            ExpectNear(At(smoothed, v), analytic, 2e-6f);
        }
    }
}

TEST(SurfaceBuilders, LastColumnAndRowRepeatTheirNeighboursNormals)
{
    const int nx = 6, ny = 5;
    const CSpmImage image = RandomImage(nx, ny, 2);
    std::vector<float> vertices, normals;
    BuildVertexNormalArrays(image, vertices, normals);
    auto v = [&](int r, int c) { return static_cast<std::size_t>(r * nx + c); };
    for (int r = 0; r + 1 < ny; ++r)
        for (int c = 0; c + 1 < nx; ++c)
            ExpectNear(At(normals, v(r, c)),
                       CalcNormal(At(vertices, v(r, c)), At(vertices, v(r + 1, c)), At(vertices, v(r + 1, c + 1))),
                       0.0f);
    for (int r = 0; r + 1 < ny; ++r)
        ExpectNear(At(normals, v(r, nx - 1)), At(normals, v(r, nx - 2)), 0.0f);
    for (int c = 0; c < nx; ++c)
        ExpectNear(At(normals, v(ny - 1, c)), At(normals, v(ny - 2, c)), 0.0f);
    ExpectNear(At(normals, v(ny - 1, nx - 1)), At(normals, v(ny - 2, nx - 2)), 0.0f);
}

TEST(SurfaceBuilders, SmoothingMatchesTheRuleAndCopiesSmallImages)
{
    for (const auto& [nx, ny] : {std::pair{4, 4}, std::pair{9, 5}, std::pair{5, 11}}) {
        const CSpmImage image = RandomImage(nx, ny, static_cast<unsigned>(nx * ny));
        std::vector<float> vertices, normals, smoothed;
        BuildVertexNormalArrays(image, vertices, normals);
        SmoothNormalArray(image, normals, smoothed);
        EXPECT_EQ(smoothed, ReferenceSmooth(normals, nx, ny)) << nx << "x" << ny;
    }
    for (const auto& [nx, ny] : {std::pair{3, 9}, std::pair{9, 3}, std::pair{2, 2}, std::pair{1, 6}}) {
        const CSpmImage image = RandomImage(nx, ny, 9);
        std::vector<float> vertices, normals, smoothed;
        BuildVertexNormalArrays(image, vertices, normals);
        SmoothNormalArray(image, normals, smoothed);
        EXPECT_EQ(smoothed, normals) << nx << "x" << ny;
    }
}

TEST(SurfaceBuilders, FlatAndDegenerateImagesStayFinite)
{
    const CSpmImage flat = MakeImage(5, 4, [](int, int) { return 3.0; });
    std::vector<float> vertices, normals, colours;
    BuildVertexNormalArrays(flat, vertices, normals);
    for (std::size_t v = 0; v < 20; ++v) {
        EXPECT_EQ(vertices[v * 3 + 2], 0.0f);
        ExpectNear(At(normals, v), {0.0f, 0.0f, -1.0f}, 0.0f);
    }
    for (const auto& [nx, ny] : {std::pair{1, 1}, std::pair{1, 7}, std::pair{7, 1}, std::pair{0, 0}}) {
        SCOPED_TRACE(nx * 10 + ny);
        const CSpmImage image = RandomImage(nx, ny, 4);
        BuildVertexNormalArrays(image, vertices, normals);
        ASSERT_EQ(vertices.size(), static_cast<std::size_t>(nx * ny * 3));
        ASSERT_EQ(normals.size(), vertices.size());
        for (float value : vertices)
            EXPECT_TRUE(std::isfinite(value));
        for (std::size_t v = 0; v < static_cast<std::size_t>(nx * ny); ++v)
            ExpectNear(At(normals, v), {0.0f, 0.0f, -1.0f}, 0.0f);
        std::vector<std::uint32_t> indices;
        BuildTriangleIndices(image, indices);
        EXPECT_TRUE(indices.empty());
    }
    // Heights that do not fill the stated size build nothing rather than read past them.
    CSpmImage shortData = RandomImage(4, 4, 5);
    shortData.m_pData.resize(10);
    BuildVertexNormalArrays(shortData, vertices, normals);
    EXPECT_TRUE(vertices.empty());
}

TEST(SurfaceBuilders, ColoursFollowTheHeightThroughTheTable)
{
    const CSpmImage image = MakeImage(4, 3, [](int r, int c) { return 2.5 * (r * 4 + c); });
    const std::vector<COLORREF> table = IndexTable(300);
    std::vector<float> colours;
    BuildColorArray(image, colours, table);
    ASSERT_EQ(colours.size(), 36u);
    const double dz = image.m_dMax - image.m_dMin;  // 27.5
    for (std::size_t v = 0; v < 12; ++v) {
        const double h = image.m_pData[v];
        EXPECT_EQ(IndexOfColour(colours, v), static_cast<std::size_t>(h * 300.0 / (dz + 1.0))) << v;
    }
    EXPECT_EQ(IndexOfColour(colours, 0), 0u);
    EXPECT_EQ(IndexOfColour(colours, 11), static_cast<std::size_t>(300.0 * dz / (dz + 1.0)));
    // Heights beyond the stored (narrowed) range clamp into the table.
    CSpmImage narrowed = image;
    narrowed.m_dMin = 5.0;
    narrowed.m_dMax = 10.0;
    BuildColorArray(narrowed, colours, table);
    EXPECT_EQ(IndexOfColour(colours, 0), 0u);
    EXPECT_EQ(IndexOfColour(colours, 11), 299u);
    BuildColorArray(narrowed, colours, {});
    EXPECT_EQ(At(colours, 11), (Vec3{0.0f, 0.0f, 0.0f}));
    const std::vector<COLORREF> white{MakeColor(255, 255, 255)};
    BuildColorArray(image, colours, white);
    EXPECT_EQ(At(colours, 5), (Vec3{1.0f, 1.0f, 1.0f}));
}

TEST(SurfaceBuilders, FullAndCoarseTriangleLists)
{
    for (const auto& [nx, ny] : {std::pair{17, 13}, std::pair{40, 9}, std::pair{8, 31}, std::pair{64, 64}}) {
        const CSpmImage image = MakeImage(nx, ny, [](int, int) { return 0.0; });
        std::vector<std::uint32_t> full;
        BuildTriangleIndices(image, full);
        EXPECT_EQ(full.size(), static_cast<std::size_t>(6 * (nx - 1) * (ny - 1)));
        EXPECT_EQ(full, ReferenceCoarse(1, nx, ny));
        for (int k = 1; k <= 10; ++k) {
            std::vector<std::uint32_t> coarse{99};
            const std::size_t count = BuildCoarseTriangleIndices(static_cast<unsigned>(k), image, coarse);
            EXPECT_EQ(coarse, ReferenceCoarse(k, nx, ny)) << nx << "x" << ny << " step " << k;
            EXPECT_EQ(count, coarse.size());
        }
    }
    // Steps larger than half the shorter side leave nothing, and thin images never count
    // below zero.
    const CSpmImage thin = MakeImage(1024, 4, [](int, int) { return 0.0; });
    std::vector<std::uint32_t> coarse;
    EXPECT_EQ(BuildCoarseTriangleIndices(8, thin, coarse), 0u);
    EXPECT_EQ(BuildCoarseTriangleIndices(3, thin, coarse), 0u);
    EXPECT_EQ(BuildCoarseTriangleIndices(2, thin, coarse), static_cast<std::size_t>(6 * 511));
    EXPECT_EQ(BuildCoarseTriangleIndices(0, thin, coarse), static_cast<std::size_t>(6 * 1023 * 3));
    const CSpmImage small = MakeImage(9, 9, [](int, int) { return 0.0; });
    EXPECT_EQ(BuildCoarseTriangleIndices(5, small, coarse), 0u);
    EXPECT_EQ(BuildCoarseTriangleIndices(4, small, coarse), 6u);
    EXPECT_EQ(coarse, (std::vector<std::uint32_t>{0, 36, 40, 0, 40, 4}));
}

TEST(SurfaceBuilders, BorderWallsAndOutline)
{
    for (const auto& [nx, ny] : {std::pair{5, 3}, std::pair{2, 2}, std::pair{1, 4}, std::pair{1, 1}}) {
        const CSpmImage image = RandomImage(nx, ny, 6);
        std::vector<float> walls, lines;
        BuildBorderArrays(image, walls, lines);
        EXPECT_EQ(walls.size() / 3, static_cast<std::size_t>(8 * (nx + ny) - 16)) << nx << "x" << ny;
        EXPECT_EQ(lines.size() / 3, static_cast<std::size_t>(4 * (nx + ny) + 8)) << nx << "x" << ny;
    }
    const int nx = 4, ny = 3;
    const CSpmImage image = RandomImage(nx, ny, 8);
    std::vector<float> vertices, normals, walls, lines;
    BuildVertexNormalArrays(image, vertices, normals);
    BuildBorderArrays(image, walls, lines);
    auto vertex = [&](int r, int c) { return At(vertices, static_cast<std::size_t>(r * nx + c)); };
    auto base = [&](int r, int c) { Vec3 p = vertex(r, c); p[2] = 0.0f; return p; };
    // First step of the first column, then the first step of the last column.
    EXPECT_EQ(At(walls, 0), vertex(0, 0));
    EXPECT_EQ(At(walls, 1), vertex(1, 0));
    EXPECT_EQ(At(walls, 2), base(1, 0));
    EXPECT_EQ(At(walls, 3), base(0, 0));
    EXPECT_EQ(At(walls, 8), vertex(0, nx - 1));
    // The first row's steps follow the 2 (ny - 1) column steps.
    const std::size_t rowStart = 2 * (ny - 1) * 4;
    EXPECT_EQ(At(walls, rowStart), vertex(0, 0));
    EXPECT_EQ(At(walls, rowStart + 1), vertex(0, 1));
    EXPECT_EQ(At(walls, rowStart + 2), base(0, 1));
    // Outline: the wall tops, then the corner edges from the base up, then the base edges.
    EXPECT_EQ(At(lines, 0), vertex(0, 0));
    EXPECT_EQ(At(lines, 1), vertex(1, 0));
    const std::size_t corners = lines.size() / 3 - 16;
    const Vec3 expectedTail[16] = {base(0, 0), vertex(0, 0), base(0, nx - 1), vertex(0, nx - 1),
                                   base(ny - 1, 0), vertex(ny - 1, 0), base(ny - 1, nx - 1), vertex(ny - 1, nx - 1),
                                   base(0, 0), base(0, nx - 1), base(0, 0), base(ny - 1, 0),
                                   base(ny - 1, nx - 1), base(0, nx - 1), base(ny - 1, nx - 1), base(ny - 1, 0)};
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(At(lines, corners + i), expectedTail[i]) << i;
}

TEST(SurfaceBuilders, GridLinesOnEveryNthRowAndColumn)
{
    const int nx = 6, ny = 5;
    const CSpmImage image = RandomImage(nx, ny, 10);
    const std::vector<COLORREF> table = IndexTable(300);
    std::vector<float> vertices, colours;
    EXPECT_EQ(BuildXLineArray(image, 0, 0, vertices, colours, table), static_cast<std::size_t>(8 * (nx - 1)));
    EXPECT_EQ(vertices.size(), colours.size());
    EXPECT_EQ(BuildXLineArray(image, 1, 1, vertices, colours, table), static_cast<std::size_t>(2 * 2 * (nx - 1)));
    EXPECT_EQ(At(vertices, 0)[1], At(vertices, 1)[1]);
    EXPECT_FLOAT_EQ(At(vertices, 0)[1], static_cast<float>(100.0 / 5.0));
    EXPECT_EQ(BuildXLineArray(image, 0, 4, vertices, colours, table), 0u);
    EXPECT_EQ(BuildXLineArray(image, 3, 100, vertices, colours, table), 0u);
    EXPECT_TRUE(vertices.empty());
    // Negative decimations and shifts count as 0 instead of looping or reading before row 0.
    EXPECT_EQ(BuildXLineArray(image, -1, -7, vertices, colours, table), static_cast<std::size_t>(8 * (nx - 1)));

    EXPECT_EQ(BuildYLineArray(image, 0, 0, vertices, colours, table), static_cast<std::size_t>(2 * (nx - 1) * (ny - 1)));
    EXPECT_EQ(BuildYLineArray(image, 2, 1, vertices, colours, table), static_cast<std::size_t>(2 * 2 * (ny - 1)));
    // A Y-line segment runs down one column; both ends take the colour of its first point.
    auto vertex = [&](int r, int c) {
        const double s = 100.0 / 5.0;
        const double h = image.m_pData[static_cast<std::size_t>(r * nx + c)];
        return Vec3{static_cast<float>(c * s), static_cast<float>(r * s),
                    static_cast<float>(-(h - image.m_dMin) / (image.m_dMax - image.m_dMin))};
    };
    EXPECT_EQ(At(vertices, 0), vertex(0, 1));
    EXPECT_EQ(At(vertices, 1), vertex(1, 1));
    const double h = image.m_pData[1];
    const std::size_t expected = static_cast<std::size_t>((h - image.m_dMin) * 300.0 / (image.m_dMax - image.m_dMin));
    EXPECT_EQ(IndexOfColour(colours, 0), std::min<std::size_t>(expected, 299));
    EXPECT_EQ(IndexOfColour(colours, 1), IndexOfColour(colours, 0));
}

TEST(SurfaceBuilders, FourierPaneSurface)
{
    const int nx = 4, ny = 3;
    const CSpmImage image = RandomImage(nx, ny, 12);
    std::vector<float> vertices, normals, greys;
    BuildSurfaceArraysForDialog(image, vertices, normals, greys, 0.0f);
    ASSERT_EQ(vertices.size(), 36u);
    ASSERT_EQ(greys.size(), 36u);
    auto v = [&](int r, int c) { return static_cast<std::size_t>(r * nx + c); };
    const double s = 100.0 / 4.0;
    for (int r = 0; r + 1 < ny; ++r)
        for (int c = 0; c + 1 < nx; ++c) {
            const double h = image.m_pData[v(r, c)];
            const float z = static_cast<float>(-(h - image.m_dMin) / (image.m_dMax - image.m_dMin));
            EXPECT_EQ(At(vertices, v(r, c)), (Vec3{static_cast<float>(c * s), static_cast<float>(r * s), z}));
            EXPECT_EQ(At(greys, v(r, c)), (Vec3{-z, -z, -z}));
        }
    const Vec3 cell00 = CalcNormal(At(vertices, v(0, 0)), At(vertices, v(1, 0)),
                                   Vec3{static_cast<float>(s), static_cast<float>(s),
                                        static_cast<float>(-(image.m_pData[v(1, 1)] - image.m_dMin) /
                                                           (image.m_dMax - image.m_dMin))});
    EXPECT_EQ(At(normals, v(0, 0)), cell00);
    for (int r = 0; r < ny; ++r)
        for (const auto* array : {&vertices, &normals, &greys})
            EXPECT_EQ(At(*array, v(r, nx - 1)), At(*array, v(std::min(r, ny - 2), nx - 2)));
    for (int c = 0; c < nx; ++c)
        for (const auto* array : {&vertices, &normals, &greys})
            EXPECT_EQ(At(*array, v(ny - 1, c)), At(*array, v(ny - 2, std::min(c, nx - 2))));
    // The level shifts every grey.
    std::vector<float> shifted;
    BuildSurfaceArraysForDialog(image, vertices, normals, shifted, 0.25f);
    EXPECT_FLOAT_EQ(shifted[0], 0.25f + greys[0]);
}
