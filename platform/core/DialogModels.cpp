#include "platform/core/DialogModels.h"

#include "platform/core/PathText.h"

CQuestionBox::Answer AskYesNoCancel(const std::string& text)
{
    CQuestionBox box(text);
    Prompt().RunDialog(box);
    return box.m_answer;
}

FileTypeChoice AlwaysExtensionType(std::string label, std::string pattern, std::string extension)
{
    FileTypeChoice type{std::move(label), {std::move(pattern)}, extension};
    type.m_writtenPath = [extension](std::string_view path) { return EnsureExtension(path, extension); };
    return type;
}

void CFileDialogModel::Choose(const std::string& path, std::size_t type)
{
    m_nType = type < m_types.size() ? type : 0;
    m_strPath = WithExtension(path, m_nType);
}

std::string CFileDialogModel::WithExtension(const std::string& path, std::size_t type) const
{
    if (path.empty() || type >= m_types.size())
        return path;
    const FileTypeChoice& entry = m_types[type];
    const std::string named = ExtensionOf(path).empty() ? path + entry.m_strExtension : path;
    return !m_bOpen && entry.m_writtenPath ? entry.m_writtenPath(named) : named;
}

std::string CFileDialogModel::DefaultSuffix(std::size_t type) const
{
    if (type >= m_types.size())
        return {};
    const std::string& extension = m_types[type].m_strExtension;
    return extension.starts_with('.') ? extension.substr(1) : extension;
}
