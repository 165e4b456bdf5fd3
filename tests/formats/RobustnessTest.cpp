// Malformed input: every truncated prefix of a file is refused or reads the same image, and
// random byte changes in headers never crash a reader. Longer sweeps with SPM_LONG_TESTS=1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"

namespace {

bool LongTests()
{
    const char* value = std::getenv("SPM_LONG_TESTS");
    return value != nullptr && std::string(value) == "1";
}

// Cuts the file to each length (all below its size when none are given), longest first
// (one system call each), reads it, and checks what was read: refused with a reason, or
// accepted as `accepted` allows. The whole file comes back afterwards.
void ForEachPrefix(ImageFormat format, const std::filesystem::path& path, int index, std::vector<std::size_t> lengths,
                   const std::function<void(std::size_t, const Loaded&)>& accepted)
{
    const Bytes whole = FileBytes(path);
    if (lengths.empty())
        for (std::size_t n = 0; n < whole.size(); ++n)
            lengths.push_back(n);
    std::sort(lengths.rbegin(), lengths.rend());
    for (std::size_t length : lengths) {
        if (length >= whole.size())
            continue;
        std::filesystem::resize_file(path, length);
        const Loaded cut = LoadImageFile(format, path, index);
        if (cut.ok)
            accepted(length, cut);
        else
            ASSERT_NE(cut.error, ImageFileError::kNone) << length;
    }
    WriteFile(path, whole);
}

// A prefix may only be accepted when the chosen image lies wholly inside it, as a real
// file's first image may: then it reads exactly what the whole file gives.
void ExpectPrefixesRefusedOrIdentical(ImageFormat format, const std::filesystem::path& path, int index,
                                      const std::vector<std::size_t>& lengths, bool mayReadPrefix)
{
    const Loaded whole = LoadImageFile(format, path, index);
    ASSERT_TRUE(whole.ok) << whole.error;
    ForEachPrefix(format, path, index, lengths, [&](std::size_t length, const Loaded& cut) {
        ASSERT_TRUE(mayReadPrefix) << "prefix of " << length << " bytes accepted";
        ASSERT_EQ(cut.image.m_pRaw, whole.image.m_pRaw) << length;
    });
}

// Lengths through a file: densely through the header (up to the first position), sparsely
// through the samples, and every length near each position.
std::vector<std::size_t> SampledLengths(std::size_t size, std::initializer_list<std::size_t> positions)
{
    const std::size_t headerStride = LongTests() ? 1 : 7;
    const std::size_t dataLengths = LongTests() ? 5000 : 300;
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n < *positions.begin(); n += headerStride)
        lengths.push_back(n);
    for (std::size_t n = *positions.begin(); n < size; n += size / dataLengths + 1)
        lengths.push_back(n);
    for (std::size_t p : positions)
        for (std::size_t n = p > 64 ? p - 64 : 0; n < p + 64; ++n)
            lengths.push_back(n);
    return lengths;
}

// Changes 1 to 8 bytes among the first `span` bytes of a copy of `bytes`, favouring values
// that mean something to the readers. What a reader accepts must have a size it may hold and
// planes that match it. Returns how many damaged files were accepted and how many refused.
std::pair<int, int> FuzzHeader(ImageFormat format, const std::filesystem::path& path, const Bytes& bytes,
                               std::size_t span, int rounds, std::uint32_t seed)
{
    static const std::uint8_t kTelling[] = {0, 0xFF, 0x80, 0x7F, '\t', '\n', '\r', ' ', '.', '-', '0', '9', '\\', '*', '"'};
    std::mt19937 random(seed);
    int accepted = 0, refused = 0;
    for (int round = 0; round < rounds && !testing::Test::HasFailure(); ++round) {
        Bytes damaged = bytes;
        for (int i = 0, changes = 1 + static_cast<int>(random() % 8); i < changes; ++i)
            damaged[random() % std::min(span, damaged.size())] =
                random() % 2 ? kTelling[random() % sizeof kTelling] : static_cast<std::uint8_t>(random());
        WriteFile(path, damaged);
        for (int index = 0; index < 2; ++index) {
            const Loaded loaded = LoadImageFile(format, path, index);
            if (!loaded.ok) {
                EXPECT_NE(loaded.error, ImageFileError::kNone);
                ++refused;
                continue;
            }
            ++accepted;
            const CSpmImage& image = loaded.image;
            EXPECT_TRUE(IsImageSide(image.m_nWidth) && IsImageSide(image.m_nHeight)) << image.m_nWidth << "x" << image.m_nHeight;
            EXPECT_EQ(image.m_pRaw.size(), static_cast<std::size_t>(image.m_nWidth) * image.m_nHeight);
            EXPECT_EQ(image.m_pData.size(), image.m_pRaw.size());
        }
    }
    return {accepted, refused};
}

class WrittenFiles : public testing::TestWithParam<WritableFormat> {};

}  // namespace

TEST_P(WrittenFiles, EveryTruncatedPrefixIsRefusedAndHeaderChangesNeverCrash)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    const WritableFormat f = GetParam();
    CSpmImage image = MakeImage(9, 7, [](int r, int c) { return (r - 3) * (c + 1) * 0.75; });
    ASSERT_EQ(SaveImageFile(f.format, dir / f.fileName, image), ImageFileError::kNone);
    ExpectPrefixesRefusedOrIdentical(f.format, dir / f.fileName, 0, {}, false);
    const std::size_t header = f.format == ImageFormat::kSpm ? 512 : f.format == ImageFormat::kMdt ? 505 : 400;
    const auto [accepted, refused] = FuzzHeader(f.format, dir / ("fuzz-" + std::string(f.fileName)),
                                                FileBytes(dir / f.fileName), header, LongTests() ? 20000 : 600, 20240601);
    // The damage reaches both what the readers must refuse and what they may pass over.
    EXPECT_GT(accepted, 10);
    EXPECT_GT(refused, 10);
}

INSTANTIATE_TEST_SUITE_P(AllWritable, WrittenFiles, testing::ValuesIn(kWritableFormats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OriginText, PrefixesAndChangedCharactersNeverCrash)
{
    ScratchDir dir;
    std::ostringstream text;
    text << "Y\t0.1\t0.2\t0.3\t0.4\t\r\n";
    for (int r = 1; r <= 6; ++r)
        text << r * 0.1 << "\t" << r * 1.5 << "\t-2.5E-01\t" << r << "\t3.25\t\r\n";
    WriteFile(dir / "o.dat", text.str());
    const Loaded full = LoadImageFile(ImageFormat::kOrigin, dir / "o.dat");
    ASSERT_TRUE(full.ok);
    // A text cut at a line end is a smaller valid table; anything accepted keeps the columns
    // and reads rows the whole file has.
    ForEachPrefix(ImageFormat::kOrigin, dir / "o.dat", 0, {}, [&](std::size_t length, const Loaded& cut) {
        ASSERT_EQ(cut.image.m_nWidth, 4) << length;
        ASSERT_LE(cut.image.m_nHeight, 6) << length;
        for (std::size_t i = 0; i < cut.image.m_pData.size(); ++i)
            ASSERT_EQ(cut.image.m_pData[i], full.image.m_pData[i]) << length;
    });
    const Bytes bytes = FileBytes(dir / "o.dat");
    FuzzHeader(ImageFormat::kOrigin, dir / "fuzz.dat", bytes, bytes.size(), LongTests() ? 20000 : 600, 7);
}

TEST(RealSampleFiles, TruncatedPrefixesAreRefusedOrReadTheSameImageAndHeaderChangesNeverCrash)
{
    SPM_REQUIRE_SAMPLES();
    ScratchDir dir;
    const struct {
        const char* name;
        ImageFormat format;
        std::initializer_list<std::size_t> positions;  // header end and sample block ends
    } files[] = {
        {"nanoscope-v432-height-amplitude.007", ImageFormat::kNanoscope, {20480, 151552, 282624}},
        {"nanoscope-v512-height-amplitude.000", ImageFormat::kNanoscope, {40960, 565248, 1089536}},
        {"mdt-spectra-and-scan-51x39.mdt", ImageFormat::kMdt, {33, 9081, 13531, 17041}},
    };
    for (const auto& file : files) {
        const auto copy = dir / file.name;
        std::filesystem::copy_file(SamplePath(file.name), copy);
        const std::size_t size = std::filesystem::file_size(copy);
        for (int index = 0; index < (file.format == ImageFormat::kMdt ? 1 : 2); ++index)
            ExpectPrefixesRefusedOrIdentical(file.format, copy, index, SampledLengths(size, file.positions), true);
    }
    const int rounds = LongTests() ? 3000 : 120;
    FuzzHeader(ImageFormat::kNanoscope, dir / "v432.007", FileBytes(SamplePath("nanoscope-v432-height-amplitude.007")),
               20480, rounds, 1);
    FuzzHeader(ImageFormat::kNanoscope, dir / "v515.001", FileBytes(SamplePath("nanoscope-v515-header-only.001")), 10685,
               rounds, 2);
    FuzzHeader(ImageFormat::kMdt, dir / "scan.mdt", FileBytes(SamplePath("mdt-spectra-and-scan-51x39.mdt")), 9600, rounds, 3);
}
