// What a loaded image holds, the size limits, and what a failed load leaves behind.
#include "DocumentFixture.h"

#include <numeric>

TEST_F(DocumentTest, LoadedImageHoldsItsPlanesRangeAndHistogram)
{
    CMDIDoc doc;
    const std::string path = Spm("a.spm", "Height", 7, 5);
    ASSERT_TRUE(doc.OnOpenDocument(path));
    const CSpmImage& image = *doc.ImageList()[0].m_pImage;
    EXPECT_EQ(image.m_strPath, path);
    EXPECT_EQ(image.m_nIndexInFile, 0);
    EXPECT_EQ(image.m_nWidth, 7);
    EXPECT_EQ(image.m_nHeight, 5);
    EXPECT_EQ(image.m_nUndoWidth, 7);
    EXPECT_EQ(image.m_nUndoHeight, 5);
    EXPECT_EQ(image.m_pRaw.size(), 35u);
    EXPECT_EQ(image.m_pData.size(), 35u);
    EXPECT_EQ(image.m_pUndo.size(), 35u);
    EXPECT_EQ(image.m_bUndoValid, 0);
    // Samples -1000..-966, Z scale 0.5.
    EXPECT_EQ(image.m_nRawMin, -1000);
    EXPECT_EQ(image.m_nRawMax, -966);
    EXPECT_EQ(image.m_dMin, -500.0);
    EXPECT_EQ(image.m_dMax, -483.0);
    EXPECT_EQ(image.m_nBins, 300);
    ASSERT_EQ(image.m_pHistogram.size(), 300u);
    EXPECT_EQ(std::accumulate(image.m_pHistogram.begin(), image.m_pHistogram.end(), 0u), 35u);
    EXPECT_EQ(image.m_pHistogram[0], 1u);
    EXPECT_EQ(image.m_pHistogram[299], 1u);
    EXPECT_EQ(image.m_nBinCountMin, 0u);
    EXPECT_EQ(image.m_nBinCountMax, 1u);
    EXPECT_EQ(doc.m_pCurImage, &image);
    EXPECT_EQ(doc.m_pCurSettings, doc.ImageList()[0].m_pSettings.get());
    EXPECT_EQ(doc.GetPathName(), path);
}

TEST_F(DocumentTest, FullSizeImageLoads)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("big.spm", "Height", 1024, 1024)));
    EXPECT_EQ(doc.ImageList()[0].m_pImage->m_pData.size(), 1024u * 1024u);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, SizesOutsideOneTo1024AreRefused)
{
    struct Case {
        int columns, rows;
    };
    // 0x8000 and above read as negative 16-bit sizes.
    for (Case c : {Case{1025, 4}, Case{4, 1025}, Case{0, 4}, Case{4, 0}, Case{0x8000, 1},
                   Case{0xFFFF, 2}}) {
        prompt.messages.clear();
        SpmHeader header = TestHeader(1, 1);
        header.m_nColumns = static_cast<std::uint16_t>(c.columns);
        header.m_nRows = static_cast<std::uint16_t>(c.rows);
        const std::string path = Spm("bad.spm", TestHeader(1, 1));
        WriteSpmBytes(path, header);
        CMDIDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(path)) << c.columns << " x " << c.rows;
        EXPECT_TRUE(doc.ImageList().empty());
        EXPECT_EQ(prompt.messages, Texts{"Image Header is broken"}) << c.columns << " x " << c.rows;
    }
}

TEST_F(DocumentTest, BrokenSpmAndOriginFilesAreRefusedLikeBrokenHeaders)
{
    const std::string shortSpm = (dir / "short.spm").string();
    WriteTextFile(shortSpm, std::string(100, 'x'));
    const std::string cutSamples = Spm("cut.spm", "Height", 8, 8);
    std::filesystem::resize_file(cutSamples, 512 + 2 * 8 * 8 - 1);
    const std::string noColumns = (dir / "none.dat").string();
    WriteTextFile(noColumns, "Y\t\r\n0.5\t\r\n");
    const std::string shortRow = (dir / "short.dat").string();
    WriteTextFile(shortRow, "Y\t1\t2\t3\t\r\n1\t4\t5\t\r\n");
    for (const std::string& path : {shortSpm, cutSamples, noColumns, shortRow}) {
        prompt.messages.clear();
        CMDIDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(path)) << path;
        EXPECT_EQ(prompt.messages, Texts{"Image Header is broken"}) << path;
    }
}

TEST_F(DocumentTest, OriginImageKeepsTheFileValuesInNanometres)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Origin("a.dat", 3, 2)));
    const CSpmImage& image = *doc.ImageList()[0].m_pImage;
    ASSERT_EQ(image.m_pData.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_DOUBLE_EQ(image.m_pData[i], 1000.0 * static_cast<double>(i));
    EXPECT_EQ(image.m_dMin, 0.0);
    EXPECT_EQ(image.m_dMax, 5000.0);
    EXPECT_EQ(image.m_nRawMin, -32765);
    EXPECT_EQ(image.m_nRawMax, 32765);
    EXPECT_GT(image.m_header.m_fKz, 0.0f);
}

TEST_F(DocumentTest, FailedAddKeepsTheDocumentAsItWas)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm")));
    CSpmImage* first = doc.m_pCurImage;
    SettingsPair* firstSettings = doc.m_pCurSettings;
    const std::string broken = (dir / "broken.spm").string();
    WriteTextFile(broken, "short");
    EXPECT_FALSE(doc.AddImage(broken, 0));
    EXPECT_EQ(doc.ImageList().size(), 1u);
    EXPECT_EQ(doc.m_pCurImage, first);
    EXPECT_EQ(doc.m_pCurSettings, firstSettings);
    EXPECT_EQ(doc.GetPathName(), (dir / "a.spm").string());
}

TEST_F(DocumentTest, AddedImageKeepsTheDocumentPathAndItsIndexInFile)
{
    CMDIDoc doc;
    const std::string first = Spm("a.spm");
    ASSERT_TRUE(doc.OnOpenDocument(first));
    ASSERT_TRUE(doc.AddImage(Spm("b.spm"), 0));
    EXPECT_EQ(doc.GetPathName(), first);
    EXPECT_EQ(doc.ImageList()[1].m_pImage->m_strPath, (dir / "b.spm").string());
    EXPECT_EQ(doc.m_pCurImage, doc.ImageList()[1].m_pImage.get());
}
