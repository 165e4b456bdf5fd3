// All-or-nothing writes: names up to the file system's limit, and failures that leave the
// target and the folder as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

#include "platform/core/AtomicFile.h"
#include "support/TestPaths.h"

namespace fs = std::filesystem;

namespace {

// A file name of exactly `bytes` bytes.
std::string NameOfLength(std::size_t bytes)
{
    return std::string(bytes - 4, 'n') + ".spm";
}

// Every entry of the folder by name.
std::vector<std::string> Entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(AtomicFile, NamesUpToTheLimitAreCreatedAndReplacedWithoutATemporaryFileLeft)
{
    for (const std::size_t length : {5u, 200u, 250u, 255u}) {
        SCOPED_TRACE(length);
        ScratchDir dir;
        const fs::path target = dir / NameOfLength(length);
        ASSERT_TRUE(WriteFileAtomically(target.string(), "first"));
        EXPECT_EQ(FileText(target), "first");
        ASSERT_TRUE(WriteFileAtomically(target.string(), "second"));
        EXPECT_EQ(FileText(target), "second");
        EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{target.filename().string()});
    }
}

TEST(AtomicFile, AFailedWriteLeavesTheTargetAndNoTemporaryFile)
{
    struct Case {
        const char* what;
        std::string name;
        bool folderInTheWay;   // a folder of that name, holding one file, stands as the target
    };
    const std::vector<Case> cases{
        {"a folder where the file would go", NameOfLength(255), true},
        {"a name beyond the limit", NameOfLength(256), false},
        {"a missing folder", "no/p.spm", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        const fs::path target = dir / c.name;
        if (c.folderInTheWay) {
            fs::create_directory(target);
            WriteFile(target / "kept", "kept");
        }
        const std::vector<std::string> before = Entries(dir.path());
        EXPECT_FALSE(WriteFileAtomically(target.string(), "new"));
        EXPECT_EQ(Entries(dir.path()), before);
        if (c.folderInTheWay) {
            EXPECT_EQ(FileText(target / "kept"), "kept");
        }
    }

    // A writer dropped before its commit.
    ScratchDir dir;
    const fs::path target = dir / NameOfLength(255);
    WriteFile(target, "old");
    {
        AtomicFileWriter writer(target.string());
        ASSERT_TRUE(writer.IsOpen());
        ASSERT_TRUE(writer.Write(std::string_view("new")));
    }
    EXPECT_EQ(FileText(target), "old");
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{target.filename().string()});
}

// Files of other writers under the names this process would try for its temporary file:
// none of them is replaced or removed, even when they take every name it tries.
TEST(AtomicFile, FilesUnderTheTemporaryNamesAreLeftAlone)
{
    ScratchDir dir;
    const fs::path target = dir / "p.spm";
    WriteFile(target, "old");
    // More names than this test program's writes before this point use up.
    std::vector<fs::path> others;
    for (int n = 0; n < 1000; ++n) {
        others.push_back(dir / (".~" + std::to_string(getpid()) + "." + std::to_string(n)));
        WriteFile(others.back(), "other");
    }
    const bool written = WriteFileAtomically(target.string(), "new");
    EXPECT_EQ(FileText(target), written ? "new" : "old");
    for (const fs::path& other : others)
        ASSERT_EQ(FileText(other), "other") << other.filename();
}
