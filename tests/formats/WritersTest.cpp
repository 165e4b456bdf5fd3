// What the three writers share: scaling to 16-bit samples, round trips, repeatable saves
// also under a comma-decimal locale, the out-of-range messages and saves that fail without
// harm.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "FormatTestSupport.h"
#include "image/HeaderTextCoding.h"
#include "formats/TextFields.h"
#include "support/CommaDecimalLocale.h"
#include "support/ScriptedPrompt.h"

using Texts = std::vector<std::string>;

namespace {

class Writers : public testing::TestWithParam<WritableFormat> {
protected:
    ImageFileError Save(CSpmImage& image) { return SaveImageFile(GetParam().format, Target(), image); }
    std::filesystem::path Target() const { return dir / GetParam().fileName; }
    Loaded Load() const { return LoadImageFile(GetParam().format, Target()); }

    ScratchDir dir;
    AnsweringPrompt prompt;
};

CSpmImage Landscape(float kx = 2.5f)
{
    return MakeImage(37, 23, [](int r, int c) { return 40.0 * std::sin(r * 0.3) * std::cos(c * 0.2) - 7.5 + 0.01 * c; },
                     kx, kx * 1.37f);
}

CSpmImage Row(std::vector<double> heights)
{
    return MakeImage(static_cast<int>(heights.size()), 1, [&](int, int c) { return heights[c]; });
}

}  // namespace

TEST_P(Writers, RoundTripKeepsHeightsWithinHalfAStepTheHeaderAndTheBytesOfASecondSave)
{
    for (float kx : {2.5f, 0.1f, 7.8125f, 1234.567f, 0.0003f}) {
        CSpmImage image = Landscape(kx);
        const std::vector<double> heights = image.m_pData;
        ASSERT_EQ(Save(image), ImageFileError::kNone);
        EXPECT_EQ(image.m_pData, heights);  // saving leaves the heights alone
        Loaded back = Load();
        ASSERT_TRUE(back.ok) << back.error;
        const SpmHeader& h = back.image.m_header;
        EXPECT_EQ(std::tie(back.image.m_nWidth, back.image.m_nHeight), std::tuple(37, 23));
        EXPECT_FLOAT_EQ(h.m_fKx, kx);
        EXPECT_FLOAT_EQ(h.m_fKy, kx * 1.37f);
        EXPECT_FLOAT_EQ(h.m_fKz, image.m_header.m_fKz);
        EXPECT_EQ(HeaderText(h.m_szXYUnit), "nm");
        EXPECT_EQ(HeaderText(h.m_szZUnit), "nm");
        for (std::size_t i = 0; i < heights.size(); ++i)
            ASSERT_LE(std::fabs(back.image.m_pData[i] - heights[i]), 0.5001 * image.m_header.m_fKz) << i;
        // The samples in memory after the save are the samples in the file, and saving what
        // was read writes the same bytes.
        EXPECT_EQ(back.image.m_pRaw, image.m_pRaw);
        const Bytes first = FileBytes(Target());
        ASSERT_EQ(Save(back.image), ImageFileError::kNone);
        EXPECT_EQ(FileBytes(Target()), first) << kx;
    }
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(prompt.questions.empty());
}

TEST_P(Writers, CommaDecimalLocaleWritesTheSameBytesAndReadsThemBack)
{
    CSpmImage image = Landscape(0.0078125f);  // decimals in every number a text header holds
    ASSERT_EQ(Save(image), ImageFileError::kNone);
    const Bytes written = FileBytes(Target());
    CommaDecimalLocale locale;
    SPM_REQUIRE_COMMA_LOCALE(locale);
    ASSERT_EQ(Save(image), ImageFileError::kNone);
    EXPECT_EQ(FileBytes(Target()), written);
    const Loaded back = Load();
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_EQ(back.image.m_pRaw, image.m_pRaw);
}

TEST_P(Writers, LargestAbsoluteHeightBecomes32760RoundedToNearestAndOutOfRangeIsClamped)
{
    // Heights -5 .. 20: the factor is 32760 / 20; 0.0009 nm is 1.4742 steps, 0.0011 is 1.8018.
    CSpmImage image = Row({-5.0, 20.0, 0.0009, 0.0011, -0.0011});
    ASSERT_EQ(Save(image), ImageFileError::kNone);
    EXPECT_EQ(image.m_header.m_fKz, static_cast<float>(20.0 / 32760.0));
    EXPECT_EQ(image.m_pRaw, (std::vector<std::int32_t>{-8190, 32760, 1, 2, -2}));
    // A range that no longer covers the heights, as after a command that forgot to refresh
    // it: one message per direction.
    image = Row({0.0, 10.0, 30.0, 40.0, -10.0, -50.0});
    image.m_dMin = 0.0;
    image.m_dMax = 10.0;
    ASSERT_EQ(Save(image), ImageFileError::kNone);
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"Image Save: Data < -32765", "Image Save: Data > 32765"}));
    EXPECT_EQ(image.m_pRaw, (std::vector<std::int32_t>{0, 32760, 32765, 32765, -32760, -32765}));
    // An image of zeros saves with a unit scale.
    prompt.messages.clear();
    image = MakeImage(4, 4, [](int, int) { return 0.0; });
    ASSERT_EQ(Save(image), ImageFileError::kNone);
    EXPECT_EQ(image.m_header.m_fKz, 1.0f);
    EXPECT_EQ(Load().image.m_pData, std::vector<double>(16, 0.0));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_P(Writers, RefusesImagesItCannotStoreAndTargetsItCannotReplaceKeepingTheOldFile)
{
    CSpmImage good = Landscape();
    ASSERT_EQ(Save(good), ImageFileError::kNone);
    const Bytes before = FileBytes(Target());
    CSpmImage notANumber = Landscape();
    notANumber.m_dMax = NAN;
    const std::tuple<const char*, CSpmImage, ImageFileError> cases[] = {
        {"range not a number", notANumber, ImageFileError::kNothingToSave},
        {"height beyond a float's scale", Row({1e300, 1.0}), ImageFileError::kNothingToSave},
        {"no points", CSpmImage{}, ImageFileError::kBadSize},
        {"1025 columns", MakeImage(1025, 1, [](int, int c) { return c; }), ImageFileError::kBadSize},
    };
    for (const auto& [what, original, error] : cases) {
        prompt.messages.clear();
        CSpmImage image = original;
        EXPECT_EQ(Save(image), error) << what;
        EXPECT_EQ(prompt.messages, std::vector<std::string>{"Save not Ok"}) << what;
        EXPECT_EQ(image.m_header.m_fKz, original.m_header.m_fKz) << what;
        EXPECT_EQ(FileBytes(Target()), before) << what;
    }
    prompt.messages.clear();
    const std::string cannotCreate = GetParam().format == ImageFormat::kSpm ? "Save not Ok" : "Unable to open file for writing";
    EXPECT_EQ(SaveImageFile(GetParam().format, dir / "missing-folder" / GetParam().fileName, good), ImageFileError::kCannotCreate);
    // A folder in the target's place cannot be replaced: the write completes, the rename
    // fails, and neither the folder nor a temporary file is left changed or behind.
    std::filesystem::remove(Target());
    std::filesystem::create_directory(Target());
    EXPECT_EQ(Save(good), ImageFileError::kWriteFailed);
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{cannotCreate, "Save not Ok"}));
    EXPECT_TRUE(std::filesystem::is_directory(Target()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A file name longer than the file system takes is refused before anything is created or
// said of the image, with why; one at the limit saves. The *.spm writer adds ".spm" to a name
// that lacks it, as an in-place save of a NanoScope or NT-MDT image does.
TEST_P(Writers, AFileNameBeyondTheFileSystemsLimitIsRefusedWithItsLength)
{
    const long limit = pathconf(dir.path().c_str(), _PC_NAME_MAX);
    ASSERT_GT(limit, 60);
    const auto size = static_cast<std::size_t>(limit);
    const bool spm = GetParam().format == ImageFormat::kSpm;
    const std::string extension = std::filesystem::path(GetParam().fileName).extension().string();
    const std::string refused = std::string(spm ? "Save not Ok" : "Unable to open file for writing") +
                                "\nThe file name " + std::string(24, 'n') + "...";
    const std::string tooLong = " bytes long; a file name may have at most " + std::to_string(limit) + " bytes.";
    // A name of `length` bytes ending in the extension; a long one is shown as its first and
    // last bytes around "...".
    const auto name = [&](std::size_t length) { return std::string(length - extension.size(), 'n') + extension; };
    const std::string shownEnd = std::string(24 - extension.size(), 'n') + extension;
    const struct {
        const char* what;
        std::string target;
        std::string message;  // empty: saved
    } cases[] = {
        {"at the limit", name(size), ""},
        {"one byte more", name(size + 1), refused + shownEnd + " is " + std::to_string(size + 1) + tooLong},
        {"far beyond", name(size + 200), refused + shownEnd + " is " + std::to_string(size + 200) + tooLong},
        {"in place at the limit", std::string(size - 4, 'n') + ".001",
         spm ? refused + std::string(16, 'n') + ".001.spm is " + std::to_string(size + 4) + tooLong : ""},
    };
    for (const auto& c : cases) {
        prompt.messages.clear();
        std::filesystem::remove_all(dir.path());
        std::filesystem::create_directory(dir.path());
        CSpmImage image = Landscape();
        if (c.message.empty()) {
            EXPECT_EQ(SaveImageFile(GetParam().format, dir / c.target, image), ImageFileError::kNone) << c.what;
            EXPECT_TRUE(prompt.messages.empty()) << c.what;
            EXPECT_TRUE(LoadImageFile(GetParam().format, dir / c.target).ok) << c.what;
            continue;
        }
        // A unit the file would lose, which is not named for a file never written.
        SetHeaderText(image.m_header.m_szZUnit, "V");
        const CSpmImage before = image;
        EXPECT_EQ(SaveImageFile(GetParam().format, dir / c.target, image), ImageFileError::kCannotCreate) << c.what;
        EXPECT_EQ(prompt.messages, std::vector<std::string>{c.message}) << c.what;
        EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << c.what;
        EXPECT_EQ(image.m_header.m_fKz, before.m_header.m_fKz) << c.what;
        EXPECT_EQ(image.m_pRaw, before.m_pRaw) << c.what;
    }
}

namespace {

// Every key the NanoScope reader looks for anywhere in a header line.
constexpr const char* kNanoscopeReaderKeys[] = {
    "File list", "File list end", "*Scanner list", "@Sens. Zscan:", "@Sens. Zsens:", "Ciao image list", "Data offset:",
    "Samps/line:", "Number of lines:", "Scan size:", "@2:Z scale:", "@2:Image Data:", "Bytes/pixel:",
};

std::size_t Count(std::string_view text, std::string_view key)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1))
        ++count;
    return count;
}

// A NanoScope header without its note lines, which the reader takes whole, keys and all.
std::string WithoutNoteLines(std::string_view text)
{
    std::string kept;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size() - 1);
        if (!text.substr(at).starts_with("\\Note:"))
            kept += text.substr(at, end + 1 - at);
        at = end + 1;
    }
    return kept;
}

}  // namespace

// A quantity or note the user typed that holds a reader's key changes nothing else that is
// read back: outside its note lines the text header holds each key as often as it does for a
// plain name. The note comes back whole; a quantity the file cannot keep is asked about.
TEST_P(Writers, TextsHoldingAReaderKeyReadBackAsTheSameImage)
{
    CSpmImage plain = Landscape();
    SetHeaderText(plain.m_header.m_szQuantity, "Amplitude");
    ASSERT_EQ(Save(plain), ImageFileError::kNone);
    const std::string plainText = WithoutNoteLines(FileText(Target()).substr(0, 40960));
    for (const char* key : kNanoscopeReaderKeys) {
        for (const char* value : {" 0", " 1", ""}) {
            const std::string what = std::string(key) + value;
            CSpmImage image = Landscape();
            SetHeaderText(image.m_header.m_szQuantity, what);
            SetHeaderText(image.m_header.m_szNote, what);
            ASSERT_EQ(Save(image), ImageFileError::kNone) << what;
            const Loaded back = Load();
            ASSERT_TRUE(back.ok) << what << ": " << back.error;
            const SpmHeader& h = back.image.m_header;
            EXPECT_EQ(std::tie(back.image.m_nWidth, back.image.m_nHeight), std::tuple(37, 23)) << what;
            EXPECT_FLOAT_EQ(h.m_fKx, 2.5f) << what;
            EXPECT_FLOAT_EQ(h.m_fKy, 2.5f * 1.37f) << what;
            EXPECT_EQ(back.image.m_pRaw, image.m_pRaw) << what;
            EXPECT_EQ(HeaderText(h.m_szNote), what);
            const std::string quantity = HeaderText(h.m_szQuantity);
            EXPECT_EQ(prompt.questions, quantity == what ? std::vector<std::string>{} : std::vector<std::string>{
                "A NanoScope file cannot keep the image name \"" + what + "\": it reads back as \"" + quantity +
                "\".\nSave it all the same?"});
            prompt.questions.clear();
            if (GetParam().format != ImageFormat::kNanoscope)
                continue;
            EXPECT_EQ(HeaderText(h.m_szZUnit), "nm") << what;
            const std::string text = WithoutNoteLines(FileText(Target()).substr(0, 40960));
            for (const char* other : kNanoscopeReaderKeys)
                EXPECT_EQ(Count(text, other), Count(plainText, other)) << what << ": " << other;
        }
    }
    EXPECT_TRUE(prompt.messages.empty());
}

namespace {

// Which writers give a text back exactly; the others are to name it before writing.
struct KeptBy {
    bool spm, nanoscope, mdt;
    bool For(ImageFormat format) const
    {
        return format == ImageFormat::kSpm ? spm : format == ImageFormat::kNanoscope ? nanoscope : mdt;
    }
};

}  // namespace

// An image's name and note come back as they were, in ASCII, UTF-8 or the ANSI bytes of an
// older file, or the one question before the file is written names each text the file
// cannot keep, with what it reads back as.
TEST_P(Writers, NamesAndNotesComeBackOrAreNamedBeforeWriting)
{
    const std::string latin1Micros(321, '\xB5');  // twice as long in UTF-8
    const struct {
        const char* what;
        std::string quantity, note;
        KeptBy name, noteKept;
    } cases[] = {
        {"ASCII", "Height", "Synthetic sample: tilted plane, four round bumps", {1, 1, 1}, {1, 1, 1}},
        {"UTF-8 and lines", "H\xC3\xB6he", "H\xC3\xB6he in \xC2\xB5m\nzweite Zeile\r\nthird\tcolumn\n",
         {1, 1, 1}, {1, 1, 1}},
        {"ANSI", "H\xF6he", "Gr\xF6\xDF" "e 3 \xB5m", {1, 1, 1}, {1, 1, 1}},
        {"markup", "Topography", "a & <b> \"c\" </TextComment> &amp; \\Note: x", {1, 1, 1}, {1, 1, 1}},
        {"empty", "", "", {1, 0, 0}, {1, 1, 1}},
        {"control character", "Amplitude", "\x01x\x7F", {1, 1, 1}, {1, 1, 0}},
        {"ANSI at the limit", "Height", latin1Micros, {1, 1, 1}, {1, 1, 0}},
    };
    for (const auto& c : cases) {
        CSpmImage image = Landscape();
        SetHeaderText(image.m_header.m_szQuantity, c.quantity);
        SetHeaderText(image.m_header.m_szNote, c.note);
        prompt.questions.clear();
        ASSERT_EQ(Save(image), ImageFileError::kNone) << c.what;
        const Loaded back = Load();
        ASSERT_TRUE(back.ok) << c.what << ": " << back.error;
        const std::string name = HeaderText(back.image.m_header.m_szQuantity);
        const std::string note = HeaderText(back.image.m_header.m_szNote);
        const bool nameKept = c.name.For(GetParam().format), noteKept = c.noteKept.For(GetParam().format);
        EXPECT_EQ(HeaderBytesAsUtf8(name) == HeaderBytesAsUtf8(c.quantity), nameKept) << c.what << ": " << Shown(name);
        EXPECT_EQ(HeaderBytesAsUtf8(note) == HeaderBytesAsUtf8(c.note), noteKept) << c.what << ": " << Shown(note);
        const std::string file = GetParam().format == ImageFormat::kMdt ? "An NT-MDT file" : "A NanoScope file";
        std::string question;
        if (!nameKept)
            question += file + " cannot keep the image name " + InQuotes(HeaderBytesAsUtf8(c.quantity)) +
                        ": it reads back as " + InQuotes(HeaderBytesAsUtf8(name)) + ".\n";
        if (!noteKept)
            question += file + " cannot keep the note " + InQuotes(HeaderBytesAsUtf8(c.note)) + ": it reads back as " +
                        InQuotes(HeaderBytesAsUtf8(note)) + ".\n";
        EXPECT_EQ(prompt.questions, question.empty() ? Texts{} : Texts{question + "Save it all the same?"}) << c.what;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// No or Cancel to the question writes nothing, leaves a file already there as it was, says
// nothing more and leaves the image as it was.
TEST_P(Writers, NoOrCancelToWhatAFileCannotKeepWritesNothing)
{
    if (GetParam().format == ImageFormat::kSpm)
        GTEST_SKIP() << "a *.spm file keeps every text";
    CSpmImage image = Landscape();
    SetHeaderText(image.m_header.m_szQuantity, "");
    SetHeaderText(image.m_header.m_szXYUnit, "pA");
    for (const CQuestionBox::Answer answer : {CQuestionBox::Answer::No, CQuestionBox::Answer::Cancel}) {
        for (const bool existing : {false, true}) {
            std::filesystem::remove(Target());
            if (existing)
                WriteFile(Target(), "old contents");
            AnsweringPrompt refusing(answer, Target());
            CSpmImage attempt = image;
            EXPECT_EQ(Save(attempt), ImageFileError::kDeclined);
            ASSERT_EQ(refusing.questions.size(), 1u);
            EXPECT_EQ(refusing.targetExisted, std::vector<bool>{existing});
            EXPECT_TRUE(refusing.messages.empty());
            EXPECT_EQ(std::filesystem::exists(Target()), existing);
            if (existing) {
                EXPECT_EQ(FileText(Target()), "old contents");
            }
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), existing ? 1 : 0);
            EXPECT_EQ(attempt.m_header.m_fKz, image.m_header.m_fKz);
            EXPECT_EQ(attempt.m_pRaw, image.m_pRaw);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllWritable, Writers, testing::ValuesIn(kWritableFormats),
                         [](const auto& info) { return std::string(info.param.name); });
