#include <gtest/gtest.h>

#include "image/SpmHeader.h"

#include <cstring>

TEST(SpmHeaderText, SetCutsToFitTerminatesAndClearsTheRest)
{
    SpmHeader header;
    std::memset(&header, 'x', sizeof header);
    SetHeaderText(header.m_szZUnit, "nm");
    EXPECT_EQ(std::string(header.m_szZUnit), "nm");
    EXPECT_EQ(header.m_szZUnit[2], '\0');
    EXPECT_EQ(header.m_szZUnit[3], '\0');
    SetHeaderText(header.m_szXYUnit, "abcdefgh");
    EXPECT_EQ(std::string(header.m_szXYUnit), "abcde");
    EXPECT_EQ(header.m_szNote[0], 'x');  // the next field is untouched
    SetHeaderText(header.m_szQuantity, std::string_view{});
    EXPECT_EQ(header.m_szQuantity[0], '\0');
    EXPECT_EQ(header.m_szQuantity[95], '\0');
}

TEST(SpmHeaderText, ReadStopsAtTheFirstZeroOrTheFieldEnd)
{
    SpmHeader header{};
    std::memcpy(header.m_szZUnit, "ab\0c", 4);
    EXPECT_EQ(HeaderText(header.m_szZUnit), "ab");
    std::memcpy(header.m_szZUnit, "abcd", 4);  // a file may fill a field to its last byte
    std::memcpy(header.m_szXYUnit, "ZZZZZ", 6);
    EXPECT_EQ(HeaderText(header.m_szZUnit), "abcd");
}
