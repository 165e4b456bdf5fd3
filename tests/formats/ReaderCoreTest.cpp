// The reader core: whole-file loading, the line walker, the number parser and the helpers
// that choose a format by the extension.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <set>
#include <string>

#include "FormatTestSupport.h"
#include "formats/ImageFile.h"
#include "formats/TextFields.h"

namespace {

std::vector<std::string> LinesOf(const std::string& text)
{
    ScratchDir dir;
    const auto path = dir / "lines.txt";
    WriteFile(path, text);
    CImageFile file;
    EXPECT_TRUE(file.LoadFile(path.string()));
    EXPECT_EQ(file.FileSize(), text.size());
    std::vector<std::string> lines;
    while (file.ReadPos() < file.FileSize() && file.GetLine())
        lines.emplace_back(file.Line());
    // At the end the walker gives empty lines and reads nothing more.
    file.GetLine();
    EXPECT_EQ(file.Line(), "");
    EXPECT_EQ(file.ReadPos(), file.FileSize());
    return lines;
}

}  // namespace

TEST(LineReader, SplitsAtLineFeedsKeepsCarriageReturnsAndCutsAt9215Characters)
{
    using Lines = std::vector<std::string>;
    const std::string x(9215, 'x');
    const struct {
        std::string text;
        Lines lines;
    } cases[] = {
        {"ab\r\ncd", {"ab\r", "cd"}},
        {"one\ntwo\n", {"one", "two"}},
        {"\n\nx", {"", "", "x"}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
        {std::string(10000, 'x') + "\nend", {x, std::string(785, 'x'), "end"}},
        // A line of exactly the limit is followed by its own (empty) rest up to the line feed.
        {x + "\nz", {x, "", "z"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LinesOf(c.text), c.lines) << c.text.substr(0, 20);
}

TEST(LineReader, LoadFileFailsQuietlyForMissingFilesAndFolders)
{
    ScratchDir dir;
    CImageFile file;
    EXPECT_FALSE(file.LoadFile((dir / "missing.000").string()));
    EXPECT_EQ(file.Failure(), ImageFileError::kCannotOpen);
    EXPECT_FALSE(file.LoadFile(dir.path().string()));
    EXPECT_EQ(file.Failure(), ImageFileError::kCannotOpen);
    WriteFile(dir / "empty.000", "");
    EXPECT_TRUE(file.LoadFile((dir / "empty.000").string()));
    EXPECT_EQ(file.FileSize(), 0u);
}

TEST(NumberParser, TakesDigitsOnlyAndNineSignificantDigitsBringEveryFloatBack)
{
    // The digit parser of the program's text files (known answers in its own tests): no
    // exponents, E and - are skipped.
    EXPECT_DOUBLE_EQ(CImageFile::ParseNumber("1.5E-03"), 0.01503);
    // The writers print floats this way; the reader must return the same float.
    std::uint32_t bits = 0x00800000u;
    for (int i = 0; i < 20000; ++i, bits += 0x0003F1A7u) {
        const float value = std::bit_cast<float>(bits % 0x7F000000u + 0x00800000u);
        const std::string text = FormatFixedSignificant(value);
        ASSERT_EQ(static_cast<float>(CImageFile::ParseNumber(text)), value) << text;
    }
    EXPECT_EQ(FormatFixedSignificant(12.5), "12.5000000");
    EXPECT_EQ(FormatFixedSignificant(256.0), "256.000000");  // from 100 on, plain "%.6f"
    EXPECT_EQ(FormatFixedSignificant(0.000610500611), "0.000610500611");
}

TEST(FileExtension, NanoscopeSeriesIsAPointAndThreeDigits)
{
    for (const char* yes : {".000", ".007", ".999", ".123"})
        EXPECT_TRUE(IsNanoscopeSeriesExtension(yes)) << yes;
    for (const char* no : {".7", ".0007", ".00a", "0000", ".spm", "", ".", ".-01", ". 01"})
        EXPECT_FALSE(IsNanoscopeSeriesExtension(no)) << no;
}

TEST(TextFields, QuotesSidesAndOffsets)
{
    EXPECT_EQ(TextBetweenLastQuotes("\\@2:Image Data: S [Height] \"Height\""), "Height");
    EXPECT_EQ(TextBetweenLastQuotes("\"a\" \"b c\""), "b c");
    EXPECT_EQ(TextBetweenLastQuotes("only \"one"), "");
    EXPECT_EQ(TextBetweenLastQuotes("\""), "");
    EXPECT_EQ(ImageSideOf(1.0), 1);
    EXPECT_EQ(ImageSideOf(1024.0), 1024);
    for (double bad : {0.0, -1.0, 1025.0, 2.5, double(NAN), double(INFINITY)})
        EXPECT_FALSE(ImageSideOf(bad).has_value()) << bad;
    EXPECT_EQ(FileOffsetOf(40960.9, 50000), 40960u);
    EXPECT_EQ(FileOffsetOf(10.0, 10), 10u);
    for (double bad : {-1.0, 11.0, double(NAN), double(INFINITY)})
        EXPECT_FALSE(FileOffsetOf(bad, 10).has_value()) << bad;
}

TEST(ImageFileErrors, EveryReasonHasItsOwnText)
{
    std::set<std::string> texts;
    for (int e = 0; e <= static_cast<int>(ImageFileError::kWriteFailed); ++e)
        texts.insert(ImageFileErrorText(static_cast<ImageFileError>(e)));
    EXPECT_EQ(texts.size(), static_cast<std::size_t>(ImageFileError::kWriteFailed) + 1);
}
