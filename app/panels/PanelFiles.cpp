#include "app/panels/PanelFiles.h"

std::string UnableToRead(const std::string& path)
{
    return "Unable to read " + path;
}

std::string AskPanelFile(bool open, const FileTypeChoice& type)
{
    CFileDialogModel dialog(open, open ? "Open" : "Save As", {type});
    if (!Prompt().RunDialog(dialog))
        return {};
    return dialog.m_strPath;
}
