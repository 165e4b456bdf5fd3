// How the document names its images and finds them again by name.
#include "DocumentFixture.h"

TEST_F(DocumentTest, ImagesAreNamedByQuantityAndTwoDigitCounter)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm")));
    ASSERT_TRUE(doc.AddImage(Spm("b.spm", "Phase"), 0));
    ASSERT_TRUE(doc.AddImage(Spm("c.spm"), 0));
    EXPECT_EQ(ImageNames(doc), (Texts{"Height_01", "Phase_02", "Height_03"}));
    EXPECT_EQ(doc.m_nImageCounter, 3);
    doc.m_nImageCounter = 98;
    ASSERT_TRUE(doc.AddImage(Spm("d.spm"), 0));
    ASSERT_TRUE(doc.AddImage(Spm("e.spm"), 0));
    EXPECT_EQ(doc.ImageList()[3].m_pImage->m_strName, "Height_99");
    EXPECT_EQ(doc.ImageList()[4].m_pImage->m_strName, "Height_100");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, SpmQuantityIsCutAtItsFirstBlank)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm", "Height Forward scan")));
    ASSERT_TRUE(doc.AddImage(Spm("b.spm", " Lead"), 0));  // a blank in front cuts nothing
    ASSERT_TRUE(doc.AddImage(Spm("c.spm"), 0));
    EXPECT_EQ(ImageNames(doc), (Texts{"Height_01", " Lead_02", "Height_03"}));
}

TEST_F(DocumentTest, FailedAddLeavesTheCounterForTheNextImage)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm")));
    SpmHeader broken = TestHeader(2000, 3);
    EXPECT_FALSE(doc.AddImage(Spm("broken.spm", broken), 0));
    EXPECT_FALSE(doc.AddImage((dir / "missing.spm").string(), 0));
    EXPECT_FALSE(doc.AddImage(Spm("unknown.xyz"), 0));
    EXPECT_EQ(doc.m_nImageCounter, 1);
    ASSERT_TRUE(doc.AddImage(Spm("b.spm", "Phase"), 0));
    EXPECT_EQ(ImageNames(doc), (Texts{"Height_01", "Phase_02"}));
    EXPECT_EQ(prompt.messages, (Texts{"Image Header is broken", "Failed to open document."}));
}

TEST_F(DocumentTest, OriginImageGoesByItsQuantityAloneWhileThatNameIsFree)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Origin("a.dat")));
    ASSERT_TRUE(doc.AddImage(Spm("b.spm", "Topography"), 0));
    ASSERT_TRUE(doc.AddImage(Origin("c.DAT"), 0));
    ASSERT_TRUE(doc.AddImage(Origin("d.dat"), 0));
    EXPECT_EQ(ImageNames(doc), (Texts{"Topography", "Topography_02", "Topography_03", "Topography_04"}));
    // Each can be found by its own name.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(doc.GetImageIndex(doc.ImageList()[static_cast<std::size_t>(i)].m_pImage->m_strName), i);
}

TEST_F(DocumentTest, GetImageIndexTriesExactNamesThenNamesWithoutTheirNumber)
{
    CMDIDoc doc;
    EXPECT_EQ(doc.GetImageIndex("Height_01"), 1);
    EXPECT_EQ(doc.GetImageIndex(""), 1);
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm")));
    ASSERT_TRUE(doc.AddImage(Spm("b.spm", "Phase"), 0));
    ASSERT_TRUE(doc.AddImage(Spm("c.spm"), 0));
    ASSERT_TRUE(doc.AddImage(Origin("d.dat"), 0));  // "Topography"
    ASSERT_TRUE(doc.AddImage(Spm("e.spm", "Topography"), 0));
    ASSERT_TRUE(doc.AddImage(Spm("f.spm", "ab"), 0));
    EXPECT_EQ(ImageNames(doc),
              (Texts{"Height_01", "Phase_02", "Height_03", "Topography", "Topography_05", "ab_06"}));
    EXPECT_EQ(doc.GetImageIndex("Height_03"), 2);
    EXPECT_EQ(doc.GetImageIndex("Height"), 0);      // the first whose number is cut off
    EXPECT_EQ(doc.GetImageIndex("Phase"), 1);
    EXPECT_EQ(doc.GetImageIndex("Topography"), 3);  // an exact name wins over an earlier cut one
    EXPECT_EQ(doc.GetImageIndex("ab"), 5);
    EXPECT_EQ(doc.GetImageIndex("Height_0"), 7);    // only whole three-character numbers are cut
    EXPECT_EQ(doc.GetImageIndex("height_01"), 7);   // case counts
    EXPECT_EQ(doc.GetImageIndex("Topograph"), 7);   // "Topography" less three is "Topogra"
    EXPECT_EQ(doc.GetImageIndex("Topogra"), 3);
    EXPECT_EQ(doc.FindImage("Phase"), &doc.ImageList()[1]);
    EXPECT_EQ(doc.FindImage("Nothing"), nullptr);
}
