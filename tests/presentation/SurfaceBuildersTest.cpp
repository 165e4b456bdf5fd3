// Surface, colour, index, border and grid-line arrays: every vertex and colour against the
// documented point and colour rules, analytic normals of planes, the smoothing rule against
// a direct second implementation, and the lists' counts and known entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "presentation/SurfaceBuilders.h"
#include "support/TestImages.h"

namespace {

Vec3 At(const std::vector<float>& array, std::size_t vertex)
{
    return {array[vertex * 3], array[vertex * 3 + 1], array[vertex * 3 + 2]};
}

CSpmImage RandomImage(int columns, int rows, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> height(-50.0, 80.0);
    return MakeImage(columns, rows, [&](int, int) { return height(random); });
}

CSpmImage Ramp(int columns, int rows)
{
    return MakeImage(columns, rows, [=](int r, int c) { return static_cast<double>(r * columns + c); });
}

double RangeOf(const CSpmImage& image)
{
    const double range = image.m_dMax - image.m_dMin;
    return range > 0.0 ? range : 1.0;
}

// The point rule: (c s, r s, -(h - min) / range) with s = 100 over the longer side less one
// (the Fourier pane's surface: over the longer side).
Vec3 Point(const CSpmImage& image, int r, int c, bool lastPointAt100 = true)
{
    const int longer = std::max(image.m_nWidth, image.m_nHeight) - (lastPointAt100 ? 1 : 0);
    const double s = 100.0 / std::max(longer, 1);
    const double h = image.m_pData[static_cast<std::size_t>(r * image.m_nWidth + c)];
    return {static_cast<float>(c * s), static_cast<float>(r * s), static_cast<float>(-(h - image.m_dMin) / RangeOf(image))};
}

struct Surface {
    std::vector<float> vertices, normals;
};

Surface SurfaceOf(const CSpmImage& image)
{
    Surface surface;
    BuildVertexNormalArrays(image, surface.vertices, surface.normals);
    return surface;
}

// The smoothing rule written out directly, in place over an output that starts as a copy.
std::vector<float> ReferenceSmooth(const std::vector<float>& n, int nx, int ny)
{
    std::vector<float> m = n;
    auto idx = [&](int r, int c) { return static_cast<std::size_t>((r * nx + c) * 3); };
    for (int r = 1; r <= ny - 3; ++r)
        for (int c = 1; c <= nx - 3; ++c) {
            float v[3];
            for (int k = 0; k < 3; ++k)
                v[k] = 2.0f * (n[idx(r, c) + k] + n[idx(r - 1, c - 1) + k]) + n[idx(r - 1, c) + k] + n[idx(r, c - 1) + k];
            const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            for (int k = 0; k < 3; ++k)
                m[idx(r, c) + k] = length != 0.0f ? v[k] / length : v[k];
        }
    auto copy = [&](int r, int c, int r2, int c2) { std::copy_n(&m[idx(r2, c2)], 3, &m[idx(r, c)]); };
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

// A table whose entry i names its own index, and the index a vertex's colour names.
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
    return static_cast<std::size_t>(std::lround(c[0] * 255.0f)) + 256 * static_cast<std::size_t>(std::lround(c[1] * 255.0f));
}

}  // namespace

TEST(SurfaceBuilders, VerticesFollowThePointRuleAndEachPointTakesItsCellsNormal)
{
    for (const auto& [nx, ny] : {std::pair{2, 2}, {6, 5}, {5, 12}, {1, 7}, {3, 1}}) {
        const CSpmImage image = RandomImage(nx, ny, static_cast<unsigned>(nx * ny));
        const Surface s = SurfaceOf(image);
        ASSERT_EQ(s.vertices.size(), static_cast<std::size_t>(nx * ny * 3));
        ASSERT_EQ(s.normals.size(), s.vertices.size());
        auto v = [&](int r, int c) { return static_cast<std::size_t>(r * nx + c); };
        for (int r = 0; r < ny; ++r)
            for (int c = 0; c < nx; ++c) {
                EXPECT_EQ(At(s.vertices, v(r, c)), Point(image, r, c)) << nx << "x" << ny << " " << r << "," << c;
                // The last column and row repeat their neighbours; without cells the normal points up.
                const int rc = std::min(r, ny - 2), cc = std::min(c, nx - 2);
                const Vec3 normal = nx < 2 || ny < 2 ? Vec3{0.0f, 0.0f, -1.0f}
                                                     : CalcNormal(Point(image, rc, cc), Point(image, rc + 1, cc),
                                                                  Point(image, rc + 1, cc + 1));
                EXPECT_EQ(At(s.normals, v(r, c)), normal) << nx << "x" << ny << " " << r << "," << c;
            }
    }
    const Surface flat = SurfaceOf(MakeImage(5, 4, [](int, int) { return 3.0; }));
    for (std::size_t v = 0; v < 20; ++v)
        EXPECT_EQ(At(flat.normals, v), (Vec3{0.0f, 0.0f, -1.0f}));
    // Heights that do not fill the stated size build nothing rather than read past them.
    CSpmImage shortData = RandomImage(4, 4, 5);
    shortData.m_pData.resize(10);
    EXPECT_TRUE(SurfaceOf(shortData).vertices.empty());
    EXPECT_TRUE(SurfaceOf(CSpmImage{}).vertices.empty());
}

TEST(SurfaceBuilders, TiltedPlaneHasItsAnalyticNormalEverywhere)
{
    EXPECT_EQ(CalcNormal({1, 1, 1}, {1, 3, 1}, {1, 1, 5}), (Vec3{1, 0, 0}));
    for (const auto& [nx, ny] : {std::pair{9, 6}, {4, 4}, {5, 12}}) {
        const double p = 0.7, q = -1.3;
        const CSpmImage image = MakeImage(nx, ny, [&](int r, int c) { return p * c + q * r + 5.0; });
        const double s = 100.0 / (std::max(nx, ny) - 1);
        const double dz = image.m_dMax - image.m_dMin;
        // z = -(h - min) / dz over x = c s, y = r s: the normal is (dz/dx, dz/dy, -1), unit.
        const double gx = -p / dz / s, gy = -q / dz / s;
        const double length = std::sqrt(gx * gx + gy * gy + 1.0);
        const Surface surface = SurfaceOf(image);
        for (std::size_t v = 0; v < static_cast<std::size_t>(nx * ny); ++v) {
            const Vec3 n = At(surface.normals, v);
            EXPECT_NEAR(n[0], gx / length, 2e-6) << v;
            EXPECT_NEAR(n[1], gy / length, 2e-6) << v;
            EXPECT_NEAR(n[2], -1.0 / length, 2e-6) << v;
        }
    }
}

TEST(SurfaceBuilders, SmoothingMatchesTheRuleAndCopiesSmallImages)
{
    for (const auto& [nx, ny] : {std::pair{4, 4}, {9, 5}, {5, 11}, {3, 9}, {9, 3}, {2, 2}, {1, 6}}) {
        const CSpmImage image = RandomImage(nx, ny, static_cast<unsigned>(nx * ny));
        const Surface s = SurfaceOf(image);
        std::vector<float> smoothed;
        SmoothNormalArray(image, s.normals, smoothed);
        EXPECT_EQ(smoothed, nx < 4 || ny < 4 ? s.normals : ReferenceSmooth(s.normals, nx, ny)) << nx << "x" << ny;
    }
}

TEST(SurfaceBuilders, ColoursTakeEntryHeightTimesEntriesOverTheRange)
{
    CSpmImage image = RandomImage(7, 5, 3);
    std::vector<float> colours;
    for (const auto& [min, max] : {std::pair{image.m_dMin, image.m_dMax}, {-10.0, 20.0}, {4.0, 4.0}}) {
        image.m_dMin = min;  // a stored range narrower than the heights, or none
        image.m_dMax = max;
        for (const std::size_t entries : {300u, 3000u}) {
            BuildColorArray(image, colours, IndexTable(entries));
            ASSERT_EQ(colours.size(), 35u * 3);
            for (std::size_t v = 0; v < 35; ++v) {
                const double at = (image.m_pData[v] - min) * (static_cast<double>(entries) / RangeOf(image));
                const auto entry = static_cast<std::size_t>(std::clamp(std::floor(at), 0.0, entries - 1.0));
                EXPECT_EQ(IndexOfColour(colours, v), entry) << v << " of " << min;
            }
        }
    }
    BuildColorArray(image, colours, {});
    EXPECT_EQ(At(colours, 11), (Vec3{0.0f, 0.0f, 0.0f}));
}

TEST(SurfaceBuilders, FullAndCoarseTriangleLists)
{
    using List = std::vector<std::uint32_t>;
    List indices;
    BuildTriangleIndices(Ramp(3, 2), indices);
    EXPECT_EQ(indices, (List{0, 3, 4, 0, 4, 1, 1, 4, 5, 1, 5, 2}));
    EXPECT_EQ(BuildCoarseTriangleIndices(2, Ramp(5, 6), indices), 12u);
    EXPECT_EQ(indices, (List{0, 10, 12, 0, 12, 2, 10, 20, 22, 10, 22, 12}));
    // Columns, rows, step and the count: cells over 0..(n/step - 1) x step; steps larger than
    // half the shorter side leave nothing, and thin images never count below zero.
    const std::array<int, 4> counts[] = {
        {17, 13, 1, 6 * 16 * 12}, {40, 9, 3, 6 * 12 * 2}, {64, 64, 10, 6 * 5 * 5}, {8, 31, 10, 0}, {1024, 4, 3, 0},
        {1024, 4, 2, 6 * 511},    {1024, 4, 0, 6 * 1023 * 3}, {9, 9, 5, 0},        {1, 7, 1, 0},   {0, 0, 1, 0},
    };
    for (const auto& [nx, ny, step, count] : counts) {
        indices.assign(3, 99);
        EXPECT_EQ(BuildCoarseTriangleIndices(static_cast<unsigned>(step), Ramp(nx, ny), indices),
                  static_cast<std::size_t>(count)) << nx << "x" << ny << " step " << step;
        EXPECT_EQ(indices.size(), static_cast<std::size_t>(count));
    }
}

TEST(SurfaceBuilders, BorderWallsAndOutline)
{
    for (const auto& [nx, ny] : {std::pair{5, 3}, {2, 2}, {1, 4}, {1, 1}}) {
        std::vector<float> walls, lines;
        BuildBorderArrays(RandomImage(nx, ny, 6), walls, lines);
        EXPECT_EQ(walls.size() / 3, static_cast<std::size_t>(8 * (nx + ny) - 16)) << nx << "x" << ny;
        EXPECT_EQ(lines.size() / 3, static_cast<std::size_t>(4 * (nx + ny) + 8)) << nx << "x" << ny;
    }
    const int nx = 4, ny = 3;
    const CSpmImage image = RandomImage(nx, ny, 8);
    std::vector<float> walls, lines;
    BuildBorderArrays(image, walls, lines);
    auto top = [&](int r, int c) { return Point(image, r, c); };
    auto base = [&](int r, int c) { Vec3 p = Point(image, r, c); p[2] = 0.0f; return p; };
    // The first step of the first column, the first of the last column, then the first row's.
    const std::pair<std::size_t, Vec3> wallPoints[] = {{0, top(0, 0)}, {1, top(1, 0)}, {2, base(1, 0)}, {3, base(0, 0)},
                                                       {8, top(0, nx - 1)}, {17, top(0, 1)}, {18, base(0, 1)}};
    for (const auto& [i, p] : wallPoints)
        EXPECT_EQ(At(walls, i), p) << i;
    // Outline: the wall tops, then the corner edges from the base up, then the base edges.
    EXPECT_EQ(At(lines, 1), top(1, 0));
    const Vec3 tail[16] = {base(0, 0), top(0, 0), base(0, nx - 1), top(0, nx - 1), base(ny - 1, 0), top(ny - 1, 0),
                           base(ny - 1, nx - 1), top(ny - 1, nx - 1), base(0, 0), base(0, nx - 1), base(0, 0),
                           base(ny - 1, 0), base(ny - 1, nx - 1), base(0, nx - 1), base(ny - 1, nx - 1), base(ny - 1, 0)};
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(At(lines, lines.size() / 3 - 16 + i), tail[i]) << i;
}

TEST(SurfaceBuilders, GridLinesOnEveryNthRowAndColumn)
{
    const int nx = 6, ny = 5;
    const CSpmImage image = Ramp(nx, ny);  // heights 0..29
    const std::vector<COLORREF> table = IndexTable(300);
    std::vector<float> vertices, colours;
    // Decimation, shift and the vertex count (two per segment).
    const std::array<int, 3> xCases[] = {{3, 100, 0}, {0, 4, 0}, {-1, -7, 8 * (nx - 1)}, {1, 1, 2 * 2 * (nx - 1)}};
    for (const auto& [decimation, shift, count] : xCases)
        EXPECT_EQ(BuildXLineArray(image, static_cast<std::int16_t>(decimation), static_cast<std::int16_t>(shift), vertices,
                                  colours, table),
                  static_cast<std::size_t>(count)) << decimation << " " << shift;
    ASSERT_EQ(colours.size(), vertices.size());
    // Rows 1 and 3; both ends of a segment take its first point's entry, (h - min) x 300 / 29.
    EXPECT_EQ(At(vertices, 0), Point(image, 1, 0));
    EXPECT_EQ(At(vertices, 1), Point(image, 1, 1));
    EXPECT_EQ(At(vertices, 2 * (nx - 1)), Point(image, 3, 0));
    EXPECT_EQ(IndexOfColour(colours, 1), 62u);
    EXPECT_EQ(BuildYLineArray(image, 0, 0, vertices, colours, table), static_cast<std::size_t>(2 * (nx - 1) * (ny - 1)));
    EXPECT_EQ(At(vertices, 0), Point(image, 0, 0));
    EXPECT_EQ(BuildYLineArray(image, 2, 1, vertices, colours, table), static_cast<std::size_t>(2 * 2 * (ny - 1)));
    // Columns 1 and 4, each segment one step down its column.
    EXPECT_EQ(At(vertices, 1), Point(image, 1, 1));
    EXPECT_EQ(At(vertices, 2 * (ny - 1)), Point(image, 0, 4));
    EXPECT_EQ(IndexOfColour(colours, 1), 10u);
}

TEST(SurfaceBuilders, FourierPaneSurface)
{
    const int nx = 4, ny = 3;
    const CSpmImage image = RandomImage(nx, ny, 9);
    std::vector<float> vertices, normals, greys, shifted;
    BuildSurfaceArraysForDialog(image, vertices, normals, greys, 0.0f);
    BuildSurfaceArraysForDialog(image, vertices, normals, shifted, 0.25f);
    ASSERT_EQ(greys.size(), 36u);
    auto v = [&](int r, int c) { return static_cast<std::size_t>(r * nx + c); };
    for (int r = 0; r < ny; ++r)
        for (int c = 0; c < nx; ++c) {
            // The last column and row repeat the vertices, normals and greys next to them.
            const int rc = std::min(r, ny - 2), cc = std::min(c, nx - 2);
            const Vec3 p = Point(image, rc, cc, false);
            EXPECT_EQ(At(vertices, v(r, c)), p) << r << "," << c;
            EXPECT_EQ(At(greys, v(r, c)), (Vec3{-p[2], -p[2], -p[2]})) << r << "," << c;
            EXPECT_FLOAT_EQ(shifted[v(r, c) * 3], 0.25f - p[2]);
            EXPECT_EQ(At(normals, v(r, c)),
                      CalcNormal(p, Point(image, rc + 1, cc, false), Point(image, rc + 1, cc + 1, false)));
        }
}
