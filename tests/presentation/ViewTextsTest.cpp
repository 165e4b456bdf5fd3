// The texts beside the 2D and 3D pictures and the shared colour-source lookup.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <string_view>
#include <random>

#include "image/HeaderTextCoding.h"
#include "presentation/ColourSource.h"
#include "presentation/ProfileCurves.h"
#include "presentation/ViewTexts.h"
#include "tests/presentation/TestImages.h"

TEST(ViewTexts, ScanLengths)
{
    const struct {
        double length;
        const char* unit;
        const char* text;
    } cases[] = {
        {999.9, "nm", "1000 nm"}, {768, "nm", "768 nm"}, {2500, "nm", "2.5 um"}, {1280, " nm", "1.3 um"},
        {2500, "um", "2500 um"},  {1000, "nm", "1.0 um"}, {12, "um", "12 um"},      {2, "um", "2.0 um"},
        {0.390625, "um", "0.39 um"}, {1024, "\xB5m", "1024 \xB5m"}, {1000, "", "1000 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScanLengthText(c.length, c.unit), c.text) << c.length << c.unit;
}

TEST(ViewTexts, PointLineReadsClampedPointsAndSwitchesToTheDifference)
{
    CSpmImage image = MakeImage(4, 3, [](int r, int c) { return 10.0 * r + c; });
    std::strcpy(image.m_header.m_szZUnit, "nm");
    EXPECT_EQ(PointLineText(image, {2, 1}, nullptr), "Matrix:4x3 Xpoint:2 Ypoint:1 Z:12.00 nm");
    // A point kept from a larger image reads the nearest corner, never past the heights.
    const ImagePoint first{-5, 0};
    EXPECT_EQ(PointLineText(image, {40, 30}, &first), "Matrix:4x3 Xpoint:3 Ypoint:2 dZ:23.00 nm");
    EXPECT_EQ(ScanSizeText(image), "XY: 4.0  x 3.0 ");
    std::strcpy(image.m_header.m_szQuantity, "Height Sensor");
    EXPECT_EQ(ScaleTitle(image), "Height, nm");
    std::strcpy(image.m_header.m_szQuantity, " Phase");
    EXPECT_EQ(ScaleTitle(image), " Phase, nm");
}

// The header texts a view compares with what its picture shows change with each field the
// view writes, and with no other: the 2D view writes the shown image's size, Z unit, steps
// and XY unit; the 3D view its steps and XY unit, and the colour source's name and Z unit.
TEST(ViewTexts, HeaderTextsChangeWithTheFieldsEachViewWrites)
{
    const auto image = [] {
        CSpmImage made = MakeImage(4, 3, [](int r, int c) { return r + c; });
        std::strcpy(made.m_header.m_szZUnit, "nm");
        std::strcpy(made.m_header.m_szXYUnit, "nm");
        std::strcpy(made.m_header.m_szQuantity, "Height");
        made.m_header.m_fKx = made.m_header.m_fKy = 2.5f;
        return made;
    };
    const CSpmImage shown = image(), source = image();
    EXPECT_EQ(SizeLabels(shown), (std::array<std::string, 2>{"X:10 nm", "Y:7.5 nm"}));
    const struct {
        const char* field;
        void (*change)(SpmHeader&);
        bool in2D, in3D;
    } cases[] = {
        {"Z unit", [](SpmHeader& h) { std::strcpy(h.m_szZUnit, "pm"); }, true, false},
        {"XY unit", [](SpmHeader& h) { std::strcpy(h.m_szXYUnit, "um"); }, true, true},
        {"name", [](SpmHeader& h) { std::strcpy(h.m_szQuantity, "Phase"); }, false, false},
        {"X step", [](SpmHeader& h) { h.m_fKx = 5.0f; }, true, true},
        {"Y step", [](SpmHeader& h) { h.m_fKy = 5.0f; }, true, true},
        {"columns", [](SpmHeader& h) { h.m_nColumns = 8; }, true, false},
        {"rows", [](SpmHeader& h) { h.m_nRows = 8; }, true, false},
        {"Z scale", [](SpmHeader& h) { h.m_fKz = 9.0f; }, false, false},
        {"note", [](SpmHeader& h) { std::strcpy(h.m_szNote, "changed"); }, false, false},
        {"version", [](SpmHeader& h) { std::strcpy(h.m_szVersion, "changed"); }, false, false},
    };
    for (const auto& c : cases) {
        CSpmImage changed = image();
        c.change(changed.m_header);
        EXPECT_EQ(HeaderTexts2D(changed) != HeaderTexts2D(shown), c.in2D) << c.field;
        EXPECT_EQ(HeaderTexts3D(changed, source) != HeaderTexts3D(shown, source), c.in3D) << c.field;
        // Changed in the colour source, only the name and the Z unit show: in the scale's title.
        const bool inTitle = std::string_view(c.field) == "name" || std::string_view(c.field) == "Z unit";
        EXPECT_EQ(HeaderTexts3D(shown, changed) != HeaderTexts3D(shown, source), inTitle) << c.field;
    }
}

TEST(HeaderTextCoding, ValidUtf8ReadsAsItIsAnyOtherTextByteForByteAsLatin1)
{
    const struct {
        std::string_view bytes;
        bool utf8;
        std::string_view asUtf8, asLatin1;
    } cases[] = {
        {"nm", true, "nm", "nm"},
        {"\xB5m", false, "\xC2\xB5m", "\xB5m"},                   // an older file's micro sign
        {"\xC2\xB5m", true, "\xC2\xB5m", "\xB5m"},                // the same typed here
        {"H\xF6he", false, "H\xC3\xB6he", "H\xF6he"},
        {"\xE2\x82\xAC", true, "\xE2\x82\xAC", "?"},              // beyond Latin-1
        {"\xF0\x9F\x98\x80x", true, "\xF0\x9F\x98\x80x", "?x"},
        {"\xC0\x80", false, "\xC3\x80\xC2\x80", "\xC0\x80"},     // overlong zero
        {"\xED\xA0\x80", false, "\xC3\xAD\xC2\xA0\xC2\x80", "\xED\xA0\x80"},  // surrogate
        {"\xF4\x90\x80\x80", false, "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80", "\xF4\x90\x80\x80"},
        {"a\xE2\x82", false, "a\xC3\xA2\xC2\x82", "a\xE2\x82"},   // cut short
        {"\x80", false, "\xC2\x80", "\x80"},                         // a lone continuation
    };
    for (const auto& c : cases) {
        const std::string hex = ::testing::PrintToString(std::string(c.bytes));
        EXPECT_EQ(IsValidUtf8(c.bytes), c.utf8) << hex;
        EXPECT_EQ(HeaderBytesAsUtf8(c.bytes), c.asUtf8) << hex;
        EXPECT_EQ(HeaderBytesAsLatin1(c.bytes), c.asLatin1) << hex;
    }
    // Any bytes: shown as UTF-8 they are valid, and they print in Latin-1 as they did before.
    // Whole characters of every length and stray bytes, mixed.
    const std::string_view pieces[] = {"a", "\xC2\xB5", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                                       "\xB5", "\x80", "\xC3", "\xED\xA0", "\xFF"};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1), length(0, 6);
    for (int i = 0; i < 2000; ++i) {
        std::string bytes;
        for (std::size_t n = length(random); n > 0; --n)
            bytes += pieces[piece(random)];
        const std::string shown = HeaderBytesAsUtf8(bytes);
        ASSERT_TRUE(IsValidUtf8(shown)) << ::testing::PrintToString(bytes);
        ASSERT_EQ(HeaderBytesAsLatin1(shown), HeaderBytesAsLatin1(bytes)) << ::testing::PrintToString(bytes);
        if (!IsValidUtf8(bytes)) {
            ASSERT_EQ(HeaderBytesAsLatin1(bytes), bytes);
        }
    }
}

// A message puts texts of both kinds together: a file name in UTF-8 beside an older file's
// Latin-1 image name. Each piece reads as it would alone.
TEST(HeaderTextCoding, MixedTextsReadEachPieceAsItWouldAlone)
{
    const struct {
        std::string_view bytes, asUtf8;
    } cases[] = {
        {"", ""},
        {"Save changes to older.spm:H\xF6he_01?", "Save changes to older.spm:H\xC3\xB6he_01?"},
        {"gr\xC3\xB6\xC3\x9F" "e.spm:H\xF6he", "gr\xC3\xB6\xC3\x9F" "e.spm:H\xC3\xB6he"},
        {"\xE2\x82\xAC\xB5", "\xE2\x82\xAC\xC2\xB5"},
        {"\xC3", "\xC3\x83"},                                       // a lead byte cut short
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},              // a surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(MixedBytesAsUtf8(c.bytes), c.asUtf8) << ::testing::PrintToString(std::string(c.bytes));
    // Valid UTF-8 pieces around an older text whose bytes form no UTF-8 character.
    const std::string_view utf8Pieces[] = {"a", "\xC2\xB5", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", ":"};
    const std::string_view olderBytes[] = {"a", "\xB5", "\xB0", "\xF6", "\xFF", "_"};
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> utf8Piece(0, std::size(utf8Pieces) - 1),
        olderByte(0, std::size(olderBytes) - 1), length(0, 5);
    const auto make = [&](const auto& from, auto& pick) {
        std::string text;
        for (std::size_t n = length(random); n > 0; --n)
            text += from[pick(random)];
        return text;
    };
    for (int i = 0; i < 2000; ++i) {
        const std::string before = make(utf8Pieces, utf8Piece);
        const std::string older = make(olderBytes, olderByte);
        const std::string after = make(utf8Pieces, utf8Piece);
        const std::string mixed = before + older + after;
        const std::string shown = MixedBytesAsUtf8(mixed);
        ASSERT_EQ(shown, before + HeaderBytesAsUtf8(older) + after) << ::testing::PrintToString(mixed);
        ASSERT_TRUE(IsValidUtf8(shown)) << ::testing::PrintToString(mixed);
        ASSERT_EQ(MixedBytesAsUtf8(shown), shown) << ::testing::PrintToString(mixed);
    }
}

TEST(HeaderTextCoding, TypedTextsAreCutBetweenCharacters)
{
    const struct {
        std::string_view text;
        std::size_t max;
        std::string_view cut;
    } cases[] = {
        {"nmq", 3, "nmq"},   {"nmqx", 3, "nmq"},   {"\xC2\xB5m", 3, "\xC2\xB5m"}, {"m\xC2\xB5", 2, "m"},
        {"a\xF0\x9F\x98\x80", 4, "a"}, {"a\xF0\x9F\x98\x80", 5, "a\xF0\x9F\x98\x80"}, {"", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CutUtf8(c.text, c.max), c.cut) << ::testing::PrintToString(std::string(c.text)) << c.max;
    SpmHeader header{};
    SetTypedHeaderText(header.m_szZUnit, "\xC2\xB5m\xC2\xB2");
    EXPECT_EQ(HeaderText(header.m_szZUnit), "\xC2\xB5m");
}

// The views print Latin-1 with their bitmap font, the profile view UTF-8: a unit reads the
// same in both whether the file holds it in Latin-1 or in UTF-8.
TEST(ViewTexts, HeaderTextsPrintReadablyInEitherEncoding)
{
    for (const char* micro : {"\xB5m", "\xC2\xB5m"}) {
        CSpmImage image = MakeImage(2, 2, [](int r, int c) { return r + c; });
        std::strcpy(image.m_header.m_szZUnit, micro);
        std::strcpy(image.m_header.m_szXYUnit, micro);
        std::strcpy(image.m_header.m_szQuantity, "H\xC3\xB6he x");
        EXPECT_EQ(PointLineText(image, {1, 1}, nullptr), "Matrix:2x2 Xpoint:1 Ypoint:1 Z:2.00 \xB5m") << ::testing::PrintToString(std::string(micro));
        EXPECT_EQ(ScanSizeText(image), "XY: 2.0 \xB5m x 2.0 \xB5m") << ::testing::PrintToString(std::string(micro));
        EXPECT_EQ(ScaleTitle(image), "H\xF6he, \xB5m") << ::testing::PrintToString(std::string(micro));
        const CSpmImage* images[] = {&image};
        const ProfilePlotDesc desc = ProfileCurves(images, {0, 0}, {1, 1}, {}).front().m_desc;
        EXPECT_EQ(desc.m_strUnit, "\xC2\xB5m") << ::testing::PrintToString(std::string(micro));
        EXPECT_EQ(desc.m_strPosUnit, "\xC2\xB5m") << ::testing::PrintToString(std::string(micro));
        EXPECT_EQ(desc.m_strQuantity, "H\xC3\xB6he") << ::testing::PrintToString(std::string(micro));
    }
}

TEST(ColourSource, NamedImageElseTheShownOneOnce)
{
    std::map<std::string, std::pair<CSpmImage, SettingsPair>> images;
    for (const char* name : {"Height_01", "Phase_02"})
        images[name].first.m_strName = name;
    const ImageLookup find = [&](const std::string& name) {
        auto it = images.find(name);
        return it == images.end() ? ImageRecords{} : ImageRecords{&it->second.first, &it->second.second};
    };
    auto& [height, heightPair] = images["Height_01"];
    auto& [phase, phasePair] = images["Phase_02"];
    const ImageRecords shown{&height, &heightPair};
    heightPair[1].m_NameOfImageForColor = "Phase_02";
    ColourSource source = LookUpColourSource(find, shown, 1);
    EXPECT_EQ(source.image, &phase);
    EXPECT_EQ(source.settings, &phasePair[1]);
    EXPECT_FALSE(source.missingName);
    // The 2D record names an image that is gone: reported, and the image colours itself.
    heightPair[0].m_NameOfImageForColor = "Gone_07";
    source = LookUpColourSource(find, shown, 0);
    EXPECT_EQ(source.missingName, "Gone_07");
    EXPECT_EQ(source.settings, &heightPair[0]);
    EXPECT_EQ(heightPair[0].m_NameOfImageForColor, "Height_01");
    EXPECT_FALSE(LookUpColourSource(find, shown, 0).missingName);
}
