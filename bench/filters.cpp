// The fixed filters through their public entries, in every column of the dispatch table, on
// 1024x1024 and 4096x4096 float images with a two-pixel border, next to a memcpy of the
// output's bytes (the memory floor) and, when built with the comparison libraries, the
// nearest OpenCV operation on one thread. The shared machine's load comes and goes: each
// case runs three times, the repetitions of all cases interleaved in random order, and the
// table after the runs takes the fastest of each: every column's time, column 4 (what
// spStaticInit picks on current processors) against column 0 and against OpenCV, and the
// slowest of columns 1 to 4 against column 0.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "CollectingReporter.h"
#include "sp/core/spDispatch.h"
#include "sp/sp.h"

#ifdef SPM_HAVE_OPENCV
// OpenCV 4.6's headers mix enumeration types, which C++20 deprecates.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-enum-enum-conversion"
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#pragma GCC diagnostic pop
#endif

namespace {

constexpr int kBorder = 2;
const int kSizes[] = {1024, 4096};

// A square float image with its border and a separate destination, filled once.
struct Planes {
    explicit Planes(int side)
        : side(side), stride(side + 2 * kBorder),
          src(static_cast<std::size_t>(stride) * static_cast<std::size_t>(stride)),
          dst(static_cast<std::size_t>(side) * static_cast<std::size_t>(side))
    {
        std::mt19937 rng(1);
        std::uniform_real_distribution<float> height(-50.0f, 50.0f);
        for (float& v : src)
            v = height(rng);
    }
    const float* Origin() const { return src.data() + kBorder * stride + kBorder; }

    int side, stride;
    std::vector<float> src, dst;
};

Planes& PlanesOf(int side)
{
    static std::map<int, std::unique_ptr<Planes>> planes;
    auto& p = planes[side];
    if (!p)
        p = std::make_unique<Planes>(side);
    return *p;
}

struct OurFilter {
    const char* name;
    spFilterMaskFn* masked; // or
    spFilterFixedFn* fixed;
    spMaskSize mask;
};

const OurFilter kOurFilters[] = {
    {"Gauss3x3", spFilterGauss, nullptr, spMskSize3x3},
    {"Gauss5x5", spFilterGauss, nullptr, spMskSize5x5},
    {"Laplace3x3", spFilterLaplace, nullptr, spMskSize3x3},
    {"Laplace5x5", spFilterLaplace, nullptr, spMskSize5x5},
    {"Lowpass3x3", spFilterLowpass, nullptr, spMskSize3x3},
    {"Lowpass5x5", spFilterLowpass, nullptr, spMskSize5x5},
    {"Hipass3x3", spFilterHipass, nullptr, spMskSize3x3},
    {"Hipass5x5", spFilterHipass, nullptr, spMskSize5x5},
    {"Sharpen", nullptr, spFilterSharpen, spMskSize3x3},
    {"SobelVert", nullptr, spFilterSobelVert, spMskSize3x3},
    {"SobelHoriz", nullptr, spFilterSobelHoriz, spMskSize3x3},
};

void RunOurs(benchmark::State& state, const OurFilter& f, int side, int column)
{
    Planes& p = PlanesOf(side);
    const spRoiSize roi{side, side};
    spDispatchIndex = column;
    for (auto _ : state) {
        const spStatus status =
            f.masked ? f.masked(p.Origin(), p.stride * 4, p.dst.data(), side * 4, roi, f.mask)
                     : f.fixed(p.Origin(), p.stride * 4, p.dst.data(), side * 4, roi);
        if (status != spStsNoErr)
            state.SkipWithError("filter failed");
        benchmark::DoNotOptimize(p.dst.data());
        benchmark::ClobberMemory();
    }
    spDispatchIndex = 0;
}

void RunMemcpy(benchmark::State& state, int side)
{
    Planes& p = PlanesOf(side);
    for (auto _ : state) {
        std::memcpy(p.dst.data(), p.src.data(), p.dst.size() * sizeof(float));
        benchmark::DoNotOptimize(p.dst.data());
        benchmark::ClobberMemory();
    }
}

#ifdef SPM_HAVE_OPENCV
// OpenCV reads the same bordered plane: its region of interest is our region, and the
// isolated border keeps it from looking past the region, as our filters never do beyond
// the caller's border.
struct OpenCvOp {
    const char* name; // the filter of ours it stands beside
    const char* what;
    void (*run)(const cv::Mat& src, cv::Mat& dst);
};

constexpr int kIsolated = cv::BORDER_REFLECT_101 | cv::BORDER_ISOLATED;

cv::Mat Kernel(int side, std::vector<float> weights, double scale)
{
    cv::Mat k(side, side, CV_32F);
    for (int i = 0; i < side * side; ++i)
        k.at<float>(i / side, i % side) =
            static_cast<float>(weights[static_cast<std::size_t>(i)] * scale);
    return k;
}

void Filter2D(const cv::Mat& src, cv::Mat& dst, const cv::Mat& kernel)
{
    cv::filter2D(src, dst, CV_32F, kernel, cv::Point(-1, -1), 0.0, kIsolated);
}

const cv::Mat& Gauss5Kernel()
{
    static const cv::Mat k = Kernel(5, {2, 7, 12, 7, 2, 7, 31, 52, 31, 7, 12, 52, 127, 52, 12,
                                        7, 31, 52, 31, 7, 2, 7, 12, 7, 2}, 1.0 / 571);
    return k;
}

const cv::Mat& Laplace5Kernel()
{
    static const cv::Mat k = Kernel(5, {-1, -3, -4, -3, -1, -3, 0, 6, 0, -3, -4, 6, 20, 6, -4,
                                        -3, 0, 6, 0, -3, -1, -3, -4, -3, -1}, 1.0);
    return k;
}

const cv::Mat& Laplace3Kernel()
{
    static const cv::Mat k = Kernel(3, {-1, -1, -1, -1, 8, -1, -1, -1, -1}, 1.0);
    return k;
}

const cv::Mat& SharpenKernel()
{
    static const cv::Mat k = Kernel(3, {-1, -1, -1, -1, 16, -1, -1, -1, -1}, 0.125);
    return k;
}

const cv::Mat& Hipass5Kernel()
{
    static const cv::Mat k = [] {
        std::vector<float> w(25, -1.0f);
        w[12] = 24.0f;
        return Kernel(5, w, 1.0);
    }();
    return k;
}

const OpenCvOp kOpenCvOps[] = {
    {"Gauss3x3", "GaussianBlur 3x3",
     [](const cv::Mat& s, cv::Mat& d) { cv::GaussianBlur(s, d, {3, 3}, 0, 0, kIsolated); }},
    {"Gauss5x5", "filter2D 5x5 Gauss",
     [](const cv::Mat& s, cv::Mat& d) { Filter2D(s, d, Gauss5Kernel()); }},
    // A separable Gaussian of OpenCV's own weights: a different, cheaper kernel.
    {"Gauss5x5", "GaussianBlur 5x5 (other)",
     [](const cv::Mat& s, cv::Mat& d) { cv::GaussianBlur(s, d, {5, 5}, 0, 0, kIsolated); }},
    {"Laplace3x3", "filter2D 3x3 Laplace",
     [](const cv::Mat& s, cv::Mat& d) { Filter2D(s, d, Laplace3Kernel()); }},
    {"Laplace5x5", "filter2D 5x5 Laplace",
     [](const cv::Mat& s, cv::Mat& d) { Filter2D(s, d, Laplace5Kernel()); }},
    {"Lowpass3x3", "blur 3x3",
     [](const cv::Mat& s, cv::Mat& d) { cv::blur(s, d, {3, 3}, {-1, -1}, kIsolated); }},
    {"Lowpass5x5", "blur 5x5",
     [](const cv::Mat& s, cv::Mat& d) { cv::blur(s, d, {5, 5}, {-1, -1}, kIsolated); }},
    {"Hipass3x3", "filter2D 3x3 highpass",
     [](const cv::Mat& s, cv::Mat& d) { Filter2D(s, d, Laplace3Kernel()); }},
    {"Hipass5x5", "filter2D 5x5 highpass",
     [](const cv::Mat& s, cv::Mat& d) { Filter2D(s, d, Hipass5Kernel()); }},
    {"Sharpen", "filter2D 3x3 sharpen",
     [](const cv::Mat& s, cv::Mat& d) { Filter2D(s, d, SharpenKernel()); }},
    {"SobelVert", "Sobel dx, negated",
     [](const cv::Mat& s, cv::Mat& d) { cv::Sobel(s, d, CV_32F, 1, 0, 3, -1.0, 0.0, kIsolated); }},
    {"SobelHoriz", "Sobel dy",
     [](const cv::Mat& s, cv::Mat& d) { cv::Sobel(s, d, CV_32F, 0, 1, 3, 1.0, 0.0, kIsolated); }},
};

void RunOpenCv(benchmark::State& state, const OpenCvOp& op, int side)
{
    Planes& p = PlanesOf(side);
    cv::Mat plane(p.stride, p.stride, CV_32F, p.src.data());
    const cv::Mat region = plane(cv::Rect(kBorder, kBorder, side, side));
    cv::Mat dst(side, side, CV_32F, p.dst.data());
    for (auto _ : state) {
        op.run(region, dst);
        benchmark::DoNotOptimize(dst.data);
        benchmark::ClobberMemory();
    }
}
#endif

std::string Name(const std::string& kind, const std::string& what, int side)
{
    return kind + "/" + what + "/" + std::to_string(side);
}

std::string OursName(const char* filter, int side, int column)
{
    return Name("ours", filter, side) + "/column" + std::to_string(column);
}

void Add(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMicrosecond)
        ->Repetitions(3)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("min", CollectingReporter::Fastest);
}

void Register()
{
    for (int side : kSizes) {
        Add(benchmark::RegisterBenchmark(Name("memcpy", "copy", side).c_str(), RunMemcpy, side));
        for (const OurFilter& f : kOurFilters)
            for (int column = 0; column < spDispatchColumns; ++column)
                Add(benchmark::RegisterBenchmark(
                    OursName(f.name, side, column).c_str(),
                    [&f, side, column](benchmark::State& s) { RunOurs(s, f, side, column); }));
#ifdef SPM_HAVE_OPENCV
        for (const OpenCvOp& op : kOpenCvOps)
            Add(benchmark::RegisterBenchmark(
                Name("opencv", op.what, side).c_str(),
                [&op, side](benchmark::State& s) { RunOpenCv(s, op, side); }));
#endif
    }
}

void PrintRatios(const std::map<std::string, double>& t)
{
    const auto find = [&](const std::string& name) {
        const auto it = t.find(name);
        return it == t.end() ? 0.0 : it->second / 1e3;
    };
    // max/c0: the slowest processor column against the generic one.
    std::printf("\n%-11s %5s %7s %7s %7s %7s %7s %6s %6s %7s  %-26s %7s %7s\n", "filter", "size",
                "c0 ms", "c1 ms", "c2 ms", "c3 ms", "c4 ms", "c4/c0", "max/c0", "c4/copy",
                "OpenCV operation", "ms", "c4/cv");
    for (int side : kSizes) {
        const double floor = find(Name("memcpy", "copy", side));
        for (const OurFilter& f : kOurFilters) {
            double c[spDispatchColumns];
            for (int column = 0; column < spDispatchColumns; ++column)
                c[column] = find(OursName(f.name, side, column));
            if (c[0] == 0.0 || c[4] == 0.0)
                continue;
            double slowest = 0;
            for (int column = 1; column < spDispatchColumns; ++column)
                slowest = std::max(slowest, c[column]);
            std::printf("%-11s %5d %7.2f %7.2f %7.2f %7.2f %7.2f %6.2f %6.2f %7.2f", f.name, side,
                        c[0], c[1], c[2], c[3], c[4], c[4] / c[0], slowest / c[0],
                        floor > 0 ? c[4] / floor : 0.0);
            bool first = true;
#ifdef SPM_HAVE_OPENCV
            for (const OpenCvOp& op : kOpenCvOps) {
                const double theirs = find(Name("opencv", op.what, side));
                if (std::string(op.name) != f.name || theirs == 0.0)
                    continue;
                // A second operation goes below the first, under its own columns.
                std::printf("%*s  %-26s %7.2f %7.2f\n", first ? 0 : 79, "", op.what, theirs,
                            c[4] / theirs);
                first = false;
            }
#endif
            if (first)
                std::printf("\n");
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
#ifdef SPM_HAVE_OPENCV
    cv::setNumThreads(1);
#endif
    // Interleaving first; flags on the command line come after it and win.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    Register();
    CollectingReporter reporter(CollectingReporter::Keep::FastestRepetition);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter.times);
    benchmark::Shutdown();
    return 0;
}
