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

    CMDIDoc full;
    ASSERT_TRUE(full.OnOpenDocument(Spm("big.spm", "Height", 1024, 1024)));
    EXPECT_EQ(full.ImageList()[0].m_pImage->m_pData.size(), 1024u * 1024u);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, SizesOutside1To1024AndBrokenFilesAreRefusedLikeBrokenHeaders)
{
    Texts paths;
    // 0x8000 and above read as negative 16-bit sizes.
    for (auto [columns, rows] : {std::pair{1025, 4}, {4, 1025}, {0, 4}, {4, 0}, {0x8000, 1}, {0xFFFF, 2}}) {
        SpmHeader header = TestHeader(1, 1);
        header.m_nColumns = static_cast<std::uint16_t>(columns);
        header.m_nRows = static_cast<std::uint16_t>(rows);
        paths.push_back(Spm("size-" + std::to_string(columns) + "x" + std::to_string(rows) + ".spm", header));
    }
    paths.push_back(Spm("cut.spm", "Height", 8, 8));
    std::filesystem::resize_file(paths.back(), 512 + 2 * 8 * 8 - 1);
    WriteFile(dir / "short.spm", std::string(100, 'x'));
    WriteFile(dir / "none.dat", "Y\t\r\n0.5\t\r\n");
    WriteFile(dir / "short.dat", "Y\t1\t2\t3\t\r\n1\t4\t5\t\r\n");
    for (const char* name : {"short.spm", "none.dat", "short.dat"})
        paths.push_back((dir / name).string());
    for (const std::string& path : paths) {
        prompt.messages.clear();
        CMDIDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(path)) << path;
        EXPECT_TRUE(doc.ImageList().empty()) << path;
        EXPECT_EQ(prompt.messages, Texts{"Image Header is broken"}) << path;
    }
}

TEST_F(DocumentTest, OriginImageKeepsTheFileValuesInNanometres)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Origin("a.dat", 3, 2)));
    const CSpmImage& image = *doc.ImageList()[0].m_pImage;
    EXPECT_EQ(image.m_pData, (std::vector<double>{0, 1000, 2000, 3000, 4000, 5000}));
    EXPECT_EQ(image.m_dMin, 0.0);
    EXPECT_EQ(image.m_dMax, 5000.0);
    EXPECT_EQ(image.m_nRawMin, -32765);
    EXPECT_EQ(image.m_nRawMax, 32765);
    EXPECT_GT(image.m_header.m_fKz, 0.0f);
}

TEST_F(DocumentTest, AddedImageKeepsTheDocumentPathAndAFailedAddChangesNothing)
{
    CMDIDoc doc;
    const std::string first = Spm("a.spm");
    ASSERT_TRUE(doc.OnOpenDocument(first));
    CSpmImage* firstImage = doc.m_pCurImage;
    SettingsPair* firstSettings = doc.m_pCurSettings;
    WriteFile(dir / "broken.spm", "short");
    EXPECT_FALSE(doc.AddImage((dir / "broken.spm").string(), 0));
    EXPECT_EQ(doc.ImageList().size(), 1u);
    EXPECT_EQ(doc.m_pCurImage, firstImage);
    EXPECT_EQ(doc.m_pCurSettings, firstSettings);

    ASSERT_TRUE(doc.AddImage(Spm("b.spm"), 0));
    EXPECT_EQ(doc.GetPathName(), first);
    EXPECT_EQ(doc.ImageList()[1].m_pImage->m_strPath, (dir / "b.spm").string());
    EXPECT_EQ(doc.m_pCurImage, doc.ImageList()[1].m_pImage.get());
}
