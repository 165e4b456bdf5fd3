// The work bench on real frames: header texts of an older file in Latin-1 show readably and
// close without a question, image names read alike in messages, lists and menus, the tree
// follows Save As, headers beyond what a user may type show without a message, and typed
// header texts stop at their limits and are refused only by their own edit. The repair
// dialogs for a header that failed its check take numbers on their way the same.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
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
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/QtPrompt.h"
#include "support/TestImages.h"

namespace {

// A copy of the sample as an older program wrote it: its units, quantity and note in
// Latin-1, so its image is named "H\xF6he_01"; its path.
std::string OlderFile(const ScratchDir& dir)
{
    const std::string path = SampleCopy(dir, "older.spm");
    std::string bytes = FileText(path);
    const auto put = [&bytes](std::size_t offset, std::size_t size, std::string_view text) {
        bytes.replace(offset, size, std::string(text) + std::string(size - text.size(), '\0'));
    };
    put(offsetof(SpmHeader, m_szZUnit), 4, "\xB5m");
    put(offsetof(SpmHeader, m_szXYUnit), 6, "\xB5m");
    put(offsetof(SpmHeader, m_szQuantity), 96, "H\xF6he");
    put(offsetof(SpmHeader, m_szNote), 322, "25 \xB0" "C");
    WriteFile(path, bytes);
    return path;
}

// An image file of 64 x 48 points (NT-MDT for *.mdt, else *.spm) with X and Y steps of
// `step`, heights rising by `height` a point and the quantity `quantity`; its path.
std::string ImageFile(const ScratchDir& dir, const char* name, float step, double height, const char* quantity)
{
    CSpmImage image = MakeImage(64, 48, [height](int r, int c) { return (r * 64 + c) * height; }, step, step);
    SetHeaderText(image.m_header.m_szQuantity, quantity);
    CImageFile file;
    const std::string path = (dir / name).string();
    const bool written = std::string_view(name).ends_with(".mdt") ? file.WriteMdt(path, image) : file.WriteSpm(path, image);
    EXPECT_TRUE(written) << name;
    return path;
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

// What an edit with a limit of `limit` characters shows after each of `keys` typed over an
// empty text: the keys up to the limit.
std::vector<QString> UpToLimit(const char* keys, std::size_t limit)
{
    std::vector<QString> shown;
    for (std::size_t i = 1; i <= std::string_view(keys).size(); ++i)
        shown.push_back(QString::fromLatin1(keys, static_cast<qsizetype>(std::min(i, limit))));
    return shown;
}

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
    const auto shownHeader = [&image] {
        return std::string(reinterpret_cast<const char*>(&image.m_header), sizeof(SpmHeader));
    };
    for (const char* kind : {":2D", ":3D", ":2D"}) {
        ASSERT_TRUE(app.Activate(kind)) << kind;
        bench.OnTimer();
        RunningApp::Pump(0);
        EXPECT_EQ(shownHeader(), header) << kind;
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

// The name of an older file's image keeps its Latin-1 bytes for the program (the prompt
// interface hands them on as they are), while every widget and message box reads them as
// Latin-1: no replacement character anywhere.
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
    EXPECT_EQ(app.Prompt().events.back(), "dialog: Save changes to older.spm:H\xF6he_01?");
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
        // What the user types is held to the limits: a unit stops at its 4 characters, and a
        // name shortened to what is still beyond 14 takes nothing.
        edit("1068")->selectAll();
        QTest::keyClicks(edit("1068"), "xbcde");
        EXPECT_EQ(edit("1068")->text(), "xbcd") << c.path;
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
// limit does: no message for each key beyond it, and the header holds what the edit shows.
TEST(WorkBench, HeaderTextsStopTakingCharactersAtTheirLimits)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    RunningApp app(SampleCopy(dir));
    CDialogWorkBench& bench = app.MainFrame().WorkBench();
    bench.OnTimer();
    SpmHeader& header = app.ActiveDoc().Doc().ImageList().front().m_pImage->m_header;
    const char* const keys = "abcdefghijklmnopq";
    // The header's text, and what its field keeps of a text the user typed.
    using Field = std::function<std::pair<std::string, std::string>(const std::string& typed)>;
    const auto field = [](auto& text) -> Field {
        return [&text](const std::string& typed) {
            std::remove_reference_t<decltype(text)> kept{};
            SetTypedHeaderText(kept, typed);
            return std::pair(ShownHeaderText(text), ShownHeaderText(kept));
        };
    };
    const struct {
        const char* id;
        std::size_t limit;
        Field field;
    } cases[] = {
        {"1068", 4, field(header.m_szZUnit)},
        {"1069", 4, field(header.m_szXYUnit)},
        {"1071", 14, field(header.m_szQuantity)},
    };
    for (const auto& c : cases) {
        QLineEdit& edit = *bench.findChild<QLineEdit*>(c.id);
        edit.selectAll();
        const std::vector<QString> expected = UpToLimit(keys, c.limit);
        EXPECT_EQ(TypeKeys(edit, keys), expected) << c.id;
        const auto [held, kept] = c.field(expected.back().toStdString());
        EXPECT_EQ(held, kept) << c.id;
        Leave(edit);
        EXPECT_EQ(edit.text(), expected.back()) << c.id;
    }
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

// The coefficient dialog's numbers take each text that is one in 0 to 1000000 as it is typed
// ("1e5" through "1e"), an empty or half-typed one is said once when its edit is left, which
// then shows the number it holds; units stop at 3 characters, the name dialog's edit at 20.
TEST(RepairDialogs, NumbersOnTheirWayAreTakenAndTextsStopAtTheirLimits)
{
    SPM_REQUIRE_DISPLAY();
    RunningApp app;
    RecordedMessages prompt(app);
    CDialogHeaderCoef coefficients({1.0, 2.0, 3.0, "nm", "um"});
    const struct {
        const char* name;
        HeaderCoefField field;
        const char* keys;   // typed over the emptied edit
    } cases[] = {
        {"Kz", HeaderCoefField::Kz, "1e5"},      {"Ky", HeaderCoefField::Ky, "-"},
        {"Kx", HeaderCoefField::Kx, "0.5\b\b\b"}, {"Kx", HeaderCoefField::Kx, "2000000"},
        {"XYUnit", HeaderCoefField::XYUnit, "abcd"},
    };
    EXPECT_TRUE(WithModal<QDialog>([&] { Prompt().RunHeaderCoefDialog(coefficients); }, [&](QDialog& dialog) {
        for (const auto& c : cases) {
            QLineEdit& edit = *dialog.findChild<QLineEdit*>(c.name);
            const bool unit = c.field == HeaderCoefField::XYUnit;
            edit.clear();
            std::string held = coefficients.Text(c.field);
            std::string typed;
            std::vector<QString> expected;
            for (const char* key = c.keys; *key != '\0'; ++key) {
                typed = *key == '\b' ? typed.substr(0, typed.size() - 1) : typed + *key;
                typed = typed.substr(0, unit ? CDialogHeaderCoef::kMaxUnitLength : std::string::npos);
                expected.push_back(QString::fromStdString(typed));
                if (unit)
                    held = typed;
                else if (const std::optional<double> value = ValueInRange(typed, 0.0, 1e6, false))
                    held = FormatDialogNumber(*value);
            }
            prompt.messages.clear();
            EXPECT_EQ(TypeKeys(edit, c.keys), expected) << c.keys;
            EXPECT_EQ(coefficients.Text(c.field), held) << c.keys;
            EXPECT_EQ(prompt.messages, std::vector<std::string>{}) << c.keys;
            Leave(edit);
            EXPECT_EQ(edit.text().toStdString(), held) << c.keys;
            double value = 0.0;
            const std::vector<std::string> said =
                unit || ValueInRange(typed, 0.0, 1e6, false) ? std::vector<std::string>{}
                : ParseDialogNumber(typed, value)            ? std::vector<std::string>{RangeMessage(0.0, 1e6, false)}
                                                             : std::vector<std::string>{"Please enter a number."};
            EXPECT_EQ(prompt.messages, said) << c.keys;
        }
    }));
    EXPECT_EQ(coefficients.Values().m_dKz, 1e5);
    EXPECT_EQ(coefficients.Values().m_dKx, 200000.0);
    EXPECT_EQ(coefficients.Values().m_strXYUnit, "abc");

    CDialogImageName name("Height");
    const char* const keys = "abcdefghijklmnopqrstuvw";
    prompt.messages.clear();
    EXPECT_TRUE(WithModal<QDialog>([&] { Prompt().RunImageNameDialog(name); }, [&](QDialog& dialog) {
        QLineEdit& edit = *dialog.findChild<QLineEdit*>();
        edit.selectAll();
        EXPECT_EQ(TypeKeys(edit, keys), UpToLimit(keys, CDialogImageName::kMaxNameLength));
        Leave(edit);
    }));
    EXPECT_EQ(name.Name(), std::string(keys, CDialogImageName::kMaxNameLength));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{});
}
