// Malformed input: every truncated prefix of a file is refused or reads the same image, and
// random byte changes in headers never crash a reader. Longer sweeps with SPM_LONG_TESTS=1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"
#include "support/TestPaths.h"

namespace {

bool LongTests()
{
    const char* value = std::getenv("SPM_LONG_TESTS");
    return value != nullptr && std::string(value) == "1";
}

// A prefix either fails with a reason or, when the chosen image lies wholly inside it,
// reads exactly what the whole file gives.
void ExpectPrefixesRefusedOrIdentical(Format format, const std::filesystem::path& path, int index,
                                      const std::vector<std::size_t>& lengths, bool mayReadPrefix)
{
    const Loaded whole = LoadImageFile(format, path, index);
    ASSERT_TRUE(whole.ok) << whole.error;
    int accepted = 0;
    ForEachPrefix(path, lengths, [&](std::size_t length) {
        const Loaded cut = LoadImageFile(format, path, index);
        if (!cut.ok) {
            ASSERT_NE(cut.error, ImageFileError::kNone) << length;
            return;
        }
        ++accepted;
        ASSERT_TRUE(mayReadPrefix) << "prefix of " << length << " bytes accepted";
        ASSERT_EQ(cut.image.m_pRaw, whole.image.m_pRaw) << length;
    });
    if (!mayReadPrefix) {
        EXPECT_EQ(accepted, 0);
    }
}

// Lengths through a file: densely through the header (up to the first position), sparsely
// through the samples, and every length near each position.
std::vector<std::size_t> SampledLengths(std::size_t size, std::initializer_list<std::size_t> positions)
{
    const std::size_t headerStride = LongTests() ? 1 : 7;
    const std::size_t dataLengths = LongTests() ? 5000 : 300;
    const std::size_t headerEnd = *positions.begin();
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n < headerEnd; n += headerStride)
        lengths.push_back(n);
    for (std::size_t n = headerEnd; n < size; n += size / dataLengths + 1)
        lengths.push_back(n);
    for (std::size_t p : positions)
        for (std::size_t n = p > 64 ? p - 64 : 0; n < p + 64 && n < size; ++n)
            lengths.push_back(n);
    return lengths;
}

CSpmImage Small()
{
    return MakeImage(9, 7, [](int r, int c) { return (r - 3) * (c + 1) * 0.75; });
}

// Checks what a reader accepted after its input was damaged: a size it may hold and planes
// that match it. True when it accepted.
bool ExpectSaneIfAccepted(const Loaded& loaded)
{
    if (!loaded.ok) {
        EXPECT_NE(loaded.error, ImageFileError::kNone);
        return false;
    }
    const CSpmImage& image = loaded.image;
    EXPECT_GE(image.m_nWidth, 1);
    EXPECT_LE(image.m_nWidth, 1024);
    EXPECT_GE(image.m_nHeight, 1);
    EXPECT_LE(image.m_nHeight, 1024);
    EXPECT_EQ(image.m_pRaw.size(), static_cast<std::size_t>(image.m_nWidth) * image.m_nHeight);
    EXPECT_EQ(image.m_pData.size(), image.m_pRaw.size());
    return true;
}

// Changes 1 to 8 bytes among the first `span` bytes of a copy of `bytes`, favouring values
// that mean something to the readers: digits, signs, points, blanks, tabs, line ends.
// Returns how many damaged files were accepted and how many refused.
std::pair<int, int> FuzzHeader(Format format, const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                std::size_t span, int rounds, std::uint32_t seed)
{
    static const std::uint8_t kTelling[] = {0, 0xFF, 0x80, 0x7F, '\t', '\n', '\r', ' ', '.', '-', '0', '9', '\\', '*', '"'};
    std::mt19937 random(seed);
    int accepted = 0;
    int refused = 0;
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::uint8_t> damaged = bytes;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i) {
            const std::size_t at = random() % std::min(span, damaged.size());
            damaged[at] = random() % 2 ? kTelling[random() % sizeof kTelling] : static_cast<std::uint8_t>(random());
        }
        WriteBytes(path, damaged);
        for (int index = 0; index < 2; ++index)
            ++(ExpectSaneIfAccepted(LoadImageFile(format, path, index)) ? accepted : refused);
        if (testing::Test::HasFailure())
            break;
    }
    return {accepted, refused};
}

class WrittenFiles : public testing::TestWithParam<WritableFormat> {};

}  // namespace

TEST_P(WrittenFiles, EveryTruncatedPrefixIsRefused)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    const WritableFormat f = GetParam();
    CSpmImage image = Small();
    ASSERT_TRUE(SaveImageFile(f.format, dir / f.fileName, image));
    const std::size_t size = ReadBytes(dir / f.fileName).size();
    ExpectPrefixesRefusedOrIdentical(f.format, dir / f.fileName, 0, AllLengths(size), false);
}

TEST_P(WrittenFiles, ByteChangesInTheHeaderNeverCrash)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    const WritableFormat f = GetParam();
    CSpmImage image = Small();
    ASSERT_TRUE(SaveImageFile(f.format, dir / f.fileName, image));
    const auto bytes = ReadBytes(dir / f.fileName);
    const std::size_t header = f.format == Format::kSpm ? 512 : f.format == Format::kMdt ? 505 : 400;
    const auto [accepted, refused] =
        FuzzHeader(f.format, dir / ("fuzz-" + std::string(f.fileName)), bytes, header, LongTests() ? 20000 : 600, 20240601);
    // The damage reaches both what the readers must refuse and what they may pass over.
    EXPECT_GT(accepted, 10);
    EXPECT_GT(refused, 10);
}

INSTANTIATE_TEST_SUITE_P(AllWritable, WrittenFiles, testing::ValuesIn(kWritableFormats),
                         [](const auto& info) { return FormatName(info.param.format); });

TEST(OriginText, PrefixesAndChangedCharactersNeverCrash)
{
    ScratchDir dir;
    std::ostringstream text;
    text << "Y\t0.1\t0.2\t0.3\t0.4\t\r\n";
    for (int r = 1; r <= 6; ++r)
        text << r * 0.1 << "\t" << r * 1.5 << "\t-2.5E-01\t" << r << "\t3.25\t\r\n";
    const std::string whole = text.str();
    const std::vector<std::uint8_t> bytes(whole.begin(), whole.end());
    WriteBytes(dir / "o.dat", bytes);
    const Loaded full = LoadImageFile(Format::kOrigin, dir / "o.dat");
    ASSERT_TRUE(full.ok);
    // A text cut at a line end is a smaller valid table; anything accepted keeps the columns
    // and reads rows the whole file has.
    ForEachPrefix(dir / "o.dat", AllLengths(bytes.size()), [&](std::size_t length) {
        const Loaded cut = LoadImageFile(Format::kOrigin, dir / "o.dat");
        if (!cut.ok)
            return;
        ASSERT_EQ(cut.image.m_nWidth, 4) << length;
        ASSERT_LE(cut.image.m_nHeight, 6) << length;
        for (std::size_t i = 0; i < cut.image.m_pData.size(); ++i)
            ASSERT_EQ(cut.image.m_pData[i], full.image.m_pData[i]) << length;
    });
    FuzzHeader(Format::kOrigin, dir / "fuzz.dat", bytes, bytes.size(), LongTests() ? 20000 : 600, 7);
}

TEST(RealSampleFiles, TruncatedPrefixesAreRefusedOrReadTheSameImage)
{
    SPM_REQUIRE_SAMPLES();
    ScratchDir dir;
    const struct {
        const char* name;
        Format format;
        std::initializer_list<std::size_t> positions;  // header end and sample block ends
    } files[] = {
        {"nanoscope-v432-height-amplitude.007", Format::kNanoscope, {20480, 151552, 282624}},
        {"nanoscope-v512-height-amplitude.000", Format::kNanoscope, {40960, 565248, 1089536}},
        {"mdt-spectra-and-scan-51x39.mdt", Format::kMdt, {33, 9081, 13531, 17041}},
    };
    for (const auto& file : files) {
        const auto copy = dir / file.name;
        std::filesystem::copy_file(SamplePath(file.name), copy);
        const std::size_t size = std::filesystem::file_size(copy);
        for (int index = 0; index < (file.format == Format::kMdt ? 1 : 2); ++index)
            ExpectPrefixesRefusedOrIdentical(file.format, copy, index, SampledLengths(size, file.positions), true);
    }
}

TEST(RealSampleFiles, ByteChangesInTheirHeadersNeverCrash)
{
    SPM_REQUIRE_SAMPLES();
    ScratchDir dir;
    const int rounds = LongTests() ? 3000 : 120;
    FuzzHeader(Format::kNanoscope, dir / "v432.007", ReadBytes(SamplePath("nanoscope-v432-height-amplitude.007")),
               20480, rounds, 1);
    FuzzHeader(Format::kNanoscope, dir / "v515.001", ReadBytes(SamplePath("nanoscope-v515-header-only.001")),
               10685, rounds, 2);
    FuzzHeader(Format::kMdt, dir / "scan.mdt", ReadBytes(SamplePath("mdt-spectra-and-scan-51x39.mdt")), 9600,
               rounds, 3);
}
