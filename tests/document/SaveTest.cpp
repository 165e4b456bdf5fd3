// Saving the active frame's image: the format by the extension, what the document's path
// becomes, and every way a save can fail.
#include "DocumentFixture.h"

#include <cmath>

namespace fs = std::filesystem;

class SaveTest : public DocumentTest {
protected:
    void SetUp() override
    {
        original = Spm("orig.spm", "Height", 6, 5);
        ASSERT_TRUE(doc.OnOpenDocument(original));
    }
    CSpmImage& Image() { return *doc.ImageList()[0].m_pImage; }

    CMDIDoc doc;
    std::string original;
};

TEST_F(SaveTest, EachWritableExtensionWritesItsFormatAndReadsBack)
{
    const std::vector<double> heights = Image().m_pData;
    // The reader that opens the file again names itself in the version text.
    const std::pair<const char*, const char*> cases[] = {{"out.spm", ""},
                                                         {"out.000", "from Nanoscope"},
                                                         {"out.042", "from Nanoscope"},
                                                         {"out.999", "from Nanoscope"},
                                                         {"out.mdt", "Orbitrace, convert from NT-MDT"}};
    for (const auto& [name, version] : cases) {
        ASSERT_TRUE(doc.OnSaveDocument((dir / name).string(), "Height_01")) << name;
        EXPECT_EQ(doc.GetPathName(), (dir / name).string());
        CMDIDoc other;
        ASSERT_TRUE(other.OnOpenDocument((dir / name).string())) << name;
        EXPECT_EQ(HeaderText(other.m_pCurImage->m_header.m_szVersion), version);
        // NT-MDT stores Angstrom: heights come back ten times the nanometre values.
        EXPECT_NEAR(other.m_pCurImage->m_pData[7], heights[7] * (ExtensionOf(name) == ".mdt" ? 10 : 1), 0.1) << name;
    }
    // Saving keeps the heights; the largest absolute height is stored as 32760.
    EXPECT_EQ(Image().m_pData, heights);
    EXPECT_FLOAT_EQ(Image().m_header.m_fKz, static_cast<float>(500.0 / 32760.0));
    EXPECT_EQ(Image().m_pRaw[0], -32760);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(SaveTest, UpperCaseSpmGetsTheOwnExtensionAppended)
{
    ASSERT_TRUE(doc.OnSaveDocument((dir / "out.SPM").string(), "Height"));
    EXPECT_FALSE(fs::exists(dir / "out.SPM"));
    EXPECT_EQ(FileBytes(dir / "out.SPM.spm").size(), 512u + 2u * 6u * 5u);
    EXPECT_EQ(doc.GetPathName(), (dir / "out.SPM.spm").string());
}

TEST_F(SaveTest, FailedSavesWriteNothingSayWhyAndKeepThePath)
{
    // A folder standing where the target must go.
    fs::create_directories(dir / "blocked.000");
    const struct {
        fs::path path;
        const char* image;
        const char* message;
    } cases[] = {
        {dir / "out.MDT", "Height_01", "Save not Ok"},  // only the lower-case form is offered
        {dir / "out.dat", "Height_01", "Save not Ok"},
        {dir / "out.DAT", "Height_01", "Save not Ok"},
        {dir / "out.7", "Height_01", "Save not Ok"},
        {dir / "out.0001", "Height_01", "Save not Ok"},
        {dir / "out", "Height_01", "Save not Ok"},
        {dir / "out.spm", "Phase_01", "Image Name is not Valid-> CMDIDoc::OnFileSave"},
        {dir / "no-such-folder" / "out.spm", "Height_01", "Save not Ok"},
        {dir / "no-such-folder" / "out.000", "Height_01", "Unable to open file for writing"},
        {dir / "no-such-folder" / "out.mdt", "Height_01", "Unable to open file for writing"},
        {dir / "blocked.000", "Height_01", "Save not Ok"},
    };
    for (const auto& c : cases) {
        prompt.messages.clear();
        EXPECT_FALSE(doc.OnSaveDocument(c.path.string(), c.image)) << c.path;
        EXPECT_EQ(prompt.messages, Texts{c.message}) << c.path;
        EXPECT_EQ(doc.GetPathName(), original) << c.path;
        EXPECT_EQ(fs::exists(c.path), c.path == dir / "blocked.000") << c.path;
    }
    prompt.messages.clear();
    EXPECT_FALSE(doc.OnFileSave("Phase_01"));
    EXPECT_EQ(prompt.messages, Texts{"Image Name is not Valid-> CMDIDoc::OnFileSave"});
}

TEST_F(SaveTest, ImageThatSamplesCannotHoldLeavesTheOldFile)
{
    const fs::path target = dir / "keep.spm";
    WriteFile(target, "old contents");
    Image().m_pData[0] = INFINITY;
    Image().m_dMax = INFINITY;
    EXPECT_FALSE(doc.OnSaveDocument(target.string(), "Height_01"));
    EXPECT_EQ(prompt.messages, Texts{"Save not Ok"});
    EXPECT_EQ(FileBytes(target).size(), 12u);
    EXPECT_EQ(doc.GetPathName(), original);
}

TEST_F(SaveTest, SaveImageWritesSpmBesideTheActiveImagesFile)
{
    ASSERT_TRUE(doc.AddImage(Spm("second.spm", "Phase", 3, 3), 0));
    const auto before = fs::last_write_time(original);
    ASSERT_TRUE(doc.OnFileSave("Phase_02"));
    EXPECT_EQ(fs::last_write_time(original), before);  // only the active frame's image
    EXPECT_EQ(FileBytes(dir / "second.spm").size(), 512u + 2u * 3u * 3u);

    ASSERT_TRUE(doc.AddImage(Written("scan.001"), 0));
    ASSERT_TRUE(doc.OnFileSave("Height_03"));
    EXPECT_EQ(FileBytes(dir / "scan.001.spm").size(), 512u + 2u * 5u * 4u);
    EXPECT_EQ(doc.GetPathName(), original);
}
