// The work bench on real frames: header texts of an older file in Latin-1 show readably and
// close without a question, image names read alike in messages, lists and menus, the tree
// follows Save As, and headers beyond what a user may type show without a message.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "app/MainFrame.h"
#include "app/panels/DlgConfig.h"
#include "formats/ImageFile.h"
#include "platform/core/DialogModels.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
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
// every frame change without a message; a text the user types is still checked, once, and a
// refused one is not asked about again when the next frame's header replaces it.
TEST(WorkBench, HeadersBeyondTheTypedLimitsShowWithoutAMessage)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    const auto write = [&dir](const char* name, float step, double height, const char* quantity) {
        CSpmImage image = MakeImage(64, 48, [height](int r, int c) { return (r * 64 + c) * height; }, step, step);
        SetHeaderText(image.m_header.m_szQuantity, quantity);
        CImageFile file;
        const std::string path = (dir / name).string();
        const bool written = std::string_view(name).ends_with(".mdt") ? file.WriteMdt(path, image)
                                                                       : file.WriteSpm(path, image);
        EXPECT_TRUE(written) << name;
        return path;
    };
    const struct {
        std::string path;
        const char *kx, *kz;
    } cases[] = {
        {write("mm-scale.mdt", 7812.5f, 0.01, "Height"), "7812.500000", nullptr},
        {write("deep.spm", 2.5f, 2e4, "Topography_Forward_1"), "2.500000", "1000.0"},
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
        edit("1068")->selectAll();
        QTest::keyClicks(edit("1068"), "x");
        EXPECT_EQ(app.Prompt().messages, std::vector<std::string>{}) << c.path;
        QTest::keyClicks(edit("1068"), "bcde");
        EXPECT_EQ(app.Prompt().messages, std::vector<std::string>{"Please enter no more than 4 characters."}) << c.path;
        ASSERT_TRUE(app.Activate(":3D"));
        bench.OnTimer();
        RunningApp::Pump(0);
        EXPECT_EQ(app.Prompt().messages.size(), 1u) << c.path;
    }
}
