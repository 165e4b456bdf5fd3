// What a save does to the other images of its document: a save in place never takes, unasked,
// the file that holds another image; Save As makes the written file the image's own; an image
// whose file a save replaced, or whose change is undone, is judged by what the files hold.
#include "DocumentFixture.h"

#include <cmath>

#include "platform/core/DialogModels.h"
#include "platform/core/ProfileFile.h"
#include "presentation/ImageSettingsFiles.h"
#include "support/TestImages.h"

namespace fs = std::filesystem;

namespace {

using Answer = CQuestionBox::Answer;

constexpr const char* kNanoscope = "nanoscope-v432-height-amplitude.007";

// The question of a save in place whose file holds `other`, for the image `image`.
std::string ReplaceQuestion(const std::string& file, const std::string& title, const std::string& other,
                            const std::string& image)
{
    return "dialog: " + file + " holds " + title + ":" + other + ". Replace it with " + image + "? No saves " + image +
           " under another name.";
}

} // namespace

class SaveInPlaceTest : public DocumentTest {
protected:
    void Reply(Answer answer)
    {
        prompt.dialogScript.push_back([answer](IDialogModel& model) {
            dynamic_cast<CQuestionBox&>(model).m_answer = answer;
            return answer == Answer::Yes;
        });
    }
    // Which of `images` the file at `path` gives back; -1 for none of them.
    int HeldImage(const std::string& path, const std::vector<const CSpmImage*>& images)
    {
        CMDIDoc file;
        if (!file.OnOpenDocument(path))
            return -1;
        const std::vector<double>& read = file.ImageList().front().m_pImage->m_pData;
        for (std::size_t i = 0; i < images.size(); ++i)
            if (HeightsWithinSampleStep(read, *images[i]))
                return static_cast<int>(i);
        return -1;
    }

    // Both images of the two-image file at `path` changed, the first saved in place, then the
    // second, with each answer: Yes replaces the first one's file, which is then asked about
    // again; No leaves the name to Save As; Cancel writes nothing.
    void ExpectSecondSaveInPlaceAsks(const std::string& path)
    {
        const std::string target = path + ".spm";
        const std::string title = FileNameOf(path);
        const struct {
            Answer answer;
            FileSave result;
            int held;  // the image the file holds afterwards
        } cases[] = {{Answer::Yes, FileSave::kSaved, 1}, {Answer::No, FileSave::kSaveAs, 0},
                     {Answer::Cancel, FileSave::kNotSaved, 0}};
        for (const auto& c : cases) {
            const int answer = static_cast<int>(c.answer);
            fs::remove(target);  // no save of an earlier session
            CMDIDoc doc;
            ASSERT_TRUE(doc.OnOpenDocument(path));
            ASSERT_TRUE(doc.AddImage(path, 1));
            const CSpmImage& first = *doc.ImageList()[0].m_pImage;
            const CSpmImage& second = *doc.ImageList()[1].m_pImage;
            ChangeHeights(doc, first);
            ChangeHeights(doc, second, 7.0);
            prompt.events.clear();
            ASSERT_EQ(doc.OnFileSave(first.m_strName), FileSave::kSaved);
            EXPECT_TRUE(prompt.events.empty()) << answer;
            EXPECT_EQ(HeldImage(target, {&first, &second}), 0) << answer;

            Reply(c.answer);
            EXPECT_EQ(doc.OnFileSave(second.m_strName), c.result) << answer;
            EXPECT_EQ(prompt.events, Texts{ReplaceQuestion(FileNameOf(target), title, first.m_strName,
                                                           second.m_strName)}) << answer;
            EXPECT_EQ(HeldImage(target, {&first, &second}), c.held) << answer;
            EXPECT_EQ(doc.IsModified(first), c.held == 1) << answer;
            EXPECT_EQ(doc.IsModified(second), c.held == 0) << answer;
            if (c.answer != Answer::Yes)
                continue;
            // The first image's own save is the one asked about now; a Cancel keeps the file.
            prompt.events.clear();
            Reply(Answer::Cancel);
            EXPECT_EQ(doc.OnFileSave(first.m_strName), FileSave::kNotSaved);
            EXPECT_EQ(prompt.events, Texts{ReplaceQuestion(FileNameOf(target), title, second.m_strName,
                                                           first.m_strName)});
            EXPECT_EQ(HeldImage(target, {&first, &second}), 1);
        }
        EXPECT_TRUE(prompt.messages.empty());
    }
};

TEST_F(SaveInPlaceTest, TheSecondImageOfAnNtMdtFileAsksBeforeTakingTheFirstOnesFile)
{
    ExpectSecondSaveInPlaceAsks(TwoFrameMdt("scan.mdt"));
}

TEST_F(SaveInPlaceTest, TheSecondImageOfARealNanoScopeFileAsksBeforeTakingTheFirstOnesFile)
{
    SPM_REQUIRE_SAMPLES();
    fs::copy_file(SamplePath(kNanoscope), dir / kNanoscope);
    ExpectSecondSaveInPlaceAsks((dir / kNanoscope).string());
}

// One *.spm file added twice: each image holds it as loaded, so either save in place asks.
TEST_F(SaveInPlaceTest, AFileAddedTwiceIsAskedAboutByEitherImage)
{
    const std::string path = Spm("twice.spm");
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_TRUE(doc.AddImage(path, 0));
    const CSpmImage& first = *doc.ImageList()[0].m_pImage;
    const CSpmImage& second = *doc.ImageList()[1].m_pImage;
    ChangeHeights(doc, second, 7.0);
    Reply(Answer::Cancel);
    EXPECT_EQ(doc.OnFileSave("Height_02"), FileSave::kNotSaved);
    EXPECT_EQ(HeldImage(path, {&first, &second}), 0);
    Reply(Answer::Yes);
    EXPECT_EQ(doc.OnFileSave("Height_02"), FileSave::kSaved);
    EXPECT_EQ(HeldImage(path, {&first, &second}), 1);
    EXPECT_EQ(doc.ModifiedImages(), std::vector<const CSpmImage*>{&first});
    Reply(Answer::No);
    EXPECT_EQ(doc.OnFileSave("Height_01"), FileSave::kSaveAs);
    EXPECT_EQ(prompt.events, (Texts{ReplaceQuestion("twice.spm", "twice.spm", "Height_01", "Height_02"),
                                    ReplaceQuestion("twice.spm", "twice.spm", "Height_01", "Height_02"),
                                    ReplaceQuestion("twice.spm", "twice.spm", "Height_02", "Height_01")}));
}

// A file that an earlier session wrote: its header says which image it holds. The image's
// own earlier save is replaced unasked; a file of another channel, of another file's image or
// of no image is asked about, and only Yes replaces it.
TEST_F(SaveInPlaceTest, AFileAnEarlierSessionWroteIsReplacedUnaskedOnlyByItsOwnImage)
{
    const std::string scan = Written("scan.000");  // Height, read "from Nanoscope"
    const std::string mdt = TwoFrameMdt("two.mdt");  // two frames of quantity Height, their title
    const auto savedBefore = [&](const std::string& path, int index) {
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(path));
        ASSERT_TRUE(index == 0 || doc.AddImage(path, index));
        const CSpmImage& image = *doc.ImageList()[static_cast<std::size_t>(index)].m_pImage;
        ChangeHeights(doc, image, 3.0);
        ASSERT_EQ(doc.OnFileSave(image.m_strName), FileSave::kSaved);
    };
    // A file as written before files said which image they hold: nothing in the reserved words.
    const auto spmHolding = [&](std::string_view quantity, std::string_view version,
                                const char* name = "scan.000.spm") {
        SpmHeader header = TestHeader(4, 3, quantity);
        SetHeaderText(header.m_szVersion, version);
        Spm(name, header);
    };
    const std::string replaceSecond = " Replace it with Height_02? No saves Height_02 under another name.";
    const std::string replaceFirst = " Replace it with Height_01? No saves Height_01 under another name.";
    const std::string replace = " Replace it with Height_01? No saves Height_01 under another name.";
    const struct {
        const char* what;
        std::string path;
        int index;
        std::function<void()> before;
        std::string question;  // empty: none
    } cases[] = {
        {"its own earlier save", scan, 0, [&] { savedBefore(scan, 0); }, ""},
        {"another channel", scan, 0, [&] { spmHolding("Amplitude", "from Nanoscope"); },
         "scan.000.spm holds another image saved before, Amplitude." + replace},
        {"another file's image", scan, 0, [&] { spmHolding("Height", "Orbitrace, convert from NT-MDT"); },
         "scan.000.spm holds another image saved before, Height." + replace},
        {"no image", scan, 0, [&] { WriteFile(dir / "scan.000.spm", "notes"); },
         "scan.000.spm is not an image file of this program." + replace},
        {"a channel of the same quantity", mdt, 1, [&] { savedBefore(mdt, 0); },
         "two.mdt.spm holds image 1 of two.mdt (Height), saved before." + replaceSecond},
        {"a channel of the same quantity, not open", mdt, 0, [&] { savedBefore(mdt, 1); },
         "two.mdt.spm holds image 2 of two.mdt (Height), saved before." + replaceFirst},
        {"the same channel", mdt, 1, [&] { savedBefore(mdt, 1); }, ""},
        {"a file of before, which another open channel fits", mdt, 1,
         [&] { spmHolding("Height", "Orbitrace, convert from NT-MDT", "two.mdt.spm"); },
         "two.mdt.spm holds a Height image saved before, which may be two.mdt:Height_01." + replaceSecond},
        {"a file of before, which another channel fits", mdt, 0,
         [&] { spmHolding("Height", "Orbitrace, convert from NT-MDT", "two.mdt.spm"); },
         "two.mdt.spm holds a Height image saved before, which may be any of the 2 Height images of "
         "two.mdt." + replaceFirst},
    };
    for (const auto& c : cases) {
        const std::string target = SpmFilePath(c.path);
        for (const Answer answer : {Answer::No, Answer::Cancel, Answer::Yes}) {
            fs::remove(target);
            c.before();
            const std::vector<std::uint8_t> held = FileBytes(target);
            CMDIDoc doc;
            ASSERT_TRUE(doc.OnOpenDocument(c.path));
            ASSERT_TRUE(c.index == 0 || doc.AddImage(c.path, c.index));
            const CSpmImage& image = *doc.ImageList()[static_cast<std::size_t>(c.index)].m_pImage;
            ChangeHeights(doc, image, 5.0);
            prompt.events.clear();
            if (!c.question.empty())
                Reply(answer);
            const FileSave result = doc.OnFileSave(image.m_strName);
            EXPECT_EQ(prompt.events, c.question.empty() ? Texts{} : Texts{"dialog: " + c.question}) << c.what;
            const bool replaced = c.question.empty() || answer == Answer::Yes;
            EXPECT_EQ(result, replaced ? FileSave::kSaved : answer == Answer::No ? FileSave::kSaveAs : FileSave::kNotSaved)
                << c.what;
            if (replaced)
                EXPECT_EQ(HeldImage(target, {&image}), 0) << c.what;
            else
                EXPECT_EQ(FileBytes(target), held) << c.what;
            if (c.question.empty())
                break;
        }
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// The real file of two channels: Height saved in one session, Amplitude in the next.
TEST_F(SaveInPlaceTest, AmplitudeAsksBeforeTakingTheFileHeightSavedInAnEarlierSession)
{
    SPM_REQUIRE_SAMPLES();
    const std::string path = (dir / kNanoscope).string();
    fs::copy_file(SamplePath(kNanoscope), path);
    const std::string target = path + ".spm";
    for (const char* session : {"Height_01", "Amplitude_02", "Height_01"}) {
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(path));
        ASSERT_TRUE(doc.AddImage(path, 1));
        const CSpmImage& height = *doc.ImageList()[0].m_pImage;
        prompt.events.clear();
        Reply(Answer::No);
        const bool amplitude = std::string_view(session) == "Amplitude_02";
        EXPECT_EQ(doc.OnFileSave(session), amplitude ? FileSave::kSaveAs : FileSave::kSaved) << session;
        EXPECT_EQ(prompt.events.size(), amplitude ? 1u : 0u) << session;
        EXPECT_EQ(HeldImage(target, {&height}), 0) << session;
        prompt.dialogScript.clear();
    }
}

// The real file with its second channel renamed Height (trace and retrace): Height_02 saved in
// one session, then the file opened alone in the next, as from the recent files. Ctrl+S in
// Height_01 asks, whether the file says which channel it holds or was written before files
// said so (its reserved words zero: the file holds two images of its quantity).
TEST_F(SaveInPlaceTest, TheRetraceSavedInAnEarlierSessionIsNotReplacedUnaskedByTheTrace)
{
    SPM_REQUIRE_SAMPLES();
    const std::string path = (dir / kNanoscope).string();
    std::vector<std::uint8_t> bytes = FileBytes(SamplePath(kNanoscope));
    const std::string amplitude = "Image Data: S [Amplitude] \"Amplitude\"";
    const std::string height = "Image Data: S [Height]    \"Height\"   ";
    auto at = std::search(bytes.begin(), bytes.end(), amplitude.begin(), amplitude.end());
    ASSERT_NE(at, bytes.end());
    std::copy(height.begin(), height.end(), at);
    WriteFile(path, bytes);
    const std::string target = path + ".spm";
    const std::string replace = " Replace it with Height_01? No saves Height_01 under another name.";
    const struct {
        const char* what;
        bool writtenBefore;
        std::string question;
    } cases[] = {
        {"recorded channel", false,
         "dialog: " + FileNameOf(target) + " holds image 2 of " + kNanoscope + " (Height), saved before." + replace},
        {"written before", true,
         "dialog: " + FileNameOf(target) + " holds a Height image saved before, which may be any of the 2 Height "
         "images of " + kNanoscope + "." + replace},
    };
    for (const auto& c : cases) {
        fs::remove(target);
        CSpmImage retrace;
        {
            CMDIDoc first;
            ASSERT_TRUE(first.OnOpenDocument(path));
            ASSERT_TRUE(first.AddImage(path, 1));
            ASSERT_EQ(first.ImageList()[1].m_pImage->m_strName, "Height_02");
            ChangeHeights(first, *first.ImageList()[1].m_pImage, 2.0);
            ASSERT_EQ(first.OnFileSave("Height_02"), FileSave::kSaved);
            retrace = *first.ImageList()[1].m_pImage;
        }
        if (c.writtenBefore) {
            std::vector<std::uint8_t> spm = FileBytes(target);
            for (const std::size_t reserved : {0, 1, 4, 5})  // the words around the columns
                spm[reserved] = 0;
            WriteFile(target, spm);
        }
        const std::vector<std::uint8_t> held = FileBytes(target);
        CMDIDoc second;
        ASSERT_TRUE(second.OnOpenDocument(path));
        ChangeHeights(second, *second.ImageList()[0].m_pImage, 5.0);
        prompt.events.clear();
        Reply(Answer::Cancel);
        EXPECT_EQ(second.OnFileSave("Height_01"), FileSave::kNotSaved) << c.what;
        EXPECT_EQ(prompt.events, Texts{c.question}) << c.what;
        EXPECT_EQ(FileBytes(target), held) << c.what;
        EXPECT_EQ(HeldImage(target, {&retrace}), 0) << c.what;
        prompt.dialogScript.clear();
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// After Save As the written file is the image's own: "Save Image" writes over it (as *.spm),
// "Save Image Config" writes beside it, and the document's image list names it as image 0,
// also over a number an earlier list kept for that place.
TEST_F(SaveInPlaceTest, SaveAsMakesTheWrittenFileTheImagesOwn)
{
    const std::string mdt = TwoFrameMdt("scan.mdt");
    const std::pair<const char*, const char*> cases[] = {
        {"renamed.spm", "renamed.spm"}, {"renamed.000", "renamed.000.spm"}, {"renamed.mdt", "renamed.mdt.spm"}};
    for (const auto& [name, inPlace] : cases) {
        WriteFile(dir / "scan.cnf", "[AddImage]\r\nNofImage=1\r\nImage[0]=scan.mdt\r\nImageIndex[0]=1\r\n");
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(mdt));
        ASSERT_TRUE(doc.AddImage(mdt, 1));
        const CSpmImage& second = *doc.ImageList()[1].m_pImage;
        ASSERT_TRUE(doc.OnSaveDocument((dir / name).string(), "Height_02")) << name;
        EXPECT_EQ(std::tie(second.m_strPath, second.m_nIndexInFile),
                  std::tuple((dir / name).string(), 0)) << name;
        ChangeHeights(doc, second);
        ASSERT_EQ(doc.OnFileSave("Height_02"), FileSave::kSaved) << name;
        EXPECT_EQ(HeldImage((dir / inPlace).string(), {&second}), 0) << name;
        EXPECT_FALSE(doc.IsModified());
        doc.OnSaveImageConfig("Height_02");
        const ProfileFile cnf = ProfileFile::Load(PresentationFilePath((dir / name).string()));
        EXPECT_FALSE(cnf.GetString(ExtensionOf(name) + ":Height_02_Presentation3D", "Tilt").empty()) << name;
        doc.OnFILESaveDocCondig("Height_01");
        const std::vector<ListedImage> listed = ReadDocImages(ImageSettingsPlace(mdt, true));
        ASSERT_EQ(listed.size(), 1u) << name;
        EXPECT_EQ(std::tie(listed[0].m_strPath, listed[0].m_nIndexInFile), std::tuple((dir / name).string(), 0)) << name;
        EXPECT_FALSE(fs::exists(dir / "scan.mdt.spm")) << name;
        fs::remove(PresentationFilePath((dir / name).string()));
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// A save of one image over the file another image was loaded from or saved as: that image
// counts as changed, and stays so even when its heights come back to what it was loaded as.
TEST_F(SaveInPlaceTest, AnImageWhoseFileASaveReplacedCountsAsChanged)
{
    const std::string a = Spm("a.spm");
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(a));
    ASSERT_TRUE(doc.AddImage(Spm("b.spm", "Phase"), 0));
    ASSERT_TRUE(doc.AddImage(Written("c.000"), 0));
    const CSpmImage& first = *doc.ImageList()[0].m_pImage;
    const CSpmImage& third = *doc.ImageList()[2].m_pImage;
    ASSERT_TRUE(doc.OnSaveDocument(a, "Phase_02"));
    EXPECT_EQ(doc.ModifiedImages(), std::vector<const CSpmImage*>{&first});
    doc.SetModifiedFlag(first);
    EXPECT_TRUE(doc.IsModified(first));
    // A multi-format file written by Save As counts as well.
    ASSERT_TRUE(doc.OnSaveDocument((dir / "c.000").string(), "Height_01"));
    EXPECT_EQ(doc.ModifiedImages(), std::vector<const CSpmImage*>{&third});
    // With every image in a file of its own, no save in place asks.
    ASSERT_TRUE(doc.OnSaveDocument((dir / "d.spm").string(), "Height_01"));
    Reply(Answer::Cancel);
    EXPECT_EQ(doc.OnFileSave("Height_03"), FileSave::kSaved);  // c.000.spm: nobody's file
    EXPECT_EQ(doc.OnFileSave("Phase_02"), FileSave::kSaved);   // a.spm: its own now
    EXPECT_TRUE(prompt.events.empty());
    EXPECT_FALSE(doc.IsModified());
}

// An image counts as changed while its heights, size or header differ from what it was
// loaded from or last written as: a change undone leaves nothing to save.
TEST_F(SaveInPlaceTest, AChangeUndoneLeavesNothingToSave)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm", "Height", 6, 5)));
    CSpmImage& image = *doc.ImageList()[0].m_pImage;
    const CSpmImage loaded = image;
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"one height", [&] { image.m_pData[17] = std::nextafter(image.m_pData[17], 1e9); }},
        {"a zero's sign", [&] { image.m_pData[0] = image.m_pData[0] == 0.0 ? -0.0 : 0.0; }},
        {"two heights swapped", [&] { std::swap(image.m_pData[3], image.m_pData[4]); }},
        {"rows and columns swapped", [&] { std::swap(image.m_nWidth, image.m_nHeight); }},
        {"the Z unit", [&] { SetHeaderText(image.m_header.m_szZUnit, "um"); }},
        {"the note", [&] { SetHeaderText(image.m_header.m_szNote, "x"); }},
        {"the version text", [&] { image.m_header.m_szVersion[63] = 1; }},
    };
    const auto restore = [&] {
        image.m_pData = loaded.m_pData;
        image.m_nWidth = loaded.m_nWidth;
        image.m_nHeight = loaded.m_nHeight;
        image.m_header = loaded.m_header;
    };
    for (const auto& [what, change] : changes) {
        change();
        doc.SetModifiedFlag(image);
        EXPECT_TRUE(doc.IsModified(image)) << what;
        restore();
        doc.SetModifiedFlag(image);
        EXPECT_FALSE(doc.IsModified(image)) << what;
    }
    // Once written, the written state is the one to come back to.
    ChangeHeights(doc, image);
    const std::vector<double> written = image.m_pData;
    ASSERT_EQ(doc.OnFileSave("Height_01"), FileSave::kSaved);
    image.m_pData = loaded.m_pData;
    doc.SetModifiedFlag(image);
    EXPECT_TRUE(doc.IsModified(image));
    image.m_pData = written;
    doc.SetModifiedFlag(image);
    EXPECT_FALSE(doc.IsModified(image));
    // Declared unchanged as it stands, the image compares with that.
    ChangeHeights(doc, image);
    doc.SetModifiedFlag(image, false);
    image.m_pData = written;
    doc.SetModifiedFlag(image);
    EXPECT_TRUE(doc.IsModified(image));
}

// A header the user repaired at load is a change no file holds: undoing later changes keeps it.
TEST_F(SaveInPlaceTest, ARepairedHeaderStaysChangedUntilWritten)
{
    SpmHeader header = TestHeader(4, 3);
    header.m_fKz = 0.0f;
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("bad.spm", header)));
    CSpmImage& image = *doc.ImageList()[0].m_pImage;
    EXPECT_TRUE(doc.IsModified(image));
    const std::vector<double> loaded = image.m_pData;
    ChangeHeights(doc, image);
    image.m_pData = loaded;
    doc.SetModifiedFlag(image);
    EXPECT_TRUE(doc.IsModified(image));
    ASSERT_EQ(doc.OnFileSave("Height_01"), FileSave::kSaved);
    EXPECT_FALSE(doc.IsModified(image));
}

// The image list: images that opening the first image's file would not bring back (added
// ones, or ones Save As gave a file of their own) make it changed until it is written.
TEST_F(SaveInPlaceTest, TheImageListIsChangedWhileReopeningWouldLeaveAnImageOut)
{
    const std::string mdt = TwoFrameMdt("scan.mdt");
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(mdt));
    EXPECT_FALSE(doc.IsImageListModified());
    ASSERT_TRUE(doc.AddImage(mdt, 1));
    EXPECT_FALSE(doc.IsImageListModified());  // the companion comes back by itself
    const std::string b = Spm("b.spm");
    ASSERT_TRUE(doc.AddImage(b, 0));
    EXPECT_TRUE(doc.IsImageListModified());
    ASSERT_TRUE(doc.SaveImageList());
    EXPECT_FALSE(doc.IsImageListModified());

    // Opened again, the list brings the added image back, and the document has nothing new.
    CMDIDoc again;
    ASSERT_TRUE(again.OnOpenDocument(mdt));
    ASSERT_TRUE(again.AddImage(mdt, 1));
    for (const ListedImage& listed : again.ListedImages())
        ASSERT_TRUE(again.AddImage(listed.m_strPath, listed.m_nIndexInFile));
    EXPECT_EQ(ImageNames(again), ImageNames(doc));
    EXPECT_FALSE(again.IsImageListModified());

    // The companion saved as a file of its own is not what reopening brings.
    ASSERT_TRUE(doc.OnSaveDocument((dir / "amplitude.spm").string(), "Height_02"));
    EXPECT_TRUE(doc.IsImageListModified());
    fs::remove(dir / "scan.cnf");
    fs::create_directory(dir / "scan.cnf");
    EXPECT_FALSE(doc.SaveImageList());
    EXPECT_EQ(prompt.messages, Texts{"Unable to open file for writing"});
    EXPECT_TRUE(doc.IsImageListModified());
    fs::remove(dir / "scan.cnf");
    ASSERT_TRUE(doc.SaveImageList());
    EXPECT_FALSE(doc.IsImageListModified());
}

// Two documents of one session: A saves in place, B is then saved over A's file by Save As.
// A's file no longer holds A's image, so A's next save in place asks; after Cancel, B's bytes
// stay, and after Yes, B's image is in no file and counts as changed. Another program writing
// the file does the same.
TEST_F(SaveInPlaceTest, AFileAnotherDocumentOrProgramWroteSinceIsAskedAbout)
{
    const std::string scan = Written("scan.007");
    const std::string target = scan + ".spm";
    const std::string replace = " Replace it with Height_01? No saves Height_01 under another name.";
    const std::string changedSince =
        "dialog: scan.007.spm has changed since Height_01 was last saved in it, by another document or program." +
        replace;
    // Another document that holds the file names its image.
    const std::string heldByB = "dialog: scan.007.spm holds scan.007.spm:Height_01." + replace;
    const struct {
        const char* what;
        bool byAnotherDocument;  // else another program appends a byte
        std::string question;
    } cases[] = {{"another document", true, heldByB}, {"another program", false, changedSince}};
    for (const auto& c : cases) {
        fs::remove(target);
        CMDIDoc a;
        ASSERT_TRUE(a.OnOpenDocument(scan));
        const CSpmImage& ours = *a.ImageList()[0].m_pImage;
        ChangeHeights(a, ours, 3.0);
        ASSERT_EQ(a.OnFileSave(ours.m_strName), FileSave::kSaved) << c.what;
        CMDIDoc b;
        ASSERT_TRUE(b.OnOpenDocument(Spm("other.spm")));
        const CSpmImage& theirs = *b.ImageList()[0].m_pImage;
        if (c.byAnotherDocument) {
            ASSERT_TRUE(b.OnSaveDocument(target, theirs.m_strName)) << c.what;
            EXPECT_FALSE(b.IsModified(theirs)) << c.what;
        } else {
            std::vector<std::uint8_t> bytes = FileBytes(target);
            bytes.push_back(0);
            WriteFile(target, bytes);
        }
        EXPECT_TRUE(a.IsModified(ours)) << c.what;  // its file no longer holds it
        const std::vector<std::uint8_t> held = FileBytes(target);
        prompt.events.clear();
        Reply(Answer::Cancel);
        EXPECT_EQ(a.OnFileSave(ours.m_strName), FileSave::kNotSaved) << c.what;
        EXPECT_EQ(prompt.events, Texts{c.question}) << c.what;
        EXPECT_EQ(FileBytes(target), held) << c.what;
        Reply(Answer::Yes);
        EXPECT_EQ(a.OnFileSave(ours.m_strName), FileSave::kSaved) << c.what;
        EXPECT_EQ(HeldImage(target, {&ours}), 0) << c.what;
        EXPECT_FALSE(a.IsModified(ours)) << c.what;
        if (c.byAnotherDocument) {
            EXPECT_TRUE(b.IsModified(theirs)) << c.what;
            EXPECT_EQ(b.ModifiedImages(), std::vector<const CSpmImage*>{&theirs}) << c.what;
        }
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// A file that another open document saved holds that document's image: a second document of
// the same source file asks before its save in place replaces it, naming the image.
TEST_F(SaveInPlaceTest, ASecondDocumentOfOneFileAsksBeforeReplacingTheFirstOnesSave)
{
    const std::string scan = TwoFrameMdt("scan.mdt");
    const std::string target = scan + ".spm";
    CMDIDoc a;
    ASSERT_TRUE(a.OnOpenDocument(scan));
    ASSERT_TRUE(a.AddImage(scan, 1));
    const CSpmImage& first = *a.ImageList()[0].m_pImage;
    ChangeHeights(a, first, 3.0);
    ASSERT_EQ(a.OnFileSave(first.m_strName), FileSave::kSaved);
    // Save As of the second image gives A another name; its first image still lies in the save.
    ASSERT_TRUE(a.OnSaveDocument(dir / "other.spm", a.ImageList()[1].m_pImage->m_strName));
    EXPECT_FALSE(a.IsModified(first));
    const std::vector<std::uint8_t> saved = FileBytes(target);

    CMDIDoc b;
    ASSERT_TRUE(b.OnOpenDocument(scan));
    const CSpmImage& again = *b.ImageList()[0].m_pImage;
    prompt.events.clear();
    Reply(Answer::Cancel);
    EXPECT_EQ(b.OnFileSave(again.m_strName), FileSave::kNotSaved);
    EXPECT_EQ(prompt.events, Texts{ReplaceQuestion("scan.mdt.spm", "other.spm", first.m_strName, again.m_strName)});
    EXPECT_EQ(FileBytes(target), saved);
    EXPECT_FALSE(a.IsModified(first));
    // Yes replaces it: A's image no longer lies in any file.
    Reply(Answer::Yes);
    EXPECT_EQ(b.OnFileSave(again.m_strName), FileSave::kSaved);
    EXPECT_EQ(HeldImage(target, {&first, &again}), 1);
    EXPECT_TRUE(a.IsModified(first));
    EXPECT_TRUE(prompt.messages.empty());
}
