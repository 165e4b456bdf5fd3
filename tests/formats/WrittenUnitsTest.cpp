// What the NanoScope and NT-MDT writers keep of an image's units, steps and heights: a file
// reads back as the same image, or the user is asked before it is written, naming what it
// cannot keep, or nothing is written at all.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <optional>
#include <tuple>

#include "FormatTestSupport.h"
#include "formats/TextFields.h"
#include "image/HeaderTextCoding.h"
#include "support/ScriptedPrompt.h"

namespace {

// Every length spelling, then one unit of each other kind.
std::vector<std::string> EveryUnit()
{
    std::vector<std::string> units;
    for (const Spelling& s : kSpellings)
        units.push_back(s.text);
    for (const char* other : {"deg", "V", "uni", "pA"})
        units.push_back(other);
    return units;
}

// The factor from a value in `written` to the same value in `back`: lengths convert, any
// other unit comes back with the same numbers.
double FactorBetween(const std::string& written, const std::string& back)
{
    const std::optional<double> from = NanometresPerLengthUnit(written);
    const std::optional<double> to = NanometresPerLengthUnit(back);
    return from && to ? *from / *to : 1.0;
}

struct Writer {
    ImageFormat format;
    const char* fileName;
};
constexpr Writer kNanoscope{ImageFormat::kNanoscope, "u.000"};
constexpr Writer kMdt{ImageFormat::kMdt, "u.mdt"};

// Saves the image after removing the target, answering Yes to what the writer asks, and
// reads it back.
struct RoundTrip {
    ImageFileError saved;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<bool> askedBeforeFile;
    Loaded back;
};

RoundTrip SaveAndLoad(const ScratchDir& dir, const Writer& writer, CSpmImage image)
{
    const std::filesystem::path target = dir / writer.fileName;
    std::filesystem::remove(target);
    AnsweringPrompt prompt(CQuestionBox::Answer::Yes, target);
    RoundTrip trip;
    trip.saved = SaveImageFile(writer.format, target, image);
    trip.messages = prompt.messages;
    trip.questions = prompt.questions;
    for (const bool existed : prompt.targetExisted)
        trip.askedBeforeFile.push_back(!existed);
    if (trip.saved == ImageFileError::kNone)
        trip.back = LoadImageFile(writer.format, target);
    return trip;
}

// A unit kept reads back exactly as it was and is not asked about; any other is named in the
// one question before the file is written, with what it reads back as.
void ExpectUnitKeptOrNamed(const RoundTrip& trip, bool kept, const std::string& axis, const std::string& unit,
                           const std::string& back, const std::string& what)
{
    // As the question quotes a text: on one line (the writers' tests read its escapes back).
    const std::string named = "cannot keep the " + axis + " " + QuotedUnit(unit);
    EXPECT_TRUE(trip.messages.empty()) << what << ": " << trip.messages[0];
    if (kept) {
        EXPECT_EQ(back, unit) << what;
        for (const std::string& question : trip.questions)
            EXPECT_EQ(question.find(named), std::string::npos) << what << ": " << question;
        return;
    }
    EXPECT_NE(back, unit) << what;
    ASSERT_EQ(trip.questions.size(), 1u) << what << " read back as " << Shown(back);
    EXPECT_TRUE(trip.askedBeforeFile[0]) << what;
    EXPECT_NE(trip.questions[0].find(named), std::string::npos) << what << ": " << trip.questions[0];
    EXPECT_NE(trip.questions[0].find("it reads back as " + InQuotes(back)), std::string::npos)
        << what << ": " << trip.questions[0];
    EXPECT_TRUE(trip.questions[0].ends_with("\nSave it all the same?")) << what << ": " << trip.questions[0];
}

bool OneOf(const std::string& text, std::initializer_list<const char*> texts)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

CSpmImage UnitImage(const char* quantity, const std::string& xyUnit, const std::string& zUnit)
{
    CSpmImage image = MakeImage(5, 4, [](int r, int c) { return 3.5 * r - 1.25 * c + 0.5; }, 0.5f, 0.25f,
                                xyUnit.c_str(), zUnit.c_str());
    SetHeaderText(image.m_header.m_szQuantity, quantity);
    return image;
}

}  // namespace

// A NanoScope file names a height's unit by its data name: "Height" is in nanometres and
// "Phase" in degrees; any other quantity keeps its unit as the Z scale's last word, except
// volts, which the instrument's raw data carries and the reader takes for counts, and a unit
// with blanks. An NT-MDT file keeps the units it has a code for, in their own spelling.
TEST(WrittenUnits, EveryZUnitUnderEachQuantityComesBackOrIsNamedBeforeWriting)
{
    ScratchDir dir;
    const struct {
        Writer writer;
        const char* quantity;
        std::function<bool(const std::string&)> keeps;
    } cases[] = {
        {kNanoscope, "Height", [](const std::string& u) { return u == "nm"; }},
        {kNanoscope, "Phase", [](const std::string& u) { return u == "deg"; }},
        {kNanoscope, "Amplitude", [](const std::string& u) { return u != "V" && u.find(' ') == std::string::npos; }},
        {kMdt, "Height", [](const std::string& u) { return OneOf(u, {"nm", "um", "A", "deg", "uni"}); }},
        {kMdt, "Phase", [](const std::string& u) { return OneOf(u, {"nm", "um", "A", "deg", "uni"}); }},
        {kMdt, "Amplitude", [](const std::string& u) { return OneOf(u, {"nm", "um", "A", "deg", "uni"}); }},
    };
    for (const auto& c : cases)
        for (const std::string& unit : EveryUnit()) {
            const std::string what = std::string(c.writer.fileName) + " " + c.quantity + " in " + Shown(unit);
            const CSpmImage image = UnitImage(c.quantity, "nm", unit);
            const RoundTrip trip = SaveAndLoad(dir, c.writer, image);
            ASSERT_EQ(trip.saved, ImageFileError::kNone) << what;
            ASSERT_TRUE(trip.back.ok) << what << ": " << trip.back.error;
            const std::string back = HeaderText(trip.back.image.m_header.m_szZUnit);
            ExpectUnitKeptOrNamed(trip, c.keeps(unit), "Z unit", unit, back, what);
            const double factor = FactorBetween(unit, back);
            for (std::size_t i = 0; i < image.m_pData.size(); ++i)
                ASSERT_NEAR(trip.back.image.m_pData[i], image.m_pData[i] * factor, 1e-4 * factor * image.m_dMax)
                    << what << ", point " << i;
        }
}

// Lateral units: a NanoScope file names micrometres and nanometres only, an NT-MDT file
// gives every length back in nanometres and keeps counts.
TEST(WrittenUnits, EveryXYUnitComesBackOrIsNamedBeforeWriting)
{
    ScratchDir dir;
    const struct {
        Writer writer;
        std::initializer_list<const char*> keeps;
    } cases[] = {
        {kNanoscope, {"nm", "um"}},
        {kMdt, {"nm", "uni"}},
    };
    for (const auto& c : cases)
        for (const std::string& unit : EveryUnit()) {
            const std::string what = std::string(c.writer.fileName) + " XY in " + Shown(unit);
            const RoundTrip trip = SaveAndLoad(dir, c.writer, UnitImage("Height", unit, "nm"));
            ASSERT_EQ(trip.saved, ImageFileError::kNone) << what;
            ASSERT_TRUE(trip.back.ok) << what << ": " << trip.back.error;
            const std::string back = HeaderText(trip.back.image.m_header.m_szXYUnit);
            ExpectUnitKeptOrNamed(trip, OneOf(unit, c.keeps), "XY unit", unit, back, what);
            const double factor = FactorBetween(unit, back);
            EXPECT_FLOAT_EQ(trip.back.image.m_header.m_fKx, static_cast<float>(0.5 * factor)) << what;
            EXPECT_FLOAT_EQ(trip.back.image.m_header.m_fKy, static_cast<float>(0.25 * factor)) << what;
        }
}

// A length that reads back as another length says that its values come back converted; one
// that only changes its spelling does not.
TEST(WrittenUnits, ALengthReadBackAsAnotherSaysItsValuesAreConverted)
{
    ScratchDir dir;
    // The writer, the XY and Z units, and the question.
    const std::tuple<Writer, const char*, const char*, const char*> cases[] = {
        {kMdt, "um", "\xC2\xB5m",
         "An NT-MDT file cannot keep the XY unit \"um\": it reads back as \"nm\", with the steps converted.\n"
         "An NT-MDT file cannot keep the Z unit \"\xC2\xB5m\": it reads back as \"um\".\n"
         "Save it all the same?"},
        {kNanoscope, "\xB5m", "pm",
         "A NanoScope file cannot keep the XY unit \"\xC2\xB5m\": it reads back as \"um\".\n"
         "A NanoScope file cannot keep the Z unit \"pm\" of a \"Height\" image: it reads back as \"nm\", with the "
         "heights converted.\nSave it all the same?"},
    };
    for (const auto& [writer, xy, z, question] : cases) {
        const RoundTrip trip = SaveAndLoad(dir, writer, UnitImage("Height", xy, z));
        ASSERT_EQ(trip.saved, ImageFileError::kNone) << writer.fileName;
        EXPECT_EQ(trip.questions, std::vector<std::string>{question});
    }
}

// A line break in a unit would end a text header's line early; the writer drops it, and
// what the unit means is decided on what is left. The unit then cannot come back as it was.
TEST(WrittenUnits, ControlCharactersInAUnitAreDroppedBeforeItsMeaningIsDecided)
{
    ScratchDir dir;
    for (const Writer& writer : {kNanoscope, kMdt})
        for (const char* xy : {"~m\n", "n\rm", "\x01um"}) {
            const std::string what = std::string(writer.fileName) + " in " + Shown(xy);
            const RoundTrip trip = SaveAndLoad(dir, writer, UnitImage("Height", xy, xy));
            ASSERT_EQ(trip.saved, ImageFileError::kNone) << what;
            ASSERT_TRUE(trip.back.ok) << what << ": " << trip.back.error;
            const SpmHeader& h = trip.back.image.m_header;
            ExpectUnitKeptOrNamed(trip, false, "XY unit", xy, HeaderText(h.m_szXYUnit), what);
            const std::optional<double> lateral = NanometresPerLengthUnit(HeaderText(h.m_szXYUnit));
            ASSERT_TRUE(lateral.has_value()) << what << " read back as " << Shown(HeaderText(h.m_szXYUnit));
            EXPECT_FLOAT_EQ(h.m_fKx * *lateral, 0.5f * (xy[0] == 'n' ? 1.0f : 1000.0f)) << what;
        }
}

// A unit of nothing but blanks, quotes or control characters leaves nothing for a file to
// hold: each writer names the loss, with what the unit reads back as, before writing.
TEST(WrittenUnits, AUnitThatIsNothingToWriteIsNamedAsLostByBothWriters)
{
    ScratchDir dir;
    const struct {
        Writer writer;
        const char* quantity;
        const char* xyBack;
        const char* zBack;
    } cases[] = {
        {kNanoscope, "Height", "Unit", "nm"},     {kNanoscope, "Phase", "Unit", "deg"},
        {kNanoscope, "Amplitude", "Unit", "uni"}, {kNanoscope, "Deflection", "Unit", "uni"},
        {kMdt, "Height", "uni", "uni"},           {kMdt, "Phase", "uni", "uni"},
        {kMdt, "Amplitude", "uni", "uni"},        {kMdt, "Deflection", "uni", "uni"},
    };
    for (const auto& c : cases)
        for (const char* blank : {"", " ", "   ", "\"", "\" \"", "\x01", "\t\r\n", "\x7F"}) {
            for (const bool lateral : {true, false}) {
                const std::string what = std::string(c.writer.fileName) + " " + c.quantity + (lateral ? " XY" : " Z") +
                                         " in " + Shown(blank);
                // The other axis in a unit the file keeps for the quantity.
                const RoundTrip trip =
                    SaveAndLoad(dir, c.writer, UnitImage(c.quantity, lateral ? blank : "nm", lateral ? c.zBack : blank));
                ASSERT_EQ(trip.saved, ImageFileError::kNone) << what;
                ASSERT_TRUE(trip.back.ok) << what << ": " << trip.back.error;
                const SpmHeader& h = trip.back.image.m_header;
                const std::string back = lateral ? HeaderText(h.m_szXYUnit) : HeaderText(h.m_szZUnit);
                EXPECT_EQ(back, lateral ? c.xyBack : c.zBack) << what;
                ExpectUnitKeptOrNamed(trip, false, lateral ? "XY unit" : "Z unit", blank, back, what);
            }
        }
}

// Every message of the writers that names an image's quantity puts the right article before
// it: "an" before a vowel, whatever its case.
TEST(WrittenUnits, ALostUnitIsNamedWithTheArticleOfItsQuantity)
{
    ScratchDir dir;
    const std::pair<const char*, const char*> cases[] = {
        {"Amplitude", "an"}, {"Error", "an"},     {"Input", "an"},      {"Offset", "an"},
        {"Unknown", "an"},   {"amplitude", "an"}, {"Deflection", "a"}, {"Zsensor", "a"},
    };
    for (const auto& [quantity, article] : cases) {
        const RoundTrip trip = SaveAndLoad(dir, kNanoscope, UnitImage(quantity, "nm", "V"));
        ASSERT_EQ(trip.saved, ImageFileError::kNone) << quantity;
        EXPECT_EQ(trip.questions, std::vector<std::string>{"A NanoScope file cannot keep the Z unit \"V\" of " +
                                                           std::string(article) + " \"" + quantity +
                                                           "\" image: it reads back as \"uni\".\nSave it all the same?"});
    }
}

// Steps and Z scales at the ends of the float range, after the unit the file stores them in:
// just inside they come back, beyond it nothing is written and the user is told why.
TEST(WrittenUnits, StepsAndZScalesAtTheEndsOfTheFloatRange)
{
    ScratchDir dir;
    const struct {
        const char* what;
        Writer writer;
        const char* quantity;
        const char* xyUnit;
        float step;
        const char* zUnit;
        double zScale;
        bool stored;
    } cases[] = {
        // An Origin export's step of 4e37 nm is 4e38 Angstrom.
        {"X step 4e37 nm", kMdt, "Height", "nm", 4e37f, "nm", 1.0, true},
        {"X step at the top in nm", kMdt, "Height", "nm", FLT_MAX, "nm", 1.0, true},
        {"X step 1e33 mm", kMdt, "Height", "mm", 1e33f, "nm", 1.0, true},
        {"X step at the top in um", kMdt, "Height", "um", FLT_MAX, "nm", 1.0, true},
        {"X step 1e36 mm", kMdt, "Height", "mm", 1e36f, "nm", 1.0, false},
        {"X step just inside in pm", kMdt, "Height", "pm", 1.2e-36f, "nm", 1.0, true},
        {"X step 1e-37 pm", kMdt, "Height", "pm", 1e-37f, "nm", 1.0, false},
        {"X step 1e-44 pm", kMdt, "Height", "pm", 1e-44f, "nm", 1.0, false},
        {"counts step at the top", kMdt, "Height", "uni", FLT_MAX, "nm", 1.0, true},
        {"Z scale 3e38 A", kMdt, "Height", "nm", 1.0f, "A", 3e38, true},
        {"Z scale 1e33 mm", kMdt, "Height", "nm", 1.0f, "mm", 1e33, true},
        {"Z scale 1e36 mm", kMdt, "Height", "nm", 1.0f, "mm", 1e36, false},
        {"Z scale just inside in pm", kMdt, "Height", "nm", 1.0f, "pm", 2e-36, true},
        {"Z scale 1e-37 pm", kMdt, "Height", "nm", 1.0f, "pm", 1e-37, false},
        {"counts Z scale just inside", kMdt, "Amplitude", "nm", 1.0f, "uni", 3e37, true},
        {"counts Z scale 3.5e37", kMdt, "Amplitude", "nm", 1.0f, "uni", 3.5e37, false},
        {"X step 4e37 nm", kNanoscope, "Height", "nm", 4e37f, "nm", 1.0, true},
        {"X step at the top in nm", kNanoscope, "Height", "nm", FLT_MAX, "nm", 1.0, true},
        {"X step 1e33 mm", kNanoscope, "Height", "mm", 1e33f, "nm", 1.0, true},
        {"X step 1e36 mm", kNanoscope, "Height", "mm", 1e36f, "nm", 1.0, false},
        {"X step just inside in pm", kNanoscope, "Height", "pm", 1.2e-35f, "nm", 1.0, true},
        {"X step 1e-36 pm", kNanoscope, "Height", "pm", 1e-36f, "nm", 1.0, false},
        {"X step 1e-44 pm", kNanoscope, "Height", "pm", 1e-44f, "nm", 1.0, false},
        {"height Z scale just inside in mm", kNanoscope, "Height", "nm", 1.0f, "mm", 3e32, true},
        {"height Z scale 1e33 mm", kNanoscope, "Height", "nm", 1.0f, "mm", 1e33, false},
        {"height Z scale just inside in pm", kNanoscope, "Height", "nm", 1.0f, "pm", 2e-35, true},
        {"height Z scale 1e-37 pm", kNanoscope, "Height", "nm", 1.0f, "pm", 1e-37, false},
        {"amplitude Z scale at the top", kNanoscope, "Amplitude", "nm", 1.0f, "uni", FLT_MAX, true},
    };
    for (const auto& c : cases) {
        const std::string what = std::string(c.writer.fileName) + ": " + c.what;
        // Heights whose largest is 32760 Z scales, so the saved Z scale is the one wanted.
        const double top = 32760.0 * c.zScale;
        const auto height = [&](int r, int col) { return top * (r == 0 && col == 0 ? 1.0 : 0.001 * (r * 3 + col)); };
        CSpmImage image = MakeImage(3, 2, height, c.step, c.step, c.xyUnit, c.zUnit);
        SetHeaderText(image.m_header.m_szQuantity, c.quantity);
        const RoundTrip trip = SaveAndLoad(dir, c.writer, image);
        if (!c.stored) {
            EXPECT_NE(trip.saved, ImageFileError::kNone) << what;
            EXPECT_FALSE(std::filesystem::exists(dir / c.writer.fileName)) << what;
            ASSERT_EQ(trip.messages.size(), 1u) << what;
            EXPECT_EQ(trip.messages[0].rfind("Save not Ok\n", 0), 0u) << what << ": " << trip.messages[0];
            EXPECT_TRUE(trip.questions.empty()) << what;
            continue;
        }
        ASSERT_EQ(trip.saved, ImageFileError::kNone) << what;
        EXPECT_TRUE(trip.messages.empty()) << what << ": " << trip.messages[0];
        ASSERT_TRUE(trip.back.ok) << what << ": " << trip.back.error;
        const SpmHeader& h = trip.back.image.m_header;
        // A unit the file holds in another length is asked about and comes back converted.
        const bool converted = FactorBetween(c.xyUnit, HeaderText(h.m_szXYUnit)) != 1.0 ||
                               FactorBetween(c.zUnit, HeaderText(h.m_szZUnit)) != 1.0;
        EXPECT_EQ(trip.questions.size(), converted ? 1u : 0u) << what;
        const double lateral = FactorBetween(c.xyUnit, HeaderText(h.m_szXYUnit));
        EXPECT_NEAR(h.m_fKx / lateral, c.step, 1e-6 * c.step) << what;
        EXPECT_NEAR(h.m_fKy / lateral, c.step, 1e-6 * c.step) << what;
        const double vertical = FactorBetween(c.zUnit, HeaderText(h.m_szZUnit));
        for (std::size_t i = 0; i < image.m_pData.size(); ++i)
            ASSERT_NEAR(trip.back.image.m_pData[i] / vertical, image.m_pData[i], 1e-4 * top) << what << ", point " << i;
    }
}
