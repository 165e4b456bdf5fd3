// Every real instrument file opened through the document, as a user would open it: names,
// companion images and messages (the image-file tests check the values).
#include "DocumentFixture.h"

namespace {

std::string Sample(const char* name)
{
    return SamplePath(name).string();
}

} // namespace

TEST_F(DocumentTest, NanoscopeFilesOpenBothImages)
{
    SPM_REQUIRE_SAMPLES();
    for (const char* name : {"nanoscope-v432-height-amplitude.007", "nanoscope-v512-height-amplitude.000"}) {
        const std::string path = Sample(name);
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(path));
        ASSERT_EQ(doc.CompanionImagePath(), path);
        ASSERT_TRUE(doc.AddImage(path, 1));
        EXPECT_EQ(ImageNames(doc), (Texts{"Height_01", "Amplitude_02"}));
        for (const ImageEntry& entry : doc.ImageList()) {
            EXPECT_EQ(entry.m_pImage->m_nWidth, entry.m_pImage->m_nHeight) << name;
            EXPECT_LT(entry.m_pImage->m_dMin, entry.m_pImage->m_dMax) << name;
        }
        EXPECT_EQ(doc.ImageList()[1].m_pImage->m_nIndexInFile, 1);
    }
    // The height image is measured on load.
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Sample("nanoscope-v432-height-amplitude.007")));
    EXPECT_EQ(doc.m_pCurImage->m_nRawMin, -32767);
    EXPECT_EQ(doc.m_pCurImage->m_nRawMax, 12097);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, MdtScanFrameOpensBetweenSpectraWithoutACompanion)
{
    SPM_REQUIRE_SAMPLES();
    const std::string path = Sample("mdt-spectra-and-scan-51x39.mdt");
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.m_pCurImage->m_nWidth, 51);
    EXPECT_EQ(doc.m_pCurImage->m_strName, "Unknown_01");
    // The only scanned frame: its companion is missing, silently.
    ASSERT_EQ(doc.CompanionImagePath(), path);
    EXPECT_FALSE(doc.AddImage(path, 1));
    EXPECT_EQ(doc.m_nImageCounter, 1);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, BrokenRealFilesAreRefusedAndTheirFurtherImagesFailSilently)
{
    SPM_REQUIRE_SAMPLES();
    for (const char* name :
         {"nanoscope-v515-header-only.001", "mdt-spectra-only.mdt", "nanoscope-v901-corrupted.000"}) {
        prompt.messages.clear();
        CMDIDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(Sample(name))) << name;
        EXPECT_TRUE(doc.ImageList().empty()) << name;
        EXPECT_EQ(prompt.messages, Texts{"Image Header is broken"}) << name;
    }
    // As a companion or listed image would ask for them.
    prompt.messages.clear();
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm")));
    for (int index = 1; index < 4; ++index)
        EXPECT_FALSE(doc.AddImage(Sample("nanoscope-v901-corrupted.000"), index)) << index;
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(doc.m_nImageCounter, 1);
}
