#include "app/FileTypes.h"

#include "formats/FileDialogFilters.h"
#include "formats/ImageFormat.h"

namespace {

std::vector<FileTypeChoice> ToChoices(const std::vector<FileDialogFilter>& filters)
{
    std::vector<FileTypeChoice> choices;
    for (const FileDialogFilter& filter : filters)
        choices.push_back({filter.m_strLabel, filter.m_patterns, filter.m_strDefaultExtension});
    return choices;
}

} // namespace

std::vector<FileTypeChoice> OpenFileTypes()
{
    return ToChoices(OpenDialogFilters());
}

std::vector<FileTypeChoice> SaveFileTypes()
{
    std::vector<FileTypeChoice> choices = ToChoices(SaveDialogFilters());
    for (FileTypeChoice& choice : choices)
        choice.m_writtenPath = &WrittenPath;
    return choices;
}
