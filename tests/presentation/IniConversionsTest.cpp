// Colour texts of the profile files.
#include <gtest/gtest.h>

#include <random>

#include "presentation/IniConversions.h"

TEST(ParseIniColor, KnownAnswers)
{
    const std::pair<const char*, COLORREF> cases[] = {
        {"200,100,50", 200u + 100u * 256u + 50u * 65536u},
        {"10,20", MakeColor(10, 0, 20)},  // no second comma: green empty, blue the rest
        {"16777215", MakeColor(255, 255, 255)},
        {"", 0u},
        {",,", 0u},
        {"256,0,0", MakeColor(0, 1, 0)},  // components above 255 spill into the next one
        // What spills past blue is dropped: the top byte stays 0.
        {"0,0,256", 0u},
        {",999", (999u << 16) & 0xFFFFFFu},
        {"16777217", 1u},
        {"0000000001,2,3", 123u},  // a first comma at position 10 or later: one number
        {"000000001,2,3", MakeColor(1, 2, 3)},
        {"1,2,3,4", MakeColor(1, 2, 34)},
    };
    for (const auto& [text, colour] : cases)
        EXPECT_EQ(ParseIniColor(text), colour) << '"' << text << '"';
}

TEST(FormatIniColor, KnownAnswersAndRoundTrip)
{
    EXPECT_EQ(FormatIniColor(MakeColor(255, 255, 255)), "255,255,255");
    EXPECT_EQ(FormatIniColor(0xFF000000u | MakeColor(1, 2, 3)), "1,2,3");
    std::mt19937 random(3);
    for (int i = 0; i < 1000; ++i) {
        const COLORREF colour = random() & 0xFFFFFFu;
        ASSERT_EQ(ParseIniColor(FormatIniColor(colour)), colour);
    }
}
