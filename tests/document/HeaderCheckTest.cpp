// The header check: the quantity-name dialog, the coefficient message and dialog with the
// rules of their edits, the values a header is left with whatever the user does, and the
// header's fixed text fields.
#include "DocumentFixture.h"

#include <algorithm>
#include <cmath>

#include "image/HeaderTextCoding.h"

namespace {

// What the check leaves of a header; the prompt records what it asked.
SpmHeader Checked(const SpmHeader& header)
{
    CSpmImage image;
    image.m_header = header;
    CMDIDoc().CheckHeader(image);
    return image.m_header;
}

using Field = HeaderCoefField;

// The number the dialog holds for one of its three number fields.
double Number(const CDialogHeaderCoef& dialog, Field field)
{
    const HeaderCoefValues& values = dialog.Values();
    return field == Field::Kx ? values.m_dKx : field == Field::Ky ? values.m_dKy : values.m_dKz;
}

// The characters of a UTF-8 text.
std::size_t Characters(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }));
}

}  // namespace

TEST_F(DocumentTest, MissingQuantityIsAskedForBeforeTheCoefficientsAndNeverLeftEmpty)
{
    EXPECT_EQ(Checked(TestHeader(4, 3)).m_fKz, 0.5f);
    EXPECT_TRUE(prompt.events.empty());  // a valid header passes without a word
    const std::pair<Texts, const char*> cases[] = {{{"Friction"}, "Friction"}, {{}, "Height"}, {{""}, "Height"}};
    for (const auto& [typing, quantity] : cases) {
        prompt.imageNameScript.push_back(typing);
        EXPECT_EQ(HeaderText(Checked(TestHeader(4, 3, "")).m_szQuantity), quantity);
    }
    EXPECT_EQ(prompt.imageNamePresets, (Texts{"Height", "Height", "Height"}));
    prompt.events.clear();
    SpmHeader both = TestHeader(4, 3, "");
    both.m_fKx = 0.0f;
    Checked(both);
    EXPECT_EQ(prompt.events, (Texts{"dialog: Image Name", "message: Please check file Header parameter",
                                    "dialog: Header X Y Z Coefficient"}));
    // The check says whether it changed the header: only a header that needed the user.
    CSpmImage image;
    image.m_header = TestHeader(4, 3, "");
    EXPECT_TRUE(CMDIDoc().CheckHeader(image));
    EXPECT_FALSE(CMDIDoc().CheckHeader(image));
}

TEST_F(DocumentTest, EveryBadCoefficientShowsTheMessageThenTheDialogWithRepairedPresets)
{
    // X, Y, Z, Z unit, XY unit; what the dialog offers for them is the header's value, 1 or "nm".
    const std::tuple<float, float, float, const char*, const char*> cases[] = {
        {-1.0f, 2.0f, 0.5f, "nm", "nm"}, {2.0f, 0.0f, 0.5f, "nm", "nm"},  {2.0f, 2.0f, NAN, "nm", "nm"},
        {INFINITY, 2.0f, 0.5f, "nm", "nm"}, {2.0f, 2.0f, 0.5f, "", "nm"}, {0.25f, 2.0f, 0.0f, "deg", ""},
    };
    const auto offered = [](float v) { return std::isfinite(v) && v > 0 ? double{v} : 1.0; };
    const auto unit = [](const char* u) { return *u ? std::string(u) : std::string("nm"); };
    for (const auto& [kx, ky, kz, zUnit, xyUnit] : cases) {
        prompt.messages.clear();
        prompt.headerCoefPresets.clear();
        SpmHeader header = TestHeader(4, 3);
        std::tie(header.m_fKx, header.m_fKy, header.m_fKz) = std::tuple(kx, ky, kz);
        SetHeaderText(header.m_szZUnit, zUnit);
        SetHeaderText(header.m_szXYUnit, xyUnit);
        const SpmHeader fixed = Checked(header);
        EXPECT_EQ(prompt.messages, Texts{"Please check file Header parameter"}) << kx << ky << kz << zUnit;
        ASSERT_EQ(prompt.headerCoefPresets.size(), 1u);
        const HeaderCoefValues& preset = prompt.headerCoefPresets[0];
        EXPECT_EQ(std::tie(preset.m_dKx, preset.m_dKy, preset.m_dKz), std::tuple(offered(kx), offered(ky), offered(kz)));
        EXPECT_EQ(std::tie(preset.m_strZUnit, preset.m_strXYUnit), std::tuple(unit(zUnit), unit(xyUnit)));
        // Leaving the dialog untouched takes what it offered.
        EXPECT_EQ(std::tuple(fixed.m_fKx, fixed.m_fKy, fixed.m_fKz),
                  std::tuple(float(offered(kx)), float(offered(ky)), float(offered(kz))));
        EXPECT_EQ(std::tuple(HeaderText(fixed.m_szZUnit), HeaderText(fixed.m_szXYUnit)), std::tuple(unit(zUnit), unit(xyUnit)));
    }
}

TEST_F(DocumentTest, TypedValuesGoIntoTheHeaderAndRefusedOnesLeaveWhatWasOffered)
{
    const struct {
        ScriptedPrompt::CoefTyping typing;
        float kx, ky, kz;
        const char* zUnit;
        const char* xyUnit;
    } cases[] = {
        // Rounded to floats.
        {{{Field::Kx, "0.1"}, {Field::Ky, "12.5"}, {Field::Kz, "1000000"}, {Field::ZUnit, "deg"}, {Field::XYUnit, "um"}},
         0.1f, 12.5f, 1000000.0f, "deg", "um"},
        // What the header cannot keep is refused: the header keeps what the dialog offered.
        {{{Field::Kx, "0"}, {Field::Ky, "1e-60"}, {Field::Kz, "0"}, {Field::ZUnit, ""}, {Field::XYUnit, ""}},
         2.0f, 1.0f, 0.5f, "nm", "nm"},
    };
    for (const auto& c : cases) {
        SpmHeader header = TestHeader(4, 3);
        header.m_fKy = -3.0f;
        prompt.headerCoefScript.push_back(c.typing);
        const SpmHeader checked = Checked(header);
        EXPECT_EQ(std::tuple(checked.m_fKx, checked.m_fKy, checked.m_fKz), std::tuple(c.kx, c.ky, c.kz));
        EXPECT_EQ(std::tuple(HeaderText(checked.m_szZUnit), HeaderText(checked.m_szXYUnit)),
                  std::tuple(std::string(c.zUnit), std::string(c.xyUnit)));
    }
    // The repaired header is what the loaded image uses: sample 5 of the file is -995.
    SpmHeader header = TestHeader(4, 3, "");
    header.m_fKz = -0.5f;
    prompt.imageNameScript.push_back({"Phase"});
    prompt.headerCoefScript.push_back({{Field::Kz, "2"}});
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm", header)));
    EXPECT_EQ(doc.m_pCurImage->m_strName, "Phase_01");
    EXPECT_EQ(doc.m_pCurImage->m_pData[5], -1990.0);
    // What the user typed is not in the file yet: the image counts as changed, unlike one
    // whose header needed nothing.
    EXPECT_EQ(doc.ModifiedImages(), std::vector<const CSpmImage*>{doc.m_pCurImage});
    ASSERT_TRUE(doc.AddImage(Spm("b.spm", TestHeader(4, 3)), 0));
    EXPECT_EQ(doc.ModifiedImages().size(), 1u);
}

// A header with steps of 0 asks for its coefficients. A *.spm file's Z scale is the user's to
// type; an Origin export's heights set its Z scale (their range over the raw span of 65530
// samples), which the dialog offers and the header keeps whatever is typed there.
TEST_F(DocumentTest, TheZScaleAnOriginExportsHeightsSetIsOfferedAndKept)
{
    SpmHeader stepless = TestHeader(3, 2);
    stepless.m_fKx = stepless.m_fKy = 0.0f;
    WriteFile(dir / "steps.dat", "x\t0\t0\t0\t\r\n0\t1\t2\t3\t\r\n0\t4\t5\t6\t\r\n");
    const float heightsScale = (6000.0f - 1000.0f) / 65530.0f;
    const struct {
        std::string path;
        float offered;   // the Z scale the dialog opens with
        float kept;      // the header's after "2" was typed there
    } cases[] = {
        {Spm("steps.spm", stepless), 0.5f, 2.0f},
        {(dir / "steps.dat").string(), heightsScale, heightsScale},
    };
    for (const auto& c : cases) {
        prompt.headerCoefPresets.clear();
        prompt.messages.clear();
        prompt.headerCoefScript.push_back({{Field::Kz, "2"}, {Field::Kx, "3"}});
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(c.path)) << c.path;
        ASSERT_EQ(prompt.headerCoefPresets.size(), 1u) << c.path;
        const SpmHeader& header = doc.m_pCurImage->m_header;
        EXPECT_FLOAT_EQ(static_cast<float>(prompt.headerCoefPresets[0].m_dKz), c.offered) << c.path;
        EXPECT_FLOAT_EQ(header.m_fKz, c.kept) << c.path;
        EXPECT_EQ(header.m_fKx, 3.0f) << c.path;
        ASSERT_EQ(prompt.messages.size(), 1u) << c.path;
        EXPECT_TRUE(prompt.messages[0].starts_with("Please check file Header parameter")) << prompt.messages[0];
    }
}

// A coefficient is taken when the header keeps it: greater than 0 and at most 1000000 as the
// float it becomes. Any other number in any of the three edits is refused with one message
// that says what is taken, and one the float rounds to 0 also that the header would keep it
// as 0; the field keeps what it held. Names and units are never left empty.
TEST(RepairDialogs, ACoefficientTheHeaderCannotKeepIsRefusedWithWhatItTakes)
{
    ScriptedPrompt prompt;
    const std::string range = "Please enter a number greater than 0 and at most 1000000";
    const std::pair<const char*, std::string> cases[] = {
        {"0", range + "."},          {"-0", range + "."},        {"0.0e5", range + "."},
        {"-1e-50", range + "."},     {"1000001", range + "."},   {"1e39", range + "."},
        {"1e-50", range + ": the header keeps 1e-50 as 0."},     {" 1e-46 ", range + ": the header keeps 1e-46 as 0."},
        {"7e-46", range + ": the header keeps 7e-46 as 0."},
        // A subnormal float keeps too few digits: 1e-45 would be held 40 % off.
        {"8e-46", range + ": the header keeps 8e-46 as 1.40129846432482e-45."},
        {"1e-45", range + ": the header keeps 1e-45 as 1.40129846432482e-45."},
        {"1.1754942e-38", range + ": the header keeps 1.1754942e-38 as 1.17549421069244e-38."},
        // Taken: a float of full precision, at the limit at most.
        {"1.17549435e-38", ""}, {"999999.97", ""}, {"1000000.03", ""},
    };
    for (const Field field : {Field::Kx, Field::Ky, Field::Kz}) {
        for (const auto& [text, message] : cases) {
            CDialogHeaderCoef dialog({1.5, 2.5, 3.5, "nm", "nm"});
            const double before = Number(dialog, field);
            prompt.messages.clear();
            const bool taken = dialog.Type(field, text);
            EXPECT_EQ(taken, message.empty()) << text;
            EXPECT_EQ(prompt.messages, message.empty() ? Texts{} : Texts{message}) << text;
            double typed = 0.0;
            ASSERT_TRUE(ParseDialogNumber(text, typed)) << text;
            const double held = Number(dialog, field);
            EXPECT_EQ(held, taken ? double{static_cast<float>(typed)} : before) << text;
            EXPECT_TRUE(held > 0.0 && held <= 1e6) << text;
        }
    }
    // Empty texts would leave the header without a name or unit.
    CDialogHeaderCoef dialog({1.0, 1.0, 1.0, "nm", "um"});
    CDialogImageName name("Height");
    prompt.messages.clear();
    EXPECT_FALSE(dialog.Type(Field::ZUnit, ""));
    EXPECT_FALSE(dialog.Type(Field::XYUnit, ""));
    EXPECT_FALSE(name.TypeName(""));
    EXPECT_EQ(prompt.messages, (Texts{"Please enter 1 to 3 characters.", "Please enter 1 to 3 characters.",
                                      "Please enter 1 to 20 characters."}));
    EXPECT_EQ(std::tie(dialog.Values().m_strZUnit, dialog.Values().m_strXYUnit, name.Name()),
              std::tuple("nm", "um", "Height"));
}

TEST(RepairDialogs, NamesOfTwentyCharactersNumbersAboveZeroToAMillionAndUnitsOfThree)
{
    ScriptedPrompt prompt;
    CDialogImageName name("Height");
    EXPECT_TRUE(name.TypeName("abcdefghijklmnopqrst"));
    EXPECT_FALSE(name.TypeName("abcdefghijklmnopqrstu"));
    EXPECT_EQ(name.Name(), "abcdefghijklmnopqrst");
    CDialogHeaderCoef dialog({1.0, 2.0, 3.0, "nm", "um"});
    const std::pair<const char*, double> accepted[] = {
        {"1.2e-38", 1.2e-38}, {" 1000000 ", 1e6}, {"1.5E-03", 0.0015}, {"+2.5", 2.5}};
    for (const auto& [text, value] : accepted) {
        EXPECT_TRUE(dialog.Type(Field::Ky, text)) << text;
        EXPECT_EQ(dialog.Values().m_dKy, static_cast<float>(value)) << text;
    }
    EXPECT_TRUE(dialog.Type(Field::ZUnit, "deg"));
    EXPECT_FALSE(dialog.Type(Field::XYUnit, "mkm1"));
    EXPECT_EQ(prompt.messages, (Texts{"Please enter no more than 20 characters.", "Please enter no more than 3 characters."}));
    EXPECT_EQ(std::tie(dialog.Values().m_strZUnit, dialog.Values().m_strXYUnit), std::tuple("deg", "um"));
    const std::string range = "Please enter a number greater than 0 and at most 1000000.";
    const std::string number = "Please enter a number.";
    const std::pair<const char*, std::string> refused[] = {
        {"1000000.5", range}, {"-0.1", range}, {"inf", range}, {"0", range}, {"", number}, {"  ", number}, {"1,5", number},
        {"2 nm", number},     {"nan", number}, {"0x10", number}, {"+-1", number}, {"e5", number},
    };
    for (const auto& [text, message] : refused) {
        prompt.messages.clear();
        EXPECT_FALSE(dialog.Type(Field::Kz, text)) << text;
        EXPECT_EQ(prompt.messages, Texts{message}) << text;
        EXPECT_EQ(dialog.Values().m_dKz, 3.0) << text;
    }
    // The edits show the floats the header keeps.
    CDialogHeaderCoef shown({static_cast<double>(0.1f), 1.0, 1e-7, "nm", "um"});
    EXPECT_EQ((Texts{shown.Text(Field::Kx), shown.Text(Field::Ky), shown.Text(Field::Kz), shown.Text(Field::XYUnit)}),
              (Texts{"0.1", "1", "0.0000001", "um"}));
}

// The header keeps floats: a number taken is the float the header will hold, and shows as the
// fewest digits that the dialog reads back as that float.
TEST_F(DocumentTest, CoefficientsShowAsTheFloatsTheHeaderKeeps)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1.0000000596046449", "1.0000001"}, {"0.1", "0.1"},         {"0.30000001192092896", "0.3"},
        {"123456.789", "123456.79"},          {"1e5", "100000"},       {"1000000", "1000000"},
        {"1e-7", "0.0000001"},                {"7812.5", "7812.5"},   {"0.00001", "0.00001"},
    };
    for (const auto& [typed, shownText] : cases) {
        CDialogHeaderCoef dialog({1.0, 1.0, 1.0, "nm", "nm"});
        ASSERT_TRUE(dialog.TakeTyped(Field::Kx, typed)) << typed;
        double read = 0.0;
        ASSERT_TRUE(ParseDialogNumber(typed, read));
        const auto kept = static_cast<float>(read);
        EXPECT_EQ(dialog.Values().m_dKx, double{kept}) << typed;
        const std::string text = dialog.Text(Field::Kx);
        EXPECT_EQ(text, shownText) << typed;
        double back = 0.0;
        EXPECT_TRUE(ParseDialogNumber(text, back) && static_cast<float>(back) == kept) << typed;

        // What the dialog holds is what the header then keeps.
        SpmHeader header = TestHeader(4, 3);
        header.m_fKy = 0.0f;
        prompt.headerCoefScript.push_back({{Field::Kx, typed}});
        EXPECT_EQ(double{Checked(header).m_fKx}, dialog.Values().m_dKx) << typed;
    }
}

// The units hold 3 characters and what their header fields keep of UTF-8, the Z unit 3 bytes
// and the XY unit 5: what the dialog holds, the header keeps whole. A name holds 20
// characters, in any bytes.
TEST_F(DocumentTest, UnitsHoldWhatTheirHeaderFieldsKeep)
{
    const std::pair<Field, std::string> cases[] = {
        {Field::ZUnit, "µm"},   {Field::ZUnit, "µµ"},   {Field::ZUnit, "abc"},  {Field::ZUnit, "abcd"},
        {Field::XYUnit, "µµm"}, {Field::XYUnit, "µµµ"}, {Field::XYUnit, "abc"}, {Field::XYUnit, "abcd"},
    };
    for (const auto& [field, text] : cases) {
        const bool z = field == Field::ZUnit;
        SpmHeader header{};
        z ? SetTypedHeaderText(header.m_szZUnit, text) : SetTypedHeaderText(header.m_szXYUnit, text);
        const std::string kept = z ? HeaderText(header.m_szZUnit) : HeaderText(header.m_szXYUnit);
        const bool fits = kept == text && Characters(text) <= 3;
        prompt.messages.clear();
        CDialogHeaderCoef dialog({1.0, 1.0, 1.0, "nm", "nm"});
        EXPECT_EQ(dialog.Type(field, text), fits) << text;
        EXPECT_EQ(prompt.messages, fits ? Texts{} : Texts{TooLongMessage(3)}) << text;
        EXPECT_EQ(z ? dialog.Values().m_strZUnit : dialog.Values().m_strXYUnit, fits ? text : "nm") << text;
    }
    std::string twenty;
    for (int i = 0; i < 20; ++i)
        twenty += "ö";
    CDialogImageName name("Height");
    EXPECT_TRUE(name.TypeName(twenty));
    EXPECT_FALSE(name.TypeName(twenty + "o"));
    EXPECT_EQ(name.Name(), twenty);
}

TEST(SpmHeaderText, SetCutsToFitAndClearsTheRestReadStopsAtTheFirstZeroOrTheFieldEnd)
{
    SpmHeader header;
    std::memset(&header, 'x', sizeof header);
    SetHeaderText(header.m_szZUnit, "nm");
    EXPECT_EQ(std::string(header.m_szZUnit, 4), std::string("nm\0\0", 4));
    SetHeaderText(header.m_szXYUnit, "abcdefgh");
    EXPECT_EQ(std::string(header.m_szXYUnit, 6), std::string("abcde\0", 6));
    EXPECT_EQ(header.m_szNote[0], 'x');  // the next field is untouched
    std::memcpy(header.m_szZUnit, "abcd", 4);  // a file may fill a field to its last byte
    EXPECT_EQ(HeaderText(header.m_szZUnit), "abcd");
    EXPECT_EQ(HeaderText(header.m_szXYUnit), "abcde");
}
