// Dialog data exchange: fields and controls in one list per dialog, read in one direction or
// the other. Reading assigns each value, then validates it. Only a text the user typed
// is validated: one the program put there (a value shown, a scroll bar's, a record loaded)
// is read as it is, so that showing a value never asks the user about it. What a typed text
// that is no value of its field does depends on why the controls are read:
// - a dialog's OK (CDataExchange(true)): the first one shows its message, puts the focus on
//   its control, with an edit's text selected to type over, and stops the exchange;
// - a keystroke, a click on a button, box or bar (ExchangeTyped): it is neither taken nor
//   said, and its control keeps it, to say so when the user leaves it;
// - the user leaving an edit (ExchangeLeft): only that edit is read; its field takes back
//   what it held before the user began that text (CTypingStart) and shows it at once; the
//   message comes once the action that left the edit is done.
// Writing sets an edit's text only when it differs, and DDV_MaxChars gives the edit its
// limit for typing. A single-line edit's change signal fires when the program
// sets its text (panels rely on that); multi-line edits, buttons, lists and trees are written
// without signals, so their handlers run on user action only.
#pragma once

#include <any>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/TypingStart.h"
#include "platform/qt/TypingLimit.h"

class QAbstractButton;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

class CDataExchange {
public:
    // Why the controls are read: see the top of this file.
    enum class Check { Report, Keep, PutBack };

    explicit CDataExchange(bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate) {}
    CDataExchange(bool saveAndValidate, Check check, QWidget* control)
        : m_bSaveAndValidate(saveAndValidate), m_check(check), m_pControl(control) {}

    // True while controls are read into fields, false while fields are written to controls.
    bool m_bSaveAndValidate;
    // Set by the first failure (Report) or the refusal of the edit left (PutBack); every
    // later step does nothing.
    bool m_bFailed = false;

    // A read failed on `control`: show `message`, focus the control with its text selected,
    // stop.
    void Fail(QWidget* control, const std::string& message);

    // The control the last exchange step used, which the validation steps refer to.
    QWidget* m_pLastControl = nullptr;
    // Whether the user typed the text that step read: only then is it validated.
    bool m_bLastTyped = false;

    // The step for `control` begins: false when this exchange leaves the control alone.
    bool Begin(QWidget* control, bool typed);
    // Called by a read step before it assigns: puts `field` back when the step's text is
    // refused, as it is now while the user types; when the user left the control, as it was
    // before they began the text refused, and shows it there again.
    template <class T, class Show>
    void Remember(T& field, Show show)
    {
        T before = field;
        if (m_pLastControl == m_pControl) {
            if (m_check == Check::Keep)
                m_typedStart = field;
            else if (const T* start = m_pStart != nullptr ? std::any_cast<T>(m_pStart) : nullptr)
                before = *start;
        }
        m_restore = [&field, before = std::move(before), show = std::move(show)](bool putBack) {
            field = before;
            if (putBack)
                show(field);
        };
    }
    // The last step's typed text is no value of its field. `unreadable`: it is no number at
    // all; when the user left the edit, a range validated after it is what they are told.
    void Refuse(const std::string& message, bool unreadable = false);
    // The validation step after a read: `valid` tells whether the value read is one of the
    // field, `message` what the user is told otherwise.
    void Validate(bool valid, const std::string& message);

    // The write after a read of ExchangeTyped: the edit typed in and the controls keeping a
    // refused text are left as they show.
    CDataExchange WriteBack() const;
    // Whether `control` keeps a text refused by this read (Keep).
    bool Keeps(const QWidget* control) const;
    // What the edit left is told (PutBack): empty when its text was taken.
    const std::string& Refusal() const { return m_strRefusal; }
    // What the field of the edit typed in held before this read (Keep).
    std::any TypedStart() const { return m_typedStart; }
    // What the field of the edit left held before the user began its text (PutBack): a
    // refused text puts that back. Empty: the field's value as it is.
    void SetStart(const std::any* start) { m_pStart = start; }

private:
    Check m_check = Check::Report;
    QWidget* m_pControl = nullptr;        // the edit typed in (Keep) or left (PutBack)
    std::vector<QWidget*> m_kept;
    std::function<void(bool putBack)> m_restore;
    std::any m_typedStart;
    const std::any* m_pStart = nullptr;
    bool m_bLastUnreadable = false;
    std::string m_strRefusal;
};

// The user typed into `typing` (null: clicked a button, a box or a bar): `exchange` takes
// every control's value, then shows the values back, except in `typing`, which is never
// rewritten under the user's fingers, and in the controls keeping a refused text. False when
// `typing` keeps one: its text went nowhere.
bool ExchangeTyped(QWidget* typing, const std::function<void(CDataExchange&)>& exchange);
// The user left `control` (Enter, Tab, a click elsewhere): `exchange` reads that control
// alone. A refused text takes nothing, not even the values read on the way to it: the field
// goes back at once to what it held before the user began that text, and the edit shows it,
// so that the action that left the edit runs on that value; the refusal is said once that
// action is done. False when the text was refused.
bool ExchangeLeft(QWidget* control, const std::function<void(CDataExchange&)>& exchange);

// The start of the text the user is typing into `edit`, which lives as long as the edit. A
// text the program shows there ends it; so does the user leaving the edit, which the caller
// tells it, as ExchangeLeft does.
CTypingStart& TypingStartOf(QLineEdit& edit);
CTypingStart& TypingStartOf(QPlainTextEdit& edit);

void DDX_Text(CDataExchange& dx, QLineEdit* edit, std::string& value);
void DDX_Text(CDataExchange& dx, QLineEdit* edit, double& value);
void DDX_Text(CDataExchange& dx, QLineEdit* edit, int& value);
void DDX_Text(CDataExchange& dx, QLineEdit* edit, unsigned& value);
void DDX_Text(CDataExchange& dx, QPlainTextEdit* edit, std::string& value);
// The index of the checked button of a group (-1 none).
void DDX_Radio(CDataExchange& dx, const std::vector<QAbstractButton*>& group, int& value);
void DDX_Check(CDataExchange& dx, QAbstractButton* box, int& value);

// Validation of the value just read, when the user typed it. While writing, DDV_MaxChars
// gives the edit its limit for typing (LimitTyping); a text the program sets may be longer.
// Its message names the characters, also for a text refused for its bytes.
void DDV_MinMaxDouble(CDataExchange& dx, double value, double min, double max);
void DDV_MinMaxInt(CDataExchange& dx, int value, int min, int max);
void DDV_MinMaxUInt(CDataExchange& dx, unsigned value, unsigned min, unsigned max);
void DDV_MaxChars(CDataExchange& dx, const std::string& value, std::size_t limit, std::size_t byteLimit = kAnyBytes);
