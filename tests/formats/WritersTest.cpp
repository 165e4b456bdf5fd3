// What the three writers share: scaling to 16-bit samples, round trips, repeatable saves,
// the out-of-range messages and saves that fail without harm.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iterator>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"
#include "support/TestPaths.h"

namespace {

class Writers : public testing::TestWithParam<WritableFormat> {};

CSpmImage Landscape()
{
    return MakeImage(37, 23, [](int r, int c) { return 40.0 * std::sin(r * 0.3) * std::cos(c * 0.2) - 7.5 + 0.01 * c; },
                     2.5f, 3.0f);
}

// NT-MDT stores nanometre heights as Angstrom: the values read back are ten times larger.
double HeightFactorOnReadBack(Format format)
{
    return format == Format::kMdt ? 10.0 : 1.0;
}

std::string ZUnitOnReadBack(Format format)
{
    return format == Format::kMdt ? "A" : "nm";
}

}  // namespace

TEST_P(Writers, RoundTripKeepsHeightsWithinHalfAStepAndTheHeader)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    const WritableFormat f = GetParam();
    CSpmImage image = Landscape();
    const std::vector<double> heights = image.m_pData;
    ASSERT_TRUE(SaveImageFile(f.format, dir / f.fileName, image));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(image.m_pData, heights);  // saving leaves the heights alone

    const Loaded back = LoadImageFile(f.format, dir / f.fileName);
    ASSERT_TRUE(back.ok) << ImageFileErrorText(back.error);
    const double factor = HeightFactorOnReadBack(f.format);
    EXPECT_EQ(back.image.m_nWidth, 37);
    EXPECT_EQ(back.image.m_nHeight, 23);
    EXPECT_FLOAT_EQ(back.image.m_header.m_fKx, 2.5f);
    EXPECT_FLOAT_EQ(back.image.m_header.m_fKy, 3.0f);
    EXPECT_FLOAT_EQ(back.image.m_header.m_fKz, static_cast<float>(image.m_header.m_fKz * factor));
    EXPECT_EQ(HeaderText(back.image.m_header.m_szXYUnit), "nm");
    EXPECT_EQ(HeaderText(back.image.m_header.m_szZUnit), ZUnitOnReadBack(f.format));
    const double step = image.m_header.m_fKz;
    for (std::size_t i = 0; i < heights.size(); ++i)
        ASSERT_LE(std::fabs(back.image.m_pData[i] / factor - heights[i]), 0.5001 * step) << i;
    // The samples in memory after the save are the samples in the file.
    EXPECT_EQ(back.image.m_pRaw, image.m_pRaw);
}

TEST_P(Writers, SavingAgainWhatWasReadWritesTheSameBytes)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    const WritableFormat f = GetParam();
    for (float kx : {2.5f, 0.1f, 7.8125f, 1234.567f, 0.0003f}) {
        CSpmImage image = Landscape();
        image.m_header.m_fKx = kx;
        image.m_header.m_fKy = kx * 1.37f;
        ASSERT_TRUE(SaveImageFile(f.format, dir / "first" / f.fileName, image) ||
                    (std::filesystem::create_directories(dir / "first") &&
                     SaveImageFile(f.format, dir / "first" / f.fileName, image)));
        Loaded back = LoadImageFile(f.format, dir / "first" / f.fileName);
        ASSERT_TRUE(back.ok);
        ASSERT_TRUE(SaveImageFile(f.format, dir / f.fileName, back.image));
        EXPECT_EQ(ReadBytes(dir / f.fileName), ReadBytes(dir / "first" / f.fileName)) << kx;
    }
}

TEST_P(Writers, LargestAbsoluteHeightBecomes32760AndRoundsToNearest)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    const WritableFormat f = GetParam();
    // Heights -5 .. 20: the factor is 32760 / 20; 0.0009 nm is 1.4742 steps, 0.0011 is 1.8018.
    CSpmImage image = MakeImage(5, 1, [](int, int c) { return std::array{-5.0, 20.0, 0.0009, 0.0011, -0.0011}[c]; });
    ASSERT_TRUE(SaveImageFile(f.format, dir / f.fileName, image));
    EXPECT_EQ(image.m_header.m_fKz, static_cast<float>(20.0 / 32760.0));
    EXPECT_EQ(image.m_pRaw, (std::vector<std::int32_t>{-8190, 32760, 1, 2, -2}));
}

TEST_P(Writers, OutOfRangeSamplesAreClampedWithOneMessagePerDirection)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    const WritableFormat f = GetParam();
    // A range that no longer covers the heights, as after a command that forgot to refresh it.
    CSpmImage image = MakeImage(6, 1, [](int, int c) { return std::array{0.0, 10.0, 30.0, 40.0, -30.0, -50.0}[c]; });
    image.m_dMin = 0.0;
    image.m_dMax = 10.0;
    ASSERT_TRUE(SaveImageFile(f.format, dir / f.fileName, image));
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"Image Save: Data < -32765", "Image Save: Data > 32765"}));
    EXPECT_EQ(image.m_pRaw, (std::vector<std::int32_t>{0, 32760, 32765, 32765, -32765, -32765}));
}

TEST_P(Writers, ImageOfZerosSavesWithAUnitScale)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    const WritableFormat f = GetParam();
    CSpmImage image = MakeImage(4, 4, [](int, int) { return 0.0; });
    ASSERT_TRUE(SaveImageFile(f.format, dir / f.fileName, image));
    EXPECT_EQ(image.m_header.m_fKz, 1.0f);
    const Loaded back = LoadImageFile(f.format, dir / f.fileName);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.image.m_pData, std::vector<double>(16, 0.0));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_P(Writers, RefusesImagesItCannotStoreAndKeepsTheOldFile)
{
    ScratchDir dir;
    const WritableFormat f = GetParam();
    CSpmImage good = Landscape();
    ASSERT_TRUE(SaveImageFile(f.format, dir / f.fileName, good));
    const auto before = ReadBytes(dir / f.fileName);

    ScriptedPrompt prompt;
    CSpmImage broken = Landscape();
    broken.m_dMax = NAN;
    const float kz = broken.m_header.m_fKz;
    CImageFile file;
    bool saved = true;
    switch (f.format) {
    case Format::kSpm: saved = file.WriteSpm((dir / f.fileName).string(), broken); break;
    case Format::kNanoscope: saved = file.WriteNanoscope((dir / f.fileName).string(), broken); break;
    default: saved = file.WriteMdt((dir / f.fileName).string(), broken); break;
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(file.Failure(), ImageFileError::kNothingToSave);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Save not Ok"});
    EXPECT_EQ(broken.m_header.m_fKz, kz);
    EXPECT_EQ(ReadBytes(dir / f.fileName), before);

    CSpmImage huge = MakeImage(2, 1, [](int, int c) { return c == 0 ? 1e300 : 1.0; });
    EXPECT_FALSE(SaveImageFile(f.format, dir / f.fileName, huge));
    CSpmImage empty;
    EXPECT_FALSE(SaveImageFile(f.format, dir / f.fileName, empty));
    CSpmImage tooWide = MakeImage(1025, 1, [](int, int c) { return c; });
    EXPECT_FALSE(SaveImageFile(f.format, dir / f.fileName, tooWide));
    EXPECT_EQ(ReadBytes(dir / f.fileName), before);
}

TEST_P(Writers, TargetThatCannotBeCreatedOrReplacedFailsWithTheFormatsMessage)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    const WritableFormat f = GetParam();
    CSpmImage image = Landscape();
    CImageFile file;
    const auto save = [&](const std::filesystem::path& path) {
        switch (f.format) {
        case Format::kSpm: return file.WriteSpm(path.string(), image);
        case Format::kNanoscope: return file.WriteNanoscope(path.string(), image);
        default: return file.WriteMdt(path.string(), image);
        }
    };
    const std::string cannotCreate = f.format == Format::kSpm ? "Save not Ok" : "Unable to open file for writing";
    EXPECT_FALSE(save(dir / "missing-folder" / f.fileName));
    EXPECT_EQ(file.Failure(), ImageFileError::kCannotCreate);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{cannotCreate});

    // A folder in the target's place cannot be replaced: the write completes, the rename
    // fails, and neither the folder nor a temporary file is left changed or behind.
    prompt.messages.clear();
    std::filesystem::create_directory(dir / f.fileName);
    EXPECT_FALSE(save(dir / f.fileName));
    EXPECT_EQ(file.Failure(), ImageFileError::kWriteFailed);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Save not Ok"});
    EXPECT_TRUE(std::filesystem::is_directory(dir / f.fileName));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(AllWritable, Writers, testing::ValuesIn(kWritableFormats),
                         [](const auto& info) { return FormatName(info.param.format); });
