// Saving the active frame's image: the format by the extension, what the document's path
// becomes, and every way a save can fail.
#include "DocumentFixture.h"

#include <cmath>
#include <filesystem>
#include <limits>

namespace fs = std::filesystem;

class SaveTest : public DocumentTest {
protected:
    void SetUp() override
    {
        original = Spm("orig.spm", "Height", 6, 5);
        ASSERT_TRUE(doc.OnOpenDocument(original));
    }
    // Reads a saved file back through a document of its own.
    std::vector<double> Reopened(const fs::path& path)
    {
        CMDIDoc other;
        EXPECT_TRUE(other.OnOpenDocument(path.string())) << path;
        return other.ImageList().empty() ? std::vector<double>{} : other.ImageList()[0].m_pImage->m_pData;
    }
    const CSpmImage& Image() const { return *doc.ImageList()[0].m_pImage; }

    CMDIDoc doc;
    std::string original;
};

TEST_F(SaveTest, EachWritableExtensionWritesItsFormatAndReadsBack)
{
    const std::vector<double> heights = Image().m_pData;
    for (const char* name : {"out.spm", "out.000", "out.042", "out.999", "out.mdt"}) {
        ASSERT_TRUE(doc.OnSaveDocument((dir / name).string(), "Height_01")) << name;
        EXPECT_EQ(doc.GetPathName(), (dir / name).string());
        const std::vector<double> back = Reopened(dir / name);
        ASSERT_EQ(back.size(), heights.size()) << name;
        // NT-MDT stores Angstrom: heights come back ten times the nanometre values.
        const double unit = ExtensionOf(name) == ".mdt" ? 10.0 : 1.0;
        // Within one sample step, and NanoScope's header keeps the scale to six decimals.
        const double step = Image().m_header.m_fKz * unit;
        for (std::size_t i = 0; i < heights.size(); ++i)
            ASSERT_NEAR(back[i], heights[i] * unit, step + 1e-4 * std::abs(heights[i] * unit))
                << name << " point " << i;
    }
    EXPECT_EQ(FileBytes(dir / "out.mdt")[0], 0x01);
    EXPECT_EQ(FileBytes(dir / "out.000")[0], '\\');
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(SaveTest, UpperCaseSpmGetsTheOwnExtensionAppended)
{
    ASSERT_TRUE(doc.OnSaveDocument((dir / "out.SPM").string(), "Height"));
    EXPECT_FALSE(fs::exists(dir / "out.SPM"));
    EXPECT_EQ(FileBytes(dir / "out.SPM.spm").size(), 512u + 2u * 6u * 5u);
    EXPECT_EQ(doc.GetPathName(), (dir / "out.SPM.spm").string());
}

TEST_F(SaveTest, ExtensionsWithoutAWriterWriteNothingAndKeepThePath)
{
    for (const char* name : {"out.MDT", "out.dat", "out.DAT", "out.7", "out.0001", "out"}) {
        prompt.messages.clear();
        EXPECT_FALSE(doc.OnSaveDocument((dir / name).string(), "Height_01")) << name;
        EXPECT_FALSE(fs::exists(dir / name)) << name;
        EXPECT_EQ(prompt.messages, Texts{"Save not Ok"}) << name;
        EXPECT_EQ(doc.GetPathName(), original) << name;
    }
}

TEST_F(SaveTest, UnknownActiveImageWritesNothing)
{
    EXPECT_FALSE(doc.OnSaveDocument((dir / "out.spm").string(), "Phase_01"));
    EXPECT_FALSE(doc.OnFileSave("Phase_01"));
    EXPECT_FALSE(fs::exists(dir / "out.spm"));
    EXPECT_EQ(prompt.messages, (Texts{"Image Name is not Valid-> CMDIDoc::OnFileSave",
                                      "Image Name is not Valid-> CMDIDoc::OnFileSave"}));
    EXPECT_EQ(doc.GetPathName(), original);
}

TEST_F(SaveTest, FailedWriteKeepsThePathAndTheOldFile)
{
    // A folder standing where the temporary file or the target must go.
    fs::create_directories(dir / "blocked.000");
    struct Case {
        fs::path path;
        const char* message;
    };
    const Case cases[] = {
        {dir / "no-such-folder" / "out.spm", "Save not Ok"},
        {dir / "no-such-folder" / "out.000", "Unable to open file for writing"},
        {dir / "no-such-folder" / "out.mdt", "Unable to open file for writing"},
        {dir / "blocked.000", "Save not Ok"},
    };
    for (const Case& c : cases) {
        prompt.messages.clear();
        EXPECT_FALSE(doc.OnSaveDocument(c.path.string(), "Height_01")) << c.path;
        EXPECT_EQ(prompt.messages, Texts{c.message}) << c.path;
        EXPECT_EQ(doc.GetPathName(), original) << c.path;
    }
}

TEST_F(SaveTest, ImageThatSamplesCannotHoldLeavesTheOldFile)
{
    const fs::path target = dir / "keep.spm";
    WriteTextFile(target, "old contents");
    CSpmImage& image = *doc.ImageList()[0].m_pImage;
    image.m_pData[0] = std::numeric_limits<double>::infinity();
    image.m_dMax = image.m_pData[0];
    EXPECT_FALSE(doc.OnSaveDocument(target.string(), "Height_01"));
    EXPECT_EQ(prompt.messages, Texts{"Save not Ok"});
    EXPECT_EQ(FileBytes(target).size(), 12u);
    EXPECT_EQ(doc.GetPathName(), original);
}

TEST_F(SaveTest, SaveImageWritesSpmBesideTheImageFile)
{
    ASSERT_TRUE(doc.AddImage(Spm("second.spm", "Phase", 3, 3), 0));
    const auto before = fs::last_write_time(original);
    ASSERT_TRUE(doc.OnFileSave("Phase_02"));
    EXPECT_EQ(fs::last_write_time(original), before);  // only the active frame's image
    EXPECT_EQ(FileBytes(dir / "second.spm").size(), 512u + 2u * 3u * 3u);

    CImageFile file;
    CSpmImage nano = TestImage(4, 4);
    ASSERT_TRUE(file.WriteNanoscope((dir / "scan.001").string(), nano));
    ASSERT_TRUE(doc.AddImage((dir / "scan.001").string(), 0));
    ASSERT_TRUE(doc.OnFileSave("Height_03"));
    EXPECT_EQ(FileBytes(dir / "scan.001.spm").size(), 512u + 2u * 4u * 4u);
    EXPECT_EQ(doc.GetPathName(), original);
}

TEST_F(SaveTest, SaveKeepsTheHeightsAndTakesTheNewScale)
{
    const std::vector<double> heights = Image().m_pData;
    ASSERT_TRUE(doc.OnSaveDocument((dir / "out.spm").string(), "Height_01"));
    EXPECT_EQ(Image().m_pData, heights);
    // The largest absolute height is stored as 32760.
    EXPECT_FLOAT_EQ(Image().m_header.m_fKz, static_cast<float>(500.0 / 32760.0));
    EXPECT_EQ(Image().m_pRaw[0], -32760);
}
