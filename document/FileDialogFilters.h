// The filter lists of the program's open and save file dialogs: a label the user sees and
// the file patterns it stands for. The GUI builds its dialogs from these.
#pragma once

#include <string>
#include <vector>

struct FileDialogFilter {
    std::string m_strLabel;    // e.g. "NT-MDT Files (*.mdt)"
    std::string m_strPattern;  // patterns separated by ";", e.g. "*.mdt"
};

// File Open: the four readable formats, then all files.
const std::vector<FileDialogFilter>& OpenDialogFilters();
// "Save Image As...": the three writable formats; there is no all-files entry.
const std::vector<FileDialogFilter>& SaveDialogFilters();
