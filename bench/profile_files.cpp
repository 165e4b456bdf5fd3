// Profile files (*.cnf and the like) of 1 KB, 100 KB and 3 MB: loading one and reading
// every key, and loading one, setting every key (half of them new) and producing its text.
// The time per kilobyte printed at the end stays about the same across sizes when reading
// and writing are linear in the file's size.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

#include "CollectingReporter.h"
#include "platform/core/ProfileFile.h"

namespace {

constexpr int kKeysPerSection = 16;
constexpr std::size_t kSizes[] = {1024, 100 * 1024, 3 * 1024 * 1024};

struct Key {
    std::string section;
    std::string key;
};

// Sections of 16 numbered keys, named like a document's image records, until `bytes`.
struct ProfileText {
    std::string path;
    std::vector<Key> keys;
    std::size_t bytes = 0;
};

ProfileText WriteProfile(std::size_t bytes)
{
    ProfileText made;
    made.path = (std::filesystem::temp_directory_path() /
                 ("bench-profile-" + std::to_string(getpid()) + "-" + std::to_string(bytes) + ".cnf"))
                    .string();
    std::string text;
    for (int s = 0; text.size() < bytes; ++s) {
        const std::string section = "Height_" + std::to_string(s) + "_Presentation2D";
        text.append("[").append(section).append("]\r\n");
        for (int k = 0; k < kKeysPerSection && text.size() < bytes; ++k) {
            made.keys.push_back({section, "Key" + std::to_string(k)});
            text += made.keys.back().key + "=" + std::to_string(s * 0.5 + k) + "\r\n";
        }
    }
    std::ofstream(made.path, std::ios::binary) << text;
    made.bytes = text.size();
    return made;
}

void ReadEveryKey(benchmark::State& state, const ProfileText& file)
{
    for (auto _ : state) {
        const ProfileFile profile = ProfileFile::Load(file.path);
        std::size_t length = 0;
        for (const Key& key : file.keys)
            length += profile.GetString(key.section, key.key).size();
        benchmark::DoNotOptimize(length);
    }
}

void WriteEveryKey(benchmark::State& state, const ProfileText& file)
{
    for (auto _ : state) {
        ProfileFile profile = ProfileFile::Load(file.path);
        for (const Key& key : file.keys) {
            profile.SetString(key.section, key.key, "1.25");
            profile.SetString(key.section, key.key + "New", "2.50");
        }
        benchmark::DoNotOptimize(profile.Text().size());
    }
}

std::string SizeText(std::size_t bytes)
{
    return std::to_string(bytes / 1024) + "KB";
}

std::string Name(const char* what, std::size_t bytes)
{
    return std::string(what).append("/").append(SizeText(bytes));
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<ProfileText> files;
    for (std::size_t bytes : kSizes)
        files.push_back(WriteProfile(bytes));
    for (const ProfileText& file : files) {
        benchmark::RegisterBenchmark(Name("read", file.bytes).c_str(),
                                     [&file](benchmark::State& s) { ReadEveryKey(s, file); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(Name("write", file.bytes).c_str(),
                                     [&file](benchmark::State& s) { WriteEveryKey(s, file); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter(CollectingReporter::Keep::SingleRun);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-8s %10s %14s %14s\n", "size", "keys", "read ms/MB", "write ms/MB");
    for (const ProfileText& file : files) {
        const double megabytes = static_cast<double>(file.bytes) / (1024.0 * 1024.0);
        std::printf("%-8s %10zu %14.1f %14.1f\n", SizeText(file.bytes).c_str(), file.keys.size(),
                    reporter.times[Name("read", file.bytes)] / megabytes,
                    reporter.times[Name("write", file.bytes)] / megabytes);
        std::filesystem::remove(file.path);
    }
    benchmark::Shutdown();
    return 0;
}
