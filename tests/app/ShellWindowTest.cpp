// The shell as a user meets it: the Window menu, where new frames go, the main window on the
// screen, which commands are enabled where, tooltips and prompts, File New and the file
// dialogs' folder.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QDockWidget>
#include <QKeySequence>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include <filesystem>
#include <functional>
#include <map>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "app/FileTypes.h"
#include "app/fourier/DialogFourierTransform.h"
#include "app/MainFrame.h"
#include "app/MenuResources.h"
#include "platform/core/DialogModels.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/QtPrompt.h"

namespace {

// The frames of the sample, its profile and a second 2D frame: four frames of three sizes.
void OpenFourFrames(RunningApp& app)
{
    app.App().OpenWithFollowUp(kBundledSample);
    ASSERT_TRUE(app.Run(cmd::kOpenProfile));
    ASSERT_TRUE(app.Run(cmd::kOpen2D));
    ASSERT_TRUE(app.Run(cmd::kWindowNew));
    ASSERT_EQ(app.FrameTitles().size(), 4u);
}

// Answers the next list of choices with entry 0 and notes the entries offered.
void AnswerChoice(ScriptedPrompt& prompt, std::vector<std::string>& offered, bool ok = true)
{
    prompt.dialogScript.push_back([&offered, ok](IDialogModel& model) {
        auto& dialog = dynamic_cast<CChoiceListDlg&>(model);
        offered = dialog.m_entries;
        dialog.m_nSelected = 0;
        return ok;
    });
}

TEST(WindowMenu, ListsTheFramesWithTheActiveOneCheckedAndActivatesTheOneChosen)
{
    SPM_REQUIRE_DISPLAY();
    RunningApp app;
    CMainFrame& main = app.MainFrame();
    OpenFourFrames(app);
    // The menu as the user opens it: its own four items, a separator and the frames by number,
    // the active one checked; then the first frame, covered since, chosen from it.
    QMenu* window = nullptr;
    for (QAction* action : main.menuBar()->actions())
        if (action->text() == "&Window")
            window = action->menu();
    ASSERT_NE(window, nullptr);
    window->popup(main.mapToGlobal(QPoint(300, 20)));
    Screenshot("shell-window-menu");
    const QList<QAction*> items = window->actions();
    std::vector<std::string> titles = app.FrameTitles();
    ASSERT_EQ(items.size(), 4 + 1 + static_cast<qsizetype>(titles.size()));
    EXPECT_TRUE(items[4]->isSeparator());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        EXPECT_EQ(items[5 + i]->text().toStdString(), "&" + std::to_string(i + 1) + " " + titles[i]);
        EXPECT_EQ(items[5 + i]->isChecked(), titles[i] == app.ActiveTitle()) << titles[i];
    }
    items[5]->trigger();
    window->close();
    RunningApp::Pump();
    EXPECT_EQ(app.ActiveTitle(), titles[0]);
    main.FillWindowList();
    const std::vector<QAction*>& list = main.WindowListActions();
    EXPECT_TRUE(list[1]->isChecked());
    // A frame closed leaves the list.
    app.Frames().back()->close();
    RunningApp::Pump();
    EXPECT_EQ(list.size(), titles.size());

    // Beyond nine frames the rest are chosen from a list of all.
    while (app.FrameTitles().size() < 11)
        ASSERT_TRUE(app.Run(cmd::kWindowNew));
    main.FillWindowList();
    ASSERT_EQ(list.size(), 1u + 9u + 1u);
    EXPECT_EQ(list.back()->text(), "&More Windows...");
    titles = app.FrameTitles();
    std::vector<std::string> offered;
    AnswerChoice(app.Prompt(), offered);
    list.back()->trigger();
    RunningApp::Pump();
    EXPECT_EQ(app.Prompt().events.back(), "dialog: Select Window");
    EXPECT_EQ(offered, titles);
    EXPECT_EQ(app.ActiveTitle(), titles[0]);
}

// File names a menu would misread: "&" marks a mnemonic in a menu text, "&&" a plain "&".
const std::vector<std::string> kAmpersandNames{"a&1.spm", "&lead.spm", "a&&b.spm", "end&.spm", "x & y.spm",
                                               "tab\tstop.spm"};

// Copies of the sample under kAmpersandNames in a folder "R&D", opened newest last.
std::vector<std::string> OpenAmpersandFiles(RunningApp& app, const ScratchDir& dir)
{
    std::filesystem::create_directory(dir / "R&D");
    std::vector<std::string> paths;
    for (const std::string& name : kAmpersandNames) {
        paths.push_back(SampleCopy(dir, "R&D/" + name));
        app.MainFrame().DocManager().OpenDocumentFile(paths.back());
    }
    RunningApp::Pump(200);
    return paths;
}

// What a menu shows of an action's text: each mnemonic marker gone, "&&" as one "&".
std::string ShownText(const QAction& action)
{
    const QString text = action.text();
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown.toStdString();
}

// A numbered entry shows "<n> <name>" in full, a tab of the name as a blank rather than the
// start of a shortcut column, and keeps Alt+<n> as its mnemonic.
void ExpectNumberedEntry(const QAction& action, std::size_t number, std::string name)
{
    std::replace(name.begin(), name.end(), '\t', ' ');
    EXPECT_EQ(ShownText(action), std::to_string(number) + " " + name);
    EXPECT_EQ(QKeySequence::mnemonic(action.text()), QKeySequence(QKeyCombination(Qt::ALT, Qt::Key(Qt::Key_0 + number))))
        << action.text().toStdString();
}

// Opens `title`'s menu in the menu bar, for the screenshot.
void PopUpMenu(CMainFrame& main, const QString& title, const std::string& screenshot)
{
    for (QAction* action : main.menuBar()->actions())
        if (action->text() == title && action->menu() != nullptr) {
            action->menu()->popup(main.mapToGlobal(main.menuBar()->actionGeometry(action).bottomLeft()));
            Screenshot(screenshot);
            action->menu()->close();
        }
}

TEST(RecentMenu, ShowsFileNamesWithAmpersandsAsTheyAre)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    RunningApp app;
    const std::vector<std::string> paths = OpenAmpersandFiles(app, dir);
    PopUpMenu(app.MainFrame(), "&File", "shell-recent-ampersands");
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const QAction* action = app.App().Commands().Action(cmd::kFileMru1 + static_cast<int>(i));
        ASSERT_NE(action, nullptr) << i;
        SCOPED_TRACE(paths[paths.size() - 1 - i]);
        ExpectNumberedEntry(*action, i + 1, paths[paths.size() - 1 - i]);
    }
}

TEST(WindowMenu, ShowsFrameTitlesWithAmpersandsAsTheyAre)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    RunningApp app;
    OpenAmpersandFiles(app, dir);
    PopUpMenu(app.MainFrame(), "&Window", "shell-window-ampersands");
    const std::vector<std::string> titles = app.FrameTitles();
    ASSERT_EQ(titles.size(), kAmpersandNames.size());
    app.MainFrame().FillWindowList();
    const std::vector<QAction*>& list = app.MainFrame().WindowListActions();
    ASSERT_EQ(list.size(), 1 + titles.size());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        SCOPED_TRACE(titles[i]);
        EXPECT_NE(titles[i].find(kAmpersandNames[i]), std::string::npos);
        ExpectNumberedEntry(*list[1 + i], i + 1, titles[i]);
    }
}

// Whether any two frames overlap, and whether a frame covers the title bar of an older one.
struct Overlaps {
    bool frames = false;
    bool titles = false;
};

Overlaps FindOverlaps(RunningApp& app)
{
    Overlaps found;
    const std::vector<CMDIChildFrame*> frames = app.Frames();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const QRect older = frames[i]->geometry();
        const QRect title(older.topLeft(), QSize(older.width(), frames[i]->widget()->geometry().top()));
        for (std::size_t j = i + 1; j < frames.size(); ++j) {
            found.frames |= older.intersects(frames[j]->geometry());
            found.titles |= title.intersects(frames[j]->geometry());
        }
    }
    return found;
}

TEST(FramePlacement, WhereTheMainWindowHasRoomNoFrameCoversAnotherElseNoTitleBarIsCovered)
{
    SPM_REQUIRE_DISPLAY();
    RunningApp app;
    // The main window's first size holds two frames side by side, not three.
    app.App().OpenWithFollowUp(kBundledSample);
    ASSERT_TRUE(app.Run(cmd::kOpenProfile));
    Screenshot("shell-placement-default", &app.MainFrame());
    EXPECT_FALSE(FindOverlaps(app).titles);
    EXPECT_FALSE(app.Frames()[0]->geometry().intersects(app.Frames()[1]->geometry()));
    ASSERT_TRUE(app.MainFrame().DocManager().CloseAllDocuments());
    RunningApp::Pump();

    app.MainFrame().resize(QGuiApplication::primaryScreen()->availableGeometry().size() - QSize(20, 40));
    RunningApp::Pump();
    const QSize area = app.MainFrame().MDIClient()->viewport()->size();
    if (area.width() < 610 + 460 || area.height() < 2 * 480)
        GTEST_SKIP() << "the screen is too small for four frames side by side";
    OpenFourFrames(app);
    Screenshot("shell-placement-room", &app.MainFrame());
    EXPECT_FALSE(FindOverlaps(app).frames);
    for (CMDIChildFrame* frame : app.Frames())
        EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(frame->geometry())) << frame->windowTitle().toStdString();
}

TEST(FramePlacement, AFrameLargerThanTheAreaOfTheFramesOpensInsideIt)
{
    SPM_REQUIRE_DISPLAY();
    RunningApp app;
    CMainFrame& main = app.MainFrame();
    // The main window made as small as it goes: its area of frames is lower than a 2D frame
    // and narrower than a profile frame.
    main.resize(main.minimumSize());
    RunningApp::Pump();
    const QRect area(QPoint(0, 0), main.MDIClient()->viewport()->size());
    ASSERT_LT(area.height(), 480);
    ASSERT_LT(area.width(), 610);
    app.App().OpenWithFollowUp(kBundledSample);
    ASSERT_TRUE(app.Run(cmd::kOpenProfile));
    Screenshot("shell-placement-small", &main);
    ASSERT_EQ(app.Frames().size(), 3u);
    for (CMDIChildFrame* frame : app.Frames())
        EXPECT_TRUE(area.contains(frame->geometry())) << frame->windowTitle().toStdString();
}

// --- the main window on the screen

TEST(MainWindow, KeepsItsSizeOnTheScreenWhileFramesOpenAndThePanelsSwitch)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string handedOver = SampleCopy(dir, "handed.spm");
    const std::string originExport = OriginExportWithoutSteps(dir);
    RunningApp app(kBundledSample);
    CMainFrame& main = app.MainFrame();
    const QDockWidget* panelBar = main.findChild<QDockWidget*>();
    ASSERT_NE(panelBar, nullptr);
    const QRect screen = main.screen()->availableGeometry();
    const QSize opened = main.size();
    const auto check = [&](const std::string& what) {
        RunningApp::Pump();
        EXPECT_EQ(main.size(), opened) << what << ": " << main.width() << " x " << main.height();
        EXPECT_TRUE(screen.contains(main.frameGeometry())) << what;
        EXPECT_GE(panelBar->minimumSizeHint().height(), 0) << what;
    };
    check("at start");
    // A file sent by a second start opens in a frame of its own once the program is free.
    const auto handOver = [&](const std::string& path) {
        const std::size_t frames = app.Frames().size();
        app.App().OpenShellFiles({path});
        ASSERT_TRUE(PumpUntil([&] { return app.Frames().size() > frames; })) << path;
    };
    const struct {
        const char* what;
        std::function<void()> open;
    } steps[] = {
        {"a copy of the sample handed over", [&] { handOver(handedOver); }},
        {"an Origin export handed over through the repair dialog", [&] {
             handOver(originExport);
             ASSERT_EQ(app.Prompt().headerCoefPresets.size(), 1u);
         }},
        {"a profile frame", [&] { ASSERT_TRUE(app.Run(cmd::kOpenProfile)); }},
        {"a 3D frame", [&] { ASSERT_TRUE(app.Run(cmd::kOpen3D)); }},
        {"the Fourier dialog", [&] {
             main.ActivateFrame(app.Frames().front());
             ASSERT_TRUE(WithModal<CDialogFourierTransform>([&] { app.Run(cmd::kFourierTransform); },
                                                            [](CDialogFourierTransform&) {}));
         }},
    };
    for (const auto& step : steps) {
        step.open();
        check(step.what);
        // Between the frames the user goes through the panels, the configuration after the
        // palette and the work bench after the configuration, and puts the work bench away.
        for (int panel : {cmd::kShowPalettePanel, cmd::kShowConfigPanel, cmd::kShowWorkBench}) {
            ASSERT_TRUE(app.Run(panel));
            check(std::string(step.what) + ", then panel " + std::to_string(panel));
        }
        main.WorkBench().Tree().setFocus();
        QTest::keyClick(&main.WorkBench().Tree(), Qt::Key_Escape);
        check(std::string(step.what) + ", then Escape in the work bench");
    }
    Screenshot("shell-main-window-after-frames", &main);
}

TEST(MainWindow, StaysOnTheScreenWhenTheFramesOrAPanelAskForMoreThanTheScreenHolds)
{
    SPM_REQUIRE_DISPLAY();
    RunningApp app(kBundledSample);
    CMainFrame& main = app.MainFrame();
    const QRect screen = main.screen()->availableGeometry();
    const QSize opened = main.size();
    const struct {
        const char* what;
        QWidget& asking;
    } cases[] = {
        {"the area of the frames", *main.MDIClient()},
        {"the work bench", main.WorkBench()},
    };
    for (const auto& c : cases) {
        c.asking.setMinimumSize(screen.size() + QSize(200, 200));
        RunningApp::Pump();
        EXPECT_TRUE(screen.contains(main.frameGeometry()))
            << c.what << ": " << main.width() << " x " << main.height();
        c.asking.setMinimumSize(0, 0);
        RunningApp::Pump();
        main.resize(opened);
        RunningApp::Pump();
    }
}

// --- commands, tooltips and prompts

TEST(CommandStates, SelectionModesWorkOnlyWhileA2DFrameIsActive)
{
    SPM_REQUIRE_DISPLAY();
    RunningApp app(kBundledSample);
    CMDIDoc& doc = app.ActiveDoc().Doc();
    ASSERT_TRUE(app.Run(cmd::kOpenProfile));
    for (CMDIChildFrame* frame : app.Frames()) {
        app.MainFrame().ActivateFrame(frame);
        RunningApp::Pump();
        const bool expected = frame->m_strViewKind == ":2D";
        for (const int id : {cmd::kTwoPointMode, cmd::kRectMode, cmd::kThreePointMode}) {
            EXPECT_EQ(app.Enabled(id), expected) << frame->m_strViewKind << " " << id;
            const int before = doc.m_nSelectMode;
            EXPECT_EQ(app.Run(id), expected);
            EXPECT_EQ(doc.m_nSelectMode != before, expected);
            if (expected)
                app.Run(id);   // back off
        }
    }
}

// The menu texts by command, as a tooltip shows them: no mnemonics, no shortcut.
std::map<int, std::string> MenuTexts(const std::vector<MenuItem>& items)
{
    std::map<int, std::string> texts;
    for (const MenuItem& item : items) {
        if (item.id > 0) {
            std::string text = item.text;
            text = text.substr(0, text.find('\t'));
            std::erase(text, '&');
            texts[item.id] = QString::fromStdString(text).simplified().toStdString();
        }
        texts.merge(MenuTexts(item.items));
    }
    return texts;
}

TEST(CommandStates, ToolbarButtonsShowTheirMenuTextAsTooltipAndPrompt)
{
    SPM_REQUIRE_DISPLAY();
    RunningApp app(kBundledSample);
    std::map<int, std::string> expected = MenuTexts(DocumentMenu());
    for (const ButtonText& button : ToolBarOnlyTexts())
        expected[button.id] = button.text;
    // Nothing handles these two: no text at all, rather than a number.
    expected[cmd::kToolbar32802] = expected[cmd::kToolbar32813] = "";
    auto* toolbar = app.MainFrame().findChild<QToolBar*>("toolbar128");
    ASSERT_NE(toolbar, nullptr);
    QStatusBar* status = app.MainFrame().statusBar();
    for (const int id : StandardToolBarButtons()) {
        QAction* action = app.App().Commands().Action(id);
        if (id == 0 || action == nullptr) {
            EXPECT_EQ(id, 0);
            continue;
        }
        EXPECT_EQ(action->toolTip().toStdString(), expected.at(id)) << id;
        EXPECT_EQ(action->statusTip(), action->toolTip()) << id;
        // What hovering the button shows in the status bar.
        action->showStatusText(toolbar);
        EXPECT_EQ(status->currentMessage().toStdString(), expected.at(id).empty() ? "Ready" : expected.at(id)) << id;
        status->clearMessage();
    }
}

TEST(CommandStates, CtrlNOffersTheDocumentTypesAndCreatesNothing)
{
    SPM_REQUIRE_DISPLAY();
    RunningApp app;
    QAction* fileNew = app.App().Commands().Action(cmd::kFileNew);
    ASSERT_NE(fileNew, nullptr);
    EXPECT_EQ(fileNew->shortcut(), QKeySequence("Ctrl+N"));
    for (const bool ok : {true, false}) {
        std::vector<std::string> offered;
        AnswerChoice(app.Prompt(), offered, ok);
        EXPECT_TRUE(app.Run(cmd::kFileNew));
        EXPECT_EQ(app.Prompt().events.back(), "dialog: New");
        EXPECT_EQ(offered, std::vector<std::string>{"SPM"});
        EXPECT_TRUE(app.MainFrame().DocManager().Documents().empty());
        EXPECT_TRUE(app.FrameTitles().empty());
    }
}

// --- the file dialogs' folder

TEST(FileDialogs, StartInTheFolderChosenLastAlsoInTheNextRun)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir first;
    ScratchDir second;
    WriteFile(first / "a.spm", std::string_view("x"));
    WriteFile(second / "b.plt", std::string_view("x"));
    const auto choose = [](CQtPrompt& prompt, const std::string& path, const char* pattern) {
        QString startFolder;
        CFileDialogModel model(true, "Open", {{"Files", {pattern}, ""}});
        bool chosen = false;
        RunWithModals([&] { chosen = prompt.RunDialog(model); }, {TypeInFileDialog(path, -1, &startFolder)});
        EXPECT_TRUE(chosen);
        EXPECT_EQ(model.m_strPath, path);
        return startFolder.toStdString();
    };
    {
        CQtPrompt prompt("Test");
        prompt.KeepLastFolder("h6-test", "folders");
        choose(prompt, (first / "a.spm").string(), "*.spm");
        // Another dialog (a palette's) starts there too.
        EXPECT_EQ(choose(prompt, (second / "b.plt").string(), "*.plt"), first.path().string());
    }
    CQtPrompt next("Test");
    next.KeepLastFolder("h6-test", "folders");
    EXPECT_EQ(choose(next, (first / "a.spm").string(), "*.spm"), second.path().string());
}

// The name typed without an extension gets the extension of the type chosen before the
// dialog looks for the file, and a save's name becomes the one its writer writes: it asks
// whether to replace the file that will be written (and only then), and an open finds the
// file of that type. A bare "scan" and the "upper.SPM" typed lie there as well.
TEST(FileDialogs, ABareNameTakesTheChosenTypesExtensionBeforeTheDialogLooksForTheFile)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    for (const char* name : {"scan", "scan.000", "series.mdt", "scan.SPM", "scan.SPM.spm", "upper.SPM"})
        WriteFile(dir / name, std::string_view("x"));
    const struct {
        bool open;
        int type;
        const char* typed;
        const char* chosen;     // empty: none
        const char* asked;      // the file the dialog asks about (to replace it, or as missing)
    } cases[] = {
        {false, 0, "scan", "scan.spm", ""},
        {false, 1, "scan", "scan.000", "scan.000"},
        {false, 2, "scan", "scan.mdt", ""},
        {false, 1, "scan.spm", "scan.spm", ""},
        {false, 0, "scan.SPM", "scan.SPM.spm", "scan.SPM.spm"},
        {false, 0, "upper.SPM", "upper.SPM.spm", ""},
        {false, 0, "series.mdt", "series.mdt", "series.mdt"},
        {true, 2, "series", "series.mdt", ""},
        {true, 0, "series", "", "series.spm"},
    };
    CQtPrompt prompt("Test");
    for (const auto& c : cases) {
        CFileDialogModel model(c.open, c.open ? "Open" : "Save As", c.open ? OpenFileTypes() : SaveFileTypes());
        std::string question;
        bool chosen = false;
        RunWithModals([&] { chosen = prompt.RunDialog(model); },
                      {TypeInFileDialog((dir / c.typed).string(), c.type),
                       AnswerBox(c.open ? QMessageBox::Ok : QMessageBox::Yes, &question), CancelFileDialog()},
                      5000);
        const std::string row = std::string(c.typed) + " in type " + std::to_string(c.type);
        EXPECT_EQ(question.empty(), c.asked[0] == '\0') << row << ": " << question;
        EXPECT_NE(question.find(c.asked), std::string::npos) << row << ": " << question;
        EXPECT_EQ(chosen, c.chosen[0] != '\0') << row;
        if (chosen) {
            EXPECT_EQ(model.m_strPath, (dir / c.chosen).string()) << row;
        }
    }
}

// The Save As that the question at quit leads to goes the same way: a bare name that will
// replace the document's own file is asked about, and No keeps the file and the program.
TEST(FileDialogs, SaveAsAtQuitAsksBeforeABareNameReplacesAFile)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string path = SampleCopy(dir, "scan.spm");
    const std::vector<std::uint8_t> before = FileBytes(path);
    RunningApp app(path);
    ASSERT_TRUE(app.Run(cmd::kFlattenXY));
    RealDialogs real(app);
    std::string save;
    std::string replace;
    const std::size_t done = RunWithModals([&] { app.MainFrame().close(); },
                                           {AnswerBox(QMessageBox::Yes, &save), TypeInFileDialog((dir / "scan").string(), 0),
                                            AnswerBox(QMessageBox::No, &replace), CancelFileDialog()},
                                           5000);
    EXPECT_EQ(done, 4u);
    EXPECT_NE(save.find("Save changes to scan.spm"), std::string::npos) << save;
    EXPECT_NE(replace.find("scan.spm"), std::string::npos) << replace;
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_TRUE(app.MainFrame().isVisible());
    EXPECT_EQ(app.MainFrame().DocManager().Documents().size(), 1u);
}

// "Save Image As..." of "a.SPM" writes a.SPM.spm: the dialog asks about that file, No leaves
// it as it was, and Yes replaces it and makes it the document's file.
TEST(FileDialogs, SaveAsAsksAboutTheFileTheWriterCompletesTheNameTo)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    RunningApp app(SampleCopy(dir, "scan.spm"));
    const std::string written = (dir / "a.SPM.spm").string();
    WriteFile(written, std::string_view("kept"));
    RealDialogs real(app);
    const auto saveAs = [&] { app.Run(cmd::kFileSaveAs); };
    const std::string declined = SaveUnderTypedName(saveAs, (dir / "a.SPM").string(), QMessageBox::No);
    EXPECT_NE(declined.find("a.SPM.spm"), std::string::npos) << declined;
    EXPECT_TRUE(FileText(written) == "kept") << "replaced after No";
    const std::string accepted = SaveUnderTypedName(saveAs, (dir / "a.SPM").string(), QMessageBox::Yes);
    EXPECT_NE(accepted.find("a.SPM.spm"), std::string::npos) << accepted;
    EXPECT_FALSE(FileText(written) == "kept") << "kept after Yes";
    EXPECT_EQ(app.ActiveDoc().GetPathName(), written);
    EXPECT_FALSE(std::filesystem::exists(dir / "a.SPM"));
}

} // namespace
