#include <gtest/gtest.h>

#include <algorithm>

#include "formats/FileDialogFilters.h"

namespace {

using Filters = std::vector<std::pair<std::string, std::string>>;

Filters Listed(const std::vector<FileDialogFilter>& filters)
{
    Filters listed;
    for (const FileDialogFilter& filter : filters)
        listed.emplace_back(filter.m_strLabel, filter.PatternText());
    return listed;
}

} // namespace

TEST(FileDialogFilters, OpenListsFourFormatsThenAllFilesAndSaveTheThreeWritable)
{
    Filters open = Listed(OpenDialogFilters());
    ASSERT_EQ(open.size(), 5u);
    // Every series number from 000 to 999 in order, each closed by ";".
    const std::string series = open[1].second;
    EXPECT_EQ(series.size(), 1000u * 6u);
    EXPECT_EQ(series.substr(0, 12), "*.000;*.001;");
    EXPECT_EQ(series.substr(6 * 427, 6), "*.427;");
    EXPECT_EQ(series.substr(series.size() - 12), "*.998;*.999;");
    open[1].second = "(checked above)";
    EXPECT_EQ(open, (Filters{
                        {"Tessalo Files (*.spm)", "*.spm"},
                        {"DI Nanoscope V4.3x Files (*.000 - *.999)", "(checked above)"},
                        {"NT-MDT Files (*.mdt)", "*.mdt"},
                        {"Origin Files (*.dat)", "*.dat"},
                        {"All Files (*.*)", "*.*"},
                    }));
    EXPECT_EQ(Listed(SaveDialogFilters()), (Filters{
                                               {"Tessalo Files (*.spm)", "*.spm"},
                                               {"DI Nanoscope V4.3x File (*.000)", "*.000"},
                                               {"NT-MDT File (*.mdt)", "*.mdt"},
                                           }));
    // Qt's form lists the same patterns in parentheses, separated by blanks.
    for (const FileDialogFilter& filter : OpenDialogFilters()) {
        std::string patterns = filter.PatternText();
        if (patterns.back() == ';')
            patterns.pop_back();
        std::replace(patterns.begin(), patterns.end(), ';', ' ');
        EXPECT_EQ(filter.QtNameFilter(), filter.m_strDescription + " (" + patterns + ")");
    }
    EXPECT_EQ(SaveDialogFilters()[2].QtNameFilter(), "NT-MDT File (*.mdt)");
    EXPECT_EQ(SaveDialogFilters()[1].m_strDefaultExtension, ".000");
}
