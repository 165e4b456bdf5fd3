// Number and colour texts of the profile files.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "presentation/IniConversions.h"

TEST(ParseIniNumber, KnownAnswers)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"-0.5", -0.5},  {"", 0.0},        {"40960", 40960.0}, {"12.50", 12.5},
        {"3.", 3.0},     {"a1b2", 12.0},   {"1.2.3", 12.3},    {"1.5 nm", 0.0015},
        {"-", 0.0},      {"  7", 7.0},     {"1,5", 15.0},      {"230.00", 230.0},
        {"0.1", 0.1},    {"x-3", 3.0},     {"--2", -2.0},      {"255", 255.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(ParseIniNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseIniNumber, DigitsAccumulateInDoublePrecision)
{
    // 16777217 is the first whole number a float cannot hold: a float accumulator would
    // read 16777216 and lose digits of long numbers.
    EXPECT_EQ(ParseIniNumber("16777217"), 16777217.0);
    EXPECT_EQ(ParseIniNumber("123456789.5"), 123456789.5);
    EXPECT_TRUE(std::isinf(ParseIniNumber(std::string(400, '9'))));
}

TEST(ParseIniColor, KnownAnswers)
{
    EXPECT_EQ(ParseIniColor("200,100,50"), 200u + 100u * 256u + 50u * 65536u);
    EXPECT_EQ(ParseIniColor("10,20"), MakeColor(10, 0, 20));
    EXPECT_EQ(ParseIniColor("16777215"), MakeColor(255, 255, 255));
    EXPECT_EQ(ParseIniColor(""), 0u);
    EXPECT_EQ(ParseIniColor(",,"), 0u);
    // Components above 255 spill into the next one.
    EXPECT_EQ(ParseIniColor("256,0,0"), MakeColor(0, 1, 0));
    EXPECT_EQ(ParseIniColor("0,0,256"), 1u << 24);
    // A first comma at position 10 or later makes the whole text one number.
    EXPECT_EQ(ParseIniColor("0000000001,2,3"), 123u);
    EXPECT_EQ(ParseIniColor("000000001,2,3"), MakeColor(1, 2, 3));
    EXPECT_EQ(ParseIniColor("1,2,3,4"), MakeColor(1, 2, 34));
}

TEST(FormatIniColor, KnownAnswersAndRoundTrip)
{
    EXPECT_EQ(FormatIniColor(MakeColor(255, 255, 255)), "255,255,255");
    EXPECT_EQ(FormatIniColor(MakeColor(1, 2, 3)), "1,2,3");
    EXPECT_EQ(FormatIniColor(0xFF000000u | MakeColor(4, 5, 6)), "4,5,6");
    std::mt19937 random(3);
    for (int i = 0; i < 1000; ++i) {
        const COLORREF colour = random() & 0xFFFFFFu;
        ASSERT_EQ(ParseIniColor(FormatIniColor(colour)), colour);
    }
}
