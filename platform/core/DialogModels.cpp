#include "platform/core/DialogModels.h"

#include "platform/core/PathText.h"

CQuestionBox::Answer AskYesNoCancel(const std::string& text)
{
    CQuestionBox box(text);
    Prompt().RunDialog(box);
    return box.m_answer;
}

void CFileDialogModel::Choose(const std::string& path, std::size_t type)
{
    m_nType = type < m_types.size() ? type : 0;
    m_strPath = path;
    if (!path.empty() && ExtensionOf(path).empty() && m_nType < m_types.size())
        m_strPath += m_types[m_nType].m_strExtension;
}
