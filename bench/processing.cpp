// Every processing command end to end on a 1024 x 1024 image, as the menu runs it: lookup,
// undo copy, routine, range and histogram (the square filters with their bordered float
// copy and the copy back). Each iteration starts from the same heights. Beside them the
// floor of any command that rewrites the plane: one read and one write of its 8 MB.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "BenchImage.h"
#include "CollectingReporter.h"
#include "processing/DocProcessingCommands.h"
#include "processing/ImageProcessor.h"
#include "sp/core/spDispatch.h"

namespace {

constexpr int kSide = 1024;

struct BenchHost : IProcessingHost {
    std::string ActiveImageName() const override { return name; }
    std::string ActiveViewKind() const override { return ":2D"; }
    std::string name;
};

// A document holding one 1024 x 1024 image with a tilt, waves, a step per row and
// measurement noise, loaded from a *.spm file as the application would load it.
struct BenchDocument {
    BenchDocument()
    {
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0.0, 0.2);
        LoadBenchImage(doc, kSide, "bench_processing.spm", [&](int c, int r) {
            return 0.01 * c + 0.02 * r + 5.0 * std::sin(c * 0.05) * std::cos(r * 0.03) + (r % 7) * 0.3 +
                   noise(random);
        });
        host.name = Image().m_strName;
        original = Image();
    }
    CSpmImage& Image() { return *doc.ImageList().front().m_pImage; }

    CMDIDoc doc;
    BenchHost host;
    CSpmImage original;
    CDocProcessingCommands commands{doc, host};
};

BenchDocument& Document()
{
    static BenchDocument document;
    return document;
}

void RunCommand(benchmark::State& state, ProcessingCommand command)
{
    BenchDocument& bench = Document();
    for (auto _ : state) {
        state.PauseTiming();
        bench.Image() = bench.original;
        // Crop cuts the rectangle of the two selected points, a quarter of the image.
        bench.doc.m_ptSel1 = {256, 256};
        bench.doc.m_ptSel2 = {768, 768};
        bench.doc.m_bSel2Set = 1;
        // Undo finds a copy to restore.
        CImageProcessor().MakeUndoCopy(bench.Image());
        bench.doc.m_nUndoScope = kUndoScopeActive;
        state.ResumeTiming();
        bench.commands.Run(command);
        benchmark::DoNotOptimize(bench.Image().m_pData.data());
    }
}

void RunPlaneCopy(benchmark::State& state)
{
    const std::vector<double> from(static_cast<std::size_t>(kSide) * kSide, 1.0);
    std::vector<double> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(double));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

struct NamedCommand {
    const char* name;
    ProcessingCommand command;
};

const NamedCommand kCommands[] = {
    {"median XY", ProcessingCommand::kMedianXY},     {"flatten XY", ProcessingCommand::kFlattenXY},
    {"align XY", ProcessingCommand::kAlignXY},       {"normalize", ProcessingCommand::kNormalize},
    {"rotate 90", ProcessingCommand::kRotate90},     {"crop", ProcessingCommand::kCrop},
    {"gauss 3x3", ProcessingCommand::kGauss3x3},     {"gauss 5x5", ProcessingCommand::kGauss5x5},
    {"laplace 3x3", ProcessingCommand::kLaplace3x3}, {"laplace 5x5", ProcessingCommand::kLaplace5x5},
    {"lowpass 3x3", ProcessingCommand::kLowpass3x3}, {"lowpass 5x5", ProcessingCommand::kLowpass5x5},
    {"highpass 3x3", ProcessingCommand::kHighpass3x3}, {"highpass 5x5", ProcessingCommand::kHighpass5x5},
    {"sharpen", ProcessingCommand::kSharpen},        {"sobel vert", ProcessingCommand::kSobelVert},
    {"line hipass", ProcessingCommand::kHipassGaussX}, {"undo", ProcessingCommand::kUndo},
};

constexpr const char* kFloor = "plane read+write";

void PrintAgainstFloor(const std::map<std::string, double>& times)
{
    const auto floor = times.find(kFloor);
    if (floor == times.end())
        return;
    std::printf("\n%-14s %10s %12s %8s\n", "command", "ms", "x floor", "frame");
    for (const NamedCommand& c : kCommands) {
        const auto found = times.find(c.name);
        if (found != times.end())
            std::printf("%-14s %10.2f %12.1f %8s\n", c.name, found->second, found->second / floor->second,
                        found->second < 16.0 ? "yes" : "NO");
    }
    std::printf("%-14s %10.2f\n", kFloor, floor->second);
}

// The shared machine's load comes and goes: the table takes the fastest of five runs.
void Repeat(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true)->ComputeStatistics("min", CollectingReporter::Fastest);
}

}  // namespace

int main(int argc, char** argv)
{
    // The filters run in the library column the application chooses for this processor.
    spStaticInit();
    Repeat(benchmark::RegisterBenchmark(kFloor, RunPlaneCopy));
    for (const NamedCommand& c : kCommands)
        Repeat(benchmark::RegisterBenchmark(c.name, [command = c.command](benchmark::State& s) { RunCommand(s, command); }));
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter(CollectingReporter::Keep::FastestRepetition);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintAgainstFloor(reporter.times);
    benchmark::Shutdown();
    return 0;
}
