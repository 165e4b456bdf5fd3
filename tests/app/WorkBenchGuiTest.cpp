// The work bench on real frames: header texts of an older file in Latin-1 show readably and
// close without a question, image names read alike in messages, lists and menus, the tree
// follows Save As, headers beyond what a user may type show without a message, and typed
// header texts stop at their limits, in characters and in the bytes the header keeps, and are
// refused only by their own edit. The repair dialogs for a header that failed its check take
// numbers on their way the same, and their OK, like the Options dialog's, takes no text they
// refused.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>
#include <QTreeWidget>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "app/MainFrame.h"
#include "app/panels/DlgConfig.h"
#include "formats/ImageFile.h"
#include "image/HeaderTextCoding.h"
#include "platform/core/DialogModels.h"
#include "platform/core/Prompt.h"
#include "platform/qt/DataExchange.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/QtPrompt.h"
#include "support/TestImages.h"

namespace {

// A copy of the sample as an older program wrote it: its units, quantity and note in
// Latin-1, so its image is named "H\xF6he_01"; its path.
std::string OlderFile(const ScratchDir& dir, std::string_view note = "25 \xB0" "C")
{
    const std::string path = SampleCopy(dir, "older.spm");
    std::string bytes = FileText(path);
    const auto put = [&bytes](std::size_t offset, std::size_t size, std::string_view text) {
        bytes.replace(offset, size, std::string(text) + std::string(size - text.size(), '\0'));
    };
    put(offsetof(SpmHeader, m_szZUnit), 4, "\xB5m");
    put(offsetof(SpmHeader, m_szXYUnit), 6, "\xB5m");
    put(offsetof(SpmHeader, m_szQuantity), 96, "H\xF6he");
    put(offsetof(SpmHeader, m_szNote), 322, note);
    WriteFile(path, bytes);
    return path;
}

// `image` written to `name` in `dir` (NT-MDT for *.mdt, else *.spm) with the quantity
// `quantity`; its path.
std::string ImageFile(const ScratchDir& dir, const char* name, CSpmImage image, const char* quantity)
{
    SetHeaderText(image.m_header.m_szQuantity, quantity);
    CImageFile file;
    const std::string path = (dir / name).string();
    const bool written = std::string_view(name).ends_with(".mdt") ? file.WriteMdt(path, image) : file.WriteSpm(path, image);
    EXPECT_TRUE(written) << name;
    return path;
}

// An image of `columns` x `rows` points whose heights rise by `height` a point.
CSpmImage Ramp(int columns, int rows, double height, float xStep, float yStep)
{
    return MakeImage(columns, rows, [=](int r, int c) { return (r * columns + c) * height; }, xStep, yStep);
}

// An image file of 64 x 48 points with X and Y steps of `step`, heights rising by `height` a
// point and the quantity `quantity`; its path.
std::string ImageFile(const ScratchDir& dir, const char* name, float step, double height, const char* quantity)
{
    return ImageFile(dir, name, Ramp(64, 48, height, step, step), quantity);
}

// A header text's edit on the work bench: what it takes besides the bytes its field keeps,
// and where the field lies in a header's bytes.
struct HeaderTextEdit {
    const char* id;
    std::size_t chars;
    std::size_t offset, size;
};
const HeaderTextEdit kZUnitEdit{"1068", 3, offsetof(SpmHeader, m_szZUnit), sizeof(SpmHeader::m_szZUnit)};
const HeaderTextEdit kXYUnitEdit{"1069", 4, offsetof(SpmHeader, m_szXYUnit), sizeof(SpmHeader::m_szXYUnit)};
const HeaderTextEdit kNameEdit{"1071", 14, offsetof(SpmHeader, m_szQuantity), sizeof(SpmHeader::m_szQuantity)};
const HeaderTextEdit kNoteEdit{"1070", 321, offsetof(SpmHeader, m_szNote), sizeof(SpmHeader::m_szNote)};

// The text of `edit`'s field in a header's bytes, as the work bench shows it.
std::string HeldText(const HeaderTextEdit& edit, const std::string& bytes)
{
    const std::string field = bytes.substr(edit.offset, edit.size);
    return HeaderBytesAsUtf8(field.substr(0, field.find('\0')));
}

// The header's bytes.
std::string BytesOf(const SpmHeader& header)
{
    return {reinterpret_cast<const char*>(&header), sizeof header};
}

// The application's own dialogs, with the messages they show recorded instead of shown.
class RecordedMessages : public IPrompt {
public:
    explicit RecordedMessages(RunningApp& app) : m_real(app.App().QtPrompt()), m_pPrevious(SetPrompt(this)) {}
    ~RecordedMessages() override { SetPrompt(m_pPrevious); }
    RecordedMessages(const RecordedMessages&) = delete;
    RecordedMessages& operator=(const RecordedMessages&) = delete;

    void Message(const std::string& text) override { messages.push_back(text); }
    bool RunDialog(IDialogModel& dialog) override { return m_real.RunDialog(dialog); }

    std::vector<std::string> messages;

private:
    IPrompt& m_real;
    IPrompt* m_pPrevious;
};

// What an edit with a limit of `chars` characters and `bytes` bytes of UTF-8 shows after each
// of `keys` (UTF-8) typed over an empty text: each key that keeps the text within both.
std::vector<QString> UpToLimits(const char* keys, std::size_t chars, std::size_t bytes = kAnyBytes)
{
    std::vector<QString> shown;
    QString text;
    for (const QChar key : QString::fromUtf8(keys)) {
        const QString next = text + key;
        if (static_cast<std::size_t>(next.size()) <= chars && static_cast<std::size_t>(next.toUtf8().size()) <= bytes)
            text = next;
        shown.push_back(text);
    }
    return shown;
}

// The user leaves `edit` for `next`, and what that brings runs. The focus moves as the user's
// Tab moves it where the window has the focus; elsewhere the edit is told it lost it.
void LeaveFor(QLineEdit& edit, QWidget& next)
{
    next.setFocus(Qt::TabFocusReason);
    Leave(edit);
}

// Where a click on a radio button hits it: its button, at its left end.
QPoint RadioButtonAt(const QWidget& radio)
{
    return {radio.height() / 2, radio.height() / 2};
}

// Brings `dialog` to the front with the keyboard focus, as the user's dialog has it.
bool Focused(QDialog& dialog)
{
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog, kWaitLimitMs);
}

// A copy of the sample open, with the work bench showing its header.
struct SampleOnBench {
    SampleOnBench() { bench.OnTimer(); }

    ScratchDir dir;
    std::string path = SampleCopy(dir);
    RunningApp app{path};
    CDialogWorkBench& bench = app.MainFrame().WorkBench();
    const SpmHeader& header = app.ActiveDoc().Doc().ImageList().front().m_pImage->m_header;
};

} // namespace

// Texts of an older file in Latin-1 (a micro sign as the byte 0xB5) show readably on the work
// bench and stay as they are: showing them, also again on another frame, changes nothing, and
// quitting asks nothing.
TEST(WorkBench, HeaderTextsOfAnOlderFileShowReadablyAndCloseWithoutAQuestion)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string path = OlderFile(dir);
    const std::string header = FileText(path).substr(0, sizeof(SpmHeader));

    RunningApp app(path);
    CDialogWorkBench& bench = app.MainFrame().WorkBench();
    CDocument& doc = app.ActiveDoc();
    const CSpmImage& image = *doc.Doc().ImageList().front().m_pImage;
    for (const char* kind : {":2D", ":3D", ":2D"}) {
        ASSERT_TRUE(app.Activate(kind)) << kind;
        bench.OnTimer();
        RunningApp::Pump(0);
        EXPECT_EQ(BytesOf(image.m_header), header) << kind;
        EXPECT_FALSE(doc.IsModified()) << kind;
    }
    const auto text = [&bench](const char* id) { return bench.findChild<QLineEdit*>(id)->text(); };
    EXPECT_EQ(text("1068"), QString::fromUtf8("µm"));
    EXPECT_EQ(text("1069"), QString::fromUtf8("µm"));
    EXPECT_EQ(text("1071"), QString::fromUtf8("Höhe"));
    EXPECT_EQ(bench.findChild<QPlainTextEdit*>("1070")->toPlainText(), QString::fromUtf8("25 °C"));
    EXPECT_EQ(bench.Tree().topLevelItem(0)->child(0)->text(0), QString::fromUtf8("Höhe_01"));
    EXPECT_EQ(app.ActiveTitle(), "older.spm:Höhe_01:2D:1");
    ::Screenshot("workbench-latin1-header", &app.MainFrame());

    app.Prompt().events.clear();
    EXPECT_TRUE(app.MainFrame().close());
    EXPECT_EQ(app.Prompt().events, std::vector<std::string>{});
    EXPECT_EQ(FileText(path).substr(0, sizeof(SpmHeader)), header);
}

// The name of an older file's image keeps its Latin-1 bytes for the program, while every
// widget and message box reads them as Latin-1 (a question that names it hands it on read so,
// in UTF-8): no replacement character anywhere.
TEST(WorkBench, ImageNamesOfAnOlderFileReadInMessagesListsAndMenus)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    RunningApp app(OlderFile(dir));
    CMainFrame& main = app.MainFrame();
    const QString name = QString::fromUtf8("H\u00f6he_01");
    const QString replacement(QChar::ReplacementCharacter);
    ASSERT_TRUE(app.Run(cmd::kShowConfigPanel));
    main.ConfigPanel().OnTimer();
    main.WorkBench().OnTimer();
    main.FillWindowList();
    const QString shown[] = {
        main.ConfigPanel().ImageList().item(0)->text(),
        main.WorkBench().Tree().topLevelItem(0)->child(0)->text(0),
        main.WindowListActions().at(1)->text(),
        main.MDIGetActive()->windowTitle(),
    };
    for (const QString& text : shown) {
        EXPECT_TRUE(text.contains(name)) << text.toStdString();
        EXPECT_FALSE(text.contains(replacement)) << text.toStdString();
    }

    ASSERT_TRUE(app.Run(cmd::kFlattenXY));
    AnswerQuestion(app.Prompt(), static_cast<int>(CQuestionBox::Answer::Cancel));
    EXPECT_FALSE(main.close());
    EXPECT_EQ(app.Prompt().events.back(), "dialog: Save changes to older.spm:H\xC3\xB6he_01?");
    RealDialogs real(app);
    std::string question;
    RunWithModals([&] { main.close(); }, {AnswerBox(QMessageBox::Cancel, &question)});
    EXPECT_EQ(question, "Save changes to older.spm:H\u00f6he_01?");
    std::string message;
    RunWithModals([] { Prompt().Message("Image Name is not Valid -> H\xF6he_01"); }, {AnswerBox(QMessageBox::Ok, &message)});
    EXPECT_EQ(message, "Image Name is not Valid -> H\u00f6he_01");
    EXPECT_TRUE(main.isVisible());
}

// "Save Image As" retitles the document while its frame stays active: the work bench's tree
// follows at its next tick.
TEST(WorkBench, TreeShowsTheDocumentsNameAfterSaveAs)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    RunningApp app(SampleCopy(dir, "scan.spm"));
    const QTreeWidget& tree = app.MainFrame().WorkBench().Tree();
    const auto shown = [&tree] {
        std::vector<std::string> texts;
        for (int i = 0; i < tree.topLevelItemCount(); ++i)
            texts.push_back(tree.topLevelItem(i)->text(0).toStdString());
        return texts;
    };
    RunningApp::Pump(300);
    EXPECT_EQ(shown(), std::vector<std::string>{"scan.spm"});
    AnswerFileDialog(app.Prompt(), (dir / "renamed").string(), 0);
    ASSERT_TRUE(app.Run(cmd::kFileSaveAs));
    RunningApp::Pump(300);
    EXPECT_EQ(shown(), std::vector<std::string>{"renamed.spm"});
    EXPECT_EQ(tree.topLevelItem(0)->child(0)->text(0).toStdString(), "Height_01");
}

// Headers beyond what a typed value may be, a millimetre scan's X and Y steps of 7812.5 nm
// (NT-MDT) or a Z scale above 1000 with a long quantity name (*.spm), show as they are on
// every frame change without a message; a text the user types is still held to its limit,
// and a refused one is not asked about when the next frame's header replaces it.
TEST(WorkBench, HeadersBeyondTheTypedLimitsShowWithoutAMessage)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    const struct {
        std::string path;
        const char *kx, *kz;
    } cases[] = {
        {ImageFile(dir, "mm-scale.mdt", 7812.5f, 0.01, "Height"), "7812.500000", nullptr},
        {ImageFile(dir, "deep.spm", 2.5f, 2e4, "Topography_Forward_1"), "2.500000", "1000.0"},
    };
    for (const auto& c : cases) {
        RunningApp app(c.path);
        CDialogWorkBench& bench = app.MainFrame().WorkBench();
        const auto edit = [&bench](const char* id) { return bench.findChild<QLineEdit*>(id); };
        for (const char* kind : {":2D", ":3D", ":2D"}) {
            ASSERT_TRUE(app.Activate(kind)) << kind;
            bench.OnTimer();
            RunningApp::Pump(0);
        }
        if (c.path.ends_with(".mdt"))
            ::Screenshot("workbench-mm-scale-header", &app.MainFrame());
        EXPECT_EQ(app.Prompt().messages, std::vector<std::string>{}) << c.path;
        EXPECT_EQ(edit("1064")->text().toStdString(), c.kx) << c.path;
        if (c.kz != nullptr) {
            EXPECT_GT(edit("1063")->text().toDouble(), std::stod(c.kz)) << c.path;
        }
        // What the user types is held to the limits: the Z unit stops at its 3 characters, and
        // a name shortened to what is still beyond 14 takes nothing.
        edit("1068")->selectAll();
        QTest::keyClicks(edit("1068"), "xbcde");
        EXPECT_EQ(edit("1068")->text(), "xbc") << c.path;
        const QString name = edit("1071")->text();
        edit("1071")->end(false);
        QTest::keyClick(edit("1071"), Qt::Key_Backspace);
        // The next frame's header replaces a refused text without a word.
        ASSERT_TRUE(app.Activate(":3D"));
        bench.OnTimer();
        RunningApp::Pump(0);
        EXPECT_EQ(edit("1071")->text(), name.size() > 14 ? name : name.chopped(1)) << c.path;
        EXPECT_EQ(app.Prompt().messages, std::vector<std::string>{}) << c.path;
    }
}

// A unit or the image name stops taking characters at its limit, as an edit given a text
// limit does, and at the bytes of UTF-8 its header field keeps: no message for each key
// beyond it, and the header, and the file saved, hold what the edit shows ("a.u." typed into
// the Z unit is "a.u" everywhere).
TEST(WorkBench, HeaderTextsStopTakingCharactersAtTheirLimits)
{
    SPM_REQUIRE_DISPLAY();
    SampleOnBench sample;
    const struct {
        HeaderTextEdit edit;
        const char* keys;
    } cases[] = {
        {kNameEdit, "abcdefghijklmnopq"}, {kNameEdit, "öööööööööööööööö"}, {kXYUnitEdit, "abcdefghijklmnopq"},
        {kXYUnitEdit, "µµµmx"},           {kZUnitEdit, "abcdefghijklmnopq"}, {kZUnitEdit, "µµm"},
        {kZUnitEdit, "a.u."},
    };
    for (const auto& c : cases) {
        QLineEdit& edit = *sample.bench.findChild<QLineEdit*>(c.edit.id);
        edit.selectAll();
        const std::vector<QString> expected = UpToLimits(c.keys, c.edit.chars, c.edit.size - 1);
        EXPECT_EQ(TypeKeys(edit, c.keys), expected) << c.keys;
        EXPECT_EQ(HeldText(c.edit, BytesOf(sample.header)), expected.back().toStdString()) << c.keys;
        Leave(edit);
        EXPECT_EQ(edit.text(), expected.back()) << c.keys;
    }
    EXPECT_EQ(sample.app.Prompt().messages, std::vector<std::string>{});
    ASSERT_TRUE(sample.app.Run(cmd::kFileSave));
    const std::string saved = FileText(sample.path);
    for (const auto& c : cases)
        EXPECT_EQ(HeldText(c.edit, saved), sample.bench.findChild<QLineEdit*>(c.edit.id)->text().toStdString()) << c.edit.id;
}

// The note stops at the 321 bytes its field keeps, a key beyond them taken back where it was
// typed, and the header holds what the note shows. An older file's note that reads longer in
// UTF-8 shows whole and may be shortened, but takes nothing until it fits.
TEST(WorkBench, TheNoteStopsAtTheBytesItsFieldKeeps)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    const auto kept = static_cast<qsizetype>(sizeof(SpmHeader::m_szNote) - 1);
    for (const bool older : {false, true}) {
        RunningApp app(older ? OlderFile(dir, std::string(kept, '\xB0')) : SampleCopy(dir));
        CDialogWorkBench& bench = app.MainFrame().WorkBench();
        bench.OnTimer();
        const SpmHeader& header = app.ActiveDoc().Doc().ImageList().front().m_pImage->m_header;
        const std::string before = HeaderText(header.m_szNote);
        QPlainTextEdit& note = *bench.findChild<QPlainTextEdit*>("1070");
        // The user's text one byte short of the field, or the older one one character short.
        if (older) {
            note.moveCursor(QTextCursor::End);
            QTest::keyClick(&note, Qt::Key_Backspace);
        } else {
            note.selectAll();
            note.insertPlainText(QString(kept - 1, 'a'));
        }
        const QString start = note.toPlainText();
        QTextCursor cursor = note.textCursor();
        cursor.setPosition(10);
        note.setTextCursor(cursor);
        QTest::keyClick(&note, '\xB5');
        EXPECT_EQ(std::pair(note.toPlainText(), note.textCursor().position()), std::pair(start, 10)) << older;
        QTest::keyClick(&note, 'b');
        EXPECT_EQ(note.toPlainText(), older ? start : start.left(10) + 'b' + start.mid(10)) << older;
        EXPECT_EQ(HeaderText(header.m_szNote), older ? before : note.toPlainText().toStdString()) << older;
    }
}

// The longest start of `text` that keeps to `chars` characters and `bytes` bytes of UTF-8.
QString StartThatFits(const QString& text, std::size_t chars, std::size_t bytes)
{
    QString start;
    for (const char32_t character : text.toUcs4()) {
        const QString next = start + QString::fromUcs4(&character, 1);
        if (static_cast<std::size_t>(next.toUcs4().size()) > chars || static_cast<std::size_t>(next.toUtf8().size()) > bytes)
            break;
        start = next;
    }
    return start;
}

// A long paste over the whole text of a header edit, with Ctrl+V, takes the start that fits
// the edit's limits, in characters and in the bytes of UTF-8 its header field keeps, whole
// characters only, with nothing said; the header, and the file saved, hold what the edit
// shows.
TEST(WorkBench, ALongPasteIntoAHeaderEditTakesWhatFits)
{
    SPM_REQUIRE_DISPLAY();
    SampleOnBench sample;
    const QString emoji = QString::fromUtf8("😀");
    const struct {
        HeaderTextEdit edit;
        QString pasted;
    } cases[] = {
        {kZUnitEdit, "abcdef"},
        {kZUnitEdit, QString::fromUtf8("aµµ")},
        {kXYUnitEdit, "abcdefgh"},
        {kXYUnitEdit, QString::fromUtf8("µµµm")},
        {kNameEdit, "abcdefghijklmnopqrstuvwxyz"},
        {kNameEdit, emoji.repeated(20)},
        {kNoteEdit, QString(300, 'n') + "\n" + QString(100, 'm')},
        {kNoteEdit, "a" + QString::fromUtf8("ö").repeated(200)},
    };
    const auto text = [&sample](const char* id) {
        const auto* line = sample.bench.findChild<QLineEdit*>(id);
        return line != nullptr ? line->text() : sample.bench.findChild<QPlainTextEdit*>(id)->toPlainText();
    };
    for (const auto& c : cases) {
        QWidget& edit = *sample.bench.findChild<QWidget*>(c.edit.id);
        QMetaObject::invokeMethod(&edit, "selectAll");
        QApplication::clipboard()->setText(c.pasted);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        RunningApp::Pump(0);
        const QString expected = StartThatFits(c.pasted, c.edit.chars, c.edit.size - 1);
        const std::string label = std::string(c.edit.id) + " " + c.pasted.left(8).toStdString();
        EXPECT_EQ(text(c.edit.id), expected) << label;
        EXPECT_TRUE(text(c.edit.id).isValidUtf16()) << label;
        EXPECT_EQ(HeldText(c.edit, BytesOf(sample.header)), expected.toStdString()) << label;
    }
    EXPECT_EQ(sample.app.Prompt().messages, std::vector<std::string>{});
    ASSERT_TRUE(sample.app.Run(cmd::kFileSave));
    const std::string saved = FileText(sample.path);
    for (const auto& c : cases)
        EXPECT_EQ(HeldText(c.edit, saved), text(c.edit.id).toStdString()) << c.edit.id;
}

// Whatever changes the shown image's header shows on the work bench by its next tick while
// the same frame stays active: a rotation of a square image whose Y step is twice its X step
// swaps Kx and Ky, Undo swaps them back, a filter and Save As set a new Kz, a crop changes the
// sizes and Undo gives them back. The edits the user is typing into stay as typed meanwhile:
// a Z unit the header took, and a name shortened to what is still beyond its 14 characters.
TEST(WorkBench, TheHeaderPanelFollowsTheHeaderAndLeavesTypedEdits)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    const std::string name = "Topography_Forward_1";
    RunningApp app(ImageFile(dir, "steps.spm", Ramp(64, 64, 1.0, 1.0f, 2.0f), name.c_str()));
    ASSERT_TRUE(app.Activate(":2D"));
    CDialogWorkBench& bench = app.MainFrame().WorkBench();
    bench.OnTimer();
    CMDIDoc& doc = app.ActiveDoc().Doc();
    const SpmHeader& header = doc.ImageList().front().m_pImage->m_header;
    const auto label = [&bench](const char* id) { return bench.findChild<QLabel*>(id)->text(); };
    const auto edit = [&bench](const char* id) { return bench.findChild<QLineEdit*>(id); };
    // The sizes, steps and scale, as the panel shows them and as the header holds them.
    const auto panel = [&] {
        return std::vector<QString>{label("1067"), label("1066"), edit("1064")->text(), edit("1065")->text(),
                                    edit("1063")->text()};
    };
    const auto held = [&header] {
        return std::vector<QString>{"mx= " + QString::number(header.m_nColumns), "my= " + QString::number(header.m_nRows),
                                    QString::number(header.m_fKx, 'f', 6), QString::number(header.m_fKy, 'f', 4),
                                    QString::number(header.m_fKz, 'f', 4)};
    };
    ASSERT_EQ(panel(), held());
    edit("1068")->selectAll();
    TypeKeys(*edit("1068"), "pm");
    edit("1071")->end(false);
    TypeKeys(*edit("1071"), "\b");
    const QString typedName = QString::fromStdString(name.substr(0, name.size() - 1));
    ASSERT_EQ(edit("1071")->text(), typedName);
    const struct {
        const char* name;
        std::function<void()> change;
    } steps[] = {
        {"rotation", [&] { EXPECT_TRUE(app.Run(cmd::kRotate90)); }},
        {"undo of the rotation", [&] { EXPECT_TRUE(app.Run(cmd::kEditUndo)); }},
        {"filter and save as",
         [&] {
             EXPECT_TRUE(app.Run(cmd::kLaplace5x5));
             AnswerFileDialog(app.Prompt(), (dir / "filtered.spm").string(), 0);
             EXPECT_TRUE(app.Run(cmd::kFileSaveAs));
         }},
        {"crop",
         [&] {
             doc.m_ptSel1 = {10, 20}, doc.m_ptSel2 = {50, 40};
             doc.m_bSel1Set = doc.m_bSel2Set = 1;
             EXPECT_TRUE(app.Run(cmd::kCrop));
         }},
        {"undo of the crop", [&] { EXPECT_TRUE(app.Run(cmd::kEditUndo)); }},
    };
    for (const auto& step : steps) {
        const std::vector<QString> before = held();
        step.change();
        ASSERT_NE(held(), before) << step.name;
        bench.OnTimer();
        EXPECT_EQ(panel(), held()) << step.name;
        EXPECT_EQ(edit("1068")->text(), "pm") << step.name;
        EXPECT_EQ(edit("1071")->text(), typedName) << step.name;
    }
    EXPECT_EQ(HeaderText(header.m_szZUnit), "pm");
    EXPECT_EQ(HeaderText(header.m_szQuantity), name);
    EXPECT_EQ(app.Prompt().messages, std::vector<std::string>{});
}

// An older file's 20-character name shows in full; a user who shortens it to what is still
// beyond the 14 a name may hold is told once, when leaving the edit, which shows the name
// again. Meanwhile typing in the other header edits says nothing of it.
TEST(WorkBench, ARefusedHeaderTextIsReportedOnlyWhenItsEditIsLeft)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    const std::string name = "Topography_Forward_1";
    RunningApp app(ImageFile(dir, "long-name.spm", 2.5f, 1.0, name.c_str()));
    CDialogWorkBench& bench = app.MainFrame().WorkBench();
    bench.OnTimer();
    const SpmHeader& header = app.ActiveDoc().Doc().ImageList().front().m_pImage->m_header;
    std::vector<std::string>& messages = app.Prompt().messages;
    QLineEdit& nameEdit = *bench.findChild<QLineEdit*>("1071");
    ASSERT_EQ(nameEdit.text().toStdString(), name);
    nameEdit.end(false);
    EXPECT_EQ(TypeKeys(nameEdit, "x\b"), (std::vector<QString>{QString::fromStdString(name),
                                                               QString::fromStdString(name.substr(0, 19))}));
    EXPECT_EQ(HeaderText(header.m_szQuantity), name);
    for (const char* id : {"1068", "1069"}) {
        QLineEdit& edit = *bench.findChild<QLineEdit*>(id);
        edit.selectAll();
        TypeKeys(edit, "nm");
    }
    QTest::keyClicks(bench.findChild<QPlainTextEdit*>("1070"), "25 C");
    EXPECT_EQ(HeaderText(header.m_szXYUnit), "nm");
    EXPECT_EQ(messages, std::vector<std::string>{});
    Leave(nameEdit);
    EXPECT_EQ(messages, std::vector<std::string>{TooLongMessage(14)});
    EXPECT_EQ(nameEdit.text().toStdString(), name);
    Leave(nameEdit);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(HeaderText(header.m_szQuantity), name);
}

// The header edits take typing only while they show an image's header, a profile frame's
// showing its document's first image: with no frame the units, the name and the note are
// disabled and keep nothing typed, and the next file shows its own texts in them.
TEST(WorkBench, WithoutAnImageTheHeaderEditsTakeNoTyping)
{
    SPM_REQUIRE_DISPLAY();
    SampleOnBench sample;
    CDialogWorkBench& bench = sample.bench;
    const auto text = [&bench](const char* id) {
        const auto* line = bench.findChild<QLineEdit*>(id);
        return line != nullptr ? line->text() : bench.findChild<QPlainTextEdit*>(id)->toPlainText();
    };
    const char* const ids[] = {"1068", "1069", "1071", "1070"};
    const auto enabled = [&](bool expected, const char* when) {
        for (const char* id : ids)
            EXPECT_EQ(bench.findChild<QWidget*>(id)->isEnabled(), expected) << when << ": " << id;
    };
    const std::vector<QString> shown{text("1068"), text("1069"), text("1071"), text("1070")};
    enabled(true, "2D frame");
    ASSERT_TRUE(sample.app.Run(cmd::kOpenProfile));
    bench.OnTimer();
    enabled(true, "profile frame");
    ASSERT_TRUE(sample.app.MainFrame().DocManager().CloseDocument(sample.app.ActiveDoc()));
    bench.OnTimer();
    enabled(false, "no frame");
    for (const char* id : ids) {
        QTest::keyClicks(bench.findChild<QWidget*>(id), "pm");
        EXPECT_EQ(text(id).toStdString(), "") << id;
    }
    sample.app.App().OpenWithFollowUp(sample.path);
    RunningApp::Pump();
    bench.OnTimer();
    enabled(true, "file opened again");
    EXPECT_EQ((std::vector<QString>{text("1068"), text("1069"), text("1071"), text("1070")}), shown);
    EXPECT_EQ(sample.app.Prompt().messages, std::vector<std::string>{});
}

// The coefficient dialog's numbers take each text that is one above 0 to 1000000 as it is
// typed ("1e5" through "1e"), an empty, half-typed or too large one is said once when its
// edit is left, which then shows the float it held before that text began, not one read on
// the way ("0.5" typed and erased, 200000 on the way to "2000000"); units stop at 3
// characters and at the bytes their header fields keep, the name dialog's edit at 20
// characters.
TEST(RepairDialogs, NumbersOnTheirWayAreTakenAndTextsStopAtTheirLimits)
{
    SPM_REQUIRE_DISPLAY();
    RunningApp app;
    RecordedMessages prompt(app);
    CDialogHeaderCoef coefficients({1.0, 2.0, 3.0, "nm", "um"});
    const struct {
        const char* name;
        HeaderCoefField field;
        const char* keys;    // typed over the emptied edit
        const char* shown;   // a number's text once the edit is left
    } cases[] = {
        {"Kz", HeaderCoefField::Kz, "1e5", "100000"},    {"Ky", HeaderCoefField::Ky, "-", "2"},
        {"Kx", HeaderCoefField::Kx, "0.5\b\b\b", "1"}, {"Kx", HeaderCoefField::Kx, "2000000", "1"},
        {"XYUnit", HeaderCoefField::XYUnit, "abcd", nullptr}, {"XYUnit", HeaderCoefField::XYUnit, "µµµm", nullptr},
        {"ZUnit", HeaderCoefField::ZUnit, "µµm", nullptr},
    };
    EXPECT_TRUE(WithModal<QDialog>([&] { Prompt().RunHeaderCoefDialog(coefficients); }, [&](QDialog& dialog) {
        for (const auto& c : cases) {
            QLineEdit& edit = *dialog.findChild<QLineEdit*>(c.name);
            const bool unit = CDialogHeaderCoef::IsUnit(c.field);
            edit.clear();
            std::string typed;
            std::vector<QString> expected;
            for (const char* key = c.keys; *key != '\0'; ++key) {
                typed = *key == '\b' ? typed.substr(0, typed.size() - 1) : typed + *key;
                expected.push_back(QString::fromStdString(typed));
            }
            if (unit)
                expected = UpToLimits(c.keys, CDialogHeaderCoef::kMaxUnitLength, CDialogHeaderCoef::UnitBytes(c.field));
            const std::string held = unit ? expected.back().toStdString() : c.shown;
            prompt.messages.clear();
            EXPECT_EQ(TypeKeys(edit, c.keys), expected) << c.keys;
            EXPECT_EQ(prompt.messages, std::vector<std::string>{}) << c.keys;
            LeaveFor(edit, *dialog.findChild<QLineEdit*>(c.field == HeaderCoefField::Kx ? "Ky" : "Kx"));
            EXPECT_EQ(edit.text().toStdString(), held) << c.keys;
            EXPECT_EQ(coefficients.Text(c.field), held) << c.keys;
            double value = 0.0;
            const bool number = ParseDialogNumber(typed, value);
            const bool kept = number && static_cast<float>(value) > 0.0f && static_cast<float>(value) <= 1e6f;
            const std::vector<std::string> said =
                unit || kept ? std::vector<std::string>{}
                : number     ? std::vector<std::string>{"Please enter a number greater than 0 and at most 1000000."}
                             : std::vector<std::string>{"Please enter a number."};
            EXPECT_EQ(prompt.messages, said) << c.keys;
        }
    }));
    EXPECT_EQ(coefficients.Values().m_dKz, 1e5);
    EXPECT_EQ(coefficients.Values().m_dKx, 1.0);
    EXPECT_EQ(coefficients.Values().m_strXYUnit, "µµm");
    EXPECT_EQ(coefficients.Values().m_strZUnit, "µm");

    CDialogImageName name("Height");
    const char* const keys = "abcdefghijklmnopqrstuvw";
    prompt.messages.clear();
    EXPECT_TRUE(WithModal<QDialog>([&] { Prompt().RunImageNameDialog(name); }, [&](QDialog& dialog) {
        QLineEdit& edit = *dialog.findChild<QLineEdit*>();
        edit.selectAll();
        EXPECT_EQ(TypeKeys(edit, keys), UpToLimits(keys, CDialogImageName::kMaxNameLength));
        Leave(edit);
    }));
    EXPECT_EQ(name.Name(), std::string(keys, CDialogImageName::kMaxNameLength));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{});
}

// The cases that need the display's keyboard focus for themselves.
class RepairDialogsFocus : public testing::Test {
protected:
    void SetUp() override
    {
        if (!DisplayAvailable())
            GTEST_SKIP() << "no display";
    }
};

// "5e" in K_x is no number: OK by Return or by a click on its button says so once, and the
// dialog stays open with K_x focused and its text selected, taking nothing. A click on another
// edit leaves K_x instead: it takes back the number it held before the "5", not the 5 read on
// the way, shows it again, says why once, and the click's edit has the focus.
TEST_F(RepairDialogsFocus, OKTakesNoRefusedNumber)
{
    RunningApp app;
    RecordedMessages prompt(app);
    enum class Action { Return, OkButton, OtherEdit };
    for (const Action action : {Action::Return, Action::OkButton, Action::OtherEdit}) {
        CDialogHeaderCoef model({1.0, 2.0, 3.0, "nm", "um"});
        bool open = false;
        QString text, selected;
        const QWidget* focus = nullptr;
        const QWidget *kxEdit = nullptr, *kz = nullptr;
        HeaderCoefValues start, before, after;
        EXPECT_TRUE(WithModal<QDialog>([&] { Prompt().RunHeaderCoefDialog(model); }, [&](QDialog& dialog) {
            ASSERT_TRUE(Focused(dialog));
            QLineEdit& kx = *dialog.findChild<QLineEdit*>("Kx");
            kxEdit = &kx;
            kz = dialog.findChild<QLineEdit*>("Kz");
            kx.setFocus(Qt::TabFocusReason);
            kx.selectAll();
            start = model.Values();
            TypeKeys(kx, "5e");
            before = model.Values();
            prompt.messages.clear();
            switch (action) {
            case Action::Return: QTest::keyClick(&kx, Qt::Key_Return); break;
            case Action::OkButton: UserClick(*dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)); break;
            case Action::OtherEdit: UserClick(*dialog.findChild<QLineEdit*>("Kz")); break;
            }
            PumpUntil([&] { return !prompt.messages.empty(); });
            // Time for a message too many to come.
            RunningApp::Pump(100);
            open = dialog.isVisible();
            text = kx.text();
            selected = kx.selectedText();
            focus = dialog.focusWidget();
            after = model.Values();
        }));
        const int a = static_cast<int>(action);
        EXPECT_EQ(prompt.messages, std::vector<std::string>{"Please enter a number."}) << a;
        EXPECT_TRUE(open) << a;
        const HeaderCoefValues& held = action == Action::OtherEdit ? start : before;
        EXPECT_EQ(std::tie(after.m_dKx, after.m_dKy, after.m_dKz), std::tie(held.m_dKx, held.m_dKy, held.m_dKz)) << a;
        if (action == Action::OtherEdit) {
            EXPECT_EQ(text.toStdString(), model.Text(HeaderCoefField::Kx)) << a;
            EXPECT_EQ(focus, kz) << a;
        } else {
            EXPECT_EQ(std::pair(text, selected), std::pair(QString("5e"), QString("5e"))) << a;
            EXPECT_EQ(focus, kxEdit) << a;
        }
    }
}

// The file seen on screen: an Origin export whose X and Y steps are 0 brings its check's
// message, then the dialog. "5e" in K_x and Return say once that it is no number, and the
// dialog stays open with K_x focused and "5e" selected; "2" and Return then close it, and the
// header takes 2, not a number the user was told was refused.
TEST_F(RepairDialogsFocus, AnOriginExportWithoutStepsTakesOnlyTheNumberTyped)
{
    const ScratchDir dir;
    const std::string path = OriginExportWithoutSteps(dir);
    RunningApp app;
    RealDialogs real(app);
    const auto coefficients = [](QWidget* modal) { return modal != nullptr ? modal->findChild<QLineEdit*>("Kx") : nullptr; };
    // The keys go in from a step of their own: a message they bring runs a loop of its own,
    // in which the next step answers it.
    const auto typeThenReturn = [&](const char* keys) -> ModalStep {
        return [=](QWidget* modal) {
            QLineEdit* kx = coefficients(modal);
            if (kx == nullptr || !Focused(*qobject_cast<QDialog*>(modal)))
                return false;
            kx->setFocus(Qt::TabFocusReason);
            kx->selectAll();
            TypeKeys(*kx, keys);
            QTimer::singleShot(0, kx, [kx] { QTest::keyClick(kx, Qt::Key_Return); });
            return true;
        };
    };
    std::string check, refusal;
    std::vector<std::string> more;   // messages beyond the one expected
    QString shown, selected;
    bool focused = false;
    QElapsedTimer seen;
    const ModalStep look = [&](QWidget* modal) {
        if (RecordBox(modal, more))
            return false;
        QLineEdit* kx = coefficients(modal);
        if (kx == nullptr)
            return false;
        // Anything the refusal left to run shows by then.
        if (!seen.isValid())
            seen.start();
        if (seen.elapsed() < 300)
            return false;
        std::tie(shown, selected, focused) = std::tuple(kx->text(), kx->selectedText(), modal->focusWidget() == kx);
        return true;
    };
    const std::size_t done = RunWithModals([&] { app.App().OpenWithFollowUp(path); },
                                           {AnswerBox(QMessageBox::Ok, &check), typeThenReturn("5e"),
                                            AnswerBox(QMessageBox::Ok, &refusal), look, typeThenReturn("2")},
                                           kWaitLimitMs);
    EXPECT_EQ(done, 5u);
    EXPECT_TRUE(check.starts_with("Please check file Header parameter")) << check;
    EXPECT_EQ(refusal, "Please enter a number.");
    EXPECT_EQ(more, std::vector<std::string>{});
    EXPECT_EQ(std::tuple(shown, selected, focused), std::tuple(QString("5e"), QString("5e"), true));
    ASSERT_FALSE(app.Frames().empty());
    EXPECT_EQ(app.ActiveDoc().Doc().ImageList().front().m_pImage->m_header.m_fKx, 2.0f);
}

// Options with a size that is no value in its range: a click on a radio says nothing of it;
// OK, by Return or by its button, says it once and keeps the dialog open, the size focused and
// its text selected, the model as it was.
TEST_F(RepairDialogsFocus, OptionsTakeNoRefusedSize)
{
    RunningApp app;
    RecordedMessages prompt(app);
    for (const bool byButton : {false, true}) {
        CDialogOptions options(1, 10);
        std::vector<std::string> onRadio, onOk;
        bool open = false, focused = false;
        QString selected;
        EXPECT_TRUE(WithModal<QDialog>([&] { Prompt().RunDialog(options); }, [&](QDialog& dialog) {
            ASSERT_TRUE(Focused(dialog));
            QLineEdit& size = *dialog.findChild<QLineEdit*>("matrixSize");
            size.setFocus(Qt::TabFocusReason);
            size.selectAll();
            TypeKeys(size, "0");
            prompt.messages.clear();
            QRadioButton& coarsely = *dialog.findChildren<QRadioButton*>().at(1);
            UserClick(coarsely, RadioButtonAt(coarsely));
            onRadio = prompt.messages;
            prompt.messages.clear();
            if (byButton)
                UserClick(*dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
            else
                QTest::keyClick(&size, Qt::Key_Return);
            PumpUntil([&] { return !prompt.messages.empty(); });
            RunningApp::Pump(100);
            onOk = prompt.messages;
            std::tie(open, selected, focused) = std::tuple(dialog.isVisible(), size.selectedText(), dialog.focusWidget() == &size);
        }));
        EXPECT_EQ(onRadio, std::vector<std::string>{}) << byButton;
        EXPECT_EQ(onOk, std::vector<std::string>{RangeMessage(1, 1000, true)}) << byButton;
        EXPECT_EQ(std::tuple(open, selected, focused), std::tuple(true, QString("0"), true)) << byButton;
        EXPECT_EQ(std::tuple(options.m_nMode, options.m_nMatrixSize, options.m_bAccepted), std::tuple(1, 10u, 0)) << byButton;
    }
    // A size the precise render leaves disabled shows its value again, which OK takes.
    CDialogOptions options(1, 10);
    prompt.messages.clear();
    RunWithModals([&] { Prompt().RunDialog(options); }, {[&](QWidget* modal) {
                      auto* dialog = qobject_cast<QDialog*>(modal);
                      if (dialog == nullptr || !Focused(*dialog))
                          return false;
                      QLineEdit& size = *dialog->findChild<QLineEdit*>("matrixSize");
                      size.selectAll();
                      TypeKeys(size, "0");
                      QRadioButton& precisely = *dialog->findChildren<QRadioButton*>().at(0);
                      UserClick(precisely, RadioButtonAt(precisely));
                      UserClick(*dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
                      return true;
                  }});
    EXPECT_EQ(std::tuple(options.m_nMode, options.m_nMatrixSize, options.m_bAccepted), std::tuple(0, 10u, 1));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{});
}
