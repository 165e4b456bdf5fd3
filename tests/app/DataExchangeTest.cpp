// Dialog data exchange: validated reads in order, writes that touch only changed edits, a
// multi-line edit's limit for typing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <random>
#include <utility>
#include <vector>

#include "AppTestSupport.h"
#include "platform/qt/DataExchange.h"
#include "support/ScriptedPrompt.h"

namespace {

struct Fields { double number = 0.0; unsigned count = 0; std::string text; };

// Three edits read in order: a number in 0..1000, a count in 1..1000, a text of 4 characters
// in 6 bytes at most.
bool Read(QLineEdit& number, QLineEdit& count, QLineEdit& text, Fields& fields)
{
    CDataExchange dx(true);
    DDX_Text(dx, &number, fields.number);
    DDV_MinMaxDouble(dx, fields.number, 0.0, 1000.0);
    DDX_Text(dx, &count, fields.count);
    DDV_MinMaxUInt(dx, fields.count, 1, 1000);
    DDX_Text(dx, &text, fields.text);
    DDV_MaxChars(dx, fields.text, 4, 6);
    return !dx.m_bFailed;
}

struct ReadCase {
    const char *number, *count, *text;
    const char* message;     // empty: the read succeeds
    double numberAfter;      // the value is assigned before it is validated
    std::string textAfter;   // fields after the failing one keep their values
    int failed;              // the edit refused, 0 to 2; -1 none
};

class ReadOrder : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadOrder, FirstFailureShowsItsMessageAndStops)
{
    const ReadCase& c = GetParam();
    QLineEdit number, count, text;
    Type(number, c.number);
    Type(count, c.count);
    Type(text, c.text);
    Fields fields{-1.0, 7, "old"};
    ScriptedPrompt prompt;
    EXPECT_EQ(Read(number, count, text, fields), std::string(c.message).empty());
    EXPECT_EQ(prompt.messages, std::string(c.message).empty() ? std::vector<std::string>{}
                                                               : std::vector<std::string>{c.message});
    EXPECT_EQ(fields.number, c.numberAfter);
    EXPECT_EQ(fields.text, c.textAfter);
    // The user types the refused text anew: it is selected, as the framework's failure does.
    const QLineEdit* edits[] = {&number, &count, &text};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(edits[i]->selectedText(), i == c.failed ? edits[i]->text() : QString()) << i;
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadOrder, testing::Values(
    ReadCase{"2.5", "12", "nm", "", 2.5, "nm", -1},
    ReadCase{"abc", "12", "nm", "Please enter a number.", -1.0, "old", 0},
    ReadCase{"1001", "0", "toolong", "Please enter a number between 0 and 1000.", 1001.0, "old", 0},
    ReadCase{"5", "-3", "nm", "Please enter a positive integer.", 5.0, "old", 1},
    ReadCase{"5", "1001", "nm", "Please enter an integer between 1 and 1000.", 5.0, "old", 1},
    ReadCase{"5", "3", "µm µm", "Please enter no more than 4 characters.", 5.0, "µm µm", 2},
    // The limit counts characters: four of them in six bytes of UTF-8 pass.
    ReadCase{"5", "3", "µm²x", "", 5.0, "µm²x", -1},
    // Four characters in more bytes than the field keeps are told of the characters.
    ReadCase{"5", "3", "µµµµ", "Please enter no more than 4 characters.", 5.0, "µµµµ", 2}));

// What the program put in an edit is read as it is, whatever it holds: showing a value
// never asks the user about it. Only a text typed into an edit the user can type in is
// refused, and a text the program sets again is the program's once more.
TEST(DataExchange, OnlyTypedTextsAreValidated)
{
    enum class Source { Shown, Typed, TypedDisabled, TypedThenShown };
    const struct {
        Source source;
        const char *number, *count, *text;
        const char* message;   // empty: read without a message
        double numberAfter;
        unsigned countAfter;
    } cases[] = {
        {Source::Shown, "7812.5", "0", "Height image", "", 7812.5, 0},
        {Source::Shown, "abc", "x", "nm", "", -1.0, 7},   // unreadable: the fields keep theirs
        {Source::Typed, "7812.5", "0", "Height image", "Please enter a number between 0 and 1000.", 7812.5, 7},
        {Source::Typed, "5", "0", "nm", "Please enter an integer between 1 and 1000.", 5.0, 0},
        {Source::Typed, "5", "3", "Height image", "Please enter no more than 4 characters.", 5.0, 3},
        {Source::TypedDisabled, "7812.5", "0", "Height image", "", 7812.5, 0},
        {Source::TypedThenShown, "7812.5", "0", "Height image", "", 7812.5, 0},
    };
    for (const auto& c : cases) {
        QLineEdit number, count, text;
        for (auto [edit, value] : {std::pair{&number, c.number}, {&count, c.count}, {&text, c.text}}) {
            if (c.source == Source::Shown) {
                edit->setText(QString::fromUtf8(value));
                continue;
            }
            Type(*edit, value);
            edit->setEnabled(c.source != Source::TypedDisabled);
            if (c.source == Source::TypedThenShown)
                edit->setText(QString::fromUtf8(value));
        }
        Fields fields{-1.0, 7, "old"};
        ScriptedPrompt prompt;
        const bool read = Read(number, count, text, fields);
        const std::string message = c.message;
        EXPECT_EQ(read, message.empty()) << c.number << " " << int(c.source);
        EXPECT_EQ(prompt.messages, message.empty() ? std::vector<std::string>{} : std::vector<std::string>{message})
            << c.number << " " << int(c.source);
        EXPECT_EQ(fields.number, c.numberAfter) << c.number << " " << int(c.source);
        EXPECT_EQ(fields.count, c.countAfter) << c.number << " " << int(c.source);
    }
}

TEST(DataExchange, WritingSetsOnlyChangedTextsAndSignalsOnlySingleLineEdits)
{
    QLineEdit line("2.5");
    QPlainTextEdit note("same");
    QCheckBox box;
    QSignalSpy lineChanges(&line, &QLineEdit::textChanged);
    QSignalSpy noteChanges(&note, &QPlainTextEdit::textChanged);
    QSignalSpy boxToggles(&box, &QCheckBox::toggled);

    double number = 2.5;
    std::string text = "same";
    int checked = 1;
    CDataExchange same(false);
    DDX_Text(same, &line, number);
    DDX_Text(same, &note, text);
    EXPECT_EQ(lineChanges.count(), 0);

    number = 0.1;
    text = "changed";
    CDataExchange changed(false);
    DDX_Text(changed, &line, number);
    DDX_Text(changed, &note, text);
    DDX_Check(changed, &box, checked);
    EXPECT_EQ(line.text(), "0.1");
    EXPECT_EQ(note.toPlainText(), "changed");
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(lineChanges.count(), 1);
    EXPECT_EQ(noteChanges.count(), 0);
    EXPECT_EQ(boxToggles.count(), 0);
}

// Fifteen significant digits: a value read back writes the same text again.
TEST(DataExchange, NumberTextsAreStableUnderReadAndWrite)
{
    for (double value : {0.00195, 1.0 / 3.0, 123456.789, -2.5e-7}) {
        QLineEdit edit;
        CDataExchange out(false);
        DDX_Text(out, &edit, value);
        const QString first = edit.text();
        double read = 0.0;
        CDataExchange in(true);
        DDX_Text(in, &edit, read);
        EXPECT_NEAR(read, value, std::abs(value) * 1e-14);
        CDataExchange again(false);
        DDX_Text(again, &edit, read);
        EXPECT_EQ(edit.text(), first);
    }
}

// A multi-line edit takes back a change beyond its limit of which nothing fits where it was
// made, the cursor where it stood: among equal characters too, a paste over a selection
// leaves the selection, and a longer text the program showed stays as it was.
TEST(DataExchange, AMultiLineEditTakesBackAChangeBeyondItsLimitInPlace)
{
    const struct {
        const char* shown;
        int anchor, position;   // the cursor, over a selection when they differ
        std::function<void(QPlainTextEdit&)> change;
    } cases[] = {
        {"abcdef", 2, 2, [](QPlainTextEdit& e) { QTest::keyClick(&e, 'x'); }},
        {"aaaaaa", 1, 1, [](QPlainTextEdit& e) { QTest::keyClick(&e, 'a'); }},
        {"abcdef", 1, 2, [](QPlainTextEdit& e) { e.insertPlainText(QString::fromUtf8("ÄÖ")); }},
        {"ab\ncdef", 4, 4, [](QPlainTextEdit& e) { QTest::keyClick(&e, Qt::Key_Return); }},
    };
    for (const auto& c : cases) {
        QPlainTextEdit note;
        LimitTyping(note, 6, 6);
        note.setPlainText(QString::fromUtf8(c.shown));
        QTextCursor cursor = note.textCursor();
        cursor.setPosition(c.anchor);
        cursor.setPosition(c.position, QTextCursor::KeepAnchor);
        note.setTextCursor(cursor);
        const QString selected = cursor.selectedText();
        c.change(note);
        EXPECT_EQ(note.toPlainText(), QString::fromUtf8(c.shown)) << c.shown;
        EXPECT_EQ(std::pair(note.textCursor().anchor(), note.textCursor().position()), std::pair(c.anchor, c.position))
            << c.shown;
        EXPECT_EQ(note.textCursor().selectedText(), selected) << c.shown;
    }
}

// Whole characters of `text`: a pair of surrogates is one.
std::vector<QString> CharactersOf(const QString& text)
{
    std::vector<QString> characters;
    for (qsizetype i = 0; i < text.size(); ++i)
        characters.push_back(text[i].isHighSurrogate() ? text.mid(i++, 2) : text.mid(i, 1));
    return characters;
}

// `text` keeps to `chars` characters and `bytes` bytes of UTF-8, or to the measures of
// `shown` where those are larger.
bool Within(const QString& text, const QString& shown, std::size_t chars, std::size_t bytes)
{
    return CharactersOf(text).size() <= std::max(chars, CharactersOf(shown).size()) &&
           static_cast<std::size_t>(text.toUtf8().size()) <= std::max(bytes, static_cast<std::size_t>(shown.toUtf8().size()));
}

// The longest start of `text`, in whole characters, that puts `shown` over its selection from
// `start` to `end` within the limit of `Within`: empty when none does.
QString StartThatFits(const QString& shown, int start, int end, const QString& text, std::size_t chars,
                      std::size_t bytes)
{
    QString fitting, candidate;
    for (const QString& character : CharactersOf(text)) {
        candidate += character;
        if (Within(shown.left(start) + candidate + shown.mid(end), shown, chars, bytes))
            fitting = candidate;
    }
    return fitting;
}

// An edit of either kind, with what the tests ask of it.
struct AnyEdit {
    QLineEdit* line = nullptr;
    QPlainTextEdit* plain = nullptr;

    QWidget& Widget() const { return line != nullptr ? static_cast<QWidget&>(*line) : *plain; }
    QString Text() const { return line != nullptr ? line->text() : plain->toPlainText(); }
    int Cursor() const { return line != nullptr ? line->cursorPosition() : plain->textCursor().position(); }
    // The selection, from its start to its end; both the cursor when nothing is selected.
    std::pair<int, int> Selection() const
    {
        if (line != nullptr)
            return line->hasSelectedText() ? std::pair(line->selectionStart(), line->selectionEnd())
                                           : std::pair(Cursor(), Cursor());
        return {plain->textCursor().selectionStart(), plain->textCursor().selectionEnd()};
    }
    void Select(int start, int end) const
    {
        if (line != nullptr) {
            line->setSelection(start, end - start);
            return;
        }
        QTextCursor cursor = plain->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        plain->setTextCursor(cursor);
    }
    // Puts the cursor at `start`, as a click does, and selects from there to `end`: in a
    // single-line edit a cursor moved ends the run of changes one Undo takes back together.
    void Place(int start, int end) const
    {
        if (line != nullptr)
            line->setCursorPosition(start);
        Select(start, end);
    }
    void Undo() const { line != nullptr ? line->undo() : plain->undo(); }
    void Redo() const { line != nullptr ? line->redo() : plain->redo(); }
    bool RedoAvailable() const
    {
        return line != nullptr ? line->isRedoAvailable() : plain->document()->isRedoAvailable();
    }
    void Limit(std::size_t chars, std::size_t bytes) const
    {
        line != nullptr ? LimitTyping(*line, chars, bytes) : LimitTyping(*plain, chars, bytes);
    }
    // Shows `text` as the program does.
    void Show(const QString& text) const { line != nullptr ? line->setText(text) : plain->setPlainText(text); }
};

// What the user does to an edit before a change: Backspace or Delete over a selection from
// `start` to `end`, the cursor where they meet, or Undo or Redo by their keys.
enum class Key { Backspace, Delete, Undo, Redo };
const char* const kKeyNames[] = {"Backspace", "Delete", "Undo", "Redo"};
struct Step {
    Key key;
    int start = 0, end = 0;
};

void Take(const AnyEdit& edit, const Step& step)
{
    switch (step.key) {
    case Key::Backspace:
    case Key::Delete:
        edit.Place(step.start, step.end);
        QTest::keyClick(&edit.Widget(), step.key == Key::Backspace ? Qt::Key_Backspace : Qt::Key_Delete);
        break;
    case Key::Undo: QTest::keySequence(&edit.Widget(), QKeySequence::Undo); break;
    case Key::Redo: QTest::keySequence(&edit.Widget(), QKeySequence::Redo); break;
    }
    QApplication::processEvents();
}

// How the user's text comes into an edit: the last three are an input method's commit, alone,
// after a preedit of its text that grew a character at a time, and replacing the text before
// the cursor.
enum class Way { Paste, Drop, Key, Commit, Compose, Replace };
const char* const kWayNames[] = {"paste", "drop", "key", "commit", "composed commit", "replacing commit"};

// The user brings `text` into `edit`, a single- or multi-line edit, at its cursor or over its
// selection: pasted with Ctrl+V, dragged from elsewhere and dropped where the cursor stands,
// typed as one key, or committed by an input method. A replacing commit finds the cursor at
// the end of the selection, which it replaces as a correction replaces the word before the
// cursor. What the drop does to where the text was dragged from (no action for the other
// ways).
Qt::DropAction Bring(const AnyEdit& any, Way way, const QString& text)
{
    QWidget& edit = any.Widget();
    Qt::DropAction action = Qt::IgnoreAction;
    switch (way) {
    case Way::Paste:
        QApplication::clipboard()->setText(text);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        break;
    case Way::Key: QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, text, Qt::NoModifier); break;
    case Way::Drop: {
        QWidget& target = any.plain != nullptr ? *any.plain->viewport() : edit;
        const QPoint at = any.plain != nullptr ? any.plain->cursorRect().center()
                                               : edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QMimeData data;
        data.setText(text);
        // The drag offers a copy and a move, and moves, as a drag of a text does (Shift asks
        // for the move where no drag of the window system is under way).
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(&target, &enter);
        QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(&target, &move);
        QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(&target, &drop);
        action = drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
        break;
    }
    case Way::Compose: {
        QString preedit;
        for (const QString& character : CharactersOf(text)) {
            QInputMethodEvent composing(preedit += character, {});
            QApplication::sendEvent(&edit, &composing);
        }
        [[fallthrough]];
    }
    case Way::Commit: {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(&edit, &commit);
        break;
    }
    case Way::Replace: {
        const auto [start, end] = any.Selection();
        any.Select(end, end);
        QInputMethodEvent commit;
        commit.setCommitString(text, start - end, end - start);
        QApplication::sendEvent(&edit, &commit);
        break;
    }
    }
    // What the event brought is done.
    QApplication::processEvents();
    return action;
}

// The selection an edit keeps when `way` brought nothing into it over `start`..`end`: that one,
// but the cursor at its end for a replacing commit, which put it there.
std::pair<int, int> Kept(Way way, int start, int end)
{
    return way == Way::Replace ? std::pair(end, end) : std::pair(start, end);
}

// A paste, a drop, a key or an input method's commit beyond an edit's limit puts in the
// longest start of its text that keeps the edit within the limit, in characters and in bytes
// of UTF-8, whole characters only; when none fits, the edit and its selection stay as they
// were. The cursor stands after what went in, the change was the user's (read as typed), one
// Undo gives back what the edit showed, and Redo what went in. A dragged text the edit cuts is
// copied, so that where it came from keeps it; one that fits moves. Keys the user pressed
// before, Undo and Redo among them, give the texts they give in an edit of no limit, also
// back to a longer text the program showed, and the change is held against the text they left.
TEST(DataExchange, AChangeBeyondTheLimitTakesTheStartThatFits)
{
    const struct {
        bool multiLine;
        Way way;
        const char* shown;
        int start, end;   // the selection the text goes over; the cursor when they are equal
        const char* text;
        std::size_t chars, bytes;
        std::vector<Step> steps = {};   // taken after the program showed its text
    } cases[] = {
        {false, Way::Paste, "", 0, 0, "abcdef", 3, 3},
        {false, Way::Paste, "abcd", 2, 2, "XYZ", 5, 5},
        {false, Way::Paste, "abcdef", 1, 3, "ÄÖÜ", 6, 8},
        {false, Way::Paste, "", 0, 0, "µµµm", 4, 5},
        {false, Way::Paste, "ab", 2, 2, "😀😀", 3, 6},
        {false, Way::Paste, "ab", 0, 0, "😀", 3, 5},
        {false, Way::Paste, "abcdef", 1, 3, "XYZ", 4, 4},   // a longer text shown: it may keep its length
        {false, Way::Drop, "abcd", 2, 2, "€€€", 6, 8},
        {false, Way::Drop, "abcd", 2, 2, "€", 6, 8},
        {false, Way::Key, "µµm", 2, 3, "€", 3, 5},
        // What goes in may begin with what it goes over: "b" of "bµ" fits over "bc".
        {false, Way::Paste, "abc", 1, 3, "bµ", 3, 3},
        {false, Way::Key, "abc", 1, 3, "bµ", 3, 3},
        {true, Way::Paste, "abcdef", 3, 3, "XYZ", 8, 8},
        {true, Way::Paste, "abcdef", 1, 3, "ÄÖÜ", 6, 8},
        {true, Way::Paste, "ab\ncd", 2, 2, "\nöö\nx", 7, 8},
        {true, Way::Paste, "", 0, 0, "a😀b", 5, 5},
        {true, Way::Drop, "abcd", 2, 2, "€€€", 6, 8},
        {true, Way::Drop, "abcd", 2, 2, "ef", 6, 8},
        {true, Way::Paste, "abc", 1, 3, "bµ", 3, 3},
        {true, Way::Paste, "a\nb", 1, 3, "\nbc", 3, 3},
        {true, Way::Key, "abcd", 4, 4, "xyz", 6, 6},
        {true, Way::Key, "abcd", 1, 3, "bcx", 4, 4},
        // An input method's commit, alone, after a preedit or replacing the text before the
        // cursor, takes the same start as a key: also where it begins like its selection
        // ("e" of "eµz" over "eg"), where it fits whole and where none of it fits.
        {false, Way::Commit, "deg", 1, 3, "eµz", 3, 3},
        {false, Way::Commit, "abc", 1, 2, "x", 3, 3},
        {false, Way::Commit, "abc", 1, 2, "µ", 3, 3},
        {false, Way::Compose, "deg", 1, 3, "eµz", 3, 3},
        {false, Way::Compose, "abc", 1, 2, "µ", 3, 3},
        {false, Way::Compose, "abcdef", 2, 4, "XYZ", 4, 4},   // measured against the text before the preedit
        {false, Way::Replace, "abcd", 1, 3, "bµx", 3, 3},
        {false, Way::Replace, "abc", 1, 2, "µ", 3, 3},
        {true, Way::Commit, "abc", 1, 2, "µ", 3, 3},
        {true, Way::Commit, "deg", 1, 3, "eµz", 3, 3},
        {true, Way::Commit, "ab\ncd", 1, 4, "x\ny", 5, 5},
        {true, Way::Compose, "abc", 1, 2, "µ", 3, 3},
        {true, Way::Compose, "deg", 1, 3, "eµz", 3, 3},
        {true, Way::Compose, "a\nbcdef", 3, 5, "XYZ", 5, 5},
        {true, Way::Replace, "ab\ncd", 3, 5, "cµ", 5, 5},
        {true, Way::Replace, "abc", 1, 2, "µ", 3, 3},
        // Undo back to a longer text on the way to the program's, then a change: nothing fits
        // beyond the text Undo gave back, and over a selection as much as it had. In the note,
        // also for an input method's commit, and where a further Undo reaches the program's text.
        {false, Way::Key, "abcdef", 5, 5, "xyz", 4, 4, {{Key::Backspace, 6, 6}, {Key::Delete, 0, 2}, {Key::Undo}}},
        {true, Way::Key, "abcdef", 5, 5, "xyz", 4, 4, {{Key::Backspace, 6, 6}, {Key::Delete, 0, 2}, {Key::Undo}}},
        {false, Way::Paste, "abcdefg", 1, 3, "XYZ", 4, 4,
         {{Key::Backspace, 7, 7}, {Key::Delete, 0, 0}, {Key::Delete, 0, 2}, {Key::Undo}, {Key::Undo}}},
        {true, Way::Paste, "abcdefg", 1, 3, "XYZ", 4, 4,
         {{Key::Backspace, 7, 7}, {Key::Delete, 0, 0}, {Key::Delete, 0, 2}, {Key::Undo}, {Key::Undo}}},
        {false, Way::Key, "abcdef", 0, 2, "xyz", 4, 4, {{Key::Backspace, 6, 6}, {Key::Delete, 0, 0}, {Key::Undo}}},
        {true, Way::Key, "abcdef", 0, 2, "xyz", 4, 4, {{Key::Backspace, 6, 6}, {Key::Delete, 0, 0}, {Key::Undo}}},
        {false, Way::Drop, "abcdefg", 6, 6, "x", 4, 4, {{Key::Backspace, 7, 7}, {Key::Delete, 0, 2}, {Key::Undo}}},
        {true, Way::Drop, "abcdefg", 6, 6, "x", 4, 4, {{Key::Backspace, 7, 7}, {Key::Delete, 0, 2}, {Key::Undo}}},
        {true, Way::Commit, "abcdefg", 2, 4, "XYZ", 4, 4, {{Key::Backspace, 7, 7}, {Key::Delete, 0, 3}, {Key::Undo}}},
        {true, Way::Paste, "abcdef", 1, 3, "XYZ", 4, 4,
         {{Key::Backspace, 6, 6}, {Key::Delete, 0, 2}, {Key::Undo}, {Key::Undo}}},
        // Undo that selects again what the key it takes back went over: what is typed over it
        // begins like it.
        {false, Way::Key, "abcdef", 0, 1, "abz", 4, 4,
         {{Key::Backspace, 0, 1}, {Key::Backspace, 1, 1}, {Key::Undo}, {Key::Undo}}},
        // Redo on the way, then Undo again.
        {false, Way::Key, "abcdef", 5, 5, "xyz", 4, 4,
         {{Key::Backspace, 6, 6}, {Key::Delete, 0, 2}, {Key::Undo}, {Key::Redo}, {Key::Undo}}},
        {true, Way::Key, "abcdef", 5, 5, "xyz", 4, 4,
         {{Key::Backspace, 6, 6}, {Key::Delete, 0, 2}, {Key::Undo}, {Key::Redo}, {Key::Undo}}},
    };
    for (const auto& c : cases) {
        QLineEdit line, unlimitedLine;
        QPlainTextEdit plain, unlimitedPlain;
        const AnyEdit edit = c.multiLine ? AnyEdit{nullptr, &plain} : AnyEdit{&line, nullptr};
        const AnyEdit unlimited = c.multiLine ? AnyEdit{nullptr, &unlimitedPlain} : AnyEdit{&unlimitedLine, nullptr};
        const QString shown = QString::fromUtf8(c.shown);
        const QString text = QString::fromUtf8(c.text);
        edit.Limit(c.chars, c.bytes);
        edit.Show(shown);
        unlimited.Show(shown);
        edit.Widget().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit.Widget()));
        std::string label = std::string(c.shown) + " + " + c.text + " by " + kWayNames[static_cast<int>(c.way)] +
                            (c.multiLine ? " (multi-line)" : "");
        for (const Step& step : c.steps) {
            label += std::string(" after ") + kKeyNames[static_cast<int>(step.key)];
            Take(edit, step);
            Take(unlimited, step);
            EXPECT_EQ(edit.Text(), unlimited.Text()) << label;
        }
        const QString before = edit.Text();
        edit.Select(c.start, c.end);
        const QString inserted = StartThatFits(before, c.start, c.end, text, c.chars, c.bytes);
        const QString expected = inserted.isEmpty() ? before : before.left(c.start) + inserted + before.mid(c.end);
        const bool redoLeft = unlimited.RedoAvailable();
        const Qt::DropAction action = Bring(edit, c.way, text);
        EXPECT_EQ(edit.Text(), expected) << label;
        if (c.way == Way::Drop) {
            EXPECT_EQ(action, inserted == text ? Qt::MoveAction : Qt::CopyAction) << label;
        }
        EXPECT_TRUE(edit.Text().isValidUtf16()) << label;
        if (!inserted.isEmpty()) {
            const int after = c.start + static_cast<int>(inserted.size());
            EXPECT_EQ(edit.Selection(), std::pair(after, after)) << label;
            EXPECT_TRUE(line.isModified() || plain.document()->isModified()) << label;
        } else {
            EXPECT_EQ(edit.Selection(), Kept(c.way, c.start, c.end)) << label;
        }
        // A change of which nothing went in leaves nothing to undo: Undo takes back what it
        // takes back in the edit of no limit, where no change came. It may drop what was left
        // to redo, as a change a validator refuses does.
        edit.Undo();
        if (inserted.isEmpty())
            unlimited.Undo();
        EXPECT_EQ(edit.Text(), inserted.isEmpty() ? unlimited.Text() : before) << label;
        edit.Redo();
        if (!inserted.isEmpty() || !redoLeft) {
            EXPECT_EQ(edit.Text(), expected) << label << " redone";
        }
    }
}

// Random texts over few characters of one to four bytes of UTF-8, in both kinds of edit, over
// a selection or at the cursor, pasted, dropped, typed as one key of several characters or
// committed by an input method, after a key typed right before or not. Before that, the user
// may have pressed Backspace, Delete, Undo and Redo since the program showed its text, which
// give the texts they give in an edit of no limit. What comes often begins with what it goes
// over. The edit shows its text with the longest start of what came that fits put over the
// selection, the cursor after it; with none, the text and the selection stay. Undo and Redo
// give back what they give in an edit of no limit into which only that start came, the same
// way: Undo what the edit showed before the change, or before the keys typed with it.
TEST(DataExchange, RandomChangesTakeTheLongestStartThatFits)
{
    const QStringList characters = {"a", "b", QString::fromUtf8("µ"), QString::fromUtf8("€"), QString::fromUtf8("😀")};
    std::mt19937 random(20250520);
    const auto below = [&random](std::size_t n) {
        return static_cast<int>(std::uniform_int_distribution<std::size_t>(0, n - 1)(random));
    };
    const auto randomText = [&](int length, bool newLines) {
        QString text;
        for (int i = 0; i < length; ++i)
            text += newLines && below(5) == 0 ? QString("\n") : characters[below(characters.size())];
        return text;
    };
    // One window, whose focus stays where it is: an edit that lost it would lose its selection.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* line = new QLineEdit;
    auto* unlimitedLine = new QLineEdit;
    auto* plain = new QPlainTextEdit;
    auto* unlimitedPlain = new QPlainTextEdit;
    for (QWidget* widget : std::initializer_list<QWidget*>{line, unlimitedLine, plain, unlimitedPlain})
        layout->addWidget(widget);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int round = 0; round < 2000; ++round) {
        const bool multiLine = below(2) == 1;
        const auto way = static_cast<Way>(below(std::size(kWayNames)));
        const AnyEdit edit = multiLine ? AnyEdit{nullptr, plain} : AnyEdit{line, nullptr};
        const AnyEdit unlimited = multiLine ? AnyEdit{nullptr, unlimitedPlain} : AnyEdit{unlimitedLine, nullptr};
        // A selection, or the cursor, between whole characters of `text`: from start to end.
        const auto randomSelection = [&](const QString& text) {
            std::vector<int> bounds{0};
            for (const QString& character : CharactersOf(text))
                bounds.push_back(bounds.back() + static_cast<int>(character.size()));
            const int start = bounds[below(bounds.size())], end = bounds[below(bounds.size())];
            return std::pair(std::min(start, end), std::max(start, end));
        };
        const QString program = randomText(below(8), multiLine);
        const std::size_t chars = 1 + below(6);
        const std::size_t bytes = below(4) == 0 ? kAnyBytes : chars + below(chars * 3);
        edit.Limit(chars, bytes);
        std::string label = "round " + std::to_string(round) + ": \"" + program.toStdString() + "\"";
        for (const AnyEdit& each : {edit, unlimited})
            each.Show(program);
        // The user shortens the program's text by a few keys, then goes back and forth with
        // Undo and Redo, more often back.
        const int deletions = below(4), steps = deletions + (deletions == 0 ? 0 : below(4));
        for (int i = 0; i < steps; ++i) {
            const auto [from, to] = randomSelection(edit.Text());
            const Key key = i < deletions ? (below(2) == 0 ? Key::Backspace : Key::Delete)
                                          : (below(3) == 0 ? Key::Redo : Key::Undo);
            const Step step{key, from, to};
            for (const AnyEdit& each : {edit, unlimited})
                Take(each, step);
            label += " " + std::string(kKeyNames[static_cast<int>(step.key)]) + " [" + std::to_string(from) + ", " +
                     std::to_string(to) + ")";
            ASSERT_EQ(edit.Text(), unlimited.Text()) << label;
        }
        QString shown = edit.Text();
        label += " \"" + shown.toStdString() + "\"";
        // A drop goes where the cursor stands.
        auto [start, end] = randomSelection(shown);
        if (way == Way::Drop)
            end = start;
        for (const AnyEdit& each : {edit, unlimited})
            each.Select(start, end);
        // A key typed at the cursor that fits, right before the change.
        const QString before = shown;
        if (const QString typed = characters[below(characters.size())];
            start == end && below(3) == 0 && Within(shown.left(start) + typed + shown.mid(start), shown, chars, bytes)) {
            for (const AnyEdit& each : {edit, unlimited})
                Bring(each, Way::Key, typed);
            shown.insert(start, typed);
            start = end += static_cast<int>(typed.size());
            label += " typed \"" + typed.toStdString() + "\"";
            ASSERT_EQ(edit.Text(), shown) << label;
        }
        // What comes may begin with the characters it goes over; a key brings no line break.
        const std::vector<QString> over = CharactersOf(shown.mid(start));
        QString text;
        for (int i = 0, echoed = over.empty() ? 0 : below(over.size() + 1); i < echoed; ++i)
            text += over[i];
        text += randomText(1 + below(4), multiLine);
        if (way == Way::Key)
            text.remove('\n');
        if (text.isEmpty())
            text = "a";
        const QString inserted = StartThatFits(shown, start, end, text, chars, bytes);
        const QString expected = inserted.isEmpty() ? shown : shown.left(start) + inserted + shown.mid(end);
        label += " [" + std::to_string(start) + ", " + std::to_string(end) + ") + \"" + text.toStdString() + "\" by " +
                 kWayNames[static_cast<int>(way)] + " within " + std::to_string(chars) + "/" +
                 (bytes == kAnyBytes ? std::string("any") : std::to_string(bytes)) + (multiLine ? " (multi-line)" : "");

        const bool redoLeft = unlimited.RedoAvailable();
        const Qt::DropAction action = Bring(edit, way, text);
        // A note with no limit keeps a preedit's taking away of the selection as an undo step of
        // its own; one with a limit takes the composition back at once, as a commit alone.
        if (!inserted.isEmpty())
            Bring(unlimited, multiLine && way == Way::Compose ? Way::Commit : way, inserted);
        EXPECT_EQ(edit.Text(), expected) << label;
        EXPECT_EQ(unlimited.Text(), expected) << label << " (no limit)";
        const int after = start + static_cast<int>(inserted.size());
        EXPECT_EQ(edit.Selection(), inserted.isEmpty() ? Kept(way, start, end) : std::pair(after, after)) << label;
        if (way == Way::Drop) {
            EXPECT_EQ(action, inserted == text ? Qt::MoveAction : Qt::CopyAction) << label;
        }
        // A change of which nothing went in may drop what was left to redo, as a change a
        // validator refuses does.
        for (const auto step : {&AnyEdit::Undo, &AnyEdit::Redo}) {
            (edit.*step)();
            (unlimited.*step)();
            if (step == &AnyEdit::Redo && inserted.isEmpty() && redoLeft)
                break;
            EXPECT_EQ(edit.Text(), unlimited.Text()) << label << (step == &AnyEdit::Undo ? " undone" : " redone");
            if (step == &AnyEdit::Undo && before == shown && steps == 0) {
                EXPECT_EQ(edit.Text(), shown) << label << " undone";
            }
        }
    }
}

} // namespace
