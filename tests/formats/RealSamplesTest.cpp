// Files written by instrument software, and the sample image shipped in resources/samples:
// each reads what it holds. SPM_WRITE_SAMPLE=1 writes the shipped sample anew first.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <random>
#include <sstream>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"

namespace {

// The rms of the heights about their mean.
double RmsAboutMean(const std::vector<double>& heights)
{
    const long double mean = std::accumulate(heights.begin(), heights.end(), 0.0L) / heights.size();
    long double squares = 0;
    for (double h : heights)
        squares += (h - mean) * (h - mean);
    return static_cast<double>(std::sqrt(squares / heights.size()));
}

// The comma-separated int16 rows of a gzip-compressed reference, in file order.
std::vector<std::int32_t> ReadGzipCsv(const std::filesystem::path& path)
{
    std::string text;
    if (gzFile in = gzopen(path.string().c_str(), "rb")) {
        char chunk[65536];
        for (int n = 0; (n = gzread(in, chunk, sizeof chunk)) > 0;)
            text.append(chunk, static_cast<std::size_t>(n));
        gzclose(in);
    }
    std::replace_if(text.begin(), text.end(), [](char c) { return c == ',' || c == '\r' || c == '\n'; }, ' ');
    std::istringstream fields(text);
    fields.imbue(std::locale::classic());
    std::vector<std::int32_t> values;
    for (std::int32_t value = 0; fields >> value;)
        values.push_back(value);
    return values;
}

// The shipped sample's heights in nanometres: a gently tilted plane, four round bumps, a
// terrace step along a slanted edge and mild noise from a fixed seed (the generator's raw
// output, which the standard fixes, so every platform makes the same surface).
std::vector<double> SampleHeights()
{
    const double bumps[][4] = {{64, 80, 12.0, 10}, {170, 60, 8.0, 14}, {120, 190, 15.0, 8}, {205, 205, 6.0, 20}};
    std::mt19937 random(20240607);
    std::vector<double> heights;
    for (int r = 0; r < 256; ++r)
        for (int c = 0; c < 256; ++c) {
            double h = 0.02 * c + 0.01 * r;
            for (const auto& [row, column, height, radius] : bumps)
                h += height * std::exp(-((r - row) * (r - row) + (c - column) * (c - column)) / (2 * radius * radius));
            h += c > 140 + 0.3 * r ? 3.0 : 0.0;
            heights.push_back(h + (random() / 4294967296.0 - 0.5) * 0.3);
        }
    return heights;
}

}  // namespace

TEST(RealSamples, NanoscopeV432HeightAndAmplitude)
{
    SPM_REQUIRE_SAMPLES();
    const auto path = SamplePath("nanoscope-v432-height-amplitude.007");
    const Loaded height = LoadImageFile(ImageFormat::kNanoscope, path, 0);
    ASSERT_TRUE(height.ok) << height.error;
    const SpmHeader& h = height.image.m_header;
    EXPECT_EQ(std::tie(h.m_nColumns, h.m_nRows), std::tuple(256, 256));
    EXPECT_EQ(HeaderText(h.m_szQuantity) + " " + HeaderText(h.m_szZUnit) + " " + HeaderText(h.m_szXYUnit), "Height nm um");
    EXPECT_FLOAT_EQ(h.m_fKx * 256, 2.0f);  // a 2 x 2 um scan
    EXPECT_FLOAT_EQ(h.m_fKy * 256, 2.0f);
    EXPECT_FLOAT_EQ(h.m_fKz, static_cast<float>(7.237438 * 11.39026 / 65536.0));
    const auto [low, high] = std::minmax_element(height.image.m_pRaw.begin(), height.image.m_pRaw.end());
    EXPECT_EQ(std::tie(*low, *high), std::tuple(-32767, 12097));
    EXPECT_NEAR(RmsAboutMean(height.image.m_pData), 6.665, 0.0005);
    const Loaded amplitude = LoadImageFile(ImageFormat::kNanoscope, path, 1);
    ASSERT_TRUE(amplitude.ok) << amplitude.error;
    EXPECT_EQ(HeaderText(amplitude.image.m_header.m_szQuantity) + " " + HeaderText(amplitude.image.m_header.m_szZUnit),
              "Amplitude uni");
    EXPECT_FLOAT_EQ(amplitude.image.m_header.m_fKz, static_cast<float>(0.8232117 / 65536.0));
    EXPECT_NE(amplitude.image.m_pRaw, height.image.m_pRaw);
}

TEST(RealSamples, NanoscopeV512HeightEqualsItsReference)
{
    SPM_REQUIRE_SAMPLES();
    const auto path = SamplePath("nanoscope-v512-height-amplitude.000");
    const Loaded height = LoadImageFile(ImageFormat::kNanoscope, path, 0);
    ASSERT_TRUE(height.ok) << height.error;
    EXPECT_EQ(std::tie(height.image.m_nWidth, height.image.m_nHeight), std::tuple(512, 512));
    EXPECT_FLOAT_EQ(height.image.m_header.m_fKz, static_cast<float>(438.6572 * 12.95302 / 65536.0));
    EXPECT_EQ(height.image.m_pRaw, ReadGzipCsv(SamplePath("nanoscope-v512-height-amplitude.raw.csv.gz")));
    EXPECT_EQ(HeaderText(LoadImageFile(ImageFormat::kNanoscope, path, 1).image.m_header.m_szQuantity), "Amplitude");
}

TEST(RealSamples, MdtScanBetweenSpectraAndBrokenFilesWithTheirReason)
{
    SPM_REQUIRE_SAMPLES();
    const Loaded scan = LoadImageFile(ImageFormat::kMdt, SamplePath("mdt-spectra-and-scan-51x39.mdt"), 0);
    ASSERT_TRUE(scan.ok) << scan.error;
    const SpmHeader& h = scan.image.m_header;
    EXPECT_EQ(std::tie(h.m_nColumns, h.m_nRows), std::tuple(51, 39));
    EXPECT_NEAR(h.m_fKx, 100.7095, 1e-3);  // 0.1007 um per point
    EXPECT_NEAR(h.m_fKy, 100.7095, 1e-3);
    EXPECT_EQ(HeaderText(h.m_szXYUnit) + " " + HeaderText(h.m_szZUnit) + " " + HeaderText(h.m_szQuantity),
              "nm uni Unknown");  // Z unit code 13; the frame's title is no name of ours
    EXPECT_EQ(HeaderText(h.m_szNote), "");  // its comment is empty
    EXPECT_LT(scan.image.m_dMin, scan.image.m_dMax);
    // Saved as *.mdt it reopens as the same counts: neither relabelled nor ten times larger.
    ScratchDir dir;
    ScriptedPrompt prompt;
    CSpmImage saved = scan.image;
    ASSERT_EQ(SaveImageFile(ImageFormat::kMdt, dir / "scan.mdt", saved), ImageFileError::kNone);
    const Loaded back = LoadImageFile(ImageFormat::kMdt, dir / "scan.mdt");
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_EQ(HeaderText(back.image.m_header.m_szZUnit) + " " + HeaderText(back.image.m_header.m_szQuantity), "uni Unknown");
    const double step = saved.m_header.m_fKz;  // one stored sample
    EXPECT_NEAR(back.image.m_dMin, scan.image.m_dMin, step);
    EXPECT_NEAR(back.image.m_dMax, scan.image.m_dMax, step);
    EXPECT_NEAR(back.image.m_dMin, -149.6, 0.05);
    EXPECT_NEAR(back.image.m_dMax, 149.6, 0.05);
    const std::tuple<const char*, ImageFormat, int, ImageFileError, const char*> cases[] = {
        // A later version, which spells "Scan size:" otherwise: no block is complete for this
        // reader (header bytes are missing as well).
        {"nanoscope-v901-corrupted.000", ImageFormat::kNanoscope, 0, ImageFileError::kNoSuchImage,
         "NanoScope v9.01 file: this program reads the keys of v4.3x files, and this version spells \"Scan size:\" "
         "as \"Scan Size:\"."},
        // The header promises a sample block the file does not hold.
        {"nanoscope-v515-header-only.001", ImageFormat::kNanoscope, 0, ImageFileError::kTruncated,
         "NanoScope v5.15 file, 2 bytes per sample: the 512 x 512 samples of image 1 from byte 40960 reach past the "
         "end of the file (10685 bytes)."},
        {"mdt-spectra-only.mdt", ImageFormat::kMdt, 0, ImageFileError::kNoSuchImage,
         "The NT-MDT file holds 2 frames and no scanned image."},
        {"mdt-spectra-and-scan-51x39.mdt", ImageFormat::kMdt, 1, ImageFileError::kNoSuchImage,
         "The NT-MDT file holds 1 scanned image among its 3 frames."},
        {"nanoscope-v432-height-amplitude.007", ImageFormat::kNanoscope, 2, ImageFileError::kNoSuchImage,
         "NanoScope v4.32 file: it holds 2 images."},
    };
    for (const auto& [name, format, index, error, detail] : cases) {
        const Loaded refused = LoadImageFile(format, SamplePath(name), index);
        EXPECT_EQ(refused.error, error) << name << " " << index;
        EXPECT_EQ(refused.detail, detail) << name << " " << index;
    }
}

TEST(BundledSample, ReadsBackToTheGeneratedSurfaceWithinOneStep)
{
    const auto file = std::filesystem::path(SPM_SOURCE_DIR) / "resources" / "samples" / "sample.spm";
    const std::vector<double> heights = SampleHeights();
    const char* rewrite = std::getenv("SPM_WRITE_SAMPLE");
    if (rewrite != nullptr && std::string(rewrite) == "1") {
        CSpmImage image = MakeImage(256, 256, [&](int r, int c) { return heights[r * 256 + c]; }, 4.0f, 4.0f);
        SetHeaderText(image.m_header.m_szNote, "Synthetic sample: tilted plane, four round bumps, a terrace step and mild noise");
        SetHeaderText(image.m_header.m_szVersion, "synthetic sample");
        ASSERT_EQ(SaveImageFile(ImageFormat::kSpm, file, image), ImageFileError::kNone);
    }
    ScriptedPrompt prompt;
    const Loaded sample = LoadImageFile(ImageFormat::kSpm, file);
    ASSERT_TRUE(sample.ok) << sample.error;
    const SpmHeader& h = sample.image.m_header;
    EXPECT_EQ(std::tie(h.m_nColumns, h.m_nRows, h.m_fKx, h.m_fKy), std::tuple(256, 256, 4.0f, 4.0f));
    EXPECT_EQ(HeaderText(h.m_szQuantity) + " " + HeaderText(h.m_szZUnit) + " " + HeaderText(h.m_szXYUnit), "Height nm nm");
    ASSERT_EQ(sample.image.m_pData.size(), heights.size());
    for (std::size_t i = 0; i < heights.size(); ++i)
        ASSERT_LE(std::fabs(sample.image.m_pData[i] - heights[i]), h.m_fKz) << i;
    EXPECT_GT(sample.image.m_dMax - sample.image.m_dMin, 15.0);  // the bumps stand above the plane and the noise
}
