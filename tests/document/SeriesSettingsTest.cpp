// Files of one name stem share the presentation file their name gives (scan.001 and scan.002
// both give scan.cnf): each keeps its own image list and view settings there, and no save
// for one of them changes what another reopens with.
#include "DocumentFixture.h"

#include "platform/core/PathText.h"
#include "platform/core/ProfileFile.h"
#include "presentation/ImageSettingsFiles.h"

namespace fs = std::filesystem;

namespace {

// A document opened from `path` as File Open opens it: the companion of a file of several
// images, then the listed images.
void OpenWithFollowUps(CMDIDoc& doc, const std::string& path)
{
    ASSERT_TRUE(doc.OnOpenDocument(path));
    if (const std::optional<std::string> companion = doc.CompanionImagePath())
        doc.AddImage(*companion, 1);
    for (const ListedImage& listed : doc.ListedImages())
        ASSERT_TRUE(doc.AddImage(listed.m_strPath, listed.m_nIndexInFile));
}

std::vector<std::string> ImageFiles(const CMDIDoc& doc)
{
    std::vector<std::string> files;
    for (const ImageEntry& entry : doc.ImageList())
        files.push_back(fs::path(entry.m_pImage->m_strPath).filename().string() + "#" +
                        std::to_string(entry.m_pImage->m_nIndexInFile));
    return files;
}

} // namespace

class SeriesSettingsTest : public DocumentTest {
protected:
    // Opens `path`, adds extra.spm, turns the first image's 3D view to `angle` and saves the
    // document's view settings and image list, as the quit question's Yes does.
    void SaveWithAddedImage(const std::string& path, float angle)
    {
        CMDIDoc doc;
        OpenWithFollowUps(doc, path);
        ASSERT_TRUE(doc.AddImage(extra, 0));
        (*doc.ImageList().front().m_pSettings)[kSettings3D].m_Angle = angle;
        doc.OnFILESaveDocCondig(doc.ImageList().front().m_pImage->m_strName);
        EXPECT_TRUE(prompt.messages.empty());
    }
    static float Angle3D(const CMDIDoc& doc) { return (*doc.ImageList().front().m_pSettings)[kSettings3D].m_Angle; }

    std::string extra = Spm("extra.spm");
};

TEST_F(SeriesSettingsTest, FilesOfOneStemKeepTheirOwnListsAndSettings)
{
    const struct {
        const char* what;
        std::string first, second;
    } cases[] = {
        {"two files of one series", TwoFrameMdt("scan.mdt"), Written("scan.001")},
        {"a NanoScope series", Written("run.001"), Written("run.002")},
        {"scan.spm beside scan.mdt", Spm("pair.spm"), TwoFrameMdt("pair.mdt")},
        {"capitals beside lower case", Spm("case.spm"), Spm("case.SPM")},
    };
    for (const auto& c : cases) {
        CMDIDoc fresh;
        OpenWithFollowUps(fresh, c.second);
        const std::vector<std::string> alone = ImageFiles(fresh);
        const float defaultAngle = Angle3D(fresh);

        SaveWithAddedImage(c.first, 123.0f);
        CMDIDoc second;
        OpenWithFollowUps(second, c.second);
        EXPECT_EQ(ImageFiles(second), alone) << c.what;
        EXPECT_EQ(Angle3D(second), defaultAngle) << c.what;

        // The second file's own save leaves the first one's as it was.
        SaveWithAddedImage(c.second, 45.0f);
        CMDIDoc first, secondAgain;
        OpenWithFollowUps(first, c.first);
        OpenWithFollowUps(secondAgain, c.second);
        EXPECT_EQ(Angle3D(first), 123.0f) << c.what;
        EXPECT_EQ(Angle3D(secondAgain), 45.0f) << c.what;
        EXPECT_EQ(ImageFiles(first).back(), "extra.spm#0") << c.what;
        EXPECT_EQ(ImageFiles(secondAgain).back(), "extra.spm#0") << c.what;
        EXPECT_EQ(secondAgain.ImageList().size(), alone.size() + 1) << c.what;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// A presentation file written before files of one stem were told apart, with its sections
// plain: it stays the file's that wrote it where that can be told, as the only file of its
// stem; beside another file of the stem it is nobody's, and saves leave it as it was.
TEST_F(SeriesSettingsTest, PlainSectionsOfBeforeCountOnlyForTheOnlyFileOfTheirStem)
{
    const std::string plain = "[AddImage]\r\nNofImage=1\r\nImage[0]=extra.spm\r\n"
                              "[Height_01_Presentation3D]\r\nAngle=77.00\r\n";
    const std::string one = Written("one.001");
    WriteFile(dir / "one.cnf", plain);
    CMDIDoc alone;
    OpenWithFollowUps(alone, one);
    EXPECT_EQ(ImageFiles(alone), (Texts{"one.001#0", "extra.spm#0"}));
    EXPECT_EQ(Angle3D(alone), 77.0f);
    // An own section, once written, counts over the plain one; the rest still comes from it.
    (*alone.ImageList().front().m_pSettings)[kSettings3D].m_Angle = 12.0f;
    alone.OnSaveImageConfig("Height_01");
    CMDIDoc reopened;
    OpenWithFollowUps(reopened, one);
    EXPECT_EQ(Angle3D(reopened), 12.0f);
    EXPECT_EQ(ImageFiles(reopened), (Texts{"one.001#0", "extra.spm#0"}));

    const std::string two = Written("one.002");
    CMDIDoc first, second;
    OpenWithFollowUps(first, one);
    OpenWithFollowUps(second, two);
    EXPECT_EQ(ImageFiles(first), Texts{"one.001#0"});
    EXPECT_EQ(Angle3D(first), 12.0f);
    EXPECT_EQ(ImageFiles(second), Texts{"one.002#0"});
    EXPECT_NE(Angle3D(second), 77.0f);
    EXPECT_TRUE(FileText(dir / "one.cnf").starts_with(plain));
    EXPECT_TRUE(prompt.messages.empty());
}

// An in-place save of scan.001 writes scan.001.spm, whose presentation file is scan.001.cnf:
// reopened, it takes neither its source's list nor its settings.
TEST_F(SeriesSettingsTest, AnInPlaceSaveDoesNotTakeItsSourcesList)
{
    const std::string scan = Written("scan.001");
    SaveWithAddedImage(scan, 99.0f);
    CMDIDoc doc;
    OpenWithFollowUps(doc, scan);
    ASSERT_EQ(doc.OnFileSave("Height_01"), FileSave::kSaved);
    CMDIDoc saved;
    OpenWithFollowUps(saved, scan + ".spm");
    EXPECT_EQ(ImageFiles(saved), Texts{"scan.001.spm#0"});
    EXPECT_NE(Angle3D(saved), 99.0f);
}
