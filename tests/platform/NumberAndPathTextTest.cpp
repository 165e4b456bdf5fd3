// Locale-free number texts, saturating truncations, float texts that read back, and file names
// of Windows and Linux paths.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <random>

#include "platform/core/NumberText.h"
#include "platform/core/PathText.h"
#include "platform/core/Prompt.h"
#include "presentation/IniConversions.h"

TEST(NumberText, FormatFixedMatchesPrintfInTheCLocale)
{
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> magnitude(-12.0, 12.0);
    char expected[512];
    for (int i = 0; i < 20000; ++i) {
        const double value = (i % 2 ? -1.0 : 1.0) * std::pow(10.0, magnitude(random));
        const int decimals = i % 4;
        std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
        ASSERT_EQ(FormatFixed(value, decimals), expected) << value << " with " << decimals;
    }
    // Ties of the exact binary value round to even, as printf does.
    EXPECT_EQ(FormatFixed(0.125, 2), "0.12");
    EXPECT_EQ(FormatFixed(0.375, 2), "0.38");
    EXPECT_EQ(FormatFixed(2.5, 0), "2");
    EXPECT_EQ(FormatFixed(-0.0, 2), "-0.00");
    EXPECT_EQ(FormatFixed(1e20, 0), "100000000000000000000");
    EXPECT_EQ(FormatFixed(230.0f, 2), "230.00");
}

TEST(NumberText, TruncationsSaturateAndNeverInvokeOverflow)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(TruncToInt64(-2.9), -2);
    EXPECT_EQ(TruncToInt64(nan), 0);
    EXPECT_EQ(TruncToInt64(inf), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(TruncToInt64(-1e300), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(TruncToInt32(3e9), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(TruncToInt32(-3e9), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(TruncToInt32(-7.99), -7);
    EXPECT_EQ(TruncToInt16Bits(70000.7), 70000 - 65536);
    EXPECT_EQ(TruncToInt16Bits(-1.5), -1);
    EXPECT_EQ(TruncToInt16Bits(32768.0), -32768);
    EXPECT_EQ(TruncToInt16Bits(4294967296.0 + 7.0), 7);  // beyond 32 bits too
    EXPECT_EQ(TruncToUint32Bits(4294967296.0 + 5.0), 5u);
    EXPECT_EQ(TruncToUint32Bits(-1.0), 0xFFFFFFFFu);
    EXPECT_EQ(TruncToUint32Bits(nan), 0u);
}

TEST(NumberText, ParseDigitsNumberKnownAnswers)
{
    const std::pair<const char*, double> cases[] = {
        {"-0.5", -0.5}, {"", 0.0},       {"40960", 40960.0}, {"12.50", 12.5},   {"3.", 3.0},
        {"a1b2", 12.0}, {"1.2.3", 12.3}, {"1.5 nm", 0.0015}, {"-", 0.0},        {"  7", 7.0},
        {"1,5", 15.0},  {"0.1", 0.1},    {"x-3", 3.0},       {"--2", -2.0},
        // 16777217 is the first whole number a float cannot hold: the digits accumulate in
        // double precision.
        {"16777217", 16777217.0},        {"123456789.5", 123456789.5},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(ParseDigitsNumber(text), value) << '"' << text << '"';
    EXPECT_TRUE(std::isinf(ParseDigitsNumber(std::string(400, '9'))));
}

namespace {

// How the program's edits take a number into a float field: the dialogs' reading, then the
// float of it.
std::optional<float> EditFloat(std::string_view text)
{
    double value = 0.0;
    if (!ParseDialogNumber(std::string(text), value))
        return std::nullopt;
    return static_cast<float>(value);
}

// Each writer of float texts with the reader its texts go to.
struct FloatTextPair {
    const char* name;
    std::string (*write)(float);
    std::optional<float> (*read)(std::string_view);
};
const FloatTextPair kFloatTextPairs[] = {
    {"edits", ShortestFloatText, EditFloat},
    {"profile files", FormatIniFloat, ParseIniFloat},
};

// The text of `value` reads back as exactly its bits: -0 stays -0.
bool ReadsBack(const FloatTextPair& pair, float value)
{
    const std::optional<float> read = pair.read(pair.write(value));
    return read && std::bit_cast<std::uint32_t>(*read) == std::bit_cast<std::uint32_t>(value);
}

}  // namespace

// 7.03853069e-26 is the first float of the sweep below whose shortest text, the one a
// correctly rounding float reader takes back, reads as its neighbour through a double.
TEST(FloatText, EveryWriterTextReadsBackThroughTheReaderItGoesTo)
{
    std::vector<float> values{7.03853069e-26f,
                              std::numeric_limits<float>::max(),
                              std::numeric_limits<float>::min(),
                              std::numeric_limits<float>::denorm_min(),
                              0.0f,
                              -0.0f};
    std::mt19937 random(1703);
    while (values.size() < 200000) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isfinite(value))
            values.push_back(value);
    }
    for (const FloatTextPair& pair : kFloatTextPairs)
        for (const float value : values)
            for (const float signed_ : {value, -value})
                ASSERT_TRUE(ReadsBack(pair, signed_)) << pair.name << " " << pair.write(signed_);
    // Short texts stay short: the digits a float needs, or the two decimals of the files.
    EXPECT_EQ(ShortestFloatText(12.55f), "12.55");
    EXPECT_EQ(ShortestFloatText(0.1f), "0.1");
    EXPECT_EQ(FormatIniFloat(0.5f), "0.50");
    EXPECT_EQ(FormatIniFloat(0.125f), "0.125");
}

// All 4.28 billion finite floats, in sixteen parts that run side by side; a minute or two of
// a processor each.
class EveryFloatText : public testing::TestWithParam<std::uint32_t> {};

TEST_P(EveryFloatText, ReadsBackThroughEveryReader)
{
    const char* asked = std::getenv("SPM_LONG_TESTS");
    if (asked == nullptr || std::string(asked) != "1")
        GTEST_SKIP() << "the sweep of every float runs with SPM_LONG_TESTS=1";
    constexpr std::uint64_t kPart = std::uint64_t{1} << 28;
    const std::uint64_t first = GetParam() * kPart;
    int failures = 0;
    for (std::uint64_t bits = first; bits < first + kPart && failures < 10; ++bits) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        if (!std::isfinite(value))
            continue;
        for (const FloatTextPair& pair : kFloatTextPairs)
            if (!ReadsBack(pair, value)) {
                ADD_FAILURE() << pair.name << " " << pair.write(value);
                ++failures;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Parts, EveryFloatText, testing::Range(std::uint32_t{0}, std::uint32_t{16}));

TEST(PathText, FileNamesFoldersAndExtensionsWithABackslashAsPartOfAName)
{
    // path, file name, folder, extension
    const std::array<const char*, 4> cases[] = {
        {"/img/scan\\1.spm", "scan\\1.spm", "/img/", ".spm"},
        {"/mixed/dir\\b.mdt", "dir\\b.mdt", "/mixed/", ".mdt"},
        {"/a.b\\c", "a.b\\c", "/", ".b\\c"},
        {"plain.spm", "plain.spm", "", ".spm"},
        {"/data/run.2/scan", "scan", "/data/run.2/", ""},
        {"a.b.c", "a.b.c", "", ".c"},
    };
    for (const auto& [path, name, folder, extension] : cases) {
        EXPECT_EQ(FileNameOf(path), name) << path;
        EXPECT_EQ(FolderOf(path), folder) << path;
        EXPECT_EQ(ExtensionOf(path), extension) << path;
    }
    EXPECT_EQ(ReplaceExtension("/img/scan\\1.001", ".cnf"), "/img/scan\\1.cnf");
    EXPECT_EQ(ReplaceExtension("/data/run.2/scan", ".cnf"), "/data/run.2/scan.cnf");
    EXPECT_EQ(ReplaceExtension("/data/run.2/scan.tar.spm", ".cnf"), "/data/run.2/scan.tar.cnf");
    EXPECT_EQ(EnsureExtension("/p/pal.plt", ".plt"), "/p/pal.plt");
    EXPECT_EQ(EnsureExtension("/p/pal.PLT", ".plt"), "/p/pal.PLT.plt");
    EXPECT_EQ(EnsureExtension("/p.d/pal", ".plt"), "/p.d/pal.plt");
}

TEST(PathText, AbsolutePathsStartAtTheRootAndKeepEveryByteOfTheName)
{
    const std::string here = std::filesystem::current_path().string();
    const struct {
        std::string path;
        std::string absolute;
    } cases[] = {
        {"/data/scan.spm", "/data/scan.spm"},
        {"/data/./run/../scan.spm", "/data/scan.spm"},
        {"//data///run/", "/data/run/"},
        {"scan.spm", here + "/scan.spm"},
        {"./run/../H\xF6he.spm", here + "/H\xF6he.spm"},
        {"/d\xE9j\xE0/\xFF\x80.mdt", "/d\xE9j\xE0/\xFF\x80.mdt"},
        {"/", "/"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AbsolutePath(c.path), c.absolute) << c.path;
        EXPECT_EQ(AbsolutePath(c.absolute), c.absolute) << c.path;
    }
}
