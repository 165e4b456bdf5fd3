// Frame times of the 2D and 3D pictures under the machine's OpenGL (Mesa's software
// renderer under Xvfb): the coarse picture a drag shows (XYMatrixSize 128) and the full
// one the timer renders and reads back, for 256^2, 512^2 and 1024^2 images in a 450 x 450
// view. Needs a display: scripts/run-bench.sh starts Xvfb for it.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <GL/gl.h>

#include <cmath>
#include <memory>

#include "app/render/GLCanvas.h"
#include "app/render/GLRenderer.h"
#include "app/render/Scene2D.h"
#include "app/render/Scene3D.h"
#include "image/SpmImage.h"

namespace {

CSpmImage WavyImage(int side)
{
    CSpmImage image;
    image.m_nWidth = image.m_nHeight = side;
    image.m_header.m_nColumns = image.m_header.m_nRows = static_cast<std::uint16_t>(side);
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c)
            image.m_pData.push_back(20.0 * std::sin(c * 0.031) * std::cos(r * 0.017) + 0.01 * c);
    image.m_dMin = -20.0;
    image.m_dMax = 30.0;
    return image;
}

// A view without a document: the picture of one image, its record and arrays.
class BenchScene : public IGLScene {
public:
    BenchScene(int side, bool threeD)
        : m_image(WavyImage(side)), m_threeD(threeD), m_canvas(*this, [] { return RenderOptions{}; }, nullptr)
    {
        SetPresentationDefaults(threeD ? ViewKind::View3D : ViewKind::View2D, m_settings);
        m_settings.m_ColorCursors = {{MakeColor(0, 0, 90), 0.0f}, {MakeColor(255, 230, 0), 1.0f}};
        CreatePolygonArray(m_image, kRenderCoarse, 128, m_arrays);
        CreateColorArray(m_image, m_image, m_settings, m_arrays);
        CreateBorderArrays(m_image, m_arrays);
        m_canvas.resize(450, 450);
        m_canvas.show();
        QApplication::processEvents();
    }
    CGLCanvas& Canvas() { return m_canvas; }
    void Frame(bool coarse)
    {
        RenderScene(coarse);
        glFinish();
    }

protected:
    void InitGLState() override { CGLRenderer::InitViewState(); }
    bool RenderScene(bool coarse) override
    {
        const QSize pixels = m_canvas.PixelSize();
        if (m_threeD)
            RenderScene3D({m_image, m_settings, m_arrays, m_image, m_settings.m_pColorTable,
                           pixels.width(), pixels.height(), coarse});
        else
            RenderScene2D({m_image, m_settings, m_arrays, {}, pixels.width(), pixels.height(), coarse});
        return true;
    }

private:
    CSpmImage m_image;
    CPresentationConfig m_settings;
    SurfaceArrays m_arrays;
    bool m_threeD;
    CGLCanvas m_canvas;
};

void BM_Frame(benchmark::State& state, bool threeD, bool coarse)
{
    BenchScene scene(static_cast<int>(state.range(0)), threeD);
    scene.Canvas().makeCurrent();
    for (auto _ : state)
        scene.Frame(coarse);
    scene.Canvas().doneCurrent();
}

// What the third timer tick costs: the full picture and its read-back into the cache.
void BM_FullPictureCached(benchmark::State& state)
{
    BenchScene scene(static_cast<int>(state.range(0)), true);
    for (auto _ : state)
        benchmark::DoNotOptimize(scene.Canvas().RenderPicture().constBits());
}

} // namespace

BENCHMARK_CAPTURE(BM_Frame, 2D_coarse, false, true)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, 2D_full, false, false)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, 3D_coarse, true, true)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, 3D_full, true, false)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullPictureCached)->Arg(1024)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
