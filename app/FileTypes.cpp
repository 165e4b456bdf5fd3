#include "app/FileTypes.h"

#include "document/FileDialogFilters.h"
#include "platform/core/PathText.h"

namespace {

// "*.000;*.001;" -> {"*.000", "*.001"}; a bare name gets the first pattern's extension.
FileTypeChoice ToChoice(const FileDialogFilter& filter)
{
    FileTypeChoice choice{filter.m_strLabel, {}, {}};
    std::size_t start = 0;
    while (start < filter.m_strPattern.size()) {
        std::size_t end = filter.m_strPattern.find(';', start);
        if (end == std::string::npos)
            end = filter.m_strPattern.size();
        if (end > start)
            choice.m_patterns.push_back(filter.m_strPattern.substr(start, end - start));
        start = end + 1;
    }
    if (!choice.m_patterns.empty()) {
        const std::string extension = ExtensionOf(choice.m_patterns.front());
        if (extension.find('*') == std::string::npos)
            choice.m_strExtension = extension;
    }
    return choice;
}

std::vector<FileTypeChoice> ToChoices(const std::vector<FileDialogFilter>& filters)
{
    std::vector<FileTypeChoice> choices;
    for (const FileDialogFilter& filter : filters)
        choices.push_back(ToChoice(filter));
    return choices;
}

} // namespace

std::vector<FileTypeChoice> OpenFileTypes()
{
    return ToChoices(OpenDialogFilters());
}

std::vector<FileTypeChoice> SaveFileTypes()
{
    return ToChoices(SaveDialogFilters());
}
