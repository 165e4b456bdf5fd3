#include "document/FileDialogFilters.h"

#include <cstdio>

namespace {

// "*.000;*.001;...;*.999;": every name of a NanoScope series, each with its separator.
std::string NanoscopeSeriesPatterns()
{
    std::string patterns;
    patterns.reserve(1000 * 6);
    for (int number = 0; number <= 999; ++number) {
        char pattern[16];
        std::snprintf(pattern, sizeof pattern, "*.%03d;", number);
        patterns += pattern;
    }
    return patterns;
}

} // namespace

const std::vector<FileDialogFilter>& OpenDialogFilters()
{
    static const std::vector<FileDialogFilter> filters{
        {"Tessalo Files (*.spm)", "*.spm"},
        {"DI Nanoscope V4.3x Files (*.000 - *.999)", NanoscopeSeriesPatterns()},
        {"NT-MDT Files (*.mdt)", "*.mdt"},
        {"Origin Files (*.dat)", "*.dat"},
        {"All Files (*.*)", "*.*"},
    };
    return filters;
}

const std::vector<FileDialogFilter>& SaveDialogFilters()
{
    static const std::vector<FileDialogFilter> filters{
        {"Tessalo Files (*.spm)", "*.spm"},
        {"DI Nanoscope V4.3x File (*.000)", "*.000"},
        {"NT-MDT File (*.mdt)", "*.mdt"},
    };
    return filters;
}
