// Where tests find the real instrument files and a scratch folder of their own, and whole
// files as bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The folder of real instrument files, or an empty path when it is not there.
std::filesystem::path SamplesDir();
// A real sample by file name; empty when the samples folder is absent.
std::filesystem::path SamplePath(const std::string& name);

// Skips the current test with a message when the real samples are not available.
#define SPM_REQUIRE_SAMPLES()                                                        \
    do {                                                                             \
        if (SamplesDir().empty())                                                    \
            GTEST_SKIP() << "real instrument samples not found beside the project "  \
                            "(../shared/samples); skipping";                        \
    } while (0)

// A fresh empty folder for one test, removed when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Every byte of a file; empty when it cannot be read.
std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path);
inline std::string FileText(const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> bytes = FileBytes(path);
    return {bytes.begin(), bytes.end()};
}
// Makes the file hold exactly these bytes.
void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
void WriteFile(const std::filesystem::path& path, std::string_view text);
