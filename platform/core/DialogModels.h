// The models of the framework's own dialogs that the program runs through the prompt: the
// question box, the file dialogs, the colour dialog, the Options dialog and the lists to
// choose one entry from. Plain classes, so tests answer them through a scripted prompt.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Prompt.h"

// A message box with Yes, No and Cancel.
class CQuestionBox : public IDialogModel {
public:
    enum class Answer { Yes, No, Cancel };

    explicit CQuestionBox(std::string text) : m_strText(std::move(text)) {}
    std::string Caption() const override { return m_strText; }

    std::string m_strText;
    Answer m_answer = Answer::Cancel;   // what a close without a choice means
};

// Asks `text` with Yes, No and Cancel through the prompt.
CQuestionBox::Answer AskYesNoCancel(const std::string& text);

// One entry of a file dialog's type list.
struct FileTypeChoice {
    std::string m_strLabel;                  // "NT-MDT Files (*.mdt)"
    std::vector<std::string> m_patterns;     // "*.mdt"; "*" and "*.*" take any name
    std::string m_strExtension;              // what a bare name gets in this entry: ".mdt"
    // The file a save in this entry writes for a name, where its writer completes names of
    // its own accord ("a.SPM" as "a.SPM.spm"); none writes the name as it is.
    std::function<std::string(std::string_view)> m_writtenPath = nullptr;
};

// An entry whose saves write every chosen name with the extension behind it, "a.txt" as
// "a.txt.plt" and "a.PLT" as "a.PLT.plt", not only a bare name.
FileTypeChoice AlwaysExtensionType(std::string label, std::string pattern, std::string extension);

class CFileDialogModel : public IDialogModel {
public:
    CFileDialogModel(bool open, std::string title, std::vector<FileTypeChoice> types)
        : m_bOpen(open), m_strTitle(std::move(title)), m_types(std::move(types)) {}
    std::string Caption() const override { return m_strTitle; }

    // The user's choice: the name in entry `type`, as WithExtension makes it.
    void Choose(const std::string& path, std::size_t type);
    // A name without an extension gets entry `type`'s, so "scan" saved as a NanoScope file
    // becomes "scan.000"; any other name stays as it is, unless a save dialog's entry has its
    // writer's rule. A dialog applies this before it looks for
    // the file, so that it asks whether to replace the file that will be written.
    std::string WithExtension(const std::string& path, std::size_t type) const;
    // That extension without its point ("000"; empty for an entry that takes any name).
    std::string DefaultSuffix(std::size_t type) const;

    bool m_bOpen;
    std::string m_strTitle;
    std::vector<FileTypeChoice> m_types;
    std::size_t m_nType = 0;                 // the entry chosen; the first at start
    std::string m_strPath;                   // empty until the user chooses
};

// The colour dialog: a COLORREF (red in the low byte).
class CColorDialogModel : public IDialogModel {
public:
    explicit CColorDialogModel(std::uint32_t color) : m_color(color) {}
    std::string Caption() const override { return "Color"; }

    std::uint32_t m_color;
};

// The "Options" dialog: how views render (0 precisely, 1 coarsely, 2 no drawing, which the
// dialog cannot choose) and the grid size of the coarse render.
class CDialogOptions : public IDialogModel {
public:
    static constexpr const char* kCaption = "Options";
    // The coarse render divides the image side by the size, so 0 is refused here.
    static constexpr unsigned kMinMatrixSize = 1;
    static constexpr unsigned kMaxMatrixSize = 1000;

    CDialogOptions(int mode, unsigned matrixSize) : m_nMode(mode), m_nMatrixSize(matrixSize) {}
    std::string Caption() const override { return kCaption; }

    // The matrix size edit takes input only for the coarse render.
    bool MatrixSizeEnabled() const { return m_nMode == 1; }

    int m_nMode;
    unsigned m_nMatrixSize;
    int m_bAccepted = 0;                     // 1 exactly when the dialog closed with OK
};

// A list to choose one entry from: File New's list of document types ("New"), the Window
// menu's "Select Window" for frames beyond the ninth, and which image file's settings the
// configuration panel loads or replaces in a presentation file several of them share.
class CChoiceListDlg : public IDialogModel {
public:
    CChoiceListDlg(std::string caption, std::vector<std::string> entries, std::string text = {})
        : m_strCaption(std::move(caption)), m_entries(std::move(entries)), m_strText(std::move(text)) {}
    std::string Caption() const override { return m_strCaption; }

    std::string m_strCaption;
    std::vector<std::string> m_entries;
    std::string m_strText;            // the question above the list; none when empty
    std::size_t m_nSelected = 0;      // the first entry is chosen at start
};
