// The document's part of File Open's follow-up steps: the companion image of a NanoScope or
// NT-MDT file and the further images listed in the first image's presentation file.
#include "DocumentFixture.h"

#include <filesystem>

namespace fs = std::filesystem;

class FollowUpTest : public DocumentTest {
protected:
    std::string OneImageNanoscope(const std::string& name)
    {
        CImageFile file;
        CSpmImage image = TestImage(4, 4);
        const std::string path = (dir / name).string();
        EXPECT_TRUE(file.WriteNanoscope(path, image));
        return path;
    }
    std::string TwoFrameMdt(const std::string& name)
    {
        CImageFile file;
        CSpmImage image = TestImage(4, 4);
        const fs::path single = dir / "single.mdt";
        EXPECT_TRUE(file.WriteMdt(single.string(), image));
        WriteTwoFrameMdt(single, dir / name);
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
    const std::string mdt = TwoFrameMdt("scan.mdt");
    fs::copy_file(mdt, dir / "upper.MDT");
    CMDIDoc upper;
    ASSERT_TRUE(upper.OnOpenDocument((dir / "upper.MDT").string()));
    EXPECT_EQ(upper.CompanionImagePath(), std::nullopt);
    CMDIDoc spm;
    ASSERT_TRUE(spm.OnOpenDocument(Spm("a.spm")));
    EXPECT_EQ(spm.CompanionImagePath(), std::nullopt);
    CMDIDoc origin;
    ASSERT_TRUE(origin.OnOpenDocument(Origin("a.dat")));
    EXPECT_EQ(origin.CompanionImagePath(), std::nullopt);
    CMDIDoc none;
    EXPECT_EQ(none.CompanionImagePath(), std::nullopt);
}

TEST_F(FollowUpTest, MissingCompanionFailsSilentlyAndKeepsTheCounter)
{
    CMDIDoc doc;
    const std::string path = OneImageNanoscope("scan.003");
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
    const std::string first = Spm("a.spm");
    Spm("b.spm", "Phase");
    Origin("c.dat");
    WriteTextFile(dir / "a.cnf",
                  "[AddImage]\r\nNofImage=4\r\nImage[0]=b.spm\r\nImage[1]=x\r\nImage[3]=c.dat\r\n");
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(first));
    const std::vector<std::string> listed = doc.ListedImagePaths();
    EXPECT_EQ(listed, (Texts{(dir / "b.spm").string(), (dir / "c.dat").string()}));
    for (const std::string& path : listed)
        EXPECT_TRUE(doc.AddImage(path, 0)) << path;
    EXPECT_EQ(ImageNames(doc), (Texts{"Height_01", "Phase_02", "Topography"}));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(FollowUpTest, NoPresentationFileListsNothing)
{
    CMDIDoc doc;
    EXPECT_TRUE(doc.ListedImagePaths().empty());
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm")));
    EXPECT_TRUE(doc.ListedImagePaths().empty());
}
