// Which reader a path's extension chooses, and which extensions choose none.
#include "DocumentFixture.h"

namespace fs = std::filesystem;

TEST_F(DocumentTest, EveryListedFormOfEachExtensionOpensAndNoOtherDoes)
{
    const std::string spm = Written("a.spm");
    fs::copy_file(spm, dir / "b.SPM");
    fs::copy_file(Written("c.mdt"), dir / "d.MDT");
    Origin("e.dat");
    Origin("f.DAT");
    for (const char* name : {"scan.000", "scan.007", "scan.999"})
        Written(name);
    // The reader chosen names itself in the version text.
    const std::pair<const char*, const char*> opened[] = {
        {"a.spm", ""}, {"b.SPM", ""}, {"c.mdt", "Orbitrace, convert from NT-MDT"},
        {"d.MDT", "Orbitrace, convert from NT-MDT"}, {"e.dat", "Orbitrace, convert from ORIGIN"},
        {"f.DAT", "Orbitrace, convert from ORIGIN"}, {"scan.000", "from Nanoscope"}, {"scan.007", "from Nanoscope"},
        {"scan.999", "from Nanoscope"},
    };
    for (const auto& [name, version] : opened) {
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument((dir / name).string())) << name;
        EXPECT_EQ(HeaderText(doc.ImageList()[0].m_pImage->m_header.m_szVersion), version) << name;
    }
    for (const char* name : {"scan.7", "scan.0007", "scan.SPm", "scan.Spm", "scan.mDt", "scan.Dat", "scan.00a",
                             "scan", "scan.", "scan.spm.bak"}) {
        fs::copy_file(spm, dir / name);
        CMDIDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument((dir / name).string())) << name;
        EXPECT_TRUE(doc.ImageList().empty()) << name;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, OnlyTheLastPointOfThePathCounts)
{
    fs::create_directories(dir / "run.v2");
    const std::string path = (dir / "run.v2" / "a.spm").string();
    fs::copy_file(Written("x.spm"), path);
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_TRUE(doc.OnSaveDocument((dir / "run.v2" / "b.spm").string(), "Height_01"));
    EXPECT_TRUE(fs::exists(dir / "run.v2" / "b.spm"));

    // A file name without a point in a folder with one is no image file.
    fs::create_directories(dir / "run.spm");
    fs::copy_file(path, dir / "run.spm" / "scan");
    EXPECT_FALSE(CMDIDoc().OnOpenDocument((dir / "run.spm" / "scan").string()));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, FileThatCannotBeOpenedIsReportedByTheOpenCheck)
{
    CMDIDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument((dir / "missing.spm").string()));
    EXPECT_FALSE(doc.OnOpenDocument((dir / "missing.xyz").string()));
    EXPECT_EQ(prompt.messages, (Texts{"Failed to open document.", "Failed to open document."}));
    EXPECT_TRUE(doc.ImageList().empty());
    EXPECT_EQ(doc.m_pCurImage, nullptr);
}
