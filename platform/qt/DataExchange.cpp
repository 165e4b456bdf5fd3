#include "platform/qt/DataExchange.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/core/Prompt.h"
#include "platform/qt/DisplayText.h"

namespace {

// Writing sets the text only when it differs, so an unchanged edit keeps its cursor and
// sends no change signal.
void WriteText(QLineEdit* edit, const std::string& text)
{
    const QString wanted = DisplayText(text);
    if (edit->text() != wanted)
        edit->setText(wanted);
}

std::string ReadText(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

// A text the user changed since the program last set it, in an edit the user can type in.
bool Typed(const QLineEdit* edit)
{
    return edit->isEnabled() && !edit->isReadOnly() && edit->isModified();
}

// The step that reads `control` begins: what the validation after it refers to.
void BeginStep(CDataExchange& dx, QWidget* control, bool typed)
{
    dx.m_pLastControl = control;
    dx.m_bLastTyped = dx.m_bSaveAndValidate && typed;
}

// A text that does not read as the number asked for: the user is told when they typed it;
// a text the program set leaves the field as it was.
void Unreadable(CDataExchange& dx, QLineEdit* edit, const char* message)
{
    if (dx.m_bLastTyped)
        dx.Fail(edit, message);
}

// A whole number in [min, max] in `edit`; false when there is none.
bool ReadWhole(CDataExchange& dx, QLineEdit* edit, double min, double max, const char* message,
               double& value)
{
    if (!ParseDialogNumber(ReadText(edit), value) || value != std::floor(value) || value < min ||
        value > max) {
        Unreadable(dx, edit, message);
        return false;
    }
    return true;
}

// A whole number shown as it is and read back only within the range of T.
template <class T>
void ExchangeWhole(CDataExchange& dx, QLineEdit* edit, T& value, const char* message)
{
    if (dx.Skips())
        return;
    BeginStep(dx, edit, Typed(edit));
    if (!dx.m_bSaveAndValidate) {
        WriteText(edit, std::to_string(value));
        return;
    }
    double read = 0.0;
    if (ReadWhole(dx, edit, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), message, read))
        value = static_cast<T>(read);
}

} // namespace

void CDataExchange::Fail(QWidget* control, const std::string& message)
{
    if (m_bFailed)
        return;
    m_bFailed = true;
    Prompt().Message(message);
    if (control != nullptr)
        control->setFocus();
}

void DDX_Text(CDataExchange& dx, QLineEdit* edit, std::string& value)
{
    if (dx.Skips())
        return;
    BeginStep(dx, edit, Typed(edit));
    if (dx.m_bSaveAndValidate)
        value = ReadText(edit);
    else
        WriteText(edit, value);
}

void DDX_Text(CDataExchange& dx, QLineEdit* edit, double& value)
{
    if (dx.Skips())
        return;
    BeginStep(dx, edit, Typed(edit));
    if (!dx.m_bSaveAndValidate) {
        WriteText(edit, FormatDialogNumber(value));
        return;
    }
    double read = 0.0;
    if (!ParseDialogNumber(ReadText(edit), read)) {
        Unreadable(dx, edit, "Please enter a number.");
        return;
    }
    value = read;
}

void DDX_Text(CDataExchange& dx, QLineEdit* edit, int& value)
{
    ExchangeWhole(dx, edit, value, "Please enter an integer.");
}

void DDX_Text(CDataExchange& dx, QLineEdit* edit, unsigned& value)
{
    ExchangeWhole(dx, edit, value, "Please enter a positive integer.");
}

void DDX_Text(CDataExchange& dx, QPlainTextEdit* edit, std::string& value)
{
    if (dx.Skips())
        return;
    BeginStep(dx, edit, edit->isEnabled() && !edit->isReadOnly() && edit->document()->isModified());
    if (dx.m_bSaveAndValidate) {
        value = edit->toPlainText().toStdString();
        return;
    }
    const QString wanted = DisplayText(value);
    if (edit->toPlainText() != wanted) {
        const QSignalBlocker quiet(edit);
        edit->setPlainText(wanted);
        edit->document()->setModified(false);
    }
}

void DDX_Radio(CDataExchange& dx, const std::vector<QAbstractButton*>& group, int& value)
{
    if (dx.Skips() || group.empty())
        return;
    BeginStep(dx, group.front(), false);
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (dx.m_bSaveAndValidate) {
            if (group[i]->isChecked()) {
                value = static_cast<int>(i);
                return;
            }
        } else {
            const QSignalBlocker quiet(group[i]);
            group[i]->setChecked(static_cast<int>(i) == value);
        }
    }
    if (dx.m_bSaveAndValidate)
        value = -1;
}

void DDX_Check(CDataExchange& dx, QAbstractButton* box, int& value)
{
    if (dx.Skips())
        return;
    BeginStep(dx, box, false);
    if (dx.m_bSaveAndValidate) {
        value = box->isChecked() ? 1 : 0;
    } else {
        const QSignalBlocker quiet(box);
        box->setChecked(value != 0);
    }
}

void DDV_MinMaxDouble(CDataExchange& dx, double value, double min, double max)
{
    if (dx.Skips() || !dx.m_bLastTyped)
        return;
    if (!(value >= min && value <= max))
        dx.Fail(dx.m_pLastControl, RangeMessage(min, max, false));
}

void DDV_MinMaxInt(CDataExchange& dx, int value, int min, int max)
{
    if (dx.Skips() || !dx.m_bLastTyped)
        return;
    if (value < min || value > max)
        dx.Fail(dx.m_pLastControl, RangeMessage(min, max, true));
}

void DDV_MinMaxUInt(CDataExchange& dx, unsigned value, unsigned min, unsigned max)
{
    if (dx.Skips() || !dx.m_bLastTyped)
        return;
    if (value < min || value > max)
        dx.Fail(dx.m_pLastControl, RangeMessage(min, max, true));
}

void DDV_MaxChars(CDataExchange& dx, const std::string& value, std::size_t limit)
{
    if (dx.Skips() || !dx.m_bLastTyped)
        return;
    // The edit's text is UTF-8: the limit counts characters, as the user sees them, not bytes.
    const auto characters = std::count_if(value.begin(), value.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    });
    if (static_cast<std::size_t>(characters) > limit)
        dx.Fail(dx.m_pLastControl, TooLongMessage(limit));
}
