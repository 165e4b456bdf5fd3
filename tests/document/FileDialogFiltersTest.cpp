#include <gtest/gtest.h>

#include "document/FileDialogFilters.h"

#include <sstream>

TEST(FileDialogFilters, OpenListOffersFourFormatsThenAllFiles)
{
    const auto& filters = OpenDialogFilters();
    ASSERT_EQ(filters.size(), 5u);
    EXPECT_EQ(filters[0].m_strLabel, "Tessalo Files (*.spm)");
    EXPECT_EQ(filters[0].m_strPattern, "*.spm");
    EXPECT_EQ(filters[1].m_strLabel, "DI Nanoscope V4.3x Files (*.000 - *.999)");
    EXPECT_EQ(filters[2].m_strLabel, "NT-MDT Files (*.mdt)");
    EXPECT_EQ(filters[2].m_strPattern, "*.mdt");
    EXPECT_EQ(filters[3].m_strLabel, "Origin Files (*.dat)");
    EXPECT_EQ(filters[3].m_strPattern, "*.dat");
    EXPECT_EQ(filters[4].m_strLabel, "All Files (*.*)");
    EXPECT_EQ(filters[4].m_strPattern, "*.*");
}

TEST(FileDialogFilters, NanoscopePatternListsEverySeriesNumberInOrder)
{
    const std::string& patterns = OpenDialogFilters()[1].m_strPattern;
    EXPECT_EQ(patterns.size(), 1000u * 6u);
    EXPECT_EQ(patterns.substr(0, 12), "*.000;*.001;");
    EXPECT_EQ(patterns.substr(patterns.size() - 6), "*.999;");
    std::istringstream items(patterns);
    std::string item;
    int expected = 0;
    while (std::getline(items, item, ';')) {
        char text[16];
        std::snprintf(text, sizeof text, "*.%03d", expected++);
        ASSERT_EQ(item, text);
    }
    EXPECT_EQ(expected, 1000);
}

TEST(FileDialogFilters, SaveListOffersTheThreeWritableFormats)
{
    const auto& filters = SaveDialogFilters();
    ASSERT_EQ(filters.size(), 3u);
    EXPECT_EQ(filters[0].m_strLabel, "Tessalo Files (*.spm)");
    EXPECT_EQ(filters[0].m_strPattern, "*.spm");
    EXPECT_EQ(filters[1].m_strLabel, "DI Nanoscope V4.3x File (*.000)");
    EXPECT_EQ(filters[1].m_strPattern, "*.000");
    EXPECT_EQ(filters[2].m_strLabel, "NT-MDT File (*.mdt)");
    EXPECT_EQ(filters[2].m_strPattern, "*.mdt");
}
