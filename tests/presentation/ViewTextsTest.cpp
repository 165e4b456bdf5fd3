// The texts beside the 2D and 3D pictures and the shared colour-source lookup.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "presentation/ColourSource.h"
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
        {2500, "um", ""},         {1000, "nm", ""},      {12, "um", "12 um"},       {2, "um", "2.0 um"},
        {0.390625, "um", "0.39 um"},
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
