// Every real instrument file opened through the document, as a user would open it.
#include "DocumentFixture.h"

#include <cmath>

namespace {

std::string Sample(const char* name)
{
    return SamplePath(name).string();
}

// Lateral unit texts the readers give, in nanometres.
double NanometresPer(const std::string& unit)
{
    if (unit == "nm")
        return 1.0;
    if (unit == "um")
        return 1000.0;
    if (unit == "A")
        return 0.1;
    ADD_FAILURE() << "unexpected XY unit " << unit;
    return 0.0;
}

double RmsAboutMean(const std::vector<double>& values)
{
    double mean = 0.0;
    for (double v : values)
        mean += v;
    mean /= static_cast<double>(values.size());
    double sum = 0.0;
    for (double v : values)
        sum += (v - mean) * (v - mean);
    return std::sqrt(sum / static_cast<double>(values.size()));
}

} // namespace

TEST_F(DocumentTest, NanoscopeV432OpensBothImagesWithTrueHeights)
{
    SPM_REQUIRE_SAMPLES();
    const std::string path = Sample("nanoscope-v432-height-amplitude.007");
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_EQ(doc.CompanionImagePath(), path);
    ASSERT_TRUE(doc.AddImage(path, 1));
    EXPECT_EQ(ImageNames(doc), (Texts{"Height_01", "Amplitude_02"}));
    const CSpmImage& height = *doc.ImageList()[0].m_pImage;
    EXPECT_EQ(height.m_nWidth, 256);
    EXPECT_EQ(height.m_nHeight, 256);
    EXPECT_EQ(height.m_nRawMin, -32767);
    EXPECT_EQ(height.m_nRawMax, 12097);
    EXPECT_NEAR(RmsAboutMean(height.m_pData), 6.665, 0.01);
    const double nm = NanometresPer(HeaderText(height.m_header.m_szXYUnit));
    EXPECT_NEAR(height.m_header.m_fKx * 256 * nm, 2000.0, 1.0);
    EXPECT_NEAR(height.m_header.m_fKy * 256 * nm, 2000.0, 1.0);
    EXPECT_EQ(HeaderText(height.m_header.m_szZUnit), "nm");
    EXPECT_EQ(doc.ImageList()[1].m_pImage->m_nIndexInFile, 1);
    EXPECT_EQ(doc.ImageList()[1].m_pImage->m_nWidth, 256);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, NanoscopeV512OpensBothImages)
{
    SPM_REQUIRE_SAMPLES();
    const std::string path = Sample("nanoscope-v512-height-amplitude.000");
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_TRUE(doc.AddImage(path, 1));
    EXPECT_EQ(ImageNames(doc), (Texts{"Height_01", "Amplitude_02"}));
    for (const ImageEntry& entry : doc.ImageList()) {
        EXPECT_EQ(entry.m_pImage->m_nWidth, 512);
        EXPECT_EQ(entry.m_pImage->m_nHeight, 512);
        EXPECT_LT(entry.m_pImage->m_dMin, entry.m_pImage->m_dMax);
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, NanoscopeHeaderOnlyFileIsRefused)
{
    SPM_REQUIRE_SAMPLES();
    CMDIDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(Sample("nanoscope-v515-header-only.001")));
    EXPECT_TRUE(doc.ImageList().empty());
    EXPECT_EQ(prompt.messages, Texts{"Image Header is broken"});
}

TEST_F(DocumentTest, MdtScanFrameOpensBetweenSpectra)
{
    SPM_REQUIRE_SAMPLES();
    const std::string path = Sample("mdt-spectra-and-scan-51x39.mdt");
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    const CSpmImage& image = *doc.ImageList()[0].m_pImage;
    EXPECT_EQ(image.m_nWidth, 51);
    EXPECT_EQ(image.m_nHeight, 39);
    const double nm = NanometresPer(HeaderText(image.m_header.m_szXYUnit));
    EXPECT_NEAR(image.m_header.m_fKx * nm, 100.7, 0.01);
    EXPECT_EQ(image.m_strName, "Unknown_01");
    // The only scanned frame: its companion is missing, silently.
    ASSERT_EQ(doc.CompanionImagePath(), path);
    EXPECT_FALSE(doc.AddImage(path, 1));
    EXPECT_EQ(doc.m_nImageCounter, 1);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, MdtWithoutScannedFrameIsRefused)
{
    SPM_REQUIRE_SAMPLES();
    CMDIDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(Sample("mdt-spectra-only.mdt")));
    EXPECT_EQ(prompt.messages, Texts{"Image Header is broken"});
}

TEST_F(DocumentTest, CorruptedNanoscopeFileIsRefusedWithoutReadingPastItsEnd)
{
    SPM_REQUIRE_SAMPLES();
    const std::string path = Sample("nanoscope-v901-corrupted.000");
    CMDIDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(path));
    EXPECT_TRUE(doc.ImageList().empty());
    EXPECT_EQ(prompt.messages, Texts{"Image Header is broken"});
    // Its further images, as a companion or listed image would ask for them, fail silently.
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm")));
    for (int index = 1; index < 4; ++index)
        EXPECT_FALSE(doc.AddImage(path, index)) << index;
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(doc.m_nImageCounter, 1);
}
