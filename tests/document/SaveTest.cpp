// Saving the active frame's image: the format by the extension, what the document's path
// becomes, and every way a save can fail.
#include "DocumentFixture.h"

#include <cmath>

#include "platform/core/DialogModels.h"
#include "platform/core/ProfileFile.h"
#include "presentation/PresentationFile.h"

namespace fs = std::filesystem;
using Answer = CQuestionBox::Answer;

class SaveTest : public DocumentTest {
protected:
    void SetUp() override { ASSERT_TRUE(doc.OnOpenDocument(original)); }
    CSpmImage& Image() { return *doc.ImageList()[0].m_pImage; }

    std::string original = Spm("orig.spm", "Height", 6, 5);
    CMDIDoc doc;
};

TEST_F(SaveTest, EachWritableExtensionWritesItsFormatAndReadsBack)
{
    const std::vector<double> heights = Image().m_pData;
    // The reader that opens the file again names itself in the version text.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"out.spm", "out.spm", ""},      {"out.000", "out.000", "from Nanoscope"},
        {"out.999", "out.999", "from Nanoscope"}, {"out.mdt", "out.mdt", "Orbitrace, convert from NT-MDT"},
        {"out.SPM", "out.SPM.spm", ""}};  // upper case gets the own extension appended
    for (const auto& [name, file, version] : cases) {
        ASSERT_TRUE(doc.OnSaveDocument((dir / name).string(), "Height_01")) << name;
        const std::string written = (dir / file).string();
        EXPECT_EQ(doc.GetPathName(), written);
        CMDIDoc other;
        ASSERT_TRUE(other.OnOpenDocument(written)) << name;
        EXPECT_EQ(HeaderText(other.m_pCurImage->m_header.m_szVersion), version);
        EXPECT_NEAR(other.m_pCurImage->m_pData[7], heights[7], 0.1) << name;
    }
    EXPECT_FALSE(fs::exists(dir / "out.SPM"));
    // Saving keeps the heights; the largest absolute height is stored as 32760.
    EXPECT_EQ(Image().m_pData, heights);
    EXPECT_FLOAT_EQ(Image().m_header.m_fKz, static_cast<float>(500.0 / 32760.0));
    EXPECT_EQ(Image().m_pRaw[0], -32760);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(SaveTest, FailedSavesWriteNothingSayWhyAndKeepThePath)
{
    fs::create_directories(dir / "blocked.000");  // a folder standing where the target must go
    WriteFile(dir / "keep.spm", "old contents");
    const std::string notValid = "Image Name is not Valid-> CMDIDoc::OnFileSave";
    const std::tuple<fs::path, const char*, std::string> cases[] = {
        {dir / "out.MDT", "Height_01", "Save not Ok"},  // only the lower-case form is offered
        {dir / "out.dat", "Height_01", "Save not Ok"},   {dir / "out.DAT", "Height_01", "Save not Ok"},
        {dir / "out.7", "Height_01", "Save not Ok"},     {dir / "out.0001", "Height_01", "Save not Ok"},
        {dir / "out", "Height_01", "Save not Ok"},       {dir / "out.spm", "Phase_01", notValid},
        {dir / "no" / "out.spm", "Height_01", "Save not Ok"},
        {dir / "no" / "out.000", "Height_01", "Unable to open file for writing"},
        {dir / "no" / "out.mdt", "Height_01", "Unable to open file for writing"},
        {dir / "blocked.000", "Height_01", "Save not Ok"},
    };
    for (const auto& [path, image, message] : cases) {
        prompt.messages.clear();
        EXPECT_FALSE(doc.OnSaveDocument(path.string(), image)) << path;
        EXPECT_EQ(prompt.messages, Texts{message}) << path;
        EXPECT_EQ(doc.GetPathName(), original) << path;
        EXPECT_EQ(fs::exists(path), path == dir / "blocked.000") << path;
    }
    // An image that samples cannot hold leaves the old file.
    prompt.messages.clear();
    Image().m_dMax = INFINITY;
    EXPECT_FALSE(doc.OnSaveDocument((dir / "keep.spm").string(), "Height_01"));
    EXPECT_EQ(doc.OnFileSave("Phase_01"), FileSave::kNotSaved);
    EXPECT_EQ(prompt.messages, (Texts{"Save not Ok", notValid}));
    EXPECT_EQ(FileBytes(dir / "keep.spm").size(), 12u);
    EXPECT_EQ(doc.GetPathName(), original);
}

// Save Image As keeps the image's name, note and units where the file has a place for them,
// and asks first, naming each, where it has none: No and Cancel write nothing and leave the
// document and the image as they were.
TEST_F(SaveTest, SaveAsAsksBeforeAFileLosesATextAndOnlyYesWrites)
{
    SpmHeader& header = Image().m_header;
    SetHeaderText(header.m_szQuantity, "H\xC3\xB6he");
    SetHeaderText(header.m_szNote, "Synthetic sample: 3 \xC2\xB5m steps\nsecond line & <tags>");
    SetHeaderText(header.m_szXYUnit, "\xC2\xB5m");
    SetHeaderText(header.m_szZUnit, "\xC2\xB5m");
    const SpmHeader typed = header;
    const struct {
        const char* name;
        std::string question;  // empty: none
    } cases[] = {
        {"kept.spm", ""},
        {"n.000", "A NanoScope file cannot keep the XY unit \"\xC2\xB5m\": it reads back as \"um\".\n"
                  "Save it all the same?"},
        {"n.mdt", "An NT-MDT file cannot keep the XY unit \"\xC2\xB5m\": it reads back as \"nm\", with the steps "
                  "converted.\nAn NT-MDT file cannot keep the Z unit \"\xC2\xB5m\": it reads back as \"um\".\n"
                  "Save it all the same?"},
    };
    for (const auto& c : cases) {
        const fs::path target = dir / c.name;
        for (const Answer answer : {Answer::No, Answer::Cancel, Answer::Yes}) {
            prompt.events.clear();
            const std::string path = doc.GetPathName();
            const CSpmImage before = Image();
            prompt.dialogScript.push_back([answer](IDialogModel& dialog) {
                dynamic_cast<CQuestionBox&>(dialog).m_answer = answer;
                return answer == Answer::Yes;
            });
            // Typing a quantity leaves the image's name in the document as it was.
            const bool saved = doc.OnSaveDocument(target.string(), "Height_01");
            prompt.dialogScript.clear();
            const Texts asked = c.question.empty() ? Texts{} : Texts{"dialog: " + c.question};
            EXPECT_EQ(prompt.events, asked) << c.name;
            if (answer != Answer::Yes && !c.question.empty()) {
                EXPECT_FALSE(saved) << c.name;
                EXPECT_FALSE(fs::exists(target)) << c.name;
                EXPECT_EQ(doc.GetPathName(), path) << c.name;
                EXPECT_EQ(Image().m_pRaw, before.m_pRaw) << c.name;
                EXPECT_EQ(Image().m_header.m_fKz, before.m_header.m_fKz) << c.name;
                continue;
            }
            ASSERT_TRUE(saved) << c.name;
            CMDIDoc other;
            ASSERT_TRUE(other.OnOpenDocument(target.string())) << c.name;
            const SpmHeader& back = other.m_pCurImage->m_header;
            EXPECT_EQ(other.m_pCurImage->m_strName, "H\xC3\xB6he_01") << c.name;
            EXPECT_EQ(HeaderText(back.m_szNote), HeaderText(typed.m_szNote)) << c.name;
            if (c.question.empty()) {
                EXPECT_EQ(HeaderText(back.m_szXYUnit) + HeaderText(back.m_szZUnit), "\xC2\xB5m\xC2\xB5m") << c.name;
            }
            fs::remove(target);
            break;
        }
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(SaveTest, SaveImageWritesSpmBesideTheActiveImagesFile)
{
    ASSERT_TRUE(doc.AddImage(Spm("second.spm", "Phase", 3, 3), 0));
    const auto before = fs::last_write_time(original);
    ASSERT_EQ(doc.OnFileSave("Phase_02"), FileSave::kSaved);
    EXPECT_EQ(fs::last_write_time(original), before);  // only the active frame's image
    EXPECT_EQ(FileBytes(dir / "second.spm").size(), 512u + 2u * 3u * 3u);
    ASSERT_TRUE(doc.AddImage(Written("scan.001"), 0));
    ASSERT_EQ(doc.OnFileSave("Height_03"), FileSave::kSaved);
    EXPECT_EQ(FileBytes(dir / "scan.001.spm").size(), 512u + 2u * 5u * 4u);
    EXPECT_EQ(doc.GetPathName(), original);
}

TEST_F(SaveTest, EachImageKeepsItsOwnChangedMarkThatOnlyItsSaveClears)
{
    ASSERT_TRUE(doc.AddImage(Spm("second.spm", "Phase", 3, 3), 0));
    const CSpmImage& second = *doc.ImageList()[1].m_pImage;
    using Images = std::vector<const CSpmImage*>;
    EXPECT_FALSE(doc.IsModified());
    ChangeHeights(doc, second);
    ChangeHeights(doc, Image());
    EXPECT_EQ(doc.ModifiedImages(), (Images{&Image(), &second}));
    // A save that writes nothing, or writes another image, keeps the mark.
    EXPECT_FALSE(doc.OnSaveDocument((dir / "out.7").string(), "Height_01"));
    EXPECT_EQ(doc.OnFileSave("Nothing_09"), FileSave::kNotSaved);
    EXPECT_EQ(doc.ModifiedImages().size(), 2u);
    ASSERT_TRUE(doc.OnSaveDocument((dir / "out.spm").string(), "Height_01"));
    EXPECT_EQ(doc.ModifiedImages(), Images{&second});
    ASSERT_EQ(doc.OnFileSave("Phase_02"), FileSave::kSaved);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(SaveTest, SaveConfigsOfTheDocumentReportsAMissingActiveImageAndSavesEveryImage)
{
    ASSERT_TRUE(doc.AddImage(Spm("second.spm", "Phase"), 0));
    doc.OnFILESaveDocCondig("Nothing_09");
    EXPECT_EQ(prompt.messages, Texts{"Image Name is not Valid-> CMDIDoc::OnFILESaveDocCondig"});
    EXPECT_TRUE(fs::exists(dir / "orig.cnf"));
    EXPECT_TRUE(fs::exists(dir / "second.cnf"));
}

// View settings keep a mark per record, apart from the heights: a change marks it, loading
// and an edit that changes nothing do not, and writing the image's presentation file (the
// two commands, or a record saved there by itself) clears what it wrote.
TEST_F(SaveTest, ViewSettingsKeepMarksOfTheirOwnThatWritingThePresentationFileClears)
{
    WriteFile(dir / "second.cnf", "[Phase_02_Presentation3D]\r\nTilt=12\r\n");
    ASSERT_TRUE(doc.AddImage(Spm("second.spm", "Phase", 3, 3), 0));
    ASSERT_TRUE(doc.AddImage(Spm("third.spm", "Topography", 3, 3), 0));
    const auto& list = doc.ImageList();
    const auto record = [&list](std::size_t image, int kind) -> CPresentationConfig& {
        return (*list[image].m_pSettings)[static_cast<std::size_t>(kind)];
    };
    using Images = std::vector<const CSpmImage*>;
    const auto settingsMarked = [&] {
        Images images;
        for (const ImageEntry& entry : list)
            if (doc.IsSettingsModified(*entry.m_pImage))
                images.push_back(entry.m_pImage.get());
        return images;
    };
    const CSpmImage* first = list[0].m_pImage.get();
    const CSpmImage* second = list[1].m_pImage.get();
    const CSpmImage* third = list[2].m_pImage.get();
    EXPECT_EQ(record(1, kSettings3D).m_Tilt, 12.0f);
    EXPECT_TRUE(doc.ImagesWithChanges().empty());

    CPresentationConfig before = record(1, kSettings3D);
    EXPECT_FALSE(doc.NoteSettingsEdit(before, record(1, kSettings3D)));
    record(1, kSettings3D).m_Angle += 1.0f;
    EXPECT_TRUE(doc.NoteSettingsEdit(before, record(1, kSettings3D)));
    before = record(2, kSettings2D);
    record(2, kSettings2D).m_ColorCursors.back().m_Color = MakeColor(1, 2, 3);
    EXPECT_TRUE(doc.NoteSettingsEdit(before, record(2, kSettings2D)));
    ChangeHeights(doc, *first);
    EXPECT_EQ(settingsMarked(), (Images{second, third}));
    EXPECT_EQ(doc.ImagesWithChanges(), (Images{first, second, third}));
    EXPECT_TRUE(doc.IsModified(*first));
    EXPECT_FALSE(doc.IsModified(*second));

    // A record saved by itself, as the panel saves it, counts only where its image reads it.
    const auto saveAlone = [&](std::size_t image, const SettingsPlace& place) {
        ASSERT_TRUE(WriteCnf(place, ViewKind::View3D, record(image, kSettings3D)));
        doc.NoteRecordWritten(record(image, kSettings3D), ViewKind::View3D, place, false);
    };
    saveAlone(1, PlainSettingsPlace((dir / "elsewhere.cnf").string()));
    saveAlone(2, ImageSettingsPlace((dir / "third.spm").string(), true));
    EXPECT_EQ(settingsMarked(), (Images{second, third}));
    saveAlone(1, ImageSettingsPlace((dir / "." / "second.spm").string(), true));
    EXPECT_EQ(settingsMarked(), (Images{third}));
    fs::remove(dir / "third.cnf");

    // Save Image Config writes and clears the active image alone; a file that cannot be
    // written keeps the mark. Saving the document's configs clears every image written.
    doc.SetSettingsModified(record(1, kSettings2D));
    fs::create_directory(dir / "third.cnf");
    doc.OnSaveImageConfig("Topography_03");
    EXPECT_EQ(prompt.messages, Texts{"Unable to open file for writing"});
    EXPECT_EQ(settingsMarked(), (Images{second, third}));
    doc.OnSaveImageConfig("Phase_02");
    EXPECT_EQ(ProfileFile::Load((dir / "second.cnf").string()).GetString(".spm:Phase_02_Presentation3D", "Tilt"), "12.00");
    EXPECT_EQ(settingsMarked(), (Images{third}));
    doc.SetSettingsModified(record(0, kSettings3D));
    doc.OnFILESaveDocCondig("Height_01");
    EXPECT_EQ(settingsMarked(), (Images{third}));
    fs::remove(dir / "third.cnf");
    doc.OnFILESaveDocCondig("Height_01");
    EXPECT_TRUE(settingsMarked().empty());
    EXPECT_EQ(doc.ImagesWithChanges(), (Images{first}));
}

// Images of one file share its presentation file: saving one image's view settings writes its
// own sections into it and leaves every other byte, and the image file, as they were.
TEST_F(SaveTest, ViewSettingsOfOneImageOfAFileGoIntoTheSharedFileBesideIt)
{
    ASSERT_TRUE(doc.AddImage(original, 0));
    const std::string kept = "[AddImage]\r\nNofImage=1\r\nImage[0]=x.spm\r\n[Height_01_Light2D]\r\nLightAngle=7.00\r\n";
    WriteFile(dir / "orig.cnf", kept);
    const std::vector<std::uint8_t> imageBytes = FileBytes(original);
    const CSpmImage& second = *doc.ImageList()[1].m_pImage;
    ASSERT_EQ(second.m_strName, "Height_02");
    ASSERT_TRUE(doc.SaveImageSettings(second));
    const std::string text = FileText(dir / "orig.cnf");
    EXPECT_TRUE(text.starts_with(kept + "[Introduction]\r\nVer=2.1\r\n[.spm:Height_02_Presentation2D]\r\n")) << text;
    EXPECT_EQ(text.find("Height_01_Presentation"), std::string::npos);
    EXPECT_EQ(FileBytes(original), imageBytes);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& file : fs::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 2u);
}

// A question that names images names each on the line it stands in: a name made from a
// quantity holding a line break or a tab shows them as escapes.
TEST_F(DocumentTest, TheReplaceQuestionNamesAnImageOnTheLineItStandsIn)
{
    const std::string path = Spm("twice.spm", "a\nb\tc\x85");
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_TRUE(doc.AddImage(path, 0));
    const std::string second = doc.ImageList()[1].m_pImage->m_strName;
    ASSERT_EQ(second, "a\nb\tc\x85_02");
    prompt.dialogScript.push_back([](IDialogModel& model) {
        dynamic_cast<CQuestionBox&>(model).m_answer = Answer::Cancel;
        return false;
    });
    EXPECT_EQ(doc.OnFileSave(second), FileSave::kNotSaved);
    EXPECT_EQ(prompt.events, Texts{"dialog: twice.spm holds twice.spm:a\\nb\\tc\\u0085_01. Replace it with "
                                   "a\\nb\\tc\\u0085_02? No saves a\\nb\\tc\\u0085_02 under another name."});
}
