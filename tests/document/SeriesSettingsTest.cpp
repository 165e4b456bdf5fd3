// Files of one name stem share the presentation file their name gives (scan.001 and scan.002
// both give scan.cnf): each keeps its own image list and view settings there, and no save
// for one of them changes what another reopens with.
#include "DocumentFixture.h"

#include <functional>

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
    static bool PanelSave(CMDIDoc& doc, const std::string& cnf, CPresentationConfig* record = nullptr,
                          ViewKind kind = ViewKind::View3D)
    {
        const CPresentationConfig& saved = record != nullptr ? *record : Record3D(doc);
        const std::optional<SettingsPlace> place = doc.PlaceToSaveRecordIn(saved, kind, cnf);
        if (!place)
            return false;
        const std::optional<bool> replaceChanged = doc.AskBeforeReplacingOpenRecords(saved, kind, *place);
        if (!replaceChanged || !SaveRecordAt(*place, kind, saved))
            return false;
        doc.NoteRecordWritten(saved, kind, *place, *replaceChanged);
        return true;
    }
    // The next question is answered with `answer`; its text goes to `asked`.
    void AnswerQuestion(CQuestionBox::Answer answer, std::string& asked)
    {
        prompt.dialogScript.push_back([answer, &asked](IDialogModel& model) {
            auto& question = dynamic_cast<CQuestionBox&>(model);
            asked = question.m_strText;
            question.m_answer = answer;
            return answer != CQuestionBox::Answer::Cancel;
        });
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

// A presentation file of version 1.2 keeps one record of each kind for every image, in
// sections without the image's name. Whichever save writes one image's record into it (and
// sets its version anew), every other image, and the other kind, still read what they read
// before; the sections of before stay in the file.
TEST_F(SeriesSettingsTest, ASaveIntoAVersion12FileKeepsWhatEveryOtherImageReadThere)
{
    const std::string v12 = "[Introduction]\r\nVer=1.2\r\n[Presentation2D]\r\nTilt=11\r\n[Presentation3D]\r\nTilt=33\r\n"
                            "[Light3D]\r\nLightAngle=44\r\n";
    using Save = std::function<void(CMDIDoc&)>;
    const struct {
        const char* save;
        Save run;
    } saves[] = {
        {"Save Image Config", [](CMDIDoc& doc) { doc.OnSaveImageConfig(doc.ImageList()[0].m_pImage->m_strName); }},
        {"the quit's Yes", [](CMDIDoc& doc) { EXPECT_TRUE(doc.SaveImageSettings(*doc.ImageList()[0].m_pImage)); }},
        {"Save Configs of Doc. Images",
         [](CMDIDoc& doc) { doc.OnFILESaveDocCondig(doc.ImageList()[0].m_pImage->m_strName); }},
        {"the panel's Save of the 3D record",
         [this](CMDIDoc& doc) { EXPECT_TRUE(PanelSave(doc, (dir / "scan.cnf").string())); }},
    };
    // Tilt of 2D and 3D, and the 3D light angle, per image.
    using Read = std::vector<std::array<float, 3>>;
    const auto read = [](const CMDIDoc& doc) {
        Read records;
        for (const ImageEntry& entry : doc.ImageList()) {
            const SettingsPair& pair = *entry.m_pSettings;
            records.push_back({pair[kSettings2D].m_Tilt, pair[kSettings3D].m_Tilt, pair[kSettings3D].m_LightAngle});
        }
        return records;
    };
    const std::string scan = TwoFrameMdt("scan.mdt");
    for (const auto& save : saves) {
        WriteFile(dir / "scan.cnf", v12);
        CMDIDoc doc;
        OpenWithFollowUps(doc, scan);
        ASSERT_EQ(read(doc), (Read{{11, 33, 44}, {11, 33, 44}})) << save.save;
        Record3D(doc).m_Tilt = 55.0f;
        save.run(doc);
        CMDIDoc reopened;
        OpenWithFollowUps(reopened, scan);
        EXPECT_EQ(read(reopened), (Read{{11, 55, 44}, {11, 33, 44}})) << save.save;
        EXPECT_TRUE(FileText(dir / "scan.cnf").find("[Presentation2D]\r\nTilt=11\r\n[Presentation3D]\r\nTilt=33\r\n") !=
                    std::string::npos) << save.save;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// The records of a version-1.2 presentation file name no image file: every file of its stem
// opens with them (two files of the stem, or a NanoScope series of three, as one file alone
// does), a save of one file's record keeps the others reading them, and the plain sections
// with the image's name still count for none of a series.
TEST_F(SeriesSettingsTest, AVersion12FileServesEveryImageFileOfItsStem)
{
    const std::string v12 = "[Introduction]\r\nVer=1.2\r\n[Presentation2D]\r\nTilt=11\r\n[Presentation3D]\r\nTilt=33\r\n";
    const auto tilts = [](const std::string& path) {
        CMDIDoc doc;
        EXPECT_TRUE(doc.OnOpenDocument(path)) << path;
        const SettingsPair& pair = *doc.ImageList().front().m_pSettings;
        return std::pair(pair[kSettings2D].m_Tilt, pair[kSettings3D].m_Tilt);
    };
    const std::pair<float, float> old(11.0f, 33.0f);
    const struct {
        const char* stem;
        std::vector<std::string> files;
    } folders[] = {
        {"one", {"one.007"}},
        {"pair", {"pair.007", "pair.spm"}},
        {"scan", {"scan.001", "scan.002", "scan.003"}},
    };
    for (const auto& folder : folders) {
        std::vector<std::string> paths;
        for (const std::string& file : folder.files)
            paths.push_back(file.ends_with(".spm") ? Spm(file) : Written(file));
        const fs::path cnf = dir / (std::string(folder.stem) + ".cnf");
        WriteFile(cnf, v12);
        for (const std::string& path : paths)
            EXPECT_EQ(tilts(path), old) << path;
        // The first file keeps a 3D tilt of its own; every other file still reads the old ones.
        {
            CMDIDoc doc;
            ASSERT_TRUE(doc.OnOpenDocument(paths.front()));
            Record3D(doc).m_Tilt = 55.0f;
            ASSERT_TRUE(doc.SaveImageSettings(*doc.ImageList().front().m_pImage));
        }
        EXPECT_EQ(tilts(paths.front()), std::pair(11.0f, 55.0f)) << folder.stem;
        for (std::size_t i = 1; i < paths.size(); ++i)
            EXPECT_EQ(tilts(paths[i]), old) << paths[i];
        EXPECT_TRUE(FileText(cnf).find("[Presentation2D]\r\nTilt=11\r\n[Presentation3D]\r\nTilt=33\r\n") !=
                    std::string::npos) << folder.stem;
    }
    // Prefixed plain sections beside the old ones still count for no file of the series.
    WriteFile(dir / "scan.cnf", "[Introduction]\r\nVer=2.1\r\n[Presentation2D]\r\nTilt=11\r\n[Presentation3D]\r\n"
                                "Tilt=33\r\n[Height_01_Presentation3D]\r\nTilt=44\r\n");
    EXPECT_EQ(tilts(Written("scan.002")), old);
    // The only file of its stem takes them, and the old ones where they give no value.
    const std::string lone = Written("lone.001");
    WriteFile(dir / "lone.cnf", FileText(dir / "scan.cnf"));
    EXPECT_EQ(tilts(lone), std::pair(11.0f, 44.0f));
    EXPECT_TRUE(prompt.messages.empty());
}

// The panel's Load of the image's own presentation file, where the image's own sections hold
// no record: the plain sections (which count for no file of a series when it opens) and
// other image files' records are what the user takes from there, by choice where several
// hold one; only a file of no such record says it holds none.
TEST_F(SeriesSettingsTest, PanelLoadOfTheImagesOwnFileTakesTheFilesOtherRecords)
{
    const std::string first = Written("scan.001"), second = Written("scan.002");
    const std::string plain = "[Height_01_Presentation3D]\r\nAngle=123\r\n";
    const std::string others = "[.002:Height_01_Presentation3D]\r\nAngle=22\r\n";
    const std::string own = "[.001:Height_01_Presentation3D]\r\nAngle=11\r\n";
    const Texts choice{"scan.cnf holds 3D settings of Height_01 of several image files. Load those of:",
                       "saved without an image file", "scan.002"};
    const struct {
        std::string image;
        std::string cnf;
        std::optional<std::size_t> choice;
        Texts shown;
        float angle;   // the record's angle afterwards; it starts at 5
        Texts messages;
    } cases[] = {
        {second, plain, {}, {}, 123.0f, {}},
        {first, others, {}, {}, 22.0f, {}},
        {first, plain + others, 1, choice, 22.0f, {}},
        {first, plain + others, 0, choice, 123.0f, {}},
        {first, plain + others, std::nullopt, choice, 5.0f, {}},
        {first, plain + others + own, {}, {}, 11.0f, {}},
        {first, "[.002:Height_01_Presentation2D]\r\nAngle=1\r\n", {}, {}, 5.0f,
         {"scan.cnf holds no 3D settings of Height_01."}},
    };
    for (const auto& c : cases) {
        WriteFile(dir / "scan.cnf", c.cnf);
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(c.image));
        Record3D(doc).m_Angle = 5.0f;
        Texts shown;
        if (!c.shown.empty())
            AnswerChoice(c.choice, shown);
        prompt.messages.clear();
        PanelLoad(doc, (dir / "scan.cnf").string());
        EXPECT_EQ(Angle3D(doc), c.angle) << c.image << " " << c.cnf;
        EXPECT_EQ(shown, c.shown) << c.cnf;
        EXPECT_EQ(prompt.messages, c.messages) << c.cnf;
    }
}

// The panel's Load of its own presentation file for a file of a series that keeps no record
// of its own there, while the version 1.2 sections every such file reads and another file's
// own record are there: the user chooses between them, and the entry chosen is what loads,
// in a file still of version 1.2 as in one that other file's save has written since.
TEST_F(SeriesSettingsTest, PanelLoadOffersTheVersion12SectionsBesideAnotherFilesOwnRecord)
{
    const std::string first = Written("scan.001"), second = Written("scan.002"), third = Written("scan.003");
    const std::string cnf = (dir / "scan.cnf").string();
    const std::string v12 = "[Introduction]\r\nVer=1.2\r\n[Presentation3D]\r\nAngle=33\r\n";
    // Each holder's label in the list and the angle its record holds.
    const std::vector<std::pair<std::string, float>> holders{{"saved without an image file", 33.0f},
                                                             {"scan.002", 22.0f}};
    const struct {
        const char* how;
        std::function<void()> write;
    } files[] = {
        {"still 1.2", [&] { WriteFile(cnf, v12 + "[.002:Height_01_Presentation3D]\r\nAngle=22\r\n"); }},
        {"saved by scan.002 since",
         [&] {
             WriteFile(cnf, v12);
             SaveAngle(second, 22.0f);
         }},
    };
    Texts choice{"scan.cnf holds 3D settings of Height_01 of several image files. Load those of:"};
    for (const auto& [label, angle] : holders)
        choice.push_back(label);
    for (const auto& file : files) {
        file.write();
        for (const std::string& image : {first, third}) {
            // Each entry chosen in turn, then Cancel, which keeps the record as it was.
            for (std::size_t entry = 0; entry <= holders.size(); ++entry) {
                const bool chosen = entry < holders.size();
                CMDIDoc doc;
                ASSERT_TRUE(doc.OnOpenDocument(image));
                Record3D(doc).m_Angle = 5.0f;
                Texts shown;
                AnswerChoice(chosen ? std::optional(entry) : std::nullopt, shown);
                EXPECT_EQ(PanelLoad(doc, cnf), chosen) << file.how << " " << image << " " << entry;
                EXPECT_EQ(shown, choice) << file.how << " " << image;
                EXPECT_EQ(Angle3D(doc), chosen ? holders[entry].second : 5.0f) << file.how << " " << image << " " << entry;
                EXPECT_TRUE(prompt.dialogScript.empty()) << file.how << " " << image;
                prompt.dialogScript.clear();
            }
        }
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// A hand-edited "[.SPM:...]" section is case.spm's, and "[.spm IN CAPITALS:...]" case.SPM's, as
// sections match without regard to case: the list to choose from names each image file once,
// by the file whose sections match.
TEST_F(SeriesSettingsTest, PanelLoadNamesEachHolderByTheImageFileItsSectionsMatch)
{
    Spm("case.spm");
    Spm("case.SPM");
    WriteFile(dir / "case.cnf", "[.SPM:Height_01_Presentation3D]\r\nAngle=31\r\n[.spm:Height_01_Light3D]\r\nLightAngle=7\r\n"
                                "[.spm IN CAPITALS:Height_01_Presentation3D]\r\nAngle=32\r\n");
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Written("b.007")));
    for (const auto& [entry, angle] : {std::pair<std::size_t, float>{0, 31.0f}, {1, 32.0f}}) {
        Texts shown;
        AnswerChoice(entry, shown);
        EXPECT_TRUE(PanelLoad(doc, (dir / "case.cnf").string()));
        EXPECT_EQ(shown, (Texts{"case.cnf holds 3D settings of Height_01 of several image files. Load those of:",
                                "case.spm", "case.SPM"}));
        EXPECT_EQ(Angle3D(doc), angle);
    }
    // A qualifier of no image file in the folder names the file that would write it: with the
    // capitals mark an extension with capitals, as spelled where it has any.
    const std::string x = (dir / "x.cnf").string();
    const std::pair<const char*, const char*> qualifiers[] = {
        {".MDT:", "x.mdt"}, {".MDT IN CAPITALS:", "x.MDT"}, {".mdt in capitals:", "x.MDT"},
        {".Mdt in capitals:", "x.Mdt"}, {".001:", "x.001"}};
    for (const auto& [qualifier, file] : qualifiers)
        EXPECT_EQ(ImageFileOfQualifier(x, qualifier), file) << qualifier;
}

// A hand-spelled "[.spm in capitals:...]" is not scan.spm's: the list to choose from offers
// scan.spm's own record beside it, also right after the panel saved scan.spm's record there.
TEST_F(SeriesSettingsTest, PanelLoadNeverHidesAnImageFilesOwnRecord)
{
    Spm("scan.spm");
    const std::string cnf = (dir / "scan.cnf").string();
    const Texts choice{"scan.cnf holds 3D settings of Height_01 of several image files. Load those of:", "scan.SPM",
                       "scan.spm"};
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Written("b.007")));
    for (const bool panelSaved : {false, true}) {
        WriteFile(dir / "scan.cnf", "[.spm in capitals:Height_01_Presentation3D]\r\nAngle=22\r\n" +
                                        std::string(panelSaved ? "" : "[.spm:Height_01_Presentation3D]\r\nAngle=11\r\n"));
        if (panelSaved) {
            Record3D(doc).m_Angle = 11.0f;
            ASSERT_TRUE(PanelSave(doc, cnf));
        }
        for (const auto& [entry, angle] : {std::pair<std::size_t, float>{1, 11.0f}, {0, 22.0f}}) {
            Record3D(doc).m_Angle = 5.0f;
            Texts shown;
            AnswerChoice(entry, shown);
            EXPECT_TRUE(PanelLoad(doc, cnf));
            EXPECT_EQ(shown, choice) << panelSaved;
            EXPECT_EQ(Angle3D(doc), angle) << panelSaved;
        }
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// The panel's Save into the presentation file of an image open in another document: that
// image's record of the kind takes what was saved (and its views are told), so a later save
// of its records, such as the quit's Yes, keeps the panel's save; where the record holds
// changes not saved yet, the user chooses first.
TEST_F(SeriesSettingsTest, APanelSaveIntoAnOpenImagesFileIsWhatThatImageShowsAndSaves)
{
    struct Hints : IDocumentView {
        void OnUpdate(int hint, const CMDIChildFrame*) override { hints.push_back(hint); }
        std::vector<int> hints;
    };
    const std::string a = Spm("a.spm"), b = Written("b.007");
    const auto record2D = [](CMDIDoc& doc) -> CPresentationConfig& { return (*doc.ImageList().front().m_pSettings)[kSettings2D]; };
    const auto reopened2D = [&](const std::string& path) {
        CMDIDoc doc;
        EXPECT_TRUE(doc.OnOpenDocument(path));
        return std::pair(record2D(doc).m_Angle, Angle3D(doc));
    };
    using Answer = CQuestionBox::Answer;
    const std::string question = "a.cnf keeps the 2D settings of a.spm:Height_01, which is open with changes to them "
                                 "not yet saved.\nReplace its changes with the settings saved now?\n"
                                 "(No keeps them, unsaved; Cancel saves nothing.)";
    const struct {
        const char* what;
        bool edited2D;              // a.spm's 2D record holds a change of the user's
        std::optional<Answer> answer;
        float shown;                // a.spm's 2D angle afterwards
        bool marked;                // its 2D record still holds changes not saved
        std::pair<float, float> reopened;   // a.spm's 2D and 3D angle after its quit's Yes
    } cases[] = {
        {"no change of the user's", false, {}, 77.0f, false, {77.0f, 99.0f}},
        {"the user's change replaced", true, Answer::Yes, 77.0f, false, {77.0f, 99.0f}},
        {"the user's change kept", true, Answer::No, 55.0f, true, {55.0f, 99.0f}},
        {"cancelled", true, Answer::Cancel, 55.0f, true, {55.0f, 99.0f}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir / "a.cnf");
        CMDIDoc docA, docB;
        ASSERT_TRUE(docA.OnOpenDocument(a));
        ASSERT_TRUE(docB.OnOpenDocument(b));
        Hints views;
        docA.AddView(&views);
        const CPresentationConfig before = Record3D(docA);
        Record3D(docA).m_Angle = 99.0f;
        ASSERT_TRUE(docA.NoteSettingsEdit(before, Record3D(docA)));
        if (c.edited2D) {
            const CPresentationConfig before2D = record2D(docA);
            record2D(docA).m_Angle = 55.0f;
            ASSERT_TRUE(docA.NoteSettingsEdit(before2D, record2D(docA)));
        }
        record2D(docB).m_Angle = 77.0f;
        std::string asked;
        if (c.answer)
            AnswerQuestion(*c.answer, asked);
        EXPECT_EQ(PanelSave(docB, (dir / "a.cnf").string(), &record2D(docB), ViewKind::View2D),
                  c.answer != Answer::Cancel) << c.what;
        EXPECT_EQ(asked, c.answer ? question : std::string()) << c.what;
        EXPECT_EQ(std::filesystem::exists(dir / "a.cnf"), c.answer != Answer::Cancel) << c.what;
        EXPECT_EQ(record2D(docA).m_Angle, c.shown) << c.what;
        EXPECT_EQ(views.hints, c.shown == 77.0f ? std::vector<int>{kHintColors} : std::vector<int>{}) << c.what;
        EXPECT_EQ(docA.ImageList().front().m_bSettingsModified, (std::array<bool, 2>{c.marked, true})) << c.what;
        docA.RemoveView(&views);
        ASSERT_TRUE(docA.SaveImageSettings(*docA.ImageList().front().m_pImage));
        EXPECT_EQ(reopened2D(a), c.reopened) << c.what;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// Two documents of one image file: a save of the view settings in one is what the other shows
// from then on, where it has no changes of its own to the record; its own changes stay, for
// its quit to ask about.
TEST_F(SeriesSettingsTest, SavingOneDocumentsSettingsUpdatesTheSameImageInAnother)
{
    const std::string a = Spm("a.spm");
    CMDIDoc first, second;
    ASSERT_TRUE(first.OnOpenDocument(a));
    ASSERT_TRUE(second.OnOpenDocument(a));
    CPresentationConfig& secondRecord2D = (*second.ImageList().front().m_pSettings)[kSettings2D];
    const CPresentationConfig before = Record3D(second);
    Record3D(second).m_Angle = 12.0f;
    ASSERT_TRUE(second.NoteSettingsEdit(before, Record3D(second)));
    (*first.ImageList().front().m_pSettings)[kSettings2D].m_Angle = 61.0f;
    Record3D(first).m_Angle = 62.0f;
    first.OnSaveImageConfig("Height_01");
    EXPECT_EQ(secondRecord2D.m_Angle, 61.0f);
    EXPECT_EQ(Angle3D(second), 12.0f);
    ASSERT_TRUE(second.SaveImageSettings(*second.ImageList().front().m_pImage));
    CMDIDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(a));
    EXPECT_EQ((*reopened.ImageList().front().m_pSettings)[kSettings2D].m_Angle, 61.0f);
    EXPECT_EQ(Angle3D(reopened), 12.0f);
    EXPECT_TRUE(prompt.messages.empty());
}

// Whatever a presentation file gives an image can be saved again: a value with a lone
// carriage return inside (another editor's, or a damaged file's) reads as a line end. A
// record that no file could keep is refused with what keeps it and why, and nothing is written.
TEST_F(SeriesSettingsTest, WhatAFileGaveSavesAgainAndWhatNoFileKeepsIsRefusedWithItsReason)
{
    const std::string a = Spm("a.spm");
    WriteFile(dir / "a.cnf", "[.spm:Height_01_Presentation2D]\r\nNameOfImageForColor=Height_01\rX\r\nTilt=12\r\n");
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(a));
    EXPECT_EQ((*doc.ImageList().front().m_pSettings)[kSettings2D].m_NameOfImageForColor, "Height_01");
    doc.OnSaveImageConfig("Height_01");
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(ProfileFile::Load((dir / "a.cnf").string()).GetString(".spm:Height_01_Presentation2D", "Tilt"), "12.00");

    // An image named after a quantity that no section name can hold, and a colour source
    // whose name no value can.
    ASSERT_TRUE(doc.AddImage(Spm("b.spm", "Pha]se"), 0));
    ASSERT_TRUE(doc.AddImage(Spm("c.spm", "Line\nbreak"), 0));
    ASSERT_TRUE(doc.AddImage(Spm("d.spm"), 0));
    (*doc.ImageList()[3].m_pSettings)[kSettings3D].m_NameOfImageForColor = doc.ImageList()[2].m_pImage->m_strName;
    const struct {
        std::string image;
        std::string message;
    } refusals[] = {
        {"Pha]se_02", "Unable to save the 2D settings of Pha]se_02 in b.cnf: the image's name is part of their section "
                      "names, and a section name cannot hold \"]\"."},
        {"Line\nbreak_03", "Unable to save the 2D settings of Line\nbreak_03 in c.cnf: the image's name is part of "
                           "their section names, and a section name cannot hold a line break."},
        {"Height_04", "Unable to save the 3D settings of Height_04 in d.cnf: their NameOfImageForColor is "
                      "\"Line\nbreak_03\", and a value cannot hold a line break."},
    };
    for (const auto& refusal : refusals) {
        prompt.messages.clear();
        doc.OnSaveImageConfig(refusal.image);
        EXPECT_EQ(prompt.messages, Texts{refusal.message});
    }
    for (const char* cnf : {"b.cnf", "c.cnf", "d.cnf"})
        EXPECT_FALSE(std::filesystem::exists(dir / cnf)) << cnf;
    // The panel's Save says the same.
    prompt.messages.clear();
    EXPECT_FALSE(PanelSave(doc, (dir / "d.cnf").string(), &(*doc.ImageList()[3].m_pSettings)[kSettings3D]));
    EXPECT_EQ(prompt.messages, Texts{refusals[2].message});
    EXPECT_FALSE(std::filesystem::exists(dir / "d.cnf"));
}

// What the configuration panel takes, a *.cnf gives back: a Z scale of 150 and a tilt of
// 120 saved by the panel or by the quit's Yes reopen as they were; values no view setting
// reaches stay ignored.
TEST_F(SeriesSettingsTest, ZScaleAndTiltThePanelTakesReopenAsSaved)
{
    const std::string a = Spm("a.spm");
    const struct {
        const char* save;
        float zScale, tilt;      // as the user set them
        float reZScale, reTilt;  // as the image reopens
    } cases[] = {
        {"panel", 150.0f, 120.0f, 150.0f, 120.0f},
        {"quit", 150.0f, 120.0f, 150.0f, 120.0f},
        {"panel", 1000.0f, 360.0f, 1000.0f, 360.0f},
        {"quit", 0.1f, 0.0f, 0.1f, 0.0f},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir / "a.cnf");
        {
            CMDIDoc doc;
            ASSERT_TRUE(doc.OnOpenDocument(a));
            Record3D(doc).m_Z_Scale = c.zScale;
            Record3D(doc).m_Tilt = c.tilt;
            if (std::string(c.save) == "panel")
                ASSERT_TRUE(PanelSave(doc, (dir / "a.cnf").string()));
            else
                ASSERT_TRUE(doc.SaveImageSettings(*doc.ImageList().front().m_pImage));
        }
        CMDIDoc reopened;
        ASSERT_TRUE(reopened.OnOpenDocument(a));
        EXPECT_FLOAT_EQ(Record3D(reopened).m_Z_Scale, c.reZScale) << c.save << " " << c.zScale;
        EXPECT_FLOAT_EQ(Record3D(reopened).m_Tilt, c.reTilt) << c.save << " " << c.tilt;
    }
    EXPECT_TRUE(prompt.messages.empty());
}
