// The application shell's figures: start-up to a shown main window, File Open of a
// 1024 x 1024 NanoScope file to its first complete 2D picture (precise render, so the first
// picture is the full one), and the resident memory each open 1024 x 1024 image adds.
// Needs a display (xvfb-run -a -s "-screen 0 1600x1200x24" build/.../bench_shell).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWindow>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "app/MainFrame.h"
#include "app/SpmApp.h"
#include "formats/ImageFile.h"
#include "image/SpmImage.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/View.h"

namespace {

constexpr int kSide = 1024;

// A one-image NanoScope file of kSide x kSide smooth heights, written by the program's writer.
std::string WriteNanoscopeFile(const QTemporaryDir& dir)
{
    CSpmImage image;
    image.m_nWidth = image.m_nHeight = kSide;
    SpmHeader& header = image.m_header;
    header.m_nColumns = header.m_nRows = static_cast<std::uint16_t>(kSide);
    header.m_fKx = header.m_fKy = 0.01f;
    header.m_fKz = 0.001f;
    SetHeaderText(header.m_szZUnit, "nm");
    SetHeaderText(header.m_szXYUnit, "um");
    SetHeaderText(header.m_szQuantity, "Height");
    for (int r = 0; r < kSide; ++r)
        for (int c = 0; c < kSide; ++c)
            image.m_pData.push_back(20.0 * std::sin(c * 0.031) * std::cos(r * 0.017) + 0.01 * c);
    const std::string path = dir.filePath("bench.000").toStdString();
    CImageFile file;
    file.WriteNanoscope(path, image);
    return path;
}

// A top-level window until the display shows it; a child (a frame in the MDI area) until it
// is visible and its first events have run.
void WaitExposed(QWidget& widget)
{
    if (!widget.isWindow()) {
        while (!widget.isVisible())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QApplication::processEvents();
        return;
    }
    while (widget.windowHandle() == nullptr || !widget.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The application with its main window shown in 2D render mode, and the benchmark file.
struct ShownApp {
    ShownApp() : path(WriteNanoscopeFile(dir))
    {
        app.InitInstance({});
        app.MainFrame().m_nRenderMode = 0;
        WaitExposed(app.MainFrame());
    }
    const QTemporaryDir dir;
    const std::string path;
    CSpmApp app;
};

// Lets the closing of frames and documents finish before the next iteration.
void SettleEvents()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

double ResidentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void BM_StartUpToShownMainWindow(benchmark::State& state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto app = std::make_unique<CSpmApp>();
        app->InitInstance({});
        WaitExposed(app->MainFrame());
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        app.reset();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_StartUpToShownMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Opens the file (its first image in one 2D frame) and grabs the frame, which paints it.
void BM_Open1024NanoscopeToFirst2DPicture(benchmark::State& state)
{
    ShownApp shown;
    CSpmApp& app = shown.app;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        CDocument* doc = app.DocManager().OpenDocumentFile(shown.path).doc;
        CMDIChildFrame* frame = doc->Frames().front();
        WaitExposed(*frame);
        benchmark::DoNotOptimize(frame->GetActiveView()->Widget()->grab());
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        app.DocManager().CloseDocument(*doc);
        SettleEvents();
    }
}
BENCHMARK(BM_Open1024NanoscopeToFirst2DPicture)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Resident memory before and after opening copies of the file, each in its 2D frame.
void BM_ResidentMemoryPerOpen1024Image(benchmark::State& state)
{
    ShownApp shown;
    CSpmApp& app = shown.app;
    constexpr int kCopies = 4;
    for (auto _ : state) {
        const double before = ResidentMiB();
        for (int i = 0; i < kCopies; ++i) {
            const std::string copy = shown.dir.filePath(QStringLiteral("copy%1.000").arg(i)).toStdString();
            std::filesystem::copy_file(shown.path, copy, std::filesystem::copy_options::overwrite_existing);
            CDocument* doc = app.DocManager().OpenDocumentFile(copy).doc;
            WaitExposed(*doc->Frames().front());
            benchmark::DoNotOptimize(doc->Frames().front()->GetActiveView()->Widget()->grab());
        }
        state.counters["MiB_per_image"] = (ResidentMiB() - before) / kCopies;
        app.DocManager().CloseAllDocuments();
        SettleEvents();
    }
}
BENCHMARK(BM_ResidentMemoryPerOpen1024Image)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    // The recent files of the runs go to a folder of their own, never the user's; so do the
    // desktop entry every start writes and the socket it listens on for files.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    const QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
