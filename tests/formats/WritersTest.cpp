// What the three writers share: scaling to 16-bit samples, round trips, repeatable saves
// also under a comma-decimal locale, the out-of-range messages and saves that fail without
// harm.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

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

// The UTF-8 of a code point.
std::string Utf8Of(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Reads the text in double quotes that starts at `at` as a reader of C escapes does (\n,
// \r, \t, \\, \", \xHH, \uHHHH), moving `at` past its closing quote; none when the quote
// is not there or not closed on the line.
std::optional<std::string> ReadQuoted(std::string_view line, std::size_t& at)
{
    if (at >= line.size() || line[at] != '"')
        return std::nullopt;
    std::string text;
    for (++at; at < line.size(); ++at) {
        if (line[at] == '"') {
            ++at;
            return text;
        }
        if (line[at] != '\\') {
            text += line[at];
            continue;
        }
        const char escape = at + 1 < line.size() ? line[++at] : '\0';
        const std::size_t digits = escape == 'x' ? 2 : escape == 'u' ? 4 : 0;
        if (digits > 0) {
            text += Utf8Of(static_cast<char32_t>(std::stoul(std::string(line.substr(at + 1, digits)), nullptr, 16)));
            at += digits;
            continue;
        }
        const std::string_view from = "nrt\\\"", to = "\n\r\t\\\"";
        if (from.find(escape) == std::string_view::npos)
            return std::nullopt;
        text += to[from.find(escape)];
    }
    return std::nullopt;
}

// One line of the save question: `file` cannot keep the `what` "text": it reads back as
// "back". With the texts read back from their escapes.
struct Loss {
    std::string what, text, back;
    bool operator==(const Loss&) const = default;
};

void PrintTo(const Loss& loss, std::ostream* out)
{
    *out << loss.what << " " << Shown(loss.text) << " back as " << Shown(loss.back);
}

std::optional<Loss> LossOf(std::string_view line, std::string_view file)
{
    const std::string start = std::string(file) + " cannot keep the ";
    if (!line.starts_with(start))
        return std::nullopt;
    std::size_t at = line.find(" \"", start.size());
    if (at == std::string_view::npos)
        return std::nullopt;
    Loss loss;
    loss.what = line.substr(start.size(), at - start.size());
    ++at;
    const std::optional<std::string> text = ReadQuoted(line, at);
    const std::string_view middle = ": it reads back as ";
    if (!text || line.substr(at, middle.size()) != middle)
        return std::nullopt;
    at += middle.size();
    const std::optional<std::string> back = ReadQuoted(line, at);
    if (!back || line.substr(at) != ".")
        return std::nullopt;
    loss.text = *text;
    loss.back = *back;
    return loss;
}

// Whether a UTF-8 line holds a character that would break it or hide in it: a control
// character (C0, DEL, C1) or Unicode's line or paragraph separator.
bool HoldsControl(std::string_view line)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        const auto next = i + 1 < line.size() ? static_cast<unsigned char>(line[i + 1]) : 0;
        const auto third = i + 2 < line.size() ? static_cast<unsigned char>(line[i + 2]) : 0;
        if (byte < 0x20 || byte == 0x7F || (byte == 0xC2 && next >= 0x80 && next <= 0x9F) ||
            (byte == 0xE2 && next == 0x80 && (third == 0xA8 || third == 0xA9)))
            return true;
    }
    return false;
}

// The question's lines, each loss read; its last line asks whether to save all the same.
std::vector<std::optional<Loss>> LossesAsked(const std::string& question, std::string_view file)
{
    std::vector<std::optional<Loss>> losses;
    std::size_t start = 0;
    for (std::size_t end; (end = question.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string_view line(question.data() + start, end - start);
        losses.push_back(HoldsControl(line) ? std::nullopt : LossOf(line, file));
    }
    EXPECT_EQ(question.substr(start), "Save it all the same?");
    return losses;
}

std::string FileOf(ImageFormat format)
{
    return format == ImageFormat::kMdt ? "An NT-MDT file" : "A NanoScope file";
}

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
        std::vector<std::optional<Loss>> losses;
        if (!nameKept)
            losses.push_back(Loss{"image name", HeaderBytesAsUtf8(c.quantity), HeaderBytesAsUtf8(name)});
        if (!noteKept)
            losses.push_back(Loss{"note", HeaderBytesAsUtf8(c.note), HeaderBytesAsUtf8(note)});
        ASSERT_EQ(prompt.questions.size(), losses.empty() ? 0u : 1u) << c.what;
        if (!losses.empty()) {
            EXPECT_EQ(LossesAsked(prompt.questions[0], FileOf(GetParam().format)), losses) << c.what;
        }
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// The question names each text the file cannot keep on a line of its own, whatever the text
// holds: line breaks, other control characters, Unicode's line separator, quotes and
// backslashes are written as escapes, which read back as the text.
TEST_P(Writers, TheQuestionNamesEachTextOnALineOfItsOwn)
{
    if (GetParam().format == ImageFormat::kSpm)
        GTEST_SKIP() << "a *.spm file keeps every text";
    const std::string longNote(300, '\xB5');  // beyond what an NT-MDT file keeps, in UTF-8
    const struct {
        std::string quantity, note;
    } cases[] = {
        {"ab\ncd", "Height"},
        {"ab\" / \"cd", "a\\nb"},
        {"Height\r\n\t\x01\x7F", "x\xE2\x80\xA8y\xC2\x85z\xE2\x80\xA9"},
        {"H\xF6he\n", longNote + "\r\nsecond line \"quoted\"\n\\n\x1B"},
    };
    std::size_t asked = 0;
    for (const auto& c : cases) {
        CSpmImage image = Landscape();
        SetHeaderText(image.m_header.m_szQuantity, c.quantity);
        SetHeaderText(image.m_header.m_szNote, c.note);
        prompt.questions.clear();
        ASSERT_EQ(Save(image), ImageFileError::kNone) << Shown(c.quantity);
        const Loaded back = Load();
        ASSERT_TRUE(back.ok) << back.error;
        std::vector<std::optional<Loss>> losses;
        const std::tuple<const char*, std::string, std::string> texts[] = {
            {"image name", HeaderText(image.m_header.m_szQuantity), HeaderText(back.image.m_header.m_szQuantity)},
            {"note", HeaderText(image.m_header.m_szNote), HeaderText(back.image.m_header.m_szNote)}};
        for (const auto& [what, saved, readBack] : texts)
            if (HeaderBytesAsUtf8(saved) != HeaderBytesAsUtf8(readBack))
                losses.push_back(Loss{what, HeaderBytesAsUtf8(saved), HeaderBytesAsUtf8(readBack)});
        ASSERT_EQ(prompt.questions.size(), losses.empty() ? 0u : 1u) << Shown(c.quantity);
        if (losses.empty())
            continue;
        ++asked;
        EXPECT_EQ(LossesAsked(prompt.questions[0], FileOf(GetParam().format)), losses)
            << Shown(c.quantity) << ": " << prompt.questions[0];
    }
    // Texts with line breaks are lost by each of these formats.
    EXPECT_GT(asked, 0u);
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
