// Which reader a path's extension chooses, and which extensions choose none.
#include "DocumentFixture.h"

#include <filesystem>

namespace fs = std::filesystem;

class FormatChoiceTest : public DocumentTest {
protected:
    // The same small image in the format a writer gives the name.
    std::string Written(const std::string& name)
    {
        const std::string path = (dir / name).string();
        CImageFile file;
        CSpmImage image = TestImage(5, 4);
        const std::string extension = ExtensionOf(name);
        const bool ok = extension == ".mdt" ? file.WriteMdt(path, image)
                        : IsNanoscopeSeriesExtension(extension) ? file.WriteNanoscope(path, image)
                                                                : file.WriteSpm(path, image);
        EXPECT_TRUE(ok) << name;
        return path;
    }
};

TEST_F(FormatChoiceTest, SeriesNumbersOpenAsNanoscope)
{
    for (const char* name : {"scan.000", "scan.007", "scan.999"}) {
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(Written(name))) << name;
        EXPECT_EQ(HeaderText(doc.ImageList()[0].m_pImage->m_header.m_szVersion), "from Nanoscope");
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(FormatChoiceTest, EveryListedFormOfEachExtensionOpens)
{
    const std::string spm = Written("a.spm");
    fs::copy_file(spm, dir / "b.SPM");
    const std::string mdt = Written("c.mdt");
    fs::copy_file(mdt, dir / "d.MDT");
    Origin("e.dat");
    Origin("f.DAT");
    for (const char* name : {"a.spm", "b.SPM", "c.mdt", "d.MDT", "e.dat", "f.DAT"}) {
        CMDIDoc doc;
        EXPECT_TRUE(doc.OnOpenDocument((dir / name).string())) << name;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(FormatChoiceTest, OtherExtensionsOpenNothingAndSayNothing)
{
    const std::string spm = Written("a.spm");
    for (const char* name : {"scan.7", "scan.0007", "scan.SPm", "scan.Spm", "scan.mDt", "scan.Dat",
                             "scan.00a", "scan", "scan.", "scan.spm.bak"}) {
        fs::copy_file(spm, dir / name);
        CMDIDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument((dir / name).string())) << name;
        EXPECT_TRUE(doc.ImageList().empty()) << name;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(FormatChoiceTest, OnlyTheLastPointOfThePathCounts)
{
    fs::create_directories(dir / "run.v2");
    const std::string path = (dir / "run.v2" / "a.spm").string();
    fs::copy_file(Written("x.spm"), path);
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    const std::string name = doc.ImageList()[0].m_pImage->m_strName;
    ASSERT_TRUE(doc.OnSaveDocument((dir / "run.v2" / "b.spm").string(), name));
    EXPECT_TRUE(fs::exists(dir / "run.v2" / "b.spm"));

    // A file name without a point in a folder with one is no image file.
    fs::create_directories(dir / "run.spm");
    fs::copy_file(path, dir / "run.spm" / "scan");
    CMDIDoc none;
    EXPECT_FALSE(none.OnOpenDocument((dir / "run.spm" / "scan").string()));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(FormatChoiceTest, FileThatCannotBeOpenedIsReportedByTheOpenCheck)
{
    CMDIDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument((dir / "missing.spm").string()));
    EXPECT_FALSE(doc.OnOpenDocument((dir / "missing.xyz").string()));
    EXPECT_EQ(prompt.messages, (Texts{"Failed to open document.", "Failed to open document."}));
    EXPECT_TRUE(doc.ImageList().empty());
    EXPECT_EQ(doc.m_pCurImage, nullptr);
}
