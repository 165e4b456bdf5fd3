// What the three writers share: scaling to 16-bit samples, round trips, repeatable saves,
// the out-of-range messages and saves that fail without harm.
#include <gtest/gtest.h>

#include <cmath>

#include "FormatTestSupport.h"
#include "support/CommaDecimalLocale.h"
#include "support/ScriptedPrompt.h"

namespace {

class Writers : public testing::TestWithParam<WritableFormat> {
protected:
    ImageFileError Save(CSpmImage& image) { return SaveImageFile(GetParam().format, Target(), image); }
    std::filesystem::path Target() const { return dir / GetParam().fileName; }

    ScratchDir dir;
    ScriptedPrompt prompt;
};

CSpmImage Landscape()
{
    return MakeImage(37, 23,
                     [](int r, int c) { return 40.0 * std::sin(r * 0.3) * std::cos(c * 0.2) - 7.5 + 0.01 * c; }, 2.5f,
                     3.0f);
}

CSpmImage Row(std::vector<double> heights)
{
    return MakeImage(static_cast<int>(heights.size()), 1, [&](int, int c) { return heights[c]; });
}

}  // namespace

TEST_P(Writers, RoundTripKeepsHeightsWithinHalfAStepAndTheHeader)
{
    CSpmImage image = Landscape();
    const std::vector<double> heights = image.m_pData;
    ASSERT_EQ(Save(image), ImageFileError::kNone);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(image.m_pData, heights);  // saving leaves the heights alone

    const Loaded back = LoadImageFile(GetParam().format, Target());
    ASSERT_TRUE(back.ok) << back.error;
    // NT-MDT stores nanometre heights as Angstrom: the values read back are ten times larger.
    const bool mdt = GetParam().format == ImageFormat::kMdt;
    const double factor = mdt ? 10.0 : 1.0;
    EXPECT_EQ(back.image.m_nWidth, 37);
    EXPECT_EQ(back.image.m_nHeight, 23);
    EXPECT_FLOAT_EQ(back.image.m_header.m_fKx, 2.5f);
    EXPECT_FLOAT_EQ(back.image.m_header.m_fKy, 3.0f);
    EXPECT_FLOAT_EQ(back.image.m_header.m_fKz, static_cast<float>(image.m_header.m_fKz * factor));
    EXPECT_EQ(HeaderText(back.image.m_header.m_szXYUnit), "nm");
    EXPECT_EQ(HeaderText(back.image.m_header.m_szZUnit), mdt ? "A" : "nm");
    for (std::size_t i = 0; i < heights.size(); ++i)
        ASSERT_LE(std::fabs(back.image.m_pData[i] / factor - heights[i]), 0.5001 * image.m_header.m_fKz) << i;
    // The samples in memory after the save are the samples in the file.
    EXPECT_EQ(back.image.m_pRaw, image.m_pRaw);
}

TEST_P(Writers, SavingAgainWhatWasReadWritesTheSameBytes)
{
    const auto again = dir / ("again-" + std::string(GetParam().fileName));
    for (float kx : {2.5f, 0.1f, 7.8125f, 1234.567f, 0.0003f}) {
        CSpmImage image = Landscape();
        image.m_header.m_fKx = kx;
        image.m_header.m_fKy = kx * 1.37f;
        ASSERT_EQ(Save(image), ImageFileError::kNone);
        Loaded back = LoadImageFile(GetParam().format, Target());
        ASSERT_TRUE(back.ok);
        ASSERT_EQ(SaveImageFile(GetParam().format, again, back.image), ImageFileError::kNone);
        EXPECT_EQ(FileBytes(again), FileBytes(Target())) << kx;
    }
}

TEST_P(Writers, CommaDecimalLocaleWritesTheSameBytesAndReadsThemBack)
{
    CSpmImage image = Landscape();
    image.m_header.m_fKx = 0.0078125f;  // decimals in every number a text header holds
    ASSERT_EQ(Save(image), ImageFileError::kNone);
    const std::vector<std::uint8_t> written = FileBytes(Target());
    CommaDecimalLocale locale;
    SPM_REQUIRE_COMMA_LOCALE(locale);
    ASSERT_EQ(Save(image), ImageFileError::kNone);
    EXPECT_EQ(FileBytes(Target()), written);
    const Loaded back = LoadImageFile(GetParam().format, Target());
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_EQ(back.image.m_pRaw, image.m_pRaw);
}

TEST_P(Writers, LargestAbsoluteHeightBecomes32760AndRoundsToNearest)
{
    // Heights -5 .. 20: the factor is 32760 / 20; 0.0009 nm is 1.4742 steps, 0.0011 is 1.8018.
    CSpmImage image = Row({-5.0, 20.0, 0.0009, 0.0011, -0.0011});
    ASSERT_EQ(Save(image), ImageFileError::kNone);
    EXPECT_EQ(image.m_header.m_fKz, static_cast<float>(20.0 / 32760.0));
    EXPECT_EQ(image.m_pRaw, (std::vector<std::int32_t>{-8190, 32760, 1, 2, -2}));
}

TEST_P(Writers, OutOfRangeSamplesAreClampedWithOneMessagePerDirection)
{
    // A range that no longer covers the heights, as after a command that forgot to refresh it.
    CSpmImage image = Row({0.0, 10.0, 30.0, 40.0, -10.0, -50.0});
    image.m_dMin = 0.0;
    image.m_dMax = 10.0;
    ASSERT_EQ(Save(image), ImageFileError::kNone);
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"Image Save: Data < -32765", "Image Save: Data > 32765"}));
    EXPECT_EQ(image.m_pRaw, (std::vector<std::int32_t>{0, 32760, 32765, 32765, -32760, -32765}));
}

TEST_P(Writers, ImageOfZerosSavesWithAUnitScale)
{
    CSpmImage image = MakeImage(4, 4, [](int, int) { return 0.0; });
    ASSERT_EQ(Save(image), ImageFileError::kNone);
    EXPECT_EQ(image.m_header.m_fKz, 1.0f);
    const Loaded back = LoadImageFile(GetParam().format, Target());
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.image.m_pData, std::vector<double>(16, 0.0));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_P(Writers, RefusesImagesItCannotStoreAndKeepsTheOldFile)
{
    CSpmImage good = Landscape();
    ASSERT_EQ(Save(good), ImageFileError::kNone);
    const auto before = FileBytes(Target());

    CSpmImage notANumber = Landscape();
    notANumber.m_dMax = NAN;
    const struct {
        const char* what;
        CSpmImage image;
        ImageFileError error;
    } cases[] = {
        {"range not a number", notANumber, ImageFileError::kNothingToSave},
        {"height beyond a float's scale", Row({1e300, 1.0}), ImageFileError::kNothingToSave},
        {"no points", CSpmImage{}, ImageFileError::kBadSize},
        {"1025 columns", MakeImage(1025, 1, [](int, int c) { return c; }), ImageFileError::kBadSize},
    };
    for (const auto& c : cases) {
        prompt.messages.clear();
        CSpmImage image = c.image;
        EXPECT_EQ(Save(image), c.error) << c.what;
        EXPECT_EQ(prompt.messages, std::vector<std::string>{"Save not Ok"}) << c.what;
        EXPECT_EQ(image.m_header.m_fKz, c.image.m_header.m_fKz) << c.what;
        EXPECT_EQ(FileBytes(Target()), before) << c.what;
    }
}

TEST_P(Writers, TargetThatCannotBeCreatedOrReplacedFailsWithTheFormatsMessage)
{
    CSpmImage image = Landscape();
    const std::string cannotCreate =
        GetParam().format == ImageFormat::kSpm ? "Save not Ok" : "Unable to open file for writing";
    EXPECT_EQ(SaveImageFile(GetParam().format, dir / "missing-folder" / GetParam().fileName, image),
              ImageFileError::kCannotCreate);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{cannotCreate});

    // A folder in the target's place cannot be replaced: the write completes, the rename
    // fails, and neither the folder nor a temporary file is left changed or behind.
    prompt.messages.clear();
    std::filesystem::create_directory(Target());
    EXPECT_EQ(Save(image), ImageFileError::kWriteFailed);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Save not Ok"});
    EXPECT_TRUE(std::filesystem::is_directory(Target()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(AllWritable, Writers, testing::ValuesIn(kWritableFormats),
                         [](const auto& info) { return std::string(info.param.name); });
