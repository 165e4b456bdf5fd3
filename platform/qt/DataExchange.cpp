#include "platform/qt/DataExchange.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <utility>

#include "platform/core/Prompt.h"
#include "platform/qt/AfterAction.h"
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

void WriteText(QPlainTextEdit* edit, const std::string& text)
{
    const QString wanted = DisplayText(text);
    if (edit->toPlainText() != wanted) {
        const QSignalBlocker quiet(edit);
        edit->setPlainText(wanted);
        edit->document()->setModified(false);
        TypingStartOf(*edit).End();
    }
}

std::string ReadText(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

std::string ReadText(const QPlainTextEdit* edit)
{
    return edit->toPlainText().toStdString();
}

// A text the user changed since the program last set it, in an edit the user can type in.
bool Typed(const QLineEdit* edit)
{
    return edit->isEnabled() && !edit->isReadOnly() && edit->isModified();
}

bool Typed(const QPlainTextEdit* edit)
{
    return edit->isEnabled() && !edit->isReadOnly() && edit->document()->isModified();
}

// The start of the text typed into one edit. The program writes a single-line edit's text
// unmodified, and with it the text typed there ends.
class CEditTypingStart final : public QObject {
public:
    explicit CEditTypingStart(QLineEdit& edit) : QObject(&edit)
    {
        connect(&edit, &QLineEdit::textChanged, this, [this, &edit] {
            if (!edit.isModified())
                m_start.End();
        });
    }
    explicit CEditTypingStart(QPlainTextEdit& edit) : QObject(&edit) {}

    CTypingStart m_start;
};

template <class Edit>
CTypingStart& StartOf(Edit& edit)
{
    // The start declares no meta-object of its own: a cast by meta-object would take any child.
    for (QObject* child : edit.children())
        if (auto* own = dynamic_cast<CEditTypingStart*>(child))
            return own->m_start;
    return (new CEditTypingStart(edit))->m_start;
}

// The start of the text typed into `control`; null for a control that is no edit.
CTypingStart* StartOf(QWidget* control)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return &StartOf(*edit);
    if (auto* text = qobject_cast<QPlainTextEdit*>(control))
        return &StartOf(*text);
    return nullptr;
}

// The text of `control` when it is an edit of that kind the user typed in.
template <class Edit>
std::optional<std::string> TypedText(QWidget* control)
{
    const auto* edit = qobject_cast<const Edit*>(control);
    return edit != nullptr && Typed(edit) ? std::optional(ReadText(edit)) : std::nullopt;
}

// A whole number shown as it is and read back only within the range of T.
template <class T>
void ExchangeWhole(CDataExchange& dx, QLineEdit* edit, T& value, const char* message)
{
    if (!dx.Begin(edit, Typed(edit)))
        return;
    if (!dx.m_bSaveAndValidate) {
        WriteText(edit, std::to_string(value));
        return;
    }
    dx.Remember(value, [edit](T shown) { WriteText(edit, std::to_string(shown)); });
    double read = 0.0;
    if (!ParseDialogNumber(ReadText(edit), read) || read != std::floor(read) ||
        read < static_cast<double>(std::numeric_limits<T>::min()) ||
        read > static_cast<double>(std::numeric_limits<T>::max())) {
        dx.Refuse(message, true);
        return;
    }
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
    // The user types the text anew, as over any refused entry.
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
}

bool CDataExchange::Begin(QWidget* control, bool typed)
{
    m_pLastControl = control;
    m_bLastTyped = false;
    m_bLastUnreadable = false;
    m_restore = nullptr;
    if (m_bFailed)
        return false;
    const bool aside = m_check == Check::PutBack ? control != m_pControl
                                                 : !m_bSaveAndValidate && (control == m_pControl || Keeps(control));
    if (aside)
        return false;
    m_bLastTyped = m_bSaveAndValidate && typed;
    return true;
}

void CDataExchange::Refuse(const std::string& message, bool unreadable)
{
    if (!m_bLastTyped)
        return;
    m_bLastTyped = false;
    m_bLastUnreadable = unreadable;
    switch (m_check) {
    case Check::Report:
        Fail(m_pLastControl, message);
        return;
    case Check::Keep:
        if (m_restore)
            m_restore(false);
        m_kept.push_back(m_pLastControl);
        return;
    case Check::PutBack:
        if (m_restore)
            m_restore(true);
        m_strRefusal = message;
        m_bFailed = true;
        return;
    }
}

void CDataExchange::Validate(bool valid, const std::string& message)
{
    // A text that is no number at all is told what the field takes, now that it is known.
    if (m_bLastUnreadable) {
        m_bLastUnreadable = false;
        if (m_check == Check::PutBack)
            m_strRefusal = message;
        return;
    }
    if (m_bLastTyped && !valid)
        Refuse(message);
}

bool CDataExchange::Keeps(const QWidget* control) const
{
    return std::find(m_kept.begin(), m_kept.end(), control) != m_kept.end();
}

CDataExchange CDataExchange::WriteBack() const
{
    CDataExchange write(false, Check::Keep, m_pControl);
    write.m_kept = m_kept;
    return write;
}

bool ExchangeTyped(QWidget* typing, const std::function<void(CDataExchange&)>& exchange)
{
    CTypingStart* start = StartOf(typing);
    std::optional<std::string> text = TypedText<QLineEdit>(typing);
    if (!text)
        text = TypedText<QPlainTextEdit>(typing);
    // A text the program set ends whatever was typed there before.
    if (start != nullptr && !text) {
        start->End();
        start = nullptr;
    }
    const bool begins = start != nullptr && start->Typed(*text);
    CDataExchange in(true, CDataExchange::Check::Keep, typing);
    exchange(in);
    const bool taken = typing == nullptr || !in.Keeps(typing);
    if (start != nullptr) {
        if (begins)
            start->Keep(in.TypedStart());
        start->Taken(taken);
    }
    CDataExchange out = in.WriteBack();
    exchange(out);
    return taken;
}

bool ExchangeLeft(QWidget* control, const std::function<void(CDataExchange&)>& exchange)
{
    CTypingStart* start = StartOf(control);
    const std::any kept = start != nullptr ? start->End() : std::any();
    CDataExchange in(true, CDataExchange::Check::PutBack, control);
    in.SetStart(&kept);
    exchange(in);
    if (in.Refusal().empty())
        return true;
    SayAfterUserAction(control, in.Refusal());
    return false;
}

CTypingStart& TypingStartOf(QLineEdit& edit)
{
    return StartOf(edit);
}

CTypingStart& TypingStartOf(QPlainTextEdit& edit)
{
    return StartOf(edit);
}

void DDX_Text(CDataExchange& dx, QLineEdit* edit, std::string& value)
{
    if (!dx.Begin(edit, Typed(edit)))
        return;
    if (!dx.m_bSaveAndValidate) {
        WriteText(edit, value);
        return;
    }
    dx.Remember(value, [edit](const std::string& shown) { WriteText(edit, shown); });
    value = ReadText(edit);
}

void DDX_Text(CDataExchange& dx, QLineEdit* edit, double& value)
{
    if (!dx.Begin(edit, Typed(edit)))
        return;
    if (!dx.m_bSaveAndValidate) {
        WriteText(edit, FormatDialogNumber(value));
        return;
    }
    dx.Remember(value, [edit](double shown) { WriteText(edit, FormatDialogNumber(shown)); });
    double read = 0.0;
    if (!ParseDialogNumber(ReadText(edit), read)) {
        dx.Refuse("Please enter a number.", true);
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
    if (!dx.Begin(edit, Typed(edit)))
        return;
    if (!dx.m_bSaveAndValidate) {
        WriteText(edit, value);
        return;
    }
    dx.Remember(value, [edit](const std::string& shown) { WriteText(edit, shown); });
    value = ReadText(edit);
}

void DDX_Radio(CDataExchange& dx, const std::vector<QAbstractButton*>& group, int& value)
{
    if (group.empty() || !dx.Begin(group.front(), false))
        return;
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
    if (!dx.Begin(box, false))
        return;
    if (dx.m_bSaveAndValidate) {
        value = box->isChecked() ? 1 : 0;
    } else {
        const QSignalBlocker quiet(box);
        box->setChecked(value != 0);
    }
}

void DDV_MinMaxDouble(CDataExchange& dx, double value, double min, double max)
{
    dx.Validate(value >= min && value <= max, RangeMessage(min, max, false));
}

void DDV_MinMaxInt(CDataExchange& dx, int value, int min, int max)
{
    dx.Validate(value >= min && value <= max, RangeMessage(min, max, true));
}

void DDV_MinMaxUInt(CDataExchange& dx, unsigned value, unsigned min, unsigned max)
{
    dx.Validate(value >= min && value <= max, RangeMessage(min, max, true));
}

void DDV_MaxChars(CDataExchange& dx, const std::string& value, std::size_t limit, std::size_t byteLimit)
{
    if (!dx.m_bSaveAndValidate) {
        if (auto* edit = qobject_cast<QLineEdit*>(dx.m_pLastControl))
            LimitTyping(*edit, limit, byteLimit);
        else if (auto* text = qobject_cast<QPlainTextEdit*>(dx.m_pLastControl))
            LimitTyping(*text, limit, byteLimit);
        return;
    }
    // The edit's text is UTF-8: the limit counts characters, as the user sees them, and the
    // bytes its field keeps.
    dx.Validate(Utf8Characters(value) <= limit && value.size() <= byteLimit, TooLongMessage(limit));
}
