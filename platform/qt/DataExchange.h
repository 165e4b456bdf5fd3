// Dialog data exchange: fields and controls in one list per dialog, read in one direction or
// the other. Reading assigns each value, then validates it; the first failure shows its
// message, puts the focus on its control and stops the exchange. Only a text the user typed
// is validated: one the program put there (a value shown, a scroll bar's, a record loaded)
// is read as it is, so that showing a value never asks the user about it. Writing sets an
// edit's text only when it differs. A single-line edit's change signal fires when the program sets
// its text (panels rely on that); multi-line edits, buttons, lists and trees are written
// without signals, so their handlers run on user action only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

class CDataExchange {
public:
    explicit CDataExchange(bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate) {}

    // True while controls are read into fields, false while fields are written to controls.
    bool m_bSaveAndValidate;
    // Set by the first failure; every later step does nothing.
    bool m_bFailed = false;

    // A read failed on `control`: show `message`, focus the control, stop.
    void Fail(QWidget* control, const std::string& message);
    bool Skips() const { return m_bFailed; }

    // The control the last exchange step used, which the validation steps refer to.
    QWidget* m_pLastControl = nullptr;
    // Whether the user typed the text that step read: only then is it validated.
    bool m_bLastTyped = false;
};

void DDX_Text(CDataExchange& dx, QLineEdit* edit, std::string& value);
void DDX_Text(CDataExchange& dx, QLineEdit* edit, double& value);
void DDX_Text(CDataExchange& dx, QLineEdit* edit, int& value);
void DDX_Text(CDataExchange& dx, QLineEdit* edit, unsigned& value);
void DDX_Text(CDataExchange& dx, QPlainTextEdit* edit, std::string& value);
// The index of the checked button of a group (-1 none).
void DDX_Radio(CDataExchange& dx, const std::vector<QAbstractButton*>& group, int& value);
void DDX_Check(CDataExchange& dx, QAbstractButton* box, int& value);

// Validation of the value just read, when the user typed it; nothing while writing (a text
// the program sets may be longer than the limit).
void DDV_MinMaxDouble(CDataExchange& dx, double value, double min, double max);
void DDV_MinMaxInt(CDataExchange& dx, int value, int min, int max);
void DDV_MinMaxUInt(CDataExchange& dx, unsigned value, unsigned min, unsigned max);
void DDV_MaxChars(CDataExchange& dx, const std::string& value, std::size_t limit);
