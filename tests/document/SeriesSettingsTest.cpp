// Files of one name stem share the presentation file their name gives (scan.001 and scan.002
// both give scan.cnf): each keeps its own image list and view settings there, and no save
// for one of them changes what another reopens with.
#include "DocumentFixture.h"

#include "platform/core/DialogModels.h"
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
    static CPresentationConfig& Record3D(CMDIDoc& doc) { return (*doc.ImageList().front().m_pSettings)[kSettings3D]; }

    // The configuration panel's Load and Save of the first image's 3D record with the file
    // `cnf`, as the panel runs them once the user chose the file.
    static bool PanelLoad(CMDIDoc& doc, const std::string& cnf)
    {
        const ProfileFile profile = ProfileFile::Load(cnf);
        const std::optional<SettingsPlace> place = doc.PlaceToLoadRecordFrom(Record3D(doc), ViewKind::View3D, profile);
        if (place)
            LoadCnf(profile, ViewKind::View3D, Record3D(doc), *place);
        return place.has_value();
    }
    static bool PanelSave(CMDIDoc& doc, const std::string& cnf)
    {
        const std::optional<SettingsPlace> place = doc.PlaceToSaveRecordIn(Record3D(doc), ViewKind::View3D, cnf);
        return place && WriteCnf(*place, ViewKind::View3D, Record3D(doc));
    }
    // The next list to choose from: its question and entries go to `shown`; `entry` is chosen,
    // none means Cancel.
    void AnswerChoice(std::optional<std::size_t> entry, Texts& shown)
    {
        prompt.dialogScript.push_back([entry, &shown](IDialogModel& model) {
            auto& list = dynamic_cast<CChoiceListDlg&>(model);
            shown = list.m_entries;
            shown.insert(shown.begin(), list.m_strText);
            if (entry)
                list.m_nSelected = *entry;
            return entry.has_value();
        });
    }
    // A document of `path` whose first image's 3D view was turned to `angle` and saved as the
    // quit question's Yes saves it.
    void SaveAngle(const std::string& path, float angle)
    {
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(path));
        Record3D(doc).m_Angle = angle;
        ASSERT_TRUE(doc.SaveImageSettings(*doc.ImageList().front().m_pImage));
    }
    float ReopenedAngle(const std::string& path)
    {
        CMDIDoc doc;
        EXPECT_TRUE(doc.OnOpenDocument(path));
        return Angle3D(doc);
    }

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

// The panel's Load with a presentation file other than the image's own gives the record that
// the image file which wrote it keeps there: its own sections, or plain ones; where several
// image files keep one, the user chooses whose. A file that holds none says so.
TEST_F(SeriesSettingsTest, PanelLoadTakesTheRecordOfTheImageFileThatWroteIt)
{
    SaveAngle(Spm("a.spm"), 123.0f);
    WriteFile(dir / "plain.cnf", "[Height_01_Presentation3D]\r\nAngle=77.00\r\n");
    Spm("only.spm");
    WriteFile(dir / "only.cnf", "[Height_01_Presentation3D]\r\nAngle=77.00\r\n");
    // Plain sections of before beside the only image file's own: its own count.
    Spm("shadow.spm");
    WriteFile(dir / "shadow.cnf", "[Height_01_Presentation3D]\r\nAngle=77.00\r\n[.spm:Height_01_Light3D]\r\n"
                                  "LightAngle=40\r\n[.spm:Height_01_Presentation3D]\r\nAngle=66.00\r\n");
    SaveAngle(Written("scan.001"), 11.0f);
    SaveAngle(Written("scan.002"), 22.0f);
    WriteFile(dir / "none.cnf", "[Height_01_Presentation2D]\r\nAngle=1\r\n[.spm:Phase_01_Presentation3D]\r\nAngle=2\r\n");
    const Texts seriesChoice{"scan.cnf holds 3D settings of Height_01 of several image files. Load those of:",
                             "scan.001", "scan.002"};
    const struct {
        const char* cnf;
        std::optional<std::size_t> choice;  // the answer of a list to choose from, when one is shown
        Texts shown;                        // what that list showed
        float angle;                        // the record's angle afterwards; it starts at 5
        Texts messages;
    } cases[] = {
        {"a.cnf", {}, {}, 123.0f, {}},
        {"plain.cnf", {}, {}, 77.0f, {}},
        {"only.cnf", {}, {}, 77.0f, {}},
        {"shadow.cnf", {}, {}, 66.0f, {}},
        {"scan.cnf", 1, seriesChoice, 22.0f, {}},
        {"scan.cnf", 0, seriesChoice, 11.0f, {}},
        {"scan.cnf", std::nullopt, seriesChoice, 5.0f, {}},
        {"none.cnf", {}, {}, 5.0f, {"none.cnf holds no 3D settings of Height_01."}},
        {"missing.cnf", {}, {}, 5.0f, {"missing.cnf holds no 3D settings of Height_01."}},
    };
    for (const auto& c : cases) {
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(Written("b.007")));
        Record3D(doc).m_Angle = 5.0f;
        Texts shown;
        if (!c.shown.empty())
            AnswerChoice(c.choice, shown);
        prompt.messages.clear();
        EXPECT_EQ(PanelLoad(doc, (dir / c.cnf).string()), c.angle != 5.0f) << c.cnf;
        EXPECT_EQ(Angle3D(doc), c.angle) << c.cnf;
        EXPECT_EQ(shown, c.shown) << c.cnf;
        EXPECT_TRUE(prompt.dialogScript.empty()) << c.cnf;
        EXPECT_EQ(prompt.messages, c.messages) << c.cnf;
    }
    // The image's own presentation file gives its own record alone.
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(dir / "scan.001"));
    Record3D(doc).m_Angle = 5.0f;
    EXPECT_TRUE(PanelLoad(doc, (dir / "scan.cnf").string()));
    EXPECT_EQ(Angle3D(doc), 11.0f);
    Record3D(doc).m_ImageName = "Height_07";
    prompt.messages.clear();
    EXPECT_FALSE(PanelLoad(doc, (dir / "scan.cnf").string()));
    EXPECT_EQ(prompt.messages, Texts{"scan.cnf holds no 3D settings of Height_07."});
}

// The panel's Save into another image file's presentation file writes where that image file
// reads it, so that it next opens with what was saved; where several share the file the user
// chooses whose settings to replace, and a file of no image file gets plain sections, which
// the panel's Load brings back.
TEST_F(SeriesSettingsTest, PanelSaveWritesWhereTheImageFileReadsIt)
{
    const std::string a = Spm("a.spm");
    SaveAngle(a, 123.0f);
    const std::string first = Written("run.001"), second = Written("run.002");
    const float defaultAngle = ReopenedAngle(first);
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Written("b.007")));
    Record3D(doc).m_Angle = 77.0f;

    EXPECT_TRUE(PanelSave(doc, (dir / "a.cnf").string()));
    EXPECT_EQ(ReopenedAngle(a), 77.0f);
    EXPECT_EQ(FileText(dir / "a.cnf").find("[Height_01_"), std::string::npos);

    Texts shown;
    AnswerChoice(std::nullopt, shown);
    EXPECT_FALSE(PanelSave(doc, (dir / "run.cnf").string()));
    EXPECT_EQ(shown, (Texts{"run.cnf keeps the settings of several image files. Replace the 3D settings of "
                            "Height_01 of:", "run.001", "run.002"}));
    EXPECT_FALSE(std::filesystem::exists(dir / "run.cnf"));
    AnswerChoice(1, shown);
    EXPECT_TRUE(PanelSave(doc, (dir / "run.cnf").string()));
    EXPECT_EQ(ReopenedAngle(second), 77.0f);
    EXPECT_EQ(ReopenedAngle(first), defaultAngle);

    EXPECT_TRUE(PanelSave(doc, (dir / "loose.cnf").string()));
    EXPECT_NE(FileText(dir / "loose.cnf").find("[Height_01_Presentation3D]"), std::string::npos);
    CMDIDoc other;
    ASSERT_TRUE(other.OnOpenDocument(Spm("c.spm")));
    ASSERT_TRUE(PanelLoad(other, (dir / "loose.cnf").string()));
    EXPECT_EQ(Angle3D(other), 77.0f);
    EXPECT_TRUE(prompt.messages.empty());
}
