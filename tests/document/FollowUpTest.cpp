// The document's part of File Open's follow-up steps: the companion image of a NanoScope or
// NT-MDT file and the further images listed in the first image's presentation file.
#include "DocumentFixture.h"

namespace fs = std::filesystem;

class FollowUpTest : public DocumentTest {
protected:
    // A written one-frame NT-MDT file with its scanned frame stored twice.
    std::string TwoFrameMdt(const std::string& name)
    {
        constexpr std::size_t kFirstFrame = 33;
        std::vector<std::uint8_t> bytes = FileBytes(Written("single.mdt"));
        const std::vector<std::uint8_t> frame(bytes.begin() + kFirstFrame, bytes.end());
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        const auto fileSize = static_cast<std::uint32_t>(bytes.size() - kFirstFrame);  // file size - 33
        for (int i = 0; i < 4; ++i)
            bytes[4 + i] = static_cast<std::uint8_t>(fileSize >> (8 * i));
        bytes[12] = 1;  // number of the last frame
        WriteFile(dir / name, bytes);
        return (dir / name).string();
    }
};

TEST_F(FollowUpTest, MdtFileOffersItsSecondScannedFrame)
{
    CMDIDoc doc;
    const std::string path = TwoFrameMdt("scan.mdt");
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_EQ(doc.CompanionImagePath(), path);
    ASSERT_TRUE(doc.AddImage(path, 1));
    EXPECT_EQ(ImageNames(doc), (Texts{"Topography_01", "Topography_02"}));
    EXPECT_EQ(doc.ImageList()[1].m_pImage->m_nIndexInFile, 1);
    EXPECT_EQ(doc.ImageList()[1].m_pImage->m_pData, doc.ImageList()[0].m_pImage->m_pData);
}

TEST_F(FollowUpTest, OnlyLowerCaseMdtAndSeriesNumbersHaveACompanion)
{
    fs::copy_file(TwoFrameMdt("scan.mdt"), dir / "upper.MDT");
    for (const std::string& path : {(dir / "upper.MDT").string(), Spm("a.spm"), Origin("a.dat")}) {
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(path));
        EXPECT_EQ(doc.CompanionImagePath(), std::nullopt) << path;
    }
    EXPECT_EQ(CMDIDoc().CompanionImagePath(), std::nullopt);
}

TEST_F(FollowUpTest, MissingCompanionFailsSilentlyAndKeepsTheCounter)
{
    CMDIDoc doc;
    const std::string path = Written("scan.003");
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_EQ(doc.CompanionImagePath(), path);
    EXPECT_FALSE(doc.AddImage(path, 1));
    EXPECT_EQ(doc.ImageList().size(), 1u);
    EXPECT_EQ(doc.m_nImageCounter, 1);
    EXPECT_TRUE(prompt.messages.empty());
    // The companion is judged by the image loaded last.
    ASSERT_TRUE(doc.AddImage(Spm("b.spm"), 0));
    EXPECT_EQ(doc.CompanionImagePath(), std::nullopt);
}

TEST_F(FollowUpTest, ListedImagesComeFromTheFirstImagesFolder)
{
    CMDIDoc doc;
    EXPECT_TRUE(doc.ListedImagePaths().empty());
    const std::string first = Spm("a.spm");
    Spm("b.spm", "Phase");
    Origin("c.dat");
    ASSERT_TRUE(doc.OnOpenDocument(first));
    EXPECT_TRUE(doc.ListedImagePaths().empty());  // no presentation file yet
    WriteFile(dir / "a.cnf", "[AddImage]\r\nNofImage=4\r\nImage[0]=b.spm\r\nImage[1]=x\r\nImage[3]=c.dat\r\n");
    const std::vector<std::string> listed = doc.ListedImagePaths();
    EXPECT_EQ(listed, (Texts{(dir / "b.spm").string(), (dir / "c.dat").string()}));
    for (const std::string& path : listed)
        EXPECT_TRUE(doc.AddImage(path, 0)) << path;
    EXPECT_EQ(ImageNames(doc), (Texts{"Height_01", "Phase_02", "Topography"}));
    EXPECT_TRUE(prompt.messages.empty());
}
