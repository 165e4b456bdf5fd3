// The Fourier transforms through their public entries, single thread: 1-D powers of two,
// the lengths the Fourier tool uses, mixed-radix and Bluestein lengths, and the tool's 2-D
// sizes, forward and inverse; the plan alone, and plan + transform + free as the tool calls
// them. Built with the comparison libraries, FFTW3 single precision runs beside each case on
// the same data (FFTW_ESTIMATE, out of place; FFTW_MEASURE too for 2-D). After the runs a
// table gives our time over FFTW's and both rates in MFLOPS (5 N log2 N per transform).
//
// Every dispatch column runs beside column 0; --column=K times column K (0 to 4) alone beside
// it, --column=detected the column the processor detection picks.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "CollectingReporter.h"
#include "sp/sp.h"

#ifdef SPM_HAVE_FFTW
#include <fftw3.h>
#endif

namespace {

struct Case {
    const char* group;
    int width;
    int height; // 1 for the 1-D cases
};

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    for (int order = 4; order <= 20; ++order)
        cases.push_back({"pow2", 1 << order, 1});
    for (int n : {192, 384, 768, 1536, 374, 450, 314, 1490})
        cases.push_back({"tool", n, 1});
    for (int n : {1000, 2000, 2002, 4410, 59049})
        cases.push_back({"mixed", n, 1});
    for (int n : {151, 1021, 4099, 65537})
        cases.push_back({"bluestein", n, 1});
    cases.push_back({"2d", 1024, 1024});
    cases.push_back({"2d", 1536, 1536});
    return cases;
}

bool Is2D(const Case& c) { return c.height > 1; }
std::size_t Points(const Case& c) { return static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height); }

std::string CaseName(const Case& c)
{
    return Is2D(c) ? std::to_string(c.width) + "x" + std::to_string(c.height) : std::to_string(c.width);
}

// The input every implementation transforms, made once per size.
const std::vector<spComplex>& InputOf(const Case& c)
{
    static std::map<std::size_t, std::vector<spComplex>> inputs;
    auto& v = inputs[Points(c)];
    if (v.empty()) {
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> value(-1.0f, 1.0f);
        v.resize(Points(c));
        for (auto& x : v)
            x = {value(rng), value(rng)};
    }
    return v;
}

// The dispatch column under test while a benchmark runs.
class ColumnScope {
public:
    explicit ColumnScope(int column) : m_saved(spDispatchIndex) { spDispatchIndex = column; }
    ~ColumnScope() { spDispatchIndex = m_saved; }
    ColumnScope(const ColumnScope&) = delete;
    ColumnScope& operator=(const ColumnScope&) = delete;

private:
    std::int32_t m_saved;
};

std::string ColumnLabel(int column) { return "col" + std::to_string(column); }

void Fail(benchmark::State& state, spStatus status)
{
    if (status != spStsNoErr)
        state.SkipWithError(("status " + std::to_string(status)).c_str());
}

// Our transform of one case in one direction, with the plan made outside the timing; 1-D
// transforms get a buffer of the plan's size, as a caller that keeps one would pass it.
void RunOurs(benchmark::State& state, Case c, bool inverse, int column)
{
    const ColumnScope scope(column);
    const auto& in = InputOf(c);
    std::vector<spComplex> out(in.size());
    const int rowStep = 8 * c.width;
    if (Is2D(c)) {
        spDft2DSpec* spec = nullptr;
        Fail(state, spDft2DInitAlloc(&spec, c.width, c.height, spNoDivByAny, 1));
        const auto run = inverse ? spDft2DInverse : spDft2DForward;
        for (auto _ : state) {
            Fail(state, run(in.data(), rowStep, out.data(), rowStep, spec, nullptr));
            benchmark::ClobberMemory();
        }
        spDft2DFree(spec);
        return;
    }
    spDftSpec* spec = nullptr;
    Fail(state, spDftInitAlloc(&spec, c.width, spNoDivByAny, 1));
    int bytes = 0;
    spDftGetBufSize(spec, &bytes);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(bytes) + 1);
    const auto run = inverse ? spDftInverse : spDftForward;
    for (auto _ : state) {
        Fail(state, run(in.data(), out.data(), spec, buffer.data()));
        benchmark::ClobberMemory();
    }
    spDftFree(spec);
}

void RunOurPlan(benchmark::State& state, Case c, int column)
{
    const ColumnScope scope(column);
    for (auto _ : state) {
        if (Is2D(c)) {
            spDft2DSpec* spec = nullptr;
            Fail(state, spDft2DInitAlloc(&spec, c.width, c.height, spNoDivByAny, 1));
            spDft2DFree(spec);
        } else {
            spDftSpec* spec = nullptr;
            Fail(state, spDftInitAlloc(&spec, c.width, spNoDivByAny, 1));
            spDftFree(spec);
        }
    }
}

// What the Fourier tool does per transform: plan, transform without a buffer, free.
void RunOurToolCall(benchmark::State& state, Case c, int column)
{
    const ColumnScope scope(column);
    const auto& in = InputOf(c);
    std::vector<spComplex> out(in.size());
    for (auto _ : state) {
        if (Is2D(c)) {
            spDft2DSpec* spec = nullptr;
            Fail(state, spDft2DInitAlloc(&spec, c.width, c.height, spNoDivByAny, 1));
            Fail(state, spDft2DForward(in.data(), 8 * c.width, out.data(), 8 * c.width, spec, nullptr));
            spDft2DFree(spec);
        } else {
            spDftSpec* spec = nullptr;
            Fail(state, spDftInitAlloc(&spec, c.width, spNoDivByAny, 1));
            Fail(state, spDftForward(in.data(), out.data(), spec, nullptr));
            spDftFree(spec);
        }
        benchmark::ClobberMemory();
    }
}

#ifdef SPM_HAVE_FFTW
struct FftwArrays {
    explicit FftwArrays(std::size_t n)
        : in(fftwf_alloc_complex(n)), out(fftwf_alloc_complex(n)), size(n)
    {
    }
    ~FftwArrays()
    {
        fftwf_free(in);
        fftwf_free(out);
    }
    FftwArrays(const FftwArrays&) = delete;
    FftwArrays& operator=(const FftwArrays&) = delete;
    void Load(const std::vector<spComplex>& v) { std::memcpy(in, v.data(), size * sizeof(spComplex)); }

    fftwf_complex* in;
    fftwf_complex* out;
    std::size_t size;
};

fftwf_plan FftwPlan(const Case& c, FftwArrays& a, bool inverse, unsigned flags)
{
    // Wisdom left by an FFTW_MEASURE plan would let a later FFTW_ESTIMATE plan reuse it.
    if (flags == FFTW_ESTIMATE)
        fftwf_forget_wisdom();
    const int sign = inverse ? FFTW_BACKWARD : FFTW_FORWARD;
    return Is2D(c) ? fftwf_plan_dft_2d(c.height, c.width, a.in, a.out, sign, flags)
                   : fftwf_plan_dft_1d(c.width, a.in, a.out, sign, flags);
}

void RunFftw(benchmark::State& state, Case c, bool inverse, unsigned flags)
{
    FftwArrays a(Points(c));
    // FFTW_MEASURE overwrites the arrays while it plans, so the data goes in afterwards.
    const fftwf_plan plan = FftwPlan(c, a, inverse, flags);
    a.Load(InputOf(c));
    for (auto _ : state) {
        fftwf_execute(plan);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
}

void RunFftwToolCall(benchmark::State& state, Case c)
{
    FftwArrays a(Points(c));
    a.Load(InputOf(c));
    for (auto _ : state) {
        const fftwf_plan plan = FftwPlan(c, a, false, FFTW_ESTIMATE);
        fftwf_execute(plan);
        fftwf_destroy_plan(plan);
        benchmark::ClobberMemory();
    }
}
#endif

std::string Name(const std::string& what, const Case& c, const std::string& impl)
{
    return what + "/" + CaseName(c) + "/" + impl;
}

// The shared machine's load comes and goes: each case runs three times, the repetitions of
// all cases interleaved in random order, and the table takes the fastest of each.
void Add(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMicrosecond)
        ->Repetitions(3)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("min", CollectingReporter::Fastest);
}

// Column 0 and the columns under test.
std::vector<int> TimedColumns(const std::vector<int>& columns)
{
    std::vector<int> all = {0};
    for (int column : columns)
        if (column != 0)
            all.push_back(column);
    return all;
}

void Register(const std::vector<int>& columns)
{
    for (const Case& c : Cases()) {
        for (bool inverse : {false, true}) {
            const std::string what = inverse ? "inv" : "fwd";
            for (int column : TimedColumns(columns))
                Add(benchmark::RegisterBenchmark(Name(what, c, ColumnLabel(column)).c_str(), RunOurs, c, inverse,
                                                 column));
#ifdef SPM_HAVE_FFTW
            Add(benchmark::RegisterBenchmark(Name(what, c, "fftw").c_str(), RunFftw, c, inverse, FFTW_ESTIMATE));
            if (Is2D(c))
                Add(benchmark::RegisterBenchmark(Name(what, c, "fftw_measure").c_str(), RunFftw, c, inverse,
                                                 FFTW_MEASURE));
#endif
        }
        if (std::string(c.group) == "pow2" && c.width != 1024 && c.width != 65536)
            continue;
        for (int column : columns) {
            Add(benchmark::RegisterBenchmark(Name("plan", c, ColumnLabel(column)).c_str(), RunOurPlan, c, column));
            Add(benchmark::RegisterBenchmark(Name("toolcall", c, ColumnLabel(column)).c_str(), RunOurToolCall, c,
                                             column));
        }
#ifdef SPM_HAVE_FFTW
        Add(benchmark::RegisterBenchmark(Name("toolcall", c, "fftw").c_str(), RunFftwToolCall, c));
#endif
    }
}

double Mflops(const Case& c, double microseconds)
{
    const double n = static_cast<double>(Points(c));
    return 5 * n * std::log2(n) / microseconds;
}

void PrintRatios(const std::map<std::string, double>& t, const std::vector<int>& columns)
{
    const auto find = [&](const std::string& name) {
        const auto it = t.find(name);
        return it == t.end() ? 0.0 : it->second;
    };
    for (int column : columns) {
        const std::string ours = ColumnLabel(column);
        std::printf("\ncolumn %d\n%-10s %-10s %-4s %10s %10s %10s %8s %8s %9s %9s\n", column, "group", "size", "dir",
                    "ours (us)", "col0 (us)", "FFTW (us)", "/col0", "/FFTW", "MFLOPS", "/MEASURE");
        std::vector<std::pair<double, std::string>> ranked;
        for (const Case& c : Cases())
            for (const char* dir : {"fwd", "inv"}) {
                const double mine = find(Name(dir, c, ours));
                const double zero = find(Name(dir, c, ColumnLabel(0)));
                const double fftw = find(Name(dir, c, "fftw"));
                const double measure = find(Name(dir, c, "fftw_measure"));
                if (mine == 0.0)
                    continue;
                const double ratio = fftw > 0.0 ? mine / fftw : 0.0;
                std::printf("%-10s %-10s %-4s %10.2f %10.2f %10.2f %8.2f %8.2f %9.0f %9s\n", c.group,
                            CaseName(c).c_str(), dir, mine, zero, fftw, zero > 0.0 ? mine / zero : 0.0, ratio,
                            Mflops(c, mine), measure > 0.0 ? std::to_string(mine / measure).substr(0, 5).c_str() : "-");
                ranked.push_back({ratio, std::string(c.group) + " " + CaseName(c) + " " + dir});
            }
        std::printf("\n%-10s %-10s %12s %12s %9s\n", "plan+run", "size", "ours (us)", "FFTW (us)", "ratio");
        for (const Case& c : Cases()) {
            const double mine = find(Name("toolcall", c, ours));
            const double fftw = find(Name("toolcall", c, "fftw"));
            if (mine == 0.0)
                continue;
            std::printf("%-10s %-10s %12.2f %12.2f %9.2f   (plan alone %.2f us)\n", c.group, CaseName(c).c_str(),
                        mine, fftw, fftw > 0.0 ? mine / fftw : 0.0, find(Name("plan", c, ours)));
        }
        std::sort(ranked.rbegin(), ranked.rend());
        std::printf("\nslowest against FFTW_ESTIMATE:");
        for (std::size_t i = 0; i < ranked.size() && i < 6; ++i)
            std::printf(" %s (%.2f)%s", ranked[i].second.c_str(), ranked[i].first, i + 1 < 6 ? "," : "\n");
    }
}

// Takes --column=K or --column=detected out of the arguments; the default is every column.
std::vector<int> ColumnsFromArgs(std::vector<char*>& args)
{
    std::vector<int> columns;
    for (auto it = args.begin(); it != args.end();) {
        const std::string arg = *it;
        if (arg.rfind("--column=", 0) != 0) {
            ++it;
            continue;
        }
        const std::string value = arg.substr(9);
        if (value == "detected") {
            const std::int32_t saved = spDispatchIndex;
            spStaticInit();
            columns = {spDispatchIndex};
            spDispatchIndex = saved;
        } else {
            columns = {std::clamp(std::atoi(value.c_str()), 0, spDispatchColumns - 1)};
        }
        it = args.erase(it);
    }
    return columns.empty() ? std::vector<int>{0, 1, 2, 3, 4} : columns;
}

} // namespace

int main(int argc, char** argv)
{
    // Interleaving first; flags on the command line come after it and win.
    std::vector<char*> args(argv, argv + argc);
    const std::vector<int> columns = ColumnsFromArgs(args);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    argc = count;
    argv = args.data();
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Register(columns);
    CollectingReporter reporter(CollectingReporter::Keep::FastestRepetition);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter.times, columns);
    benchmark::Shutdown();
    return 0;
}
