// The settings pair every image gets when it joins a document.
#include "DocumentFixture.h"

TEST_F(DocumentTest, PairHolds2DThen3DSettingsNamedAfterTheImage)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm")));
    const SettingsPair& pair = *doc.ImageList()[0].m_pSettings;
    for (const CPresentationConfig& record : pair) {
        EXPECT_EQ(record.m_ImageName, "Height_01");
        EXPECT_EQ(record.m_NameOfImageForColor, "Height_01");
    }
    // The defaults of each kind (the presentation tests check them whole): 3D has light.
    EXPECT_EQ(pair[kSettings2D].m_EnablePolygonLight, 0);
    EXPECT_EQ(pair[kSettings3D].m_EnablePolygonLight, 1);
}

TEST_F(DocumentTest, FirstImageKeepsItsFilesColourSourceAddedImagesColourThemselves)
{
    const std::string cnf = "[Height_01_Presentation2D]\r\nNameOfImageForColor=Phase_07\r\n"
                            "[Height_02_Presentation3D]\r\nNameOfImageForColor=Height_01\r\n"
                            "[Height_02_Presentation2D]\r\nTilt=45\r\n";
    WriteFile(dir / "a.cnf", cnf);
    WriteFile(dir / "b.cnf", cnf);
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm")));
    ASSERT_TRUE(doc.AddImage(Spm("b.spm"), 0));
    const SettingsPair& first = *doc.ImageList()[0].m_pSettings;
    const SettingsPair& added = *doc.ImageList()[1].m_pSettings;
    EXPECT_EQ(first[kSettings2D].m_NameOfImageForColor, "Phase_07");
    EXPECT_EQ(first[kSettings3D].m_NameOfImageForColor, "Height_01");
    EXPECT_EQ(added[kSettings2D].m_NameOfImageForColor, "Height_02");
    EXPECT_EQ(added[kSettings3D].m_NameOfImageForColor, "Height_02");
    // The added image's own sections were read under its name.
    EXPECT_EQ(added[kSettings2D].m_Tilt, 45.0f);
    EXPECT_EQ(first[kSettings2D].m_Tilt, 60.0f);
}

TEST_F(DocumentTest, LoadingSettingsKeepsTheImageRangeAndClearsTheFirstTwoPoints)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm", "Height", 40, 40)));
    const CSpmImage& image = *doc.ImageList()[0].m_pImage;
    const double min = image.m_dMin;
    const double max = image.m_dMax;
    doc.m_ptSel1 = {3, 4};
    doc.m_ptSel2 = {5, 6};
    doc.m_ptSel3 = {7, 8};
    doc.m_bSel1Set = doc.m_bSel2Set = doc.m_bSel3Set = 1;
    CPresentationConfig record;
    doc.LoadImageSettings(image.m_strPath, ViewKind::View2D, record);
    EXPECT_EQ(image.m_dMin, min);
    EXPECT_EQ(image.m_dMax, max);
    EXPECT_EQ(doc.m_ptSel1.x, 0);
    EXPECT_EQ(doc.m_ptSel2.y, 0);
    EXPECT_EQ(doc.m_bSel1Set, 0);
    EXPECT_EQ(doc.m_bSel2Set, 0);
    EXPECT_EQ(doc.m_ptSel3.x, 7);
    EXPECT_EQ(doc.m_bSel3Set, 1);
    ASSERT_EQ(record.m_ColorCursors.size(), 2u);
}
