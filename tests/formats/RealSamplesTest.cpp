// Files written by instrument software: each meets what the samples folder's README asks.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <sstream>

#include "FormatTestSupport.h"
#include "support/TestPaths.h"

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
    std::vector<std::int32_t> values;
    gzFile in = gzopen(path.string().c_str(), "rb");
    if (in == nullptr)
        return values;
    std::string text;
    char chunk[65536];
    for (int n = 0; (n = gzread(in, chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<std::size_t>(n));
    gzclose(in);
    for (char& c : text)
        c = c == ',' || c == '\r' || c == '\n' ? ' ' : c;
    std::istringstream fields(text);
    fields.imbue(std::locale::classic());
    for (std::int32_t value = 0; fields >> value;)
        values.push_back(value);
    return values;
}

}  // namespace

TEST(RealSamples, NanoscopeV432HeightAndAmplitude)
{
    SPM_REQUIRE_SAMPLES();
    const auto path = SamplePath("nanoscope-v432-height-amplitude.007");
    const Loaded height = LoadImageFile(ImageFormat::kNanoscope, path, 0);
    ASSERT_TRUE(height.ok) << height.error;
    const SpmHeader& h = height.image.m_header;
    EXPECT_EQ(h.m_nColumns, 256);
    EXPECT_EQ(h.m_nRows, 256);
    EXPECT_EQ(HeaderText(h.m_szQuantity), "Height");
    EXPECT_EQ(HeaderText(h.m_szZUnit), "nm");
    EXPECT_EQ(HeaderText(h.m_szXYUnit), "um");
    EXPECT_FLOAT_EQ(h.m_fKx * 256, 2.0f);  // a 2 x 2 um scan
    EXPECT_FLOAT_EQ(h.m_fKy * 256, 2.0f);
    EXPECT_FLOAT_EQ(h.m_fKz, static_cast<float>(7.237438 * 11.39026 / 65536.0));
    EXPECT_EQ(height.image.m_pRaw.size(), 65536u);
    EXPECT_EQ(*std::min_element(height.image.m_pRaw.begin(), height.image.m_pRaw.end()), -32767);
    EXPECT_EQ(*std::max_element(height.image.m_pRaw.begin(), height.image.m_pRaw.end()), 12097);
    EXPECT_NEAR(RmsAboutMean(height.image.m_pData), 6.665, 0.0005);

    const Loaded amplitude = LoadImageFile(ImageFormat::kNanoscope, path, 1);
    ASSERT_TRUE(amplitude.ok) << amplitude.error;
    EXPECT_EQ(HeaderText(amplitude.image.m_header.m_szQuantity), "Amplitude");
    EXPECT_EQ(HeaderText(amplitude.image.m_header.m_szZUnit), "uni");
    EXPECT_FLOAT_EQ(amplitude.image.m_header.m_fKz, static_cast<float>(0.8232117 / 65536.0));
    EXPECT_NE(amplitude.image.m_pRaw, height.image.m_pRaw);
}

TEST(RealSamples, NanoscopeV512HeightEqualsItsReference)
{
    SPM_REQUIRE_SAMPLES();
    const auto path = SamplePath("nanoscope-v512-height-amplitude.000");
    const Loaded height = LoadImageFile(ImageFormat::kNanoscope, path, 0);
    ASSERT_TRUE(height.ok) << height.error;
    EXPECT_EQ(height.image.m_nWidth, 512);
    EXPECT_EQ(height.image.m_nHeight, 512);
    EXPECT_FLOAT_EQ(height.image.m_header.m_fKz, static_cast<float>(438.6572 * 12.95302 / 65536.0));
    const std::vector<std::int32_t> reference = ReadGzipCsv(SamplePath("nanoscope-v512-height-amplitude.raw.csv.gz"));
    ASSERT_EQ(reference.size(), 512u * 512u);
    EXPECT_EQ(height.image.m_pRaw, reference);

    const Loaded amplitude = LoadImageFile(ImageFormat::kNanoscope, path, 1);
    ASSERT_TRUE(amplitude.ok) << amplitude.error;
    EXPECT_EQ(HeaderText(amplitude.image.m_header.m_szQuantity), "Amplitude");
    EXPECT_EQ(amplitude.image.m_nWidth, 512);
}

TEST(RealSamples, BrokenFilesAreRefusedWithTheirReason)
{
    SPM_REQUIRE_SAMPLES();
    const struct {
        const char* name;
        ImageFormat format;
        int index;
        ImageFileError error;
    } cases[] = {
        // Header bytes are missing, so no block is complete any more.
        {"nanoscope-v901-corrupted.000", ImageFormat::kNanoscope, 0, ImageFileError::kNoSuchImage},
        {"nanoscope-v901-corrupted.000", ImageFormat::kNanoscope, 3, ImageFileError::kNoSuchImage},
        // The header promises a sample block the file does not hold.
        {"nanoscope-v515-header-only.001", ImageFormat::kNanoscope, 0, ImageFileError::kTruncated},
        {"mdt-spectra-only.mdt", ImageFormat::kMdt, 0, ImageFileError::kNoSuchImage},
        {"mdt-spectra-and-scan-51x39.mdt", ImageFormat::kMdt, 1, ImageFileError::kNoSuchImage},
        {"nanoscope-v432-height-amplitude.007", ImageFormat::kNanoscope, 2, ImageFileError::kNoSuchImage},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoadImageFile(c.format, SamplePath(c.name), c.index).error, c.error) << c.name << " " << c.index;
}

TEST(RealSamples, MdtScanBetweenSpectraIsTheFirstImage)
{
    SPM_REQUIRE_SAMPLES();
    const auto path = SamplePath("mdt-spectra-and-scan-51x39.mdt");
    const Loaded scan = LoadImageFile(ImageFormat::kMdt, path, 0);
    ASSERT_TRUE(scan.ok) << scan.error;
    const SpmHeader& h = scan.image.m_header;
    EXPECT_EQ(h.m_nColumns, 51);
    EXPECT_EQ(h.m_nRows, 39);
    EXPECT_NEAR(h.m_fKx, 100.7095, 1e-3);  // 0.1007 um per point
    EXPECT_NEAR(h.m_fKy, 100.7095, 1e-3);
    EXPECT_EQ(HeaderText(h.m_szXYUnit), "nm");
    EXPECT_EQ(HeaderText(h.m_szZUnit), "uni");  // Z unit code 13
    EXPECT_EQ(HeaderText(h.m_szQuantity), "Unknown");
    EXPECT_EQ(scan.image.m_pRaw.size(), 51u * 39u);
    EXPECT_LT(scan.image.m_dMin, scan.image.m_dMax);
}
