#include "platform/qt/TypingLimit.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>
#include <utility>

namespace {

// Characters as the user sees them: a pair of UTF-16 surrogates is one.
std::size_t Characters(const QString& text)
{
    return static_cast<std::size_t>(text.size() - std::count_if(text.begin(), text.end(), [](QChar c) {
                                        return c.isLowSurrogate();
                                    }));
}

// A text's length in both measures a limit counts.
struct TextSize {
    std::size_t characters;
    std::size_t bytes;
};

TextSize SizeOf(const QString& text)
{
    return {Characters(text), static_cast<std::size_t>(text.toUtf8().size())};
}

// A limit, in the same two measures.
using TextLimit = TextSize;

// A change from `before` to `after` that the limit refuses: it leaves the text beyond the
// limit in a measure and longer in it than it was, so that a longer text the program showed
// may still be shortened.
bool Grows(const TextSize& before, const TextSize& after, const TextLimit& limit)
{
    return (after.characters > limit.characters && after.characters > before.characters) ||
           (after.bytes > limit.bytes && after.bytes > before.bytes);
}

// What a change did to a text: `inserted` took the place of `replaced` at `start`.
struct TextChange {
    qsizetype start = 0;
    QString replaced;
    QString inserted;
};

// Where a change began when that is not known: its start is then found from its text alone.
constexpr qsizetype kUnknownStart = std::numeric_limits<qsizetype>::max();

// The change from `before` to `after`. A typed, pasted or dropped text begins where the
// selection or the cursor stood, `from`, and ends at the cursor, which tell where it went
// among equal characters: what came may begin with what it replaced.
TextChange ChangeBetween(const QString& before, const QString& after, qsizetype from, qsizetype cursor)
{
    const qsizetype tailLimit = std::min(after.size() - cursor, before.size());
    qsizetype tail = 0;
    while (tail < tailLimit && after[after.size() - 1 - tail] == before[before.size() - 1 - tail])
        ++tail;
    // Neither end cuts a pair of surrogates: a character is changed whole.
    if (tail > 0 && after[after.size() - tail].isLowSurrogate())
        --tail;
    const qsizetype headLimit = std::min(std::min(after.size(), before.size()) - tail, from);
    qsizetype head = 0;
    while (head < headLimit && after[head] == before[head])
        ++head;
    if (head > 0 && head < after.size() && after[head].isLowSurrogate())
        --head;
    return {head, before.mid(head, before.size() - tail - head), after.mid(head, after.size() - tail - head)};
}

// The UTF-16 units of the character at `at`: two for a pair of surrogates.
qsizetype CharacterLength(const QString& text, qsizetype at)
{
    return text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2 : 1;
}

// A change beyond the limit, and the longest start of what it inserted that the limit lets
// in: empty when none does.
struct FittingChange {
    TextChange change;
    QString fitting;
};

// An input method's composition under way: the text the edit showed before its first preedit,
// which took the selection from `start` to `end` away for the text to come.
struct Composition {
    QString shown;
    qsizetype start = 0, end = 0;

    // Whether `text` is what the preedit left: else the edit changed since, and the record is
    // of a composition gone.
    bool Left(const QString& text) const { return text == shown.left(start) + shown.mid(end); }
};

// What both kinds of limit keep: the limit, and the last text the edit took, which the next
// change is measured against; and what they do with an input method's commits.
class CLimitedText {
public:
    void SetLimit(TextLimit limit) { m_limit = limit; }

protected:
    CLimitedText(TextLimit limit, QString text) : m_limit(limit), m_text(std::move(text)) {}
    ~CLimitedText() = default;

    virtual QString Text() const = 0;
    // The selection, from its start to its end; both the cursor when nothing is selected.
    virtual std::pair<qsizetype, qsizetype> Selected() const = 0;
    // Gives back the text and the selection that `composition` took away, as if it had never
    // been: Undo and Redo have what they had before it.
    virtual void TakeBack(const Composition& composition) = 0;
    // Has the edit carry out an input method's commit; `afterPreedit` when it ends a composition
    // whose preedit took a selection away, which one Undo gives back with the commit.
    virtual void Commit(QObject& edit, QInputMethodEvent& commit, bool afterPreedit) = 0;

    bool Refuses(const QString& after) const { return Grows(SizeOf(m_text), SizeOf(after), m_limit); }
    bool TakesWhole(const QString& added) const { return !Refuses(m_text + added); }

    // The change to `after`, begun at `from` and ending at `cursor`, that the limit refuses,
    // and the start of its text that fits.
    FittingChange Fit(const QString& after, qsizetype from, qsizetype cursor) const
    {
        FittingChange fit{ChangeBetween(m_text, after, from, cursor), {}};
        const TextChange& change = fit.change;
        const QString rest = after.left(change.start) + after.mid(change.start + change.inserted.size());
        fit.fitting = StartThatFits(m_text, rest, change.inserted);
        return fit;
    }

    // The longest start of `inserted` that the limit lets into `rest`, what is left of `before`
    // where it goes in, as an edit's length limit takes the start of a paste: whole characters
    // only, never half of a pair of surrogates or of a character's UTF-8 bytes. The text may
    // be as long as the limit, or as long as `before` where that is longer.
    QString StartThatFits(const QString& before, const QString& rest, const QString& inserted) const
    {
        const TextSize was = SizeOf(before), kept = SizeOf(rest);
        const std::size_t mostCharacters = std::max(m_limit.characters, was.characters);
        const std::size_t mostBytes = std::max(m_limit.bytes, was.bytes);
        if (kept.characters > mostCharacters || kept.bytes > mostBytes)
            return {};
        std::size_t characters = mostCharacters - kept.characters, bytes = mostBytes - kept.bytes;
        qsizetype end = 0;
        while (end < inserted.size() && characters > 0) {
            const qsizetype length = CharacterLength(inserted, end);
            const auto size = static_cast<std::size_t>(inserted.mid(end, length).toUtf8().size());
            if (size > bytes)
                break;
            --characters;
            bytes -= size;
            end += length;
        }
        return inserted.left(end);
    }

    // Takes an input method's events for the edit, `target`; whether it had one.
    bool FilterInputMethod(QObject& target, QEvent& event)
    {
        if (event.type() != QEvent::InputMethod || m_bInputMethod)
            return false;
        auto& inputMethod = static_cast<QInputMethodEvent&>(event);
        if (m_composition && !m_composition->Left(Text()))
            m_composition.reset();
        if (inputMethod.commitString().isEmpty() && inputMethod.replacementLength() == 0) {
            NotePreedit(inputMethod.preeditString());
            return false;
        }
        return TakeCommit(target, inputMethod);
    }

    TextLimit m_limit;
    QString m_text;   // the last text the edit took

private:
    // The first preedit of a composition takes the selection away for the text to come.
    void NotePreedit(const QString& preedit)
    {
        if (preedit.isEmpty())
            m_composition.reset();
        else if (!m_composition)
            m_composition = Composition{Text(), Selected().first, Selected().second};
    }

    // An input method's commit goes to `edit` as the commit of the longest start of its text
    // that fits, which the edit carries out and takes back on Undo as it does any commit: the
    // limit would see only what the commit made of the text, and neither kind of edit tells
    // where that began (the note reports the whole line, the single-line edit its cursor after
    // the commit), nor what a preedit before it took away. A composition is one change, measured
    // against the text before its first preedit, and when none of its text fits, what that
    // preedit took away comes back. Whether the event was taken.
    bool TakeCommit(QObject& edit, QInputMethodEvent& event)
    {
        const QString text = Text();
        const auto [start, end] = Selected();
        const std::optional<Composition> composition = std::exchange(m_composition, std::nullopt);
        // The edit takes the selection away, then the range the commit replaces around the
        // cursor, and puts the commit where the cursor then stands. A range beyond the text
        // each kind of edit treats in a way of its own, and the limit holds like any change.
        QString rest = text.left(start) + text.mid(end);
        const qsizetype at = start + event.replacementStart();
        if (at < 0 || at + event.replacementLength() > rest.size())
            return false;
        rest.remove(at, event.replacementLength());
        const QString& before = composition ? composition->shown : text;
        const QString fitting = StartThatFits(before, rest, event.commitString());
        // With none of its text, the commit replaces nothing either.
        QInputMethodEvent taken(event.preeditString(), event.attributes());
        if (!fitting.isEmpty())
            taken.setCommitString(fitting, event.replacementStart(), event.replacementLength());
        const bool tookSelection = composition && composition->start != composition->end;
        {
            const QScopedValueRollback sending(m_bInputMethod, true);
            m_text = before;   // what the edit's own watch measures the commit against
            Commit(edit, taken, !fitting.isEmpty() && tookSelection);
        }
        m_text = Text();
        event.setAccepted(taken.isAccepted());
        if (!event.preeditString().isEmpty()) {
            // The input method composes on: from the text the commit left, or, where nothing
            // went in, from the text before it, whose selection the preedit took away.
            if (fitting.isEmpty())
                m_composition = composition.value_or(Composition{text, start, end});
            NotePreedit(event.preeditString());
        } else if (fitting.isEmpty() && tookSelection) {
            TakeBack(*composition);
        }
        return true;
    }

    std::optional<Composition> m_composition;   // the input method's, while it composes
    bool m_bInputMethod = false;                // while the edit has the commit that fits
};

// A text dropped on an edit whose limit cuts it goes in as a copy: a move would take the
// whole text away from where it was dragged, of which the edit keeps only a part.
class CCutDropCopies final : public QObject {
public:
    // `target` receives the drops for `edit`; `takesWhole` tells whether a text added to the
    // edit's fits whole.
    CCutDropCopies(QObject& owner, QWidget& target, const QWidget& edit, std::function<bool(const QString&)> takesWhole)
        : QObject(&owner), m_edit(edit), m_takesWhole(std::move(takesWhole))
    {
        target.installEventFilter(this);
    }

    bool eventFilter(QObject* target, QEvent* event) override
    {
        if (event->type() != QEvent::Drop || m_bSending)
            return false;
        auto& drop = static_cast<QDropEvent&>(*event);
        if (!CutMove(drop))
            return false;
        QDropEvent copy(drop.position(), Qt::CopyAction, drop.mimeData(), drop.buttons(), drop.modifiers());
        {
            const QScopedValueRollback sending(m_bSending, true);
            QCoreApplication::sendEvent(target, &copy);
        }
        drop.setDropAction(Qt::CopyAction);
        drop.setAccepted(copy.isAccepted());
        return true;
    }

private:
    // A drop that would move a text from elsewhere of which the edit takes only a part. A
    // move within the edit adds nothing, and a drag that may only move stays one.
    bool CutMove(const QDropEvent& drop) const
    {
        const auto* source = qobject_cast<const QWidget*>(drop.source());
        const bool within = source != nullptr && (source == &m_edit || m_edit.isAncestorOf(source));
        return drop.dropAction() == Qt::MoveAction && drop.possibleActions().testFlag(Qt::CopyAction) && !within &&
               drop.mimeData()->hasText() && !m_takesWhole(drop.mimeData()->text());
    }

    const QWidget& m_edit;
    std::function<bool(const QString&)> m_takesWhole;
    bool m_bSending = false;
};

// LimitTyping's validator: it holds the user's changes to the limit, never the program's. A
// change beyond it is refused whole, and the part of it that fits goes in right after, as a
// change of the user's own.
class CTypingLimit final : public QValidator, public CLimitedText {
public:
    CTypingLimit(QLineEdit& edit, TextLimit limit) : QValidator(&edit), CLimitedText(limit, edit.text()), m_edit(edit)
    {
        // Every text the edit takes, the program's or the user's, is what the next change
        // is measured against: a refused change leaves the text, and this, as they were. The
        // next change begins where the text leaves the selection: Undo may select again what
        // the change it took back went over, and tell of no move when the cursor stays.
        connect(&edit, &QLineEdit::textChanged, this, [this](const QString& text) {
            m_text = text;
            Track();
        });
        // The edit tells where its cursor and selection went only once a change is validated:
        // until then they stand where the user's change begins.
        connect(&edit, &QLineEdit::selectionChanged, this, &CTypingLimit::Track);
        connect(&edit, &QLineEdit::cursorPositionChanged, this, &CTypingLimit::Track);
        Track();
        new CCutDropCopies(*this, edit, edit, [this](const QString& added) { return TakesWhole(added); });
        edit.installEventFilter(this);
    }

    bool eventFilter(QObject* target, QEvent* event) override { return FilterInputMethod(*target, *event); }

    State validate(QString& input, int& position) const override
    {
        if (m_bRefusing)
            return Invalid;
        // The program sets its texts unmodified: they show whatever their length. Undo and Redo
        // give back texts the edit showed, which the user may shorten again.
        if (!m_edit.isModified() || UndoOrRedo() || !Refuses(input))
            return Acceptable;
        // A text the validator hands back would clear the edit's undo and its mark of a
        // typed text: the edit puts its text back first, then the part that fits goes in.
        if (FittingChange fit = Fit(input, m_from, position); !fit.fitting.isEmpty()) {
            auto* self = const_cast<CTypingLimit*>(this);
            QMetaObject::invokeMethod(
                self, [self, shown = m_text, fit = std::move(fit)] { self->Insert(shown, fit); }, Qt::QueuedConnection);
        }
        return Invalid;
    }

private:
    QString Text() const override { return m_edit.text(); }

    std::pair<qsizetype, qsizetype> Selected() const override
    {
        if (!m_edit.hasSelectedText())
            return {m_edit.cursorPosition(), m_edit.cursorPosition()};
        return {m_edit.selectionStart(), m_edit.selectionEnd()};
    }

    void TakeBack(const Composition& composition) override
    {
        if (!m_edit.isUndoAvailable())
            return;
        // What the undo brings back is the user's own text, whatever its length.
        m_text = composition.shown;
        m_edit.undo();
        // Undo leaves the taking away of the selection to Redo: a change the validator refuses
        // clears it, as a refused key clears what would follow it.
        const QScopedValueRollback refusing(m_bRefusing, true);
        m_edit.insert(QString());
    }

    // The edit's undo takes back a commit with the taking away of the selection before it.
    void Commit(QObject& edit, QInputMethodEvent& commit, bool) override { QCoreApplication::sendEvent(&edit, &commit); }

    // Whether the text being validated comes from Undo or Redo. The edit takes it even when
    // refused, but then lets through every later change the validator refuses, until one
    // passes. A change of the user's drops the steps after it: one made with a step left to
    // redo is Undo, or Redo with more to come. A Redo to the last step brings back a text the
    // limit let in after the one Redo starts from, no longer where beyond the limit, so it
    // passes as a change would.
    bool UndoOrRedo() const { return m_edit.isRedoAvailable(); }

    void Track() { m_from = m_edit.hasSelectedText() ? m_edit.selectionStart() : m_edit.cursorPosition(); }

    void Insert(const QString& shown, const FittingChange& fit)
    {
        // Whatever changed the text since has the last word.
        if (m_edit.text() != shown)
            return;
        m_edit.setSelection(static_cast<int>(fit.change.start), static_cast<int>(fit.change.replaced.size()));
        m_edit.insert(fit.fitting);
    }

    QLineEdit& m_edit;
    qsizetype m_from = 0;   // where the selection, or the cursor, stood before the last change
    bool m_bRefusing = false;
};

// LimitTyping's watcher of a multi-line edit, which takes no validator: a change by the user
// that the limit refuses keeps only the part of it that fits, before anything reads it.
class CPlainTypingLimit final : public QObject, public CLimitedText {
public:
    CPlainTypingLimit(QPlainTextEdit& edit, TextLimit limit)
        : QObject(&edit), CLimitedText(limit, edit.toPlainText()), m_edit(edit)
    {
        // The document tells where a change began before it tells of the change, also of the
        // program's texts, which are written with the edit's own signals blocked.
        connect(edit.document(), &QTextDocument::contentsChange, this, [this](int from) { m_from = from; });
        connect(edit.document(), &QTextDocument::contentsChanged, this, &CPlainTypingLimit::Changed);
        new CCutDropCopies(*this, *edit.viewport(), edit, [this](const QString& added) { return TakesWhole(added); });
        edit.installEventFilter(this);
    }

    bool eventFilter(QObject* target, QEvent* event) override { return FilterInputMethod(*target, *event); }

private:
    QString Text() const override { return m_edit.toPlainText(); }

    std::pair<qsizetype, qsizetype> Selected() const override
    {
        return {m_edit.textCursor().selectionStart(), m_edit.textCursor().selectionEnd()};
    }

    // The document keeps the preedit's taking away of the selection as an undo step of its own,
    // which a commit joins: Redo would otherwise be measured against what the preedit left.
    void Commit(QObject& edit, QInputMethodEvent& commit, bool afterPreedit) override
    {
        QTextCursor step(m_edit.document());
        if (afterPreedit)
            step.joinPreviousEditBlock();
        QCoreApplication::sendEvent(&edit, &commit);
        if (afterPreedit)
            step.endEditBlock();
    }

    void TakeBack(const Composition& composition) override
    {
        QTextDocument& document = *m_edit.document();
        if (!document.isUndoAvailable())
            return;
        {
            const QScopedValueRollback cutting(m_bCutting, true);
            document.undo();
            document.clearUndoRedoStacks(QTextDocument::RedoStack);
            m_edit.setTextCursor(Over(composition.start, composition.end - composition.start));
        }
        m_text = m_edit.toPlainText();
    }

    void Changed()
    {
        if (m_bCutting)
            return;
        const QString text = m_edit.toPlainText();
        if (ByUser() && Refuses(text))
            Cut(text);
        else
            m_text = text;
        m_from = kUnknownStart;
    }

    // The program writes with the edit's signals blocked, and its texts leave the document
    // unmodified; while it fills the document, undo is off. Undo and Redo give back texts the
    // edit showed: a change of the user's drops the steps after it, so one that leaves a step
    // to redo is Undo, or Redo with more to come, and a Redo to the last step brings back a
    // text the limit let in after the one Redo starts from, no longer where beyond the limit.
    bool ByUser() const
    {
        const QTextDocument& document = *m_edit.document();
        return !m_edit.signalsBlocked() && document.isUndoRedoEnabled() && document.isModified() &&
               !document.isRedoAvailable();
    }

    // Takes the change back as Undo does and puts in the part of it that fits as one step, the
    // cursor after it, so that Undo gives back what the edit showed, as after a change of that
    // part alone: a key typed where nothing is selected is no block of steps that the part
    // could join. When none fits, the text stays, with what the change replaced selected again,
    // and Redo brings nothing.
    void Cut(const QString& text)
    {
        const FittingChange fit = Fit(text, m_from, m_edit.textCursor().position());
        const TextChange& change = fit.change;
        const QString taken = fit.fitting.isEmpty()
                                  ? m_text
                                  : m_text.left(change.start) + fit.fitting + m_text.mid(change.start + change.replaced.size());
        QTextDocument& document = *m_edit.document();
        {
            const QScopedValueRollback cutting(m_bCutting, true);
            document.undo();
            document.clearUndoRedoStacks(QTextDocument::RedoStack);
            // Undo takes keys typed one after the other back together: those before the change
            // come back with the part of it that fits, as they would be undone with it.
            const QString undone = m_edit.toPlainText();
            const TextChange step = undone == m_text && !fit.fitting.isEmpty()
                                        ? TextChange{change.start, change.replaced, fit.fitting}
                                        : ChangeBetween(undone, taken, kUnknownStart, 0);
            if (!step.replaced.isEmpty() || !step.inserted.isEmpty())
                Put(step);
            m_edit.setTextCursor(fit.fitting.isEmpty() ? Over(change.start, change.replaced.size())
                                                       : Over(change.start + fit.fitting.size(), 0));
        }
        m_text = m_edit.toPlainText();
    }

    // A cursor over the `length` UTF-16 units at `start`, anchored at their start.
    QTextCursor Over(qsizetype start, qsizetype length) const
    {
        QTextCursor cursor(m_edit.document());
        cursor.setPosition(static_cast<int>(start));
        cursor.setPosition(static_cast<int>(start + length), QTextCursor::KeepAnchor);
        return cursor;
    }

    // Puts `change` into the document as one step.
    void Put(const TextChange& change) const
    {
        QTextCursor cursor = Over(change.start, change.replaced.size());
        cursor.beginEditBlock();
        cursor.insertText(change.inserted);
        cursor.endEditBlock();
    }

    QPlainTextEdit& m_edit;
    qsizetype m_from = kUnknownStart;   // where the change under way began
    bool m_bCutting = false;
};

} // namespace

void LimitTyping(QLineEdit& edit, std::size_t limit, std::size_t byteLimit)
{
    if (auto* own = dynamic_cast<CTypingLimit*>(const_cast<QValidator*>(edit.validator()))) {
        own->SetLimit({limit, byteLimit});
        return;
    }
    edit.setValidator(new CTypingLimit(edit, {limit, byteLimit}));
}

void LimitTyping(QPlainTextEdit& edit, std::size_t limit, std::size_t byteLimit)
{
    // The watcher declares no meta-object of its own: a cast by meta-object would take any child.
    for (QObject* child : edit.children())
        if (auto* own = dynamic_cast<CPlainTypingLimit*>(child)) {
            own->SetLimit({limit, byteLimit});
            return;
        }
    new CPlainTypingLimit(edit, {limit, byteLimit});
}

