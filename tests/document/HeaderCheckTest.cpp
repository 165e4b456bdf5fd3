// The header check: the quantity-name dialog, the coefficient message and dialog, and the
// values a header is left with whatever the user does in them.
#include "DocumentFixture.h"

#include <cmath>
#include <limits>

namespace {

CSpmImage ImageWith(const SpmHeader& header)
{
    CSpmImage image;
    image.m_header = header;
    return image;
}

} // namespace

TEST_F(DocumentTest, ValidHeaderPassesWithoutAWord)
{
    CMDIDoc doc;
    CSpmImage image = ImageWith(TestHeader(4, 3));
    doc.CheckHeader(image);
    EXPECT_TRUE(prompt.events.empty());
    EXPECT_EQ(image.m_header.m_fKz, 0.5f);
}

TEST_F(DocumentTest, MissingQuantityIsAskedForWithHeightPreset)
{
    CMDIDoc doc;
    CSpmImage typed = ImageWith(TestHeader(4, 3, ""));
    prompt.imageNameScript.push_back({"Friction"});
    doc.CheckHeader(typed);
    CSpmImage untouched = ImageWith(TestHeader(4, 3, ""));
    doc.CheckHeader(untouched);
    CSpmImage emptied = ImageWith(TestHeader(4, 3, ""));
    prompt.imageNameScript.push_back({""});
    doc.CheckHeader(emptied);

    EXPECT_EQ(prompt.imageNamePresets, (Texts{"Height", "Height", "Height"}));
    EXPECT_EQ(HeaderText(typed.m_header.m_szQuantity), "Friction");
    EXPECT_EQ(HeaderText(untouched.m_header.m_szQuantity), "Height");
    EXPECT_EQ(HeaderText(emptied.m_header.m_szQuantity), "Height");  // never left empty
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, BadCoefficientsShowTheMessageOnceThenTheDialogWithRepairedPresets)
{
    CMDIDoc doc;
    SpmHeader header = TestHeader(4, 3);
    header.m_fKx = 0.25f;
    header.m_fKz = 0.0f;
    SetHeaderText(header.m_szXYUnit, "");
    SetHeaderText(header.m_szZUnit, "deg");
    CSpmImage image = ImageWith(header);
    doc.CheckHeader(image);

    EXPECT_EQ(prompt.events, (Texts{"message: Please check file Header parameter",
                                    "dialog: Header X Y Z Coefficient"}));
    ASSERT_EQ(prompt.headerCoefPresets.size(), 1u);
    const HeaderCoefValues& offered = prompt.headerCoefPresets[0];
    EXPECT_EQ(offered.m_dKx, 0.25);
    EXPECT_EQ(offered.m_dKy, 2.0);
    EXPECT_EQ(offered.m_dKz, 1.0);
    EXPECT_EQ(offered.m_strZUnit, "deg");
    EXPECT_EQ(offered.m_strXYUnit, "nm");
    // Leaving the dialog untouched takes what it offered.
    EXPECT_EQ(image.m_header.m_fKx, 0.25f);
    EXPECT_EQ(image.m_header.m_fKz, 1.0f);
    EXPECT_EQ(HeaderText(image.m_header.m_szXYUnit), "nm");
    EXPECT_EQ(HeaderText(image.m_header.m_szZUnit), "deg");
}

TEST_F(DocumentTest, EveryKindOfBadCoefficientTriggersTheRepair)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        float kx, ky, kz;
        const char* zUnit;
        const char* xyUnit;
    };
    const Case cases[] = {
        {"negative X step", -1.0f, 2.0f, 0.5f, "nm", "nm"},
        {"zero Y step", 2.0f, 0.0f, 0.5f, "nm", "nm"},
        {"NaN Z scale", 2.0f, 2.0f, nan, "nm", "nm"},
        {"infinite X step", inf, 2.0f, 0.5f, "nm", "nm"},
        {"empty Z unit", 2.0f, 2.0f, 0.5f, "", "nm"},
        {"empty XY unit", 2.0f, 2.0f, 0.5f, "nm", ""},
    };
    CMDIDoc doc;
    for (const Case& c : cases) {
        prompt.messages.clear();
        SpmHeader header = TestHeader(4, 3);
        header.m_fKx = c.kx;
        header.m_fKy = c.ky;
        header.m_fKz = c.kz;
        SetHeaderText(header.m_szZUnit, c.zUnit);
        SetHeaderText(header.m_szXYUnit, c.xyUnit);
        CSpmImage image = ImageWith(header);
        doc.CheckHeader(image);
        EXPECT_EQ(prompt.messages, Texts{"Please check file Header parameter"}) << c.what;
        const SpmHeader& fixed = image.m_header;
        EXPECT_TRUE(fixed.m_fKx > 0 && fixed.m_fKy > 0 && fixed.m_fKz > 0) << c.what;
        EXPECT_TRUE(std::isfinite(fixed.m_fKx) && std::isfinite(fixed.m_fKz)) << c.what;
        EXPECT_NE(fixed.m_szZUnit[0], '\0') << c.what;
        EXPECT_NE(fixed.m_szXYUnit[0], '\0') << c.what;
    }
}

TEST_F(DocumentTest, TypedCoefficientsAndUnitsGoIntoTheHeader)
{
    CMDIDoc doc;
    SpmHeader header = TestHeader(4, 3);
    header.m_fKy = -3.0f;
    CSpmImage image = ImageWith(header);
    prompt.headerCoefScript.push_back({{HeaderCoefField::Kx, "0.1"},
                                       {HeaderCoefField::Ky, "12.5"},
                                       {HeaderCoefField::Kz, "1000000"},
                                       {HeaderCoefField::ZUnit, "deg"},
                                       {HeaderCoefField::XYUnit, "um"}});
    doc.CheckHeader(image);
    EXPECT_EQ(image.m_header.m_fKx, 0.1f);  // rounded to a float
    EXPECT_EQ(image.m_header.m_fKy, 12.5f);
    EXPECT_EQ(image.m_header.m_fKz, 1000000.0f);
    EXPECT_EQ(HeaderText(image.m_header.m_szZUnit), "deg");
    EXPECT_EQ(HeaderText(image.m_header.m_szXYUnit), "um");
}

TEST_F(DocumentTest, ValuesStillInvalidAfterTheDialogFallBackToItsDefaults)
{
    CMDIDoc doc;
    SpmHeader header = TestHeader(4, 3);
    header.m_fKz = 0.0f;
    CSpmImage image = ImageWith(header);
    // The dialog accepts 0 and empty units; a number too small for a float rounds to 0.
    prompt.headerCoefScript.push_back({{HeaderCoefField::Kx, "0"},
                                       {HeaderCoefField::Ky, "1e-60"},
                                       {HeaderCoefField::Kz, "0"},
                                       {HeaderCoefField::ZUnit, ""},
                                       {HeaderCoefField::XYUnit, ""}});
    doc.CheckHeader(image);
    EXPECT_EQ(image.m_header.m_fKx, 1.0f);
    EXPECT_EQ(image.m_header.m_fKy, 1.0f);
    EXPECT_EQ(image.m_header.m_fKz, 1.0f);
    EXPECT_EQ(HeaderText(image.m_header.m_szZUnit), "nm");
    EXPECT_EQ(HeaderText(image.m_header.m_szXYUnit), "nm");
}

TEST_F(DocumentTest, NameIsAskedBeforeTheCoefficients)
{
    CMDIDoc doc;
    SpmHeader header = TestHeader(4, 3, "");
    header.m_fKx = 0.0f;
    CSpmImage image = ImageWith(header);
    doc.CheckHeader(image);
    EXPECT_EQ(prompt.events, (Texts{"dialog: Image Name", "message: Please check file Header parameter",
                                    "dialog: Header X Y Z Coefficient"}));
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
