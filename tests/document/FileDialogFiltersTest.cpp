#include <gtest/gtest.h>

#include "document/FileDialogFilters.h"

#include <sstream>
#include <utility>

namespace {

using Filter = std::pair<std::string, std::string>;

std::vector<Filter> Listed(const std::vector<FileDialogFilter>& filters)
{
    std::vector<Filter> listed;
    for (const FileDialogFilter& filter : filters)
        listed.emplace_back(filter.m_strLabel, filter.m_strPattern);
    return listed;
}

} // namespace

TEST(FileDialogFilters, OpenListOffersFourFormatsThenAllFiles)
{
    std::vector<Filter> open = Listed(OpenDialogFilters());
    ASSERT_EQ(open.size(), 5u);
    open[1].second = "(checked below)";
    EXPECT_EQ(open, (std::vector<Filter>{
                        {"Tessalo Files (*.spm)", "*.spm"},
                        {"DI Nanoscope V4.3x Files (*.000 - *.999)", "(checked below)"},
                        {"NT-MDT Files (*.mdt)", "*.mdt"},
                        {"Origin Files (*.dat)", "*.dat"},
                        {"All Files (*.*)", "*.*"},
                    }));
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
    EXPECT_EQ(Listed(SaveDialogFilters()), (std::vector<Filter>{
                                               {"Tessalo Files (*.spm)", "*.spm"},
                                               {"DI Nanoscope V4.3x File (*.000)", "*.000"},
                                               {"NT-MDT File (*.mdt)", "*.mdt"},
                                           }));
}
