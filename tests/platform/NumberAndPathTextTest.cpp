// Locale-free number texts, saturating truncations, and file names of Windows and Linux paths.
#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <random>

#include "platform/core/NumberText.h"
#include "platform/core/PathText.h"

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
