// The Fourier tool on square images of 256, 1024 (1536 bordered) and 994 points (1490
// bordered, 2 x 5 x 149: the slowest length the tool meets): opening, Filtering end to end,
// one tick of a cut-off drag, the forward transform alone, and mask builds of one and two
// primitives. The panes are left out: the view does nothing here.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "BenchImage.h"
#include "fourier/FourierDialogModel.h"
#include "sp/core/spDispatch.h"

namespace {

struct NullView : IFourierView {
    void Exchange() override {}
    void SetText(int, const std::string&) override {}
    void SetScroll(int, int) override {}
    void EnableControl(int, bool) override {}
    void RefreshChecks() override {}
    void ClearList() override {}
    void AddListItem(const std::string&) override {}
    void RemoveListItem(int) override {}
    int SelectedListItem() const override { return -1; }
    void DrawOverlay(const CSpmImage&, const FilterOutline&) override {}
    void DrawDragOutline(const FilterOutline&) override {}
    void RenderPanes() override {}
    void SetTimerPeriod(int) override {}
    std::optional<std::string> ChooseFilterFile(bool) override { return std::nullopt; }
};

// A document with one side x side image of waves and noise.
std::unique_ptr<CMDIDoc> MakeDocument(int side)
{
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 20.0);
    auto doc = std::make_unique<CMDIDoc>();
    LoadBenchImage(*doc, side, "bench_fourier.spm", [&](int c, int r) {
        return 500.0 * std::sin(c * 0.05) * std::cos(r * 0.03) + noise(random);
    });
    return doc;
}

struct Tool {
    explicit Tool(int side) : doc(MakeDocument(side))
    {
        model.SetPaneGeometry(394, 394, {0, 0, 400, 400});
        model.Open(doc.get(), doc->ImageList().front().m_pImage->m_strName, 0, std::nullopt);
    }
    std::unique_ptr<CMDIDoc> doc;
    NullView view;
    CFourierDialogModel model{view};
};

void Opening(benchmark::State& state)
{
    const auto doc = MakeDocument(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        NullView view;
        CFourierDialogModel model(view);
        model.SetPaneGeometry(394, 394, {0, 0, 400, 400});
        benchmark::DoNotOptimize(model.Open(doc.get(), doc->ImageList().front().m_pImage->m_strName, 0, std::nullopt));
    }
}

void Filtering(benchmark::State& state)
{
    Tool tool(static_cast<int>(state.range(0)));
    for (auto _ : state)
        tool.model.Filtering();
}

void DragTick(benchmark::State& state)
{
    Tool tool(static_cast<int>(state.range(0)));
    tool.model.m_nDragDx = 40;
    for (auto _ : state) {
        tool.model.m_nPendingAction = kLiveEdit;
        tool.model.OnTimer();
    }
}

void ForwardTransform(benchmark::State& state)
{
    Tool tool(static_cast<int>(state.range(0)));
    for (auto _ : state)
        FourierTransform2D(tool.model.m_imgWork, 0, kShowFiltered, tool.model.m_Workspace);
}

void MaskBuild(benchmark::State& state)
{
    Tool tool(static_cast<int>(state.range(0)));
    std::vector<FilterPrimitive> list = DefaultPrimitives();
    list.resize(static_cast<std::size_t>(state.range(1)));
    std::vector<double> mask;
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildListMask(list, tool.model.m_Workspace, mask));
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->Arg(256)->Arg(1024)->Arg(994)->Repetitions(3)
        ->DisplayAggregatesOnly(true)->ComputeStatistics("min", [](const std::vector<double>& v) {
            return *std::min_element(v.begin(), v.end());
        });
}

} // namespace

BENCHMARK(Opening)->Apply(Sizes);
BENCHMARK(Filtering)->Apply(Sizes);
BENCHMARK(DragTick)->Apply(Sizes);
BENCHMARK(ForwardTransform)->Apply(Sizes);
BENCHMARK(MaskBuild)->Unit(benchmark::kMillisecond)->ArgsProduct({{256, 1024, 994}, {1, 2}})->Repetitions(3)
    ->DisplayAggregatesOnly(true);

int main(int argc, char** argv)
{
    // The transforms run in the library column the application chooses for this processor.
    spStaticInit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
