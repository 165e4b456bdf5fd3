// The filter lists of the program's open and save file dialogs, built from the format table
// (formats/ImageFormat.h): a label the user sees, the file patterns it stands for and the
// extension a save appends. The GUI builds its dialogs from these.
#pragma once

#include <string>
#include <vector>

struct FileDialogFilter {
    std::string m_strLabel;              // e.g. "NT-MDT Files (*.mdt)"
    std::string m_strDescription;        // e.g. "NT-MDT Files"
    std::vector<std::string> m_patterns; // e.g. {"*.mdt"}; every name of a series
    std::string m_strDefaultExtension;   // e.g. ".mdt"; empty for all files

    // The patterns separated by ";", each closed by one when there are several.
    std::string PatternText() const;
    // A Qt name filter: the description, then the patterns in parentheses separated by blanks.
    std::string QtNameFilter() const;
};

// File Open: the four readable formats, then all files.
const std::vector<FileDialogFilter>& OpenDialogFilters();
// "Save Image As...": the three writable formats; there is no all-files entry.
const std::vector<FileDialogFilter>& SaveDialogFilters();
