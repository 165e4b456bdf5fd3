// One repaint of the profile view and of the palette panel for a 1024 x 1024 image: the
// profile sampled along the diagonal of two images and both plots drawn into a 600 x 300
// picture; the palette's colour table, bar with histogram and cursor strip at panel size.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cmath>

#include "app/panels/PalettePicture.h"
#include "app/views/ProfilePlot.h"
#include "image/ImageStatistics.h"
#include "image/SpmImage.h"
#include "presentation/ColorTable.h"

namespace {

CSpmImage WavyImage(int side, double phase)
{
    CSpmImage image;
    image.m_nWidth = image.m_nHeight = side;
    image.m_header.m_fKx = image.m_header.m_fKy = 0.01f;
    image.m_pData.resize(static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c)
            image.m_pData[static_cast<std::size_t>(r) * side + c] =
                20.0 * std::sin(c * 0.031 + phase) * std::cos(r * 0.017) + 0.01 * c;
    return image;
}

void BM_ProfileViewRepaint(benchmark::State& state)
{
    const CSpmImage first = WavyImage(1024, 0.0);
    const CSpmImage second = WavyImage(1024, 1.0);
    const CSpmImage* images[] = {&first, &second};
    QImage picture(600, 300, QImage::Format_RGB32);
    for (auto _ : state) {
        const std::vector<ProfileCurve> curves = ProfileCurves(images, {0, 0}, {1023, 1023}, {});
        picture.fill(Qt::white);
        QPainter painter(&picture);
        CProfilePlot(curves[0].m_profile, "x[nm]", "Height", curves[0].m_desc).Draw(painter, {0, 0, 600, 300});
        CProfilePlot(curves[1].m_profile, "x[nm]", "Height", curves[1].m_desc).DrawCompact(painter, {0, 0, 600, 300});
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_ProfileViewRepaint)->Unit(benchmark::kMillisecond);

void BM_PalettePanelRepaint(benchmark::State& state)
{
    CSpmImage image = WavyImage(1024, 0.0);
    ComputeMinMax(image);
    ComputeHistogram(image);
    CPresentationConfig record;
    record.m_ColorCursors = {{MakeColor(0, 0, 0), 0.05f}, {MakeColor(200, 40, 0), 0.5f},
                             {MakeColor(255, 255, 255), 0.95f}};
    const PaletteFonts fonts;
    for (auto _ : state) {
        FillColorTable(record.m_ColorCursors, static_cast<std::size_t>(image.m_nBins), record.m_pColorTable);
        const QImage bar = DrawPaletteBar({200, 520}, fonts, image, record, "Height_01");
        const QImage strip = DrawCursorStrip({20, 520}, record.m_ColorCursors);
        benchmark::DoNotOptimize(bar.constBits());
        benchmark::DoNotOptimize(strip.constBits());
    }
}
BENCHMARK(BM_PalettePanelRepaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
