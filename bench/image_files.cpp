// Time to load a 1024 x 1024 image of each writable format, and to measure it (height range,
// raw range and histogram) as the document does after every load.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "formats/ImageFile.h"
#include "formats/ImageFormat.h"
#include "image/ImageStatistics.h"
#include "image/SpmImage.h"

namespace {

constexpr int kSide = 1024;

constexpr ImageFormat kWritten[] = {ImageFormat::kSpm, ImageFormat::kNanoscope, ImageFormat::kMdt};

CSpmImage MakeSurface()
{
    CSpmImage image;
    image.m_nWidth = kSide;
    image.m_nHeight = kSide;
    image.m_header.m_nColumns = kSide;
    image.m_header.m_nRows = kSide;
    image.m_header.m_fKx = 2.0f;
    image.m_header.m_fKy = 2.0f;
    SetHeaderText(image.m_header.m_szXYUnit, "nm");
    SetHeaderText(image.m_header.m_szZUnit, "nm");
    SetHeaderText(image.m_header.m_szQuantity, "Height");
    image.m_pData.resize(static_cast<std::size_t>(kSide) * kSide);
    for (int r = 0; r < kSide; ++r)
        for (int c = 0; c < kSide; ++c)
            image.m_pData[static_cast<std::size_t>(r) * kSide + c] = 20.0 * std::sin(r * 0.01) * std::cos(c * 0.013) + 0.004 * c;
    image.m_pRaw.resize(image.m_pData.size());
    ComputeMinMax(image);
    return image;
}

// The three files, written once into a folder of their own that goes when the program ends.
class Files {
public:
    Files() : m_dir(std::filesystem::temp_directory_path() / ("spm-bench-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(m_dir);
        CSpmImage image = MakeSurface();
        CImageFile file;
        for (ImageFormat format : kWritten)
            WriteImage(file, format, Path(format), image);
    }
    ~Files()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string Path(ImageFormat format) const
    {
        const char* name = format == ImageFormat::kSpm   ? "image.spm"
                           : format == ImageFormat::kMdt ? "image.mdt"
                                                         : "image.000";
        return (m_dir / name).string();
    }

private:
    std::filesystem::path m_dir;
};

const Files& TheFiles()
{
    static const Files files;
    return files;
}

bool Load(ImageFormat format, const std::string& path, CSpmImage& image)
{
    CImageFile file;
    if (!ReadImageHeader(file, format, path, image))
        return false;
    image.m_nWidth = image.m_header.m_nColumns;
    image.m_nHeight = image.m_header.m_nRows;
    const std::size_t count = static_cast<std::size_t>(image.m_nWidth) * image.m_nHeight;
    image.m_pRaw.assign(count, 0);
    image.m_pData.assign(count, 0.0);
    return ReadImageSamples(file, format, path, image);
}

void BM_Load(benchmark::State& state, ImageFormat format)
{
    const std::string path = TheFiles().Path(format);
    for (auto _ : state) {
        CSpmImage image;
        if (!Load(format, path, image)) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(image.m_pData.data());
    }
    state.SetBytesProcessed(state.iterations() * 2 * kSide * kSide);
}

void BM_Statistics(benchmark::State& state)
{
    CSpmImage image = MakeSurface();
    image.m_nBins = kImageHistogramBins;
    for (auto _ : state) {
        ComputeMinMax(image);
        MinMaxInt(kSide, kSide, image.m_pRaw, image.m_nRawMin, image.m_nRawMax);
        ComputeHistogram(image);
        benchmark::DoNotOptimize(image.m_pHistogram.data());
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

}  // namespace

BENCHMARK_CAPTURE(BM_Load, spm, ImageFormat::kSpm)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, nanoscope, ImageFormat::kNanoscope)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, mdt, ImageFormat::kMdt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Statistics)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
