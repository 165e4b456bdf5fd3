// Length units as images carry them: ANSI and UTF-8 micro and Angstrom signs, NanoScope's
// "~m" and the transliterated "mkm" name the same lengths as "um" and "A", and the writers
// store them as those lengths rather than as units they do not know.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "FormatTestSupport.h"
#include "formats/TextFields.h"
#include "support/ScriptedPrompt.h"

namespace {

CSpmImage SpelledImage(const char* xyUnit, const char* zUnit)
{
    return MakeImage(4, 3, [](int r, int c) { return r * 4 + c - 5.0; }, 0.5f, 0.25f, xyUnit, zUnit);
}

// The heights read back are the ones written times `factor`, to within the 16-bit steps.
void ExpectHeights(const CSpmImage& back, const CSpmImage& written, double factor, const std::string& what)
{
    ASSERT_EQ(back.m_pData.size(), written.m_pData.size()) << what;
    const double largest = factor * std::max(std::fabs(written.m_dMin), std::fabs(written.m_dMax));
    for (std::size_t i = 0; i < written.m_pData.size(); ++i)
        ASSERT_NEAR(back.m_pData[i], written.m_pData[i] * factor, 1e-4 * largest) << what << ", point " << i;
}

TEST(LengthUnitSpelling, EverySpellingNamesItsLengthAndNoOtherTextDoes)
{
    for (const Spelling& s : kSpellings) {
        const std::optional<LengthUnit> unit = LengthUnitOf(s.text);
        ASSERT_TRUE(unit.has_value()) << Shown(s.text);
        EXPECT_EQ(unit->name, s.name) << Shown(s.text);
        EXPECT_EQ(unit->nanometres, s.nanometres) << Shown(s.text);
        EXPECT_EQ(NanometresPerLengthUnit(s.text), s.nanometres) << Shown(s.text);
    }
    for (const char* other : {"", " ", "uni", "deg", "V", "NM", "n m", "nm2", "m", "\xB5", "\xB5mm", "~", "km", "Unit"})
        EXPECT_FALSE(LengthUnitOf(other).has_value()) << Shown(other);
}

// A lateral length comes back in nanometres and a height in its own length, nanometres,
// micrometres and Angstrom under their own code and every other length as Angstrom.
TEST(LengthUnitSpelling, MdtFilesKeepEverySpellingsLengths)
{
    ScratchDir dir;
    AnsweringPrompt prompt;
    for (const Spelling& s : kSpellings) {
        const std::string what = "unit " + Shown(s.text);
        CSpmImage image = SpelledImage(s.text, s.text);
        ASSERT_EQ(SaveImageFile(ImageFormat::kMdt, dir / "u.mdt", image), ImageFileError::kNone) << what;
        const Loaded back = LoadImageFile(ImageFormat::kMdt, dir / "u.mdt");
        ASSERT_TRUE(back.ok) << what << ": " << back.error;
        const SpmHeader& header = back.image.m_header;
        EXPECT_EQ(HeaderText(header.m_szXYUnit), "nm") << what;
        EXPECT_FLOAT_EQ(header.m_fKx, static_cast<float>(0.5 * s.nanometres)) << what;
        EXPECT_FLOAT_EQ(header.m_fKy, static_cast<float>(0.25 * s.nanometres)) << what;
        const std::string_view name = s.name;
        const bool ownCode = name == "nm" || name == "um" || name == "A";
        EXPECT_EQ(HeaderText(header.m_szZUnit), ownCode ? name : "A") << what;
        EXPECT_EQ(HeaderText(header.m_szQuantity), "Height") << what;
        ExpectHeights(back.image, image, ownCode ? 1.0 : s.nanometres * 10.0, what);
    }
}

// NanoScope files: lateral sizes come back in micrometres or nanometres, the only lengths
// the format's readers name, and heights in nanometres.
TEST(LengthUnitSpelling, NanoscopeFilesKeepEverySpellingsLengths)
{
    ScratchDir dir;
    AnsweringPrompt prompt;
    for (const Spelling& s : kSpellings) {
        const std::string what = "unit " + Shown(s.text);
        CSpmImage image = SpelledImage(s.text, s.text);  // a height
        ASSERT_EQ(SaveImageFile(ImageFormat::kNanoscope, dir / "u.000", image), ImageFileError::kNone) << what;
        const Loaded back = LoadImageFile(ImageFormat::kNanoscope, dir / "u.000");
        ASSERT_TRUE(back.ok) << what << ": " << back.error;
        const SpmHeader& header = back.image.m_header;
        const bool micrometres = std::string_view(s.name) == "um";
        const double lateral = micrometres ? 1.0 : s.nanometres;
        EXPECT_EQ(HeaderText(header.m_szXYUnit), micrometres ? "um" : "nm") << what;
        EXPECT_FLOAT_EQ(header.m_fKx, static_cast<float>(0.5 * lateral)) << what;
        EXPECT_FLOAT_EQ(header.m_fKy, static_cast<float>(0.25 * lateral)) << what;
        EXPECT_EQ(HeaderText(header.m_szZUnit), "nm") << what;
        ExpectHeights(back.image, image, s.nanometres, what);
    }
}

}  // namespace
