// The reader core: whole-file loading, the line walker, the number texts of the header
// formats, and the small helpers of the readers.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <set>

#include "FormatTestSupport.h"
#include "formats/FileExtension.h"
#include "formats/TextFields.h"

TEST(LineReader, SplitsAtLineFeedsKeepsCarriageReturnsAndCutsAt9215Characters)
{
    using Lines = std::vector<std::string>;
    const std::string x(9215, 'x');
    const std::pair<std::string, Lines> cases[] = {
        {"ab\r\ncd", {"ab\r", "cd"}},
        {"\n\nx\n", {"", "", "x"}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
        {std::string(10000, 'x') + "\nend", {x, std::string(785, 'x'), "end"}},
        // A line of exactly the limit is followed by its own (empty) rest up to the line feed.
        {x + "\nz", {x, "", "z"}},
    };
    ScratchDir dir;
    for (const auto& [text, expected] : cases) {
        WriteFile(dir / "lines.txt", text);
        CImageFile file;
        ASSERT_TRUE(file.LoadFile((dir / "lines.txt").string()));
        ASSERT_EQ(file.FileSize(), text.size());
        Lines lines;
        while (file.ReadPos() < file.FileSize() && file.GetLine())
            lines.emplace_back(file.Line());
        EXPECT_EQ(lines, expected) << text.substr(0, 20);
        file.GetLine();  // at the end the walker gives empty lines and reads nothing more
        EXPECT_EQ(file.Line(), "");
    }
    CImageFile file;
    for (const auto& path : {dir / "missing.000", dir.path()}) {
        EXPECT_FALSE(file.LoadFile(path.string()));
        EXPECT_EQ(file.Failure(), ImageFileError::kCannotOpen);
    }
}

TEST(TextFields, NineSignificantDigitsBringEveryFloatBackThroughTheDigitParser)
{
    EXPECT_DOUBLE_EQ(CImageFile::ParseNumber("1.5E-03"), 0.01503);  // no exponents: E and - are skipped
    std::uint32_t bits = 0x00800000u;
    for (int i = 0; i < 20000; ++i, bits += 0x0003F1A7u) {
        const float value = std::bit_cast<float>(bits % 0x7F000000u + 0x00800000u);
        const std::string text = FormatFixedSignificant(value);
        ASSERT_EQ(static_cast<float>(CImageFile::ParseNumber(text)), value) << text;
    }
    EXPECT_EQ(FormatFixedSignificant(12.5), "12.5000000");
    EXPECT_EQ(FormatFixedSignificant(256.0), "256.000000");  // from 100 on, six decimals
}

TEST(TextFields, QuotesSidesOffsetsSeriesExtensionsAndErrorTexts)
{
    EXPECT_EQ(TextBetweenLastQuotes("\\@2:Image Data: S [Height] \"Height\""), "Height");
    EXPECT_EQ(TextBetweenLastQuotes("\"a\" \"b c\""), "b c");
    EXPECT_EQ(TextBetweenLastQuotes("only \"one"), "");
    EXPECT_EQ(ImageSideOf(1024.0), 1024);
    for (double bad : {0.0, 1025.0, 2.5, double(NAN), double(INFINITY)})
        EXPECT_FALSE(ImageSideOf(bad).has_value()) << bad;
    EXPECT_EQ(FileOffsetOf(40960.9, 50000), 40960u);
    EXPECT_EQ(FileOffsetOf(10.0, 10), 10u);
    for (double bad : {-1.0, 11.0, double(NAN)})
        EXPECT_FALSE(FileOffsetOf(bad, 10).has_value()) << bad;
    for (int n = 0; n < 1000; ++n) {
        char extension[8];
        std::snprintf(extension, sizeof extension, ".%03d", n);
        ASSERT_TRUE(IsNanoscopeSeriesExtension(extension)) << n;
    }
    for (const char* no : {".7", ".0007", ".00a", "0000", ".spm", "", ".-01", ". 01"})
        EXPECT_FALSE(IsNanoscopeSeriesExtension(no)) << no;
    std::set<std::string> texts;
    for (int e = 0; e <= static_cast<int>(ImageFileError::kWriteFailed); ++e)
        texts.insert(ImageFileErrorText(static_cast<ImageFileError>(e)));
    EXPECT_EQ(texts.size(), static_cast<std::size_t>(ImageFileError::kWriteFailed) + 1);
}
