#include "TestPaths.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

fs::path SamplesDir()
{
    fs::path dir = SPM_SAMPLES_DIR;
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return {};
    return fs::canonical(dir, ec);
}

fs::path SamplePath(const std::string& name)
{
    fs::path dir = SamplesDir();
    return dir.empty() ? fs::path{} : dir / name;
}

ScratchDir::ScratchDir()
{
    static std::atomic<int> counter{0};
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info != nullptr ? std::string(info->test_suite_name()) + "." + info->name()
                                       : std::string("scratch");
    for (char& c : name)
        if (c == '/')
            c = '_';
    m_path = fs::temp_directory_path() /
             ("spm-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" + name);
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

std::vector<std::uint8_t> FileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, std::string_view text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void WriteFile(const fs::path& path, std::span<const std::uint8_t> bytes)
{
    WriteFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
