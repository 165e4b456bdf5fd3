// How the document names its images and finds them again by name.
#include "DocumentFixture.h"

TEST_F(DocumentTest, ImagesAreNamedByQuantityAndTwoDigitCounter)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm", "Height Forward scan")));  // cut at its first blank
    ASSERT_TRUE(doc.AddImage(Spm("b.spm", " Lead"), 0));                    // a blank in front cuts nothing
    // A failed add leaves the counter for the next image.
    EXPECT_FALSE(doc.AddImage(Spm("broken.spm", TestHeader(2000, 3)), 0));
    EXPECT_FALSE(doc.AddImage((dir / "missing.spm").string(), 0));
    EXPECT_FALSE(doc.AddImage(Spm("unknown.xyz"), 0));
    EXPECT_EQ(doc.m_nImageCounter, 2);
    ASSERT_TRUE(doc.AddImage(Spm("c.spm", "Phase"), 0));
    doc.m_nImageCounter = 98;
    ASSERT_TRUE(doc.AddImage(Spm("d.spm"), 0));
    ASSERT_TRUE(doc.AddImage(Spm("e.spm"), 0));
    EXPECT_EQ(ImageNames(doc), (Texts{"Height_01", " Lead_02", "Phase_03", "Height_99", "Height_100"}));
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
    const std::pair<const char*, int> cases[] = {
        {"Height_03", 2},
        {"Height", 0},      // the first whose number is cut off
        {"Phase", 1},
        {"Topography", 3},  // an exact name wins over an earlier cut one
        {"ab", 5},
        {"Height_0", 7},    // only whole three-character numbers are cut
        {"height_01", 7},   // case counts
        {"Topograph", 7},   // "Topography" less three is "Topogra"
        {"Topogra", 3},
    };
    for (const auto& [name, index] : cases)
        EXPECT_EQ(doc.GetImageIndex(name), index) << name;
    EXPECT_EQ(doc.FindImage("Phase"), &doc.ImageList()[1]);
    EXPECT_EQ(doc.FindImage("Nothing"), nullptr);
}
