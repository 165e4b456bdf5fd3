#include "formats/FileDialogFilters.h"

#include <cstdio>

#include "formats/ImageFormat.h"

namespace {

// "*.000" to "*.999": every name of a NanoScope series.
std::vector<std::string> NumberedSeriesPatterns()
{
    std::vector<std::string> patterns;
    patterns.reserve(1000);
    for (int number = 0; number <= 999; ++number) {
        char pattern[16];
        std::snprintf(pattern, sizeof pattern, "*.%03d", number);
        patterns.emplace_back(pattern);
    }
    return patterns;
}

std::string Label(std::string_view description, std::string_view patternText)
{
    return std::string(description) + " (" + std::string(patternText) + ")";
}

} // namespace

std::string FileDialogFilter::PatternText() const
{
    if (m_patterns.size() == 1)
        return m_patterns.front();
    std::string text;
    for (const std::string& pattern : m_patterns)
        text += pattern + ";";
    return text;
}

std::string FileDialogFilter::QtNameFilter() const
{
    std::string text = m_strDescription + " (";
    for (std::size_t i = 0; i < m_patterns.size(); ++i)
        text.append(i == 0 ? "" : " ").append(m_patterns[i]);
    return text + ")";
}

const std::vector<FileDialogFilter>& OpenDialogFilters()
{
    static const std::vector<FileDialogFilter> filters = [] {
        std::vector<FileDialogFilter> list;
        for (const ImageFormatEntry& entry : ImageFormatTable()) {
            std::vector<std::string> patterns = entry.m_bNumberedSeries
                                                    ? NumberedSeriesPatterns()
                                                    : std::vector<std::string>{std::string(entry.m_openPatternText)};
            list.push_back({Label(entry.m_openDescription, entry.m_openPatternText),
                            std::string(entry.m_openDescription), std::move(patterns),
                            std::string(entry.m_defaultExtension)});
        }
        list.push_back({"All Files (*.*)", "All Files", {"*.*"}, ""});
        return list;
    }();
    return filters;
}

const std::vector<FileDialogFilter>& SaveDialogFilters()
{
    static const std::vector<FileDialogFilter> filters = [] {
        std::vector<FileDialogFilter> list;
        for (const ImageFormatEntry& entry : ImageFormatTable()) {
            if (entry.m_saveDescription.empty())
                continue;
            std::string pattern = "*";
            pattern += entry.m_defaultExtension;
            list.push_back({Label(entry.m_saveDescription, pattern), std::string(entry.m_saveDescription),
                            {pattern}, std::string(entry.m_defaultExtension)});
        }
        return list;
    }();
    return filters;
}
