// The header check: the quantity-name dialog, the coefficient message and dialog, and the
// values a header is left with whatever the user does in them.
#include "DocumentFixture.h"

#include <cmath>

namespace {

// What the check leaves of a header; the prompt records what it asked.
SpmHeader Checked(const SpmHeader& header)
{
    CSpmImage image;
    image.m_header = header;
    CMDIDoc().CheckHeader(image);
    return image.m_header;
}

} // namespace

TEST_F(DocumentTest, MissingQuantityIsAskedForWithHeightPresetAndNeverLeftEmpty)
{
    EXPECT_EQ(Checked(TestHeader(4, 3)).m_fKz, 0.5f);
    EXPECT_TRUE(prompt.events.empty());  // a valid header passes without a word

    const std::pair<Texts, const char*> cases[] = {{{"Friction"}, "Friction"}, {{}, "Height"}, {{""}, "Height"}};
    for (const auto& [typing, quantity] : cases) {
        prompt.imageNameScript.push_back(typing);
        EXPECT_EQ(HeaderText(Checked(TestHeader(4, 3, "")).m_szQuantity), quantity);
    }
    EXPECT_EQ(prompt.imageNamePresets, (Texts{"Height", "Height", "Height"}));
    EXPECT_TRUE(prompt.messages.empty());

    // The name is asked before the coefficients.
    prompt.events.clear();
    SpmHeader both = TestHeader(4, 3, "");
    both.m_fKx = 0.0f;
    Checked(both);
    EXPECT_EQ(prompt.events, (Texts{"dialog: Image Name", "message: Please check file Header parameter",
                                    "dialog: Header X Y Z Coefficient"}));
}

TEST_F(DocumentTest, BadCoefficientsShowTheMessageOnceThenTheDialogWithRepairedPresets)
{
    SpmHeader header = TestHeader(4, 3);
    header.m_fKx = 0.25f;
    header.m_fKz = 0.0f;
    SetHeaderText(header.m_szXYUnit, "");
    SetHeaderText(header.m_szZUnit, "deg");
    const SpmHeader checked = Checked(header);

    EXPECT_EQ(prompt.events,
              (Texts{"message: Please check file Header parameter", "dialog: Header X Y Z Coefficient"}));
    ASSERT_EQ(prompt.headerCoefPresets.size(), 1u);
    const HeaderCoefValues& offered = prompt.headerCoefPresets[0];
    EXPECT_EQ(offered.m_dKx, 0.25);
    EXPECT_EQ(offered.m_dKy, 2.0);
    EXPECT_EQ(offered.m_dKz, 1.0);
    EXPECT_EQ(offered.m_strZUnit, "deg");
    EXPECT_EQ(offered.m_strXYUnit, "nm");
    // Leaving the dialog untouched takes what it offered.
    EXPECT_EQ(checked.m_fKx, 0.25f);
    EXPECT_EQ(checked.m_fKz, 1.0f);
    EXPECT_EQ(HeaderText(checked.m_szXYUnit), "nm");
    EXPECT_EQ(HeaderText(checked.m_szZUnit), "deg");
}

TEST_F(DocumentTest, EveryKindOfBadCoefficientTriggersTheRepair)
{
    const struct {
        const char* what;
        float kx, ky, kz;
        const char* zUnit;
        const char* xyUnit;
    } cases[] = {
        {"negative X step", -1.0f, 2.0f, 0.5f, "nm", "nm"}, {"zero Y step", 2.0f, 0.0f, 0.5f, "nm", "nm"},
        {"NaN Z scale", 2.0f, 2.0f, NAN, "nm", "nm"},       {"infinite X step", INFINITY, 2.0f, 0.5f, "nm", "nm"},
        {"empty Z unit", 2.0f, 2.0f, 0.5f, "", "nm"},       {"empty XY unit", 2.0f, 2.0f, 0.5f, "nm", ""},
    };
    for (const auto& c : cases) {
        prompt.messages.clear();
        SpmHeader header = TestHeader(4, 3);
        header.m_fKx = c.kx;
        header.m_fKy = c.ky;
        header.m_fKz = c.kz;
        SetHeaderText(header.m_szZUnit, c.zUnit);
        SetHeaderText(header.m_szXYUnit, c.xyUnit);
        const SpmHeader fixed = Checked(header);
        EXPECT_EQ(prompt.messages, Texts{"Please check file Header parameter"}) << c.what;
        EXPECT_TRUE(fixed.m_fKx > 0 && fixed.m_fKy > 0 && fixed.m_fKz > 0) << c.what;
        EXPECT_TRUE(std::isfinite(fixed.m_fKx) && std::isfinite(fixed.m_fKz)) << c.what;
        EXPECT_NE(fixed.m_szZUnit[0], '\0') << c.what;
        EXPECT_NE(fixed.m_szXYUnit[0], '\0') << c.what;
    }
}

TEST_F(DocumentTest, TypedValuesGoIntoTheHeaderAndInvalidOnesFallBackToDefaults)
{
    using Field = HeaderCoefField;
    const struct {
        ScriptedPrompt::CoefTyping typing;
        float kx, ky, kz;
        const char* zUnit;
        const char* xyUnit;
    } cases[] = {
        // Rounded to floats.
        {{{Field::Kx, "0.1"}, {Field::Ky, "12.5"}, {Field::Kz, "1000000"}, {Field::ZUnit, "deg"},
          {Field::XYUnit, "um"}},
         0.1f, 12.5f, 1000000.0f, "deg", "um"},
        // The dialog accepts 0 and empty units; a number too small for a float rounds to 0.
        {{{Field::Kx, "0"}, {Field::Ky, "1e-60"}, {Field::Kz, "0"}, {Field::ZUnit, ""}, {Field::XYUnit, ""}},
         1.0f, 1.0f, 1.0f, "nm", "nm"},
    };
    for (const auto& c : cases) {
        SpmHeader header = TestHeader(4, 3);
        header.m_fKy = -3.0f;
        prompt.headerCoefScript.push_back(c.typing);
        const SpmHeader checked = Checked(header);
        EXPECT_EQ(checked.m_fKx, c.kx);
        EXPECT_EQ(checked.m_fKy, c.ky);
        EXPECT_EQ(checked.m_fKz, c.kz);
        EXPECT_EQ(HeaderText(checked.m_szZUnit), c.zUnit);
        EXPECT_EQ(HeaderText(checked.m_szXYUnit), c.xyUnit);
    }
}

TEST_F(DocumentTest, RepairedHeaderIsWhatTheLoadedImageUses)
{
    SpmHeader header = TestHeader(4, 3, "");
    header.m_fKz = -0.5f;
    prompt.imageNameScript.push_back({"Phase"});
    prompt.headerCoefScript.push_back({{HeaderCoefField::Kz, "2"}});
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm", header)));
    const CSpmImage& image = *doc.ImageList()[0].m_pImage;
    EXPECT_EQ(image.m_strName, "Phase_01");
    EXPECT_EQ(image.m_header.m_fKz, 2.0f);
    // Sample i of the written file is i % 2000 - 1000; heights follow the repaired scale.
    EXPECT_EQ(image.m_pRaw[5], -995);
    EXPECT_EQ(image.m_pData[5], -1990.0);
}
