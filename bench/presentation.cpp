// Array builds that run on every settings change of a view: the full surface of a
// 1024 x 1024 image (vertices, smoothed normals, colours, triangle list) and its coarse list
// at XYMatrixSize 128, each step also on its own. Arrays are reused between runs, as a view
// reuses them between rebuilds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

#include "image/SpmImage.h"
#include "presentation/ColorTable.h"
#include "presentation/SurfaceBuilders.h"
#include "presentation/ViewArrays.h"

namespace {

CSpmImage BumpyImage(int side)
{
    CSpmImage image;
    image.m_nWidth = side;
    image.m_nHeight = side;
    image.m_pData.resize(static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c)
            image.m_pData[static_cast<std::size_t>(r * side + c)] =
                20.0 * std::sin(c * 0.031) * std::cos(r * 0.017) + 0.01 * c;
    const auto [low, high] = std::minmax_element(image.m_pData.begin(), image.m_pData.end());
    image.m_dMin = *low;
    image.m_dMax = *high;
    return image;
}

const CSpmImage& Image1024()
{
    static const CSpmImage image = BumpyImage(1024);
    return image;
}

CPresentationConfig Palette()
{
    CPresentationConfig settings;
    settings.m_ColorCursors = {{MakeColor(0, 0, 0), 0.05f}, {MakeColor(200, 40, 0), 0.5f},
                               {MakeColor(255, 255, 255), 0.95f}};
    return settings;
}

void BM_FullSurfaceAndColours(benchmark::State& state)
{
    const CSpmImage& image = Image1024();
    CPresentationConfig settings = Palette();
    SurfaceArrays arrays;
    for (auto _ : state) {
        CreatePolygonArray(image, kRenderPrecise, 128, arrays);
        CreateColorArray(image, image, settings, arrays);
        benchmark::DoNotOptimize(arrays.m_pColors.data());
    }
}
BENCHMARK(BM_FullSurfaceAndColours)->Unit(benchmark::kMillisecond);

void BM_VertexNormalArrays(benchmark::State& state)
{
    std::vector<float> vertices, normals;
    for (auto _ : state) {
        BuildVertexNormalArrays(Image1024(), vertices, normals);
        benchmark::DoNotOptimize(normals.data());
    }
}
BENCHMARK(BM_VertexNormalArrays)->Unit(benchmark::kMillisecond);

void BM_SmoothNormalArray(benchmark::State& state)
{
    std::vector<float> vertices, normals, smoothed;
    BuildVertexNormalArrays(Image1024(), vertices, normals);
    for (auto _ : state) {
        SmoothNormalArray(Image1024(), normals, smoothed);
        benchmark::DoNotOptimize(smoothed.data());
    }
}
BENCHMARK(BM_SmoothNormalArray)->Unit(benchmark::kMillisecond);

void BM_ColorTableAndArray(benchmark::State& state)
{
    CPresentationConfig settings = Palette();
    SurfaceArrays arrays;
    for (auto _ : state) {
        CreateColorArray(Image1024(), Image1024(), settings, arrays);
        benchmark::DoNotOptimize(arrays.m_pColors.data());
    }
}
BENCHMARK(BM_ColorTableAndArray)->Unit(benchmark::kMillisecond);

void BM_TriangleIndices(benchmark::State& state)
{
    std::vector<std::uint32_t> indices;
    for (auto _ : state) {
        BuildTriangleIndices(Image1024(), indices);
        benchmark::DoNotOptimize(indices.data());
    }
}
BENCHMARK(BM_TriangleIndices)->Unit(benchmark::kMillisecond);

void BM_CoarseIndicesMatrix128(benchmark::State& state)
{
    std::vector<std::uint32_t> indices;
    const int step = CoarseStepFor(1024, 1024, 128);
    for (auto _ : state) {
        BuildCoarseTriangleIndices(static_cast<unsigned>(step), Image1024(), indices);
        benchmark::DoNotOptimize(indices.data());
    }
    state.counters["step"] = step;
}
BENCHMARK(BM_CoarseIndicesMatrix128)->Unit(benchmark::kMicrosecond);

void BM_BorderAndGridLines(benchmark::State& state)
{
    CPresentationConfig settings = Palette();
    settings.m_XLineDecim = 3;
    settings.m_YLineDecim = 3;
    FillColorTable(settings.m_ColorCursors, 300, settings.m_pColorTable);
    SurfaceArrays arrays;
    for (auto _ : state) {
        CreateBorderArrays(Image1024(), arrays);
        CreateXYLineArray(Image1024(), settings, settings.m_pColorTable, kBothLines, arrays);
        benchmark::DoNotOptimize(arrays.m_pYLineColors.data());
    }
}
BENCHMARK(BM_BorderAndGridLines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
