// The framework's dialogs that offer a list to choose one entry from: File New's list of
// document types ("New") and the Window menu's "Select Window" for frames beyond the ninth.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/core/Prompt.h"

class CChoiceListDlg : public IDialogModel {
public:
    CChoiceListDlg(std::string caption, std::vector<std::string> entries)
        : m_strCaption(std::move(caption)), m_entries(std::move(entries)) {}
    std::string Caption() const override { return m_strCaption; }

    std::string m_strCaption;
    std::vector<std::string> m_entries;
    std::size_t m_nSelected = 0;      // the first entry is chosen at start
};
