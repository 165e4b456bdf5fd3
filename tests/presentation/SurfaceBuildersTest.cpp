// Surface, colour, index, border and grid-line arrays: known answers, analytic normals of
// planes, counts, the smoothing rule against a direct second implementation, and the builders
// against each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <tuple>

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

// Heights 0, 1, 2, ... row by row.
CSpmImage Ramp(int columns, int rows)
{
    return MakeImage(columns, rows, [=](int r, int c) { return static_cast<double>(r * columns + c); });
}

struct Surface {
    std::vector<float> vertices;
    std::vector<float> normals;
};

Surface SurfaceOf(const CSpmImage& image)
{
    Surface surface;
    BuildVertexNormalArrays(image, surface.vertices, surface.normals);
    return surface;
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
    const Surface s = SurfaceOf(image);
    ASSERT_EQ(s.vertices.size(), 12u);
    ExpectNear(At(s.vertices, 0), {0.0f, 0.0f, 0.0f}, 0.0f);
    ExpectNear(At(s.vertices, 1), {100.0f, 0.0f, -1.0f / 3.0f}, 1e-7f);
    ExpectNear(At(s.vertices, 2), {0.0f, 100.0f, -2.0f / 3.0f}, 1e-7f);
    ExpectNear(At(s.vertices, 3), {100.0f, 100.0f, -1.0f}, 0.0f);
}

TEST(SurfaceBuilders, CalcNormalIsTheUnitCrossProduct)
{
    ExpectNear(CalcNormal({0, 0, 0}, {0, 1, 0}, {1, 1, 0}), {0, 0, -1}, 0.0f);
    ExpectNear(CalcNormal({1, 1, 1}, {1, 3, 1}, {1, 1, 5}), {1, 0, 0}, 0.0f);
    ExpectNear(CalcNormal({0, 0, 0}, {3, 0, 0}, {0, 4, 0}), {0, 0, 1}, 0.0f);
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
        const Surface surface = SurfaceOf(image);
        for (std::size_t v = 0; v < static_cast<std::size_t>(nx * ny); ++v) {
            SCOPED_TRACE(v);
            ExpectNear(At(surface.normals, v), analytic, 2e-6f);
        }
    }
}

TEST(SurfaceBuilders, EachPointTakesItsCellsNormalAndTheLastColumnAndRowRepeatTheirNeighbours)
{
    const int nx = 6, ny = 5;
    const Surface s = SurfaceOf(RandomImage(nx, ny, 2));
    auto v = [&](int r, int c) { return static_cast<std::size_t>(r * nx + c); };
    for (int r = 0; r < ny; ++r)
        for (int c = 0; c < nx; ++c) {
            const int rc = std::min(r, ny - 2), cc = std::min(c, nx - 2);
            EXPECT_EQ(At(s.normals, v(r, c)), CalcNormal(At(s.vertices, v(rc, cc)), At(s.vertices, v(rc + 1, cc)),
                                                         At(s.vertices, v(rc + 1, cc + 1))))
                << r << "," << c;
        }
}

TEST(SurfaceBuilders, SmoothingMatchesTheRuleAndCopiesSmallImages)
{
    for (const auto& [nx, ny] : {std::pair{4, 4}, std::pair{9, 5}, std::pair{5, 11}, std::pair{3, 9},
                                 std::pair{9, 3}, std::pair{2, 2}, std::pair{1, 6}}) {
        const CSpmImage image = RandomImage(nx, ny, static_cast<unsigned>(nx * ny));
        const Surface s = SurfaceOf(image);
        std::vector<float> smoothed;
        SmoothNormalArray(image, s.normals, smoothed);
        const bool small = nx < 4 || ny < 4;
        EXPECT_EQ(smoothed, small ? s.normals : ReferenceSmooth(s.normals, nx, ny)) << nx << "x" << ny;
    }
}

TEST(SurfaceBuilders, FlatAndDegenerateImagesStayFinite)
{
    const Surface flat = SurfaceOf(MakeImage(5, 4, [](int, int) { return 3.0; }));
    for (std::size_t v = 0; v < 20; ++v) {
        EXPECT_EQ(flat.vertices[v * 3 + 2], 0.0f);
        EXPECT_EQ(At(flat.normals, v), (Vec3{0.0f, 0.0f, -1.0f}));
    }
    for (const auto& [nx, ny] : {std::pair{1, 1}, std::pair{1, 7}, std::pair{7, 1}, std::pair{0, 0}}) {
        SCOPED_TRACE(nx * 10 + ny);
        const CSpmImage image = RandomImage(nx, ny, 4);
        const Surface s = SurfaceOf(image);
        ASSERT_EQ(s.vertices.size(), static_cast<std::size_t>(nx * ny * 3));
        ASSERT_EQ(s.normals.size(), s.vertices.size());
        for (float value : s.vertices)
            EXPECT_TRUE(std::isfinite(value));
        for (std::size_t v = 0; v < static_cast<std::size_t>(nx * ny); ++v)
            EXPECT_EQ(At(s.normals, v), (Vec3{0.0f, 0.0f, -1.0f}));
    }
    // Heights that do not fill the image's columns x rows build nothing rather than read past them.
    CSpmImage shortData = RandomImage(4, 4, 5);
    shortData.m_pData.resize(10);
    EXPECT_TRUE(SurfaceOf(shortData).vertices.empty());
}

TEST(SurfaceBuilders, ColoursFollowTheHeightThroughTheTable)
{
    // Heights 0, 2.5, ... 27.5: entry (h - min) x 300 / 27.5, the highest clamped to 299.
    const CSpmImage image = MakeImage(4, 3, [](int r, int c) { return 2.5 * (r * 4 + c); });
    CSpmImage narrowed = image;  // a stored range of 5..10: 60 entries per unit
    narrowed.m_dMin = 5.0;
    narrowed.m_dMax = 10.0;
    const std::vector<COLORREF> table = IndexTable(300);
    const std::tuple<const CSpmImage*, std::size_t, std::size_t> cases[] = {
        {&image, 0, 0},     {&image, 5, 136},     {&image, 11, 299},
        {&narrowed, 0, 0},  {&narrowed, 3, 150},  {&narrowed, 11, 299},
    };
    std::vector<float> colours;
    for (const auto& [source, vertex, entry] : cases) {
        BuildColorArray(*source, colours, table);
        ASSERT_EQ(colours.size(), 36u);
        EXPECT_EQ(IndexOfColour(colours, vertex), entry) << "vertex " << vertex;
    }
    BuildColorArray(narrowed, colours, {});
    EXPECT_EQ(At(colours, 11), (Vec3{0.0f, 0.0f, 0.0f}));
    BuildColorArray(image, colours, std::vector<COLORREF>{MakeColor(255, 255, 255)});
    EXPECT_EQ(At(colours, 5), (Vec3{1.0f, 1.0f, 1.0f}));
}

TEST(SurfaceBuilders, FullAndCoarseTriangleLists)
{
    using List = std::vector<std::uint32_t>;
    List indices;
    BuildTriangleIndices(Ramp(2, 2), indices);
    EXPECT_EQ(indices, (List{0, 2, 3, 0, 3, 1}));
    BuildTriangleIndices(Ramp(3, 2), indices);
    EXPECT_EQ(indices, (List{0, 3, 4, 0, 4, 1, 1, 4, 5, 1, 5, 2}));
    EXPECT_EQ(BuildCoarseTriangleIndices(4, Ramp(9, 9), indices), 6u);
    EXPECT_EQ(indices, (List{0, 36, 40, 0, 40, 4}));
    EXPECT_EQ(BuildCoarseTriangleIndices(2, Ramp(5, 6), indices), 12u);
    EXPECT_EQ(indices, (List{0, 10, 12, 0, 12, 2, 10, 20, 22, 10, 22, 12}));

    // Columns, rows, step and the count: cells over 0..(n/step - 1) x step; steps larger than
    // half the shorter side leave nothing, and thin images never count below zero.
    const std::array<int, 4> counts[] = {
        {17, 13, 1, 6 * 16 * 12}, {40, 9, 3, 6 * 12 * 2}, {64, 64, 10, 6 * 5 * 5}, {8, 31, 10, 0},
        {1024, 4, 8, 0},          {1024, 4, 3, 0},        {1024, 4, 2, 6 * 511},   {1024, 4, 0, 6 * 1023 * 3},
        {9, 9, 5, 0},             {1, 7, 1, 0},           {7, 1, 1, 0},            {0, 0, 1, 0},
    };
    for (const auto& [nx, ny, step, count] : counts) {
        indices.assign(3, 99);
        EXPECT_EQ(BuildCoarseTriangleIndices(static_cast<unsigned>(step), Ramp(nx, ny), indices),
                  static_cast<std::size_t>(count))
            << nx << "x" << ny << " step " << step;
        EXPECT_EQ(indices.size(), static_cast<std::size_t>(count));
    }
}

TEST(SurfaceBuilders, BorderWallsAndOutline)
{
    for (const auto& [nx, ny] : {std::pair{5, 3}, std::pair{2, 2}, std::pair{1, 4}, std::pair{1, 1}}) {
        std::vector<float> walls, lines;
        BuildBorderArrays(RandomImage(nx, ny, 6), walls, lines);
        EXPECT_EQ(walls.size() / 3, static_cast<std::size_t>(8 * (nx + ny) - 16)) << nx << "x" << ny;
        EXPECT_EQ(lines.size() / 3, static_cast<std::size_t>(4 * (nx + ny) + 8)) << nx << "x" << ny;
    }
    const int nx = 4, ny = 3;
    const CSpmImage image = RandomImage(nx, ny, 8);
    const Surface s = SurfaceOf(image);
    std::vector<float> walls, lines;
    BuildBorderArrays(image, walls, lines);
    auto vertex = [&](int r, int c) { return At(s.vertices, static_cast<std::size_t>(r * nx + c)); };
    auto base = [&](int r, int c) { Vec3 p = vertex(r, c); p[2] = 0.0f; return p; };
    // First step of the first column, then the first step of the last column.
    EXPECT_EQ(At(walls, 0), vertex(0, 0));
    EXPECT_EQ(At(walls, 1), vertex(1, 0));
    EXPECT_EQ(At(walls, 2), base(1, 0));
    EXPECT_EQ(At(walls, 3), base(0, 0));
    EXPECT_EQ(At(walls, 8), vertex(0, nx - 1));
    // The first row's steps follow the 2 (ny - 1) column steps.
    const std::size_t rowStart = 2 * (ny - 1) * 4;
    EXPECT_EQ(At(walls, rowStart + 1), vertex(0, 1));
    EXPECT_EQ(At(walls, rowStart + 2), base(0, 1));
    // Outline: the wall tops, then the corner edges from the base up, then the base edges.
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
    const CSpmImage image = Ramp(nx, ny);  // heights 0..29
    const Surface s = SurfaceOf(image);
    auto vertex = [&](int r, int c) { return At(s.vertices, static_cast<std::size_t>(r * nx + c)); };
    const std::vector<COLORREF> table = IndexTable(300);
    std::vector<float> vertices, colours;
    // Decimation, shift and the vertex count (two per segment).
    const std::array<int, 3> xCases[] = {{0, 0, 8 * (nx - 1)}, {3, 100, 0}, {0, 4, 0}, {-1, -7, 8 * (nx - 1)},
                                         {1, 1, 2 * 2 * (nx - 1)}};
    for (const auto& [decimation, shift, count] : xCases)
        EXPECT_EQ(BuildXLineArray(image, static_cast<std::int16_t>(decimation), static_cast<std::int16_t>(shift),
                                  vertices, colours, table),
                  static_cast<std::size_t>(count))
            << decimation << " " << shift;
    ASSERT_EQ(colours.size(), vertices.size());
    // Rows 1 and 3; both ends of a segment take its first point's entry, (h - min) x 300 / 29.
    EXPECT_EQ(At(vertices, 0), vertex(1, 0));
    EXPECT_EQ(At(vertices, 1), vertex(1, 1));
    EXPECT_EQ(At(vertices, 2 * (nx - 1)), vertex(3, 0));
    EXPECT_EQ(IndexOfColour(colours, 0), 62u);
    EXPECT_EQ(IndexOfColour(colours, 1), 62u);

    EXPECT_EQ(BuildYLineArray(image, 0, 0, vertices, colours, table), static_cast<std::size_t>(2 * (nx - 1) * (ny - 1)));
    EXPECT_EQ(BuildYLineArray(image, 2, 1, vertices, colours, table), static_cast<std::size_t>(2 * 2 * (ny - 1)));
    // Columns 1 and 4, each segment one step down its column.
    EXPECT_EQ(At(vertices, 0), vertex(0, 1));
    EXPECT_EQ(At(vertices, 1), vertex(1, 1));
    EXPECT_EQ(At(vertices, 2 * (ny - 1)), vertex(0, 4));
    EXPECT_EQ(IndexOfColour(colours, 1), 10u);
}

TEST(SurfaceBuilders, FourierPaneSurface)
{
    const int nx = 4, ny = 3;
    const CSpmImage image = Ramp(nx, ny);  // heights 0..11; 25 model units per point
    std::vector<float> vertices, normals, greys;
    BuildSurfaceArraysForDialog(image, vertices, normals, greys, 0.0f);
    ASSERT_EQ(vertices.size(), 36u);
    ASSERT_EQ(greys.size(), 36u);
    auto v = [&](int r, int c) { return static_cast<std::size_t>(r * nx + c); };
    const float depth = static_cast<float>(6.0 / 11.0);  // height 6 of 0..11
    EXPECT_EQ(At(vertices, v(1, 2)), (Vec3{50.0f, 25.0f, -depth}));
    EXPECT_EQ(At(greys, v(1, 2)), (Vec3{depth, depth, depth}));
    EXPECT_EQ(At(normals, v(0, 0)), CalcNormal(At(vertices, v(0, 0)), At(vertices, v(1, 0)), At(vertices, v(1, 1))));
    // The last column and row repeat the vertices, normals and greys next to them.
    for (const auto* array : {&vertices, &normals, &greys}) {
        for (int r = 0; r < ny; ++r)
            EXPECT_EQ(At(*array, v(r, nx - 1)), At(*array, v(std::min(r, ny - 2), nx - 2)));
        for (int c = 0; c < nx; ++c)
            EXPECT_EQ(At(*array, v(ny - 1, c)), At(*array, v(ny - 2, std::min(c, nx - 2))));
    }
    // The level shifts every grey.
    std::vector<float> shifted;
    BuildSurfaceArraysForDialog(image, vertices, normals, shifted, 0.25f);
    EXPECT_FLOAT_EQ(shifted[v(1, 2) * 3], 0.25f + greys[v(1, 2) * 3]);
}
