#include "presentation/SurfaceBuilders.h"

#include <algorithm>
#include <cmath>

#include "image/SpmImage.h"
#include "presentation/ColorTable.h"

namespace {

constexpr Vec3 kFlatNormal{0.0f, 0.0f, -1.0f};
constexpr float kChannelScale = 1.0f / 255.0f;

// The image as a grid of surface points; empty when its sizes and heights disagree.
struct Grid {
    std::size_t nx = 0;
    std::size_t ny = 0;
    double scale = 0.0;  // model units per point
    double min = 0.0;
    double range = 1.0;  // never 0: a flat image spans a range of 1
    const double* heights = nullptr;

    std::size_t Points() const { return nx * ny; }
    bool HasCells() const { return nx >= 2 && ny >= 2; }
    double H(std::size_t r, std::size_t c) const { return heights[r * nx + c]; }
    float X(std::size_t c) const { return static_cast<float>(static_cast<double>(c) * scale); }
    float Y(std::size_t r) const { return static_cast<float>(static_cast<double>(r) * scale); }
    float Z(std::size_t r, std::size_t c) const
    {
        return static_cast<float>(-(H(r, c) - min) / range);
    }
    Vec3 Vertex(std::size_t r, std::size_t c) const { return {X(c), Y(r), Z(r, c)}; }
};

// With `lastPointAt100` the longer side's last point lies at 100 model units, else the
// point after it does.
Grid GridOf(const CSpmImage& image, bool lastPointAt100)
{
    Grid grid;
    if (image.m_nWidth <= 0 || image.m_nHeight <= 0)
        return grid;
    const std::size_t nx = static_cast<std::size_t>(image.m_nWidth);
    const std::size_t ny = static_cast<std::size_t>(image.m_nHeight);
    if (image.m_pData.size() < nx * ny)
        return grid;
    grid.nx = nx;
    grid.ny = ny;
    const std::size_t longer = std::max(nx, ny);
    const std::size_t divisor = lastPointAt100 ? longer - 1 : longer;
    grid.scale = 100.0 / static_cast<double>(divisor == 0 ? 1 : divisor);
    grid.min = image.m_dMin;
    const double range = image.m_dMax - image.m_dMin;
    grid.range = range > 0.0 && std::isfinite(range) ? range : 1.0;
    grid.heights = image.m_pData.data();
    return grid;
}

void Put(std::vector<float>& array, std::size_t vertex, const Vec3& value)
{
    float* out = array.data() + vertex * 3;
    out[0] = value[0];
    out[1] = value[1];
    out[2] = value[2];
}

void CopyVertex(std::vector<float>& array, std::size_t to, std::size_t from)
{
    std::copy_n(array.begin() + static_cast<std::ptrdiff_t>(from * 3), 3,
                array.begin() + static_cast<std::ptrdiff_t>(to * 3));
}

Vec3 ColorOf(COLORREF colour)
{
    return {static_cast<float>(RedOf(colour)) * kChannelScale,
            static_cast<float>(GreenOf(colour)) * kChannelScale,
            static_cast<float>(BlueOf(colour)) * kChannelScale};
}

// Table colour of a height, `perUnit` entries per height unit above the minimum.
Vec3 HeightColor(double height, double min, double perUnit, std::span<const COLORREF> table)
{
    if (table.empty())
        return {0.0f, 0.0f, 0.0f};
    return ColorOf(table[ClampedTableIndex((height - min) * perUnit, table.size())]);
}

// Copies of the last column from the one before it, then of the last row from the row
// before it, in `array` (so the corner takes the inner corner's value).
void RepeatLastColumnAndRow(const Grid& grid, std::vector<float>& array)
{
    for (std::size_t r = 0; r < grid.ny; ++r)
        CopyVertex(array, r * grid.nx + grid.nx - 1, r * grid.nx + grid.nx - 2);
    for (std::size_t c = 0; c < grid.nx; ++c)
        CopyVertex(array, (grid.ny - 1) * grid.nx + c, (grid.ny - 2) * grid.nx + c);
}

// The unit normal of the triangle a, b, c (three floats each) into `out`; every builder's
// normal comes from here, so all of them round alike.
inline void TriangleNormal(const float* a, const float* b, const float* c, float* out)
{
    const float u0 = b[0] - a[0], u1 = b[1] - a[1], u2 = b[2] - a[2];
    const float v0 = c[0] - a[0], v1 = c[1] - a[1], v2 = c[2] - a[2];
    float n0 = u1 * v2 - u2 * v1;
    float n1 = u2 * v0 - u0 * v2;
    float n2 = u0 * v1 - u1 * v0;
    const float length = std::sqrt(n0 * n0 + n1 * n1 + n2 * n2);
    if (length > 0.0f) {
        n0 /= length;
        n1 /= length;
        n2 /= length;
    }
    out[0] = n0;
    out[1] = n1;
    out[2] = n2;
}

// Fills every vertex at its own position and every normal: per cell where the image has
// cells (the last column and row left for the caller), else flat.
void FillVerticesAndCellNormals(const Grid& grid, std::vector<float>& vertices,
                                std::vector<float>& normals)
{
    vertices.resize(grid.Points() * 3);
    normals.resize(grid.Points() * 3);
    for (std::size_t r = 0; r < grid.ny; ++r)
        for (std::size_t c = 0; c < grid.nx; ++c)
            Put(vertices, r * grid.nx + c, grid.Vertex(r, c));
    if (!grid.HasCells()) {
        for (std::size_t v = 0; v < grid.Points(); ++v)
            Put(normals, v, kFlatNormal);
        return;
    }
    // Each cell's triangle: the point, the one below it and the one below and right.
    for (std::size_t r = 0; r + 1 < grid.ny; ++r) {
        const float* row = vertices.data() + r * grid.nx * 3;
        const float* below = row + grid.nx * 3;
        float* out = normals.data() + r * grid.nx * 3;
        for (std::size_t c = 0; c + 1 < grid.nx; ++c)
            TriangleNormal(row + c * 3, below + c * 3, below + c * 3 + 3, out + c * 3);
    }
}

enum class LineAxis { Rows, Columns };

std::size_t BuildGridLines(const CSpmImage& image, LineAxis axis, std::int16_t decimation,
                           std::int16_t shift, std::vector<float>& vertices,
                           std::vector<float>& colours, std::span<const COLORREF> table)
{
    const Grid grid = GridOf(image, true);
    const std::size_t lines = axis == LineAxis::Rows ? grid.ny : grid.nx;
    const std::size_t along = axis == LineAxis::Rows ? grid.nx : grid.ny;
    const std::size_t stride = static_cast<std::size_t>(std::max<int>(decimation, 0)) + 1;
    const std::size_t first = static_cast<std::size_t>(std::max<int>(shift, 0));
    const std::size_t lineCount =
        grid.HasCells() && first + 1 < lines ? (lines - 2 - first) / stride + 1 : 0;
    const std::size_t segments = lineCount * (along > 0 ? along - 1 : 0);
    vertices.resize(segments * 6);
    colours.resize(segments * 6);
    const double perUnit = static_cast<double>(table.size()) / grid.range;
    std::size_t vertex = 0;
    for (std::size_t line = first; vertex < segments * 2; line += stride) {
        for (std::size_t i = 0; i + 1 < along; ++i) {
            const bool rows = axis == LineAxis::Rows;
            const std::size_t r = rows ? line : i;
            const std::size_t c = rows ? i : line;
            const Vec3 colour = HeightColor(grid.H(r, c), grid.min, perUnit, table);
            Put(vertices, vertex, grid.Vertex(r, c));
            Put(colours, vertex++, colour);
            Put(vertices, vertex, rows ? grid.Vertex(r, c + 1) : grid.Vertex(r + 1, c));
            Put(colours, vertex++, colour);
        }
    }
    return segments * 2;
}

} // namespace

Vec3 CalcNormal(const Vec3& a, const Vec3& b, const Vec3& c)
{
    Vec3 n{};
    TriangleNormal(a.data(), b.data(), c.data(), n.data());
    return n;
}

void BuildVertexNormalArrays(const CSpmImage& image, std::vector<float>& vertices,
                             std::vector<float>& normals)
{
    const Grid grid = GridOf(image, true);
    FillVerticesAndCellNormals(grid, vertices, normals);
    if (grid.HasCells())
        RepeatLastColumnAndRow(grid, normals);
}

void SmoothNormalArray(const CSpmImage& image, std::span<const float> normals,
                       std::vector<float>& smoothed)
{
    const Grid grid = GridOf(image, true);
    smoothed.assign(normals.begin(), normals.end());
    smoothed.resize(grid.Points() * 3);
    if (grid.nx < 4 || grid.ny < 4 || normals.size() < grid.Points() * 3)
        return;
    const std::size_t nx = grid.nx;
    for (std::size_t r = 1; r + 3 <= grid.ny; ++r) {
        for (std::size_t c = 1; c + 3 <= nx; ++c) {
            const float* n = normals.data() + (r * nx + c) * 3;
            const float* upLeft = n - (nx + 1) * 3;
            const float* up = n - nx * 3;
            const float* left = n - 3;
            Vec3 m{};
            for (std::size_t k = 0; k < 3; ++k)
                m[k] = 2.0f * (n[k] + upLeft[k]) + up[k] + left[k];
            const float length = std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
            if (length != 0.0f)
                for (float& component : m)
                    component /= length;
            Put(smoothed, r * nx + c, m);
        }
    }
    for (std::size_t r = 0; r < grid.ny; ++r) {
        CopyVertex(smoothed, r * nx, r * nx + 1);
        CopyVertex(smoothed, r * nx + nx - 2, r * nx + nx - 3);
        CopyVertex(smoothed, r * nx + nx - 1, r * nx + nx - 3);
    }
    const std::size_t ny = grid.ny;
    for (std::size_t c = 0; c < nx; ++c) {
        CopyVertex(smoothed, c, nx + c);
        CopyVertex(smoothed, (ny - 2) * nx + c, (ny - 3) * nx + c);
        CopyVertex(smoothed, (ny - 1) * nx + c, (ny - 3) * nx + c);
    }
}

void BuildColorArray(const CSpmImage& image, std::vector<float>& colours,
                     std::span<const COLORREF> table)
{
    const Grid grid = GridOf(image, true);
    colours.resize(grid.Points() * 3);
    const double perUnit = static_cast<double>(table.size()) / grid.range;
    for (std::size_t v = 0; v < grid.Points(); ++v)
        Put(colours, v, HeightColor(grid.heights[v], grid.min, perUnit, table));
}

void BuildTriangleIndices(const CSpmImage& image, std::vector<std::uint32_t>& indices)
{
    BuildCoarseTriangleIndices(1, image, indices);
}

std::size_t BuildCoarseTriangleIndices(unsigned step, const CSpmImage& image,
                                       std::vector<std::uint32_t>& indices)
{
    const Grid grid = GridOf(image, true);
    const std::size_t k = step == 0 ? 1 : step;
    const std::size_t cellColumns = grid.nx / k > 0 ? grid.nx / k - 1 : 0;
    const std::size_t cellRows = grid.ny / k > 0 ? grid.ny / k - 1 : 0;
    indices.resize(6 * cellColumns * cellRows);
    std::uint32_t* out = indices.data();
    const auto nx = static_cast<std::uint32_t>(grid.nx);
    const auto kk = static_cast<std::uint32_t>(k);
    for (std::size_t i = 0; i < cellRows; ++i) {
        for (std::size_t j = 0; j < cellColumns; ++j) {
            const auto a = static_cast<std::uint32_t>(i * k * grid.nx + j * k);
            const std::uint32_t b = a + kk * nx;
            *out++ = a;
            *out++ = b;
            *out++ = b + kk;
            *out++ = a;
            *out++ = b + kk;
            *out++ = a + kk;
        }
    }
    return indices.size();
}

void BuildBorderArrays(const CSpmImage& image, std::vector<float>& walls, std::vector<float>& lines)
{
    walls.clear();
    lines.clear();
    const Grid grid = GridOf(image, true);
    if (grid.Points() == 0)
        return;
    const std::size_t nx = grid.nx;
    const std::size_t ny = grid.ny;
    auto step = [&](std::size_t r0, std::size_t c0, std::size_t r1, std::size_t c1) {
        const Vec3 p0 = grid.Vertex(r0, c0);
        const Vec3 p1 = grid.Vertex(r1, c1);
        const Vec3 p2{p1[0], p1[1], 0.0f};
        const Vec3 p3{p0[0], p0[1], 0.0f};
        for (const Vec3& p : {p0, p1, p2, p3})
            walls.insert(walls.end(), p.begin(), p.end());
        for (const Vec3& p : {p0, p1})
            lines.insert(lines.end(), p.begin(), p.end());
    };
    for (const std::size_t c : {std::size_t{0}, nx - 1})
        for (std::size_t r = 0; r + 1 < ny; ++r)
            step(r, c, r + 1, c);
    for (const std::size_t r : {std::size_t{0}, ny - 1})
        for (std::size_t c = 0; c + 1 < nx; ++c)
            step(r, c, r, c + 1);
    auto base = [&](std::size_t r, std::size_t c) { return Vec3{grid.X(c), grid.Y(r), 0.0f}; };
    const std::array<std::array<std::size_t, 2>, 4> corners{{{0, 0}, {0, nx - 1}, {ny - 1, 0}, {ny - 1, nx - 1}}};
    for (const auto& [r, c] : corners)
        for (const Vec3& p : {base(r, c), grid.Vertex(r, c)})
            lines.insert(lines.end(), p.begin(), p.end());
    const std::array<Vec3, 8> baseEdges{base(0, 0),           base(0, nx - 1),      base(0, 0),
                                        base(ny - 1, 0),      base(ny - 1, nx - 1), base(0, nx - 1),
                                        base(ny - 1, nx - 1), base(ny - 1, 0)};
    for (const Vec3& p : baseEdges)
        lines.insert(lines.end(), p.begin(), p.end());
}

std::size_t BuildXLineArray(const CSpmImage& image, std::int16_t decimation, std::int16_t shift,
                            std::vector<float>& vertices, std::vector<float>& colours,
                            std::span<const COLORREF> table)
{
    return BuildGridLines(image, LineAxis::Rows, decimation, shift, vertices, colours, table);
}

std::size_t BuildYLineArray(const CSpmImage& image, std::int16_t decimation, std::int16_t shift,
                            std::vector<float>& vertices, std::vector<float>& colours,
                            std::span<const COLORREF> table)
{
    return BuildGridLines(image, LineAxis::Columns, decimation, shift, vertices, colours, table);
}

void BuildSurfaceArraysForDialog(const CSpmImage& image, std::vector<float>& vertices,
                                 std::vector<float>& normals, std::vector<float>& greys,
                                 float level)
{
    const Grid grid = GridOf(image, false);
    FillVerticesAndCellNormals(grid, vertices, normals);
    greys.resize(grid.Points() * 3);
    for (std::size_t v = 0; v < grid.Points(); ++v) {
        const float grey = level - vertices[v * 3 + 2];
        Put(greys, v, {grey, grey, grey});
    }
    if (!grid.HasCells())
        return;
    RepeatLastColumnAndRow(grid, vertices);
    RepeatLastColumnAndRow(grid, normals);
    RepeatLastColumnAndRow(grid, greys);
}
