// Profile files: reads of hand-written files, writes compared byte for byte.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <filesystem>
#include <sys/stat.h>

#include "platform/core/ProfileFile.h"
#include "support/TestPaths.h"

namespace fs = std::filesystem;

namespace {

ProfileFile LoadText(const ScratchDir& dir, const std::string& bytes)
{
    WriteFile(dir / "p.ini", bytes);
    return ProfileFile::Load((dir / "p.ini").string());
}

} // namespace

TEST(ProfileFileRead, FindsKeysIgnoringCaseBlanksAndComments)
{
    const std::string lf = "; settings of the test\n[Intro]\nVer=2.1\n\n  [ Light2D ]  \n"
                           "  LightAngle =  230.00\t\nName=\"quoted text\"\nSingle='x'\n"
                           "Mismatched=\"x'\nLone=\"\n;Hidden=1\nEquals=a=b\nNoValue\n"
                           "LightAngle=999\n[light2d]\nSecond=2\nLightAngle=777\n";
    std::string crlf;
    std::string cr;
    for (const char c : lf) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    ScratchDir dir;
    for (const std::string& text : {lf, crlf, cr}) {
        const ProfileFile profile = LoadText(dir, text);
        SCOPED_TRACE(text == lf ? "LF" : text == cr ? "CR" : "CR LF");
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

TEST(ProfileFileRead, MissingOrUnreadableFileSectionOrKeyGivesTheDefaultWithoutTrailingBlanks)
{
    ScratchDir dir;
    const std::string blanks(21, ' ');
    const ProfileFile missing = ProfileFile::Load((dir / "none.ini").string());
    EXPECT_EQ(missing.LoadResult(), FileReadResult::Missing);
    EXPECT_EQ(missing.GetString("A", "b", blanks), "");
    EXPECT_EQ(missing.GetString("A", "b", "  keep  "), "  keep");
    const ProfileFile folder = ProfileFile::Load(dir.path().string());
    EXPECT_EQ(folder.LoadResult(), FileReadResult::Unreadable);
    EXPECT_EQ(folder.GetString("A", "b", "d"), "d");

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

TEST(ProfileFileWrite, CreatesAMissingFile)
{
    ScratchDir dir;
    ProfileFile profile = ProfileFile::Load((dir / "new.cnf").string());
    ASSERT_TRUE(profile.SetString("Introduction", "Ver", "2.1"));
    ASSERT_TRUE(profile.SetString(" Light2D ", " LightAngle ", "230.00"));
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(FileText(dir / "new.cnf"), "[Introduction]\r\nVer=2.1\r\n[Light2D]\r\nLightAngle=230.00\r\n");
}

TEST(ProfileFileWrite, ReplacesInPlaceAddsAfterTheLastEntryAndAppendsNewSections)
{
    struct Case {
        const char* before;
        const char* section;
        const char* key;
        const char* after;  // the file after writing the value "new"
    };
    const Case cases[] = {
        // In place, with the file's spelling of the key; every other line byte for byte and
        // with its own line end, the written line with CR LF.
        {"[A]\r\n  KEY = old ; not a comment\r\nz=1\r\n", "a", "key", "[A]\r\nKEY=new\r\nz=1\r\n"},
        {"[A]\nx=1\ny=2\n", "A", "x", "[A]\nx=new\r\ny=2\n"},
        // The key a read would find is the one replaced, also in a later duplicate section.
        {"[A]\r\nx=1\r\n[B]\r\n[a]\r\ny=2\r\n", "A", "y", "[A]\r\nx=1\r\n[B]\r\n[a]\r\ny=new\r\n"},
        {"[A]\r\ny=1\r\n[a]\r\ny=2\r\n", "A", "Y", "[A]\r\ny=new\r\n[a]\r\ny=2\r\n"},
        // A new key after the last entry of the first section of that name, also after a last
        // line without a line end.
        {"[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\nq=1\r\n", "A", "y",
         "[A]\r\nx=1\r\ny=new\r\n\r\n; about B\r\n[B]\r\nq=1\r\n"},
        {"[A]\r\n\r\n[B]\r\n", "A", "y", "[A]\r\ny=new\r\n\r\n[B]\r\n"},
        {"[A]\nx=1\n[A]\nz=1", "A", "y", "[A]\nx=1\ny=new\r\n[A]\nz=1"},
        {"[A]\nx=1", "A", "y", "[A]\nx=1\r\ny=new\r\n"},
        // A new section at the end.
        {"[A]\nx=1\n\n", "B", "y", "[A]\nx=1\n\n[B]\r\ny=new\r\n"},
        {"; only a comment", "B", "y", "; only a comment\r\n[B]\r\ny=new\r\n"},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        ProfileFile profile = LoadText(dir, c.before);
        EXPECT_TRUE(profile.SetString(c.section, c.key, "new"));
        EXPECT_TRUE(profile.Save());
        EXPECT_EQ(FileText(dir / "p.ini"), c.after) << c.before;
    }
    // Several writes to one profile: each reads back at once, new keys of a section keep
    // their order, and an added section takes its own keys.
    ProfileFile profile = LoadText(dir, "[A]\nx=1\n[B]\n");
    for (const char* key : {"A:y", "C:v", "A:z", "B:w", "c:V", "A:x", "C:u"})
        ASSERT_TRUE(profile.SetString(std::string(key, 1), key + 2, key));
    for (const char* key : {"A:y", "c:V", "A:z", "B:w", "A:x", "C:u"})
        EXPECT_EQ(profile.GetString(std::string(key, 1), key + 2), key);
    EXPECT_EQ(profile.Text(), "[A]\nx=A:x\r\ny=A:y\r\nz=A:z\r\n[B]\nw=B:w\r\n[C]\r\nv=c:V\r\nu=C:u\r\n");
}

TEST(ProfileFileWrite, RefusesTextsALineCannotHold)
{
    ScratchDir dir;
    ProfileFile profile = LoadText(dir, "[A]\r\nx=1\r\n");
    const std::array<const char*, 3> refused[] = {
        {"A", "x", "two\r\nlines"}, {"A", "x", "line\nfeed"}, {"A\n[B", "x", "1"},
        {"A]", "x", "1"},           {"A", "x=y", "1"},         {"A", "  ", "1"},
        {"", "x", "1"},             {"A", ";x", "1"},          {"A", "[x", "1"},
    };
    for (const auto& [section, key, value] : refused)
        EXPECT_FALSE(profile.SetString(section, key, value)) << section << "/" << key << "=" << value;
    EXPECT_EQ(profile.Text(), "[A]\r\nx=1\r\n");
}

TEST(ProfileFileWrite, FailuresAreReportedAndLoseNothing)
{
    ScratchDir dir;
    ProfileFile intoMissingFolder = ProfileFile::Load((dir / "no" / "p.cnf").string());
    ASSERT_TRUE(intoMissingFolder.SetString("A", "x", "1"));
    EXPECT_FALSE(intoMissingFolder.Save());
    EXPECT_FALSE(fs::exists(dir / "no"));

    // A profile that could not be read is never saved over the file it failed to read, even
    // where a rename could replace it.
    ASSERT_EQ(mkfifo((dir / "fifo.cnf").c_str(), 0644), 0);
    ProfileFile unreadable = ProfileFile::Load((dir / "fifo.cnf").string());
    EXPECT_EQ(unreadable.LoadResult(), FileReadResult::Unreadable);
    ASSERT_TRUE(unreadable.SetString("A", "x", "1"));
    EXPECT_FALSE(unreadable.Save());
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.cnf"));
}

TEST(ProfileFileWrite, SavesThroughARenameThatKeepsPermissionsAndLinks)
{
    ScratchDir dir;
    const fs::path target = dir / "real.cnf";
    WriteFile(target, "[A]\r\nx=1\r\n");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    fs::create_symlink(target, dir / "link.cnf");

    ProfileFile profile = ProfileFile::Load((dir / "link.cnf").string());
    ASSERT_TRUE(profile.SetString("A", "x", "2"));
    ASSERT_TRUE(profile.Save());

    EXPECT_TRUE(fs::is_symlink(dir / "link.cnf"));
    EXPECT_EQ(FileText(target), "[A]\r\nx=2\r\n");
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 2) << "no temporary file may stay behind";
}

// A lone CR, as another editor or a damaged file leaves it, ends a line like the other line
// ends: whatever is read can be written again, and the file's other bytes stay as they were.
TEST(ProfileFileRead, ALoneCarriageReturnEndsALineSoThatEveryValueReadCanBeWrittenBack)
{
    ScratchDir dir;
    const std::string text = "[A]\r\nName=Height_01\rX\r\nb=1\r\r\n[B]\rc=2";
    ProfileFile profile = LoadText(dir, text);
    EXPECT_EQ(profile.GetString("A", "Name"), "Height_01");
    EXPECT_EQ(profile.GetString("A", "X", "none"), "");
    EXPECT_EQ(profile.GetString("A", "b"), "1");
    EXPECT_EQ(profile.GetString("B", "c"), "2");
    EXPECT_EQ(profile.Text(), text);
    for (const auto& [section, key] : {std::pair{"A", "Name"}, {"A", "b"}, {"B", "c"}})
        EXPECT_TRUE(profile.SetString(section, key, profile.GetString(section, key))) << key;
    EXPECT_EQ(profile.Text(), "[A]\r\nName=Height_01\r\nX\r\nb=1\r\n\r\n[B]\rc=2\r\n");
}

// What a profile line cannot hold is refused with the reason, and nothing changes.
TEST(ProfileFileWrite, TextsALineCannotHoldAreRefusedWithTheirReason)
{
    using Why = std::optional<std::string>;
    const struct {
        std::string section, key, value;
        Why why;
    } cases[] = {
        {"A", "k", "v", std::nullopt},
        {" A ", " k ", " v w ", std::nullopt},
        {"A\rB", "k", "v", "a section name cannot hold a line break"},
        {"A]", "k", "v", "a section name cannot hold \"]\""},
        {" \t", "k", "v", "a section name cannot be empty"},
        {"A", "k\n", "v", "a key cannot hold a line break"},
        {"A", "", "v", "a key cannot be empty"},
        {"A", "k=1", "v", "a key cannot hold \"=\""},
        {"A", " ;k", "v", "a key cannot begin with \";\" or \"[\""},
        {"A", "[k", "v", "a key cannot begin with \";\" or \"[\""},
        {"A", "k", "v\rw", "a value cannot hold a line break"},
        {"A", "k", "v\n", "a value cannot hold a line break"},
    };
    for (const auto& c : cases) {
        const Why why = ProfileFile::WhyNotSection(c.section) ? ProfileFile::WhyNotSection(c.section)
                        : ProfileFile::WhyNotKey(c.key)       ? ProfileFile::WhyNotKey(c.key)
                                                              : ProfileFile::WhyNotValue(c.value);
        EXPECT_EQ(why, c.why) << c.section << "/" << c.key << "/" << c.value;
        ProfileFile profile = ProfileFile::Load({});
        EXPECT_EQ(profile.SetString(c.section, c.key, c.value), !c.why.has_value()) << c.key;
        EXPECT_EQ(profile.Text().empty(), c.why.has_value()) << c.key;
    }
}
