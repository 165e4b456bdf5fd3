// The profile-file layer: reads of hand-written files, and writes compared byte for byte
// with the files they must produce.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "platform/core/ProfileFile.h"
#include "support/TestPaths.h"

namespace fs = std::filesystem;

namespace {

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The text with every CR LF replaced by `lineEnd`.
std::string WithLineEnds(const std::string& text, const std::string& lineEnd)
{
    std::string result;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        result += text.substr(start, end - start);
        if (end == std::string::npos)
            break;
        result += lineEnd;
        start = end + 2;
    }
    return result;
}

// Loads `bytes` as a profile file in `dir`.
ProfileFile LoadText(const ScratchDir& dir, const std::string& bytes)
{
    WriteBytes(dir / "p.ini", bytes);
    return ProfileFile::Load((dir / "p.ini").string());
}

// Applies one write to a file holding `before` and returns the saved bytes.
std::string AfterWrite(const std::string& before, const std::string& section,
                       const std::string& key, const std::string& value)
{
    ScratchDir dir;
    ProfileFile profile = LoadText(dir, before);
    EXPECT_TRUE(profile.SetString(section, key, value));
    EXPECT_TRUE(profile.Save());
    return ReadBytes(dir / "p.ini");
}

const std::string kMixed =
    "; settings of the test\r\n"
    "[Intro]\r\n"
    "Ver=2.1\r\n"
    "\r\n"
    "  [ Light2D ]  \r\n"
    "  LightAngle =  230.00\t\r\n"
    "Name=\"quoted text\"\r\n"
    "Single='x'\r\n"
    "Mismatched=\"x'\r\n"
    "Lone=\"\r\n"
    ";Hidden=1\r\n"
    "Equals=a=b\r\n"
    "NoValue\r\n"
    "LightAngle=999\r\n"
    "[light2d]\r\n"
    "Second=2\r\n"
    "LightAngle=777\r\n";

} // namespace

TEST(ProfileFileRead, FindsKeysIgnoringCaseBlanksAndComments)
{
    ScratchDir dir;
    for (const std::string& lineEnd : {std::string("\r\n"), std::string("\n")}) {
        const ProfileFile profile = LoadText(dir, WithLineEnds(kMixed, lineEnd));
        SCOPED_TRACE(lineEnd.size() == 2 ? "CR LF" : "LF");
        EXPECT_EQ(profile.GetString("intro", "VER"), "2.1");
        EXPECT_EQ(profile.GetString("  Light2D\t", " lightangle "), "230.00");
        EXPECT_EQ(profile.GetString("Light2D", "Name"), "quoted text");
        EXPECT_EQ(profile.GetString("Light2D", "Single"), "x");
        EXPECT_EQ(profile.GetString("Light2D", "Mismatched"), "\"x'");
        EXPECT_EQ(profile.GetString("Light2D", "Lone"), "\"");
        EXPECT_EQ(profile.GetString("Light2D", "Hidden", "none"), "none");
        EXPECT_EQ(profile.GetString("Light2D", "Equals"), "a=b");
        EXPECT_EQ(profile.GetString("Light2D", "NoValue", "x"), "");
        // The first match wins, also over a later section of the same name, whose other
        // keys are still found.
        EXPECT_EQ(profile.GetString("LIGHT2D", "LightAngle"), "230.00");
        EXPECT_EQ(profile.GetString("Light2D", "Second"), "2");
    }
}

TEST(ProfileFileRead, MissingFileSectionOrKeyGivesTheDefaultWithoutTrailingBlanks)
{
    ScratchDir dir;
    const ProfileFile missing = ProfileFile::Load((dir / "none.ini").string());
    EXPECT_EQ(missing.LoadResult(), FileReadResult::Missing);
    const std::string blanks(21, ' ');
    EXPECT_EQ(missing.GetString("A", "b", blanks), "");
    EXPECT_EQ(missing.GetString("A", "b", "  keep  "), "  keep");

    const ProfileFile profile = LoadText(dir, "[A]\r\nb=1\r\n");
    EXPECT_EQ(profile.LoadResult(), FileReadResult::Read);
    EXPECT_EQ(profile.GetString("B", "b", blanks), "");
    EXPECT_EQ(profile.GetString("A", "c", "dflt "), "dflt");
    EXPECT_EQ(profile.GetString("A", "b", blanks), "1");
}

TEST(ProfileFileRead, CutsValuesAndDefaultsToTheBuffer)
{
    ScratchDir dir;
    const std::string longValue(300, 'v');
    const ProfileFile profile = LoadText(dir, "[A]\r\nlong=" + longValue + "\r\n");
    EXPECT_EQ(profile.GetString("A", "long"), std::string(254, 'v'));
    EXPECT_EQ(profile.GetString("A", "long", "", 10), std::string(9, 'v'));
    EXPECT_EQ(profile.GetString("A", "none", longValue), std::string(254, 'v'));
    EXPECT_EQ(profile.GetString("A", "long", "", 0), "");
}

TEST(ProfileFileRead, FolderIsUnreadable)
{
    ScratchDir dir;
    const ProfileFile profile = ProfileFile::Load(dir.path().string());
    EXPECT_EQ(profile.LoadResult(), FileReadResult::Unreadable);
    EXPECT_EQ(profile.GetString("A", "b", "d"), "d");
}

TEST(ProfileFileWrite, CreatesAMissingFile)
{
    ScratchDir dir;
    ProfileFile profile = ProfileFile::Load((dir / "new.cnf").string());
    ASSERT_TRUE(profile.SetString("Introduction", "Ver", "2.1"));
    ASSERT_TRUE(profile.SetString(" Light2D ", " LightAngle ", "230.00"));
    ASSERT_TRUE(profile.SetString("Introduction", "Other", "x"));
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(ReadBytes(dir / "new.cnf"),
              "[Introduction]\r\nVer=2.1\r\nOther=x\r\n[Light2D]\r\nLightAngle=230.00\r\n");
}

TEST(ProfileFileWrite, ReplacesInPlaceKeepingTheFilesSpellingAndOtherLines)
{
    EXPECT_EQ(AfterWrite("[A]\r\n  KEY = old ; not a comment\r\nz=1\r\n", "a", "key", "new"),
              "[A]\r\nKEY=new\r\nz=1\r\n");
    // Untouched lines keep their own line ends; the written line gets CR LF.
    EXPECT_EQ(AfterWrite("[A]\nx=1\ny=2\n", "A", "x", "9"), "[A]\nx=9\r\ny=2\n");
    // The key a read would find is the one replaced, also in a later duplicate section.
    EXPECT_EQ(AfterWrite("[A]\r\nx=1\r\n[B]\r\n[a]\r\ny=2\r\n", "A", "y", "3"),
              "[A]\r\nx=1\r\n[B]\r\n[a]\r\ny=3\r\n");
    EXPECT_EQ(AfterWrite("[A]\r\ny=1\r\n[a]\r\ny=2\r\n", "A", "Y", "3"),
              "[A]\r\ny=3\r\n[a]\r\ny=2\r\n");
}

TEST(ProfileFileWrite, AddsANewKeyAfterTheSectionsLastEntry)
{
    EXPECT_EQ(AfterWrite("[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\nq=1\r\n", "A", "y", "2"),
              "[A]\r\nx=1\r\ny=2\r\n\r\n; about B\r\n[B]\r\nq=1\r\n");
    EXPECT_EQ(AfterWrite("[A]\r\n\r\n[B]\r\n", "A", "y", "2"), "[A]\r\ny=2\r\n\r\n[B]\r\n");
    // Into the first section of that name, and after a last line without a line end.
    EXPECT_EQ(AfterWrite("[A]\nx=1\n[A]\nz=1", "A", "y", "2"), "[A]\nx=1\ny=2\r\n[A]\nz=1");
    EXPECT_EQ(AfterWrite("[A]\nx=1", "A", "y", "2"), "[A]\nx=1\r\ny=2\r\n");
}

TEST(ProfileFileWrite, AppendsANewSectionAtTheEnd)
{
    EXPECT_EQ(AfterWrite("[A]\nx=1\n\n", "B", "y", "2"), "[A]\nx=1\n\n[B]\r\ny=2\r\n");
    EXPECT_EQ(AfterWrite("; only a comment", "B", "y", "2"), "; only a comment\r\n[B]\r\ny=2\r\n");
}

TEST(ProfileFileWrite, KeepsKeysItDoesNotWrite)
{
    const std::string before =
        "[ColorCursor2D]\r\nNofCursor=4\r\nPosition[0]=0.00\r\nColor[0]=0,0,0\r\n"
        "Position[3]=1.00\r\nColor[3]=255,255,255\r\n";
    EXPECT_EQ(AfterWrite(before, "ColorCursor2D", "NofCursor", "1"),
              "[ColorCursor2D]\r\nNofCursor=1\r\nPosition[0]=0.00\r\nColor[0]=0,0,0\r\n"
              "Position[3]=1.00\r\nColor[3]=255,255,255\r\n");
}

TEST(ProfileFileWrite, RefusesTextsALineCannotHold)
{
    ScratchDir dir;
    ProfileFile profile = LoadText(dir, "[A]\r\nx=1\r\n");
    EXPECT_FALSE(profile.SetString("A", "x", "two\r\nlines"));
    EXPECT_FALSE(profile.SetString("A", "x", "line\nfeed"));
    EXPECT_FALSE(profile.SetString("A\n[B", "x", "1"));
    EXPECT_FALSE(profile.SetString("A]", "x", "1"));
    EXPECT_FALSE(profile.SetString("A", "x=y", "1"));
    EXPECT_FALSE(profile.SetString("A", "  ", "1"));
    EXPECT_FALSE(profile.SetString("", "x", "1"));
    EXPECT_FALSE(profile.SetString("A", ";x", "1"));
    EXPECT_FALSE(profile.SetString("A", "[x", "1"));
    EXPECT_EQ(profile.Text(), "[A]\r\nx=1\r\n");
}

TEST(ProfileFileWrite, FailuresAreReportedAndLoseNothing)
{
    ScratchDir dir;
    ProfileFile intoMissingFolder = ProfileFile::Load((dir / "no" / "p.cnf").string());
    ASSERT_TRUE(intoMissingFolder.SetString("A", "x", "1"));
    EXPECT_FALSE(intoMissingFolder.Save());
    EXPECT_FALSE(fs::exists(dir / "no"));

    // A profile that could not be read is never saved over the file it failed to read.
    fs::create_directory(dir / "folder.cnf");
    ProfileFile unreadable = ProfileFile::Load((dir / "folder.cnf").string());
    ASSERT_TRUE(unreadable.SetString("A", "x", "1"));
    EXPECT_FALSE(unreadable.Save());
    EXPECT_TRUE(fs::is_directory(dir / "folder.cnf"));
}

TEST(ProfileFileWrite, SavesThroughARenameThatKeepsPermissionsAndLinks)
{
    ScratchDir dir;
    const fs::path target = dir / "real.cnf";
    WriteBytes(target, "[A]\r\nx=1\r\n");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    fs::create_symlink(target, dir / "link.cnf");

    ProfileFile profile = ProfileFile::Load((dir / "link.cnf").string());
    ASSERT_TRUE(profile.SetString("A", "x", "2"));
    ASSERT_TRUE(profile.Save());

    EXPECT_TRUE(fs::is_symlink(dir / "link.cnf"));
    EXPECT_EQ(ReadBytes(target), "[A]\r\nx=2\r\n");
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 2) << "no temporary file may stay behind";
}
