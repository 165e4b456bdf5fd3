// The shell's rules: command routing, frame titles, view openers, recent files, close prompt,
// files handed over while the program is busy or quits.
#include <gtest/gtest.h>

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <filesystem>
#include <set>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/FileTypes.h"
#include "app/MainFrame.h"
#include "app/ShellOpen.h"
#include "document/MDIDoc.h"
#include "platform/core/DialogModels.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/DisplayText.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"

namespace {

// Five targets in routing order; each logs the commands it ran.
struct Route {
    CCmdTarget view, doc, frame, main, app;
    std::vector<std::string> log;

    void Handle(CCmdTarget& target, const char* name, int id)
    {
        target.OnCommand(id, [this, name] { log.push_back(name); });
    }
};

TEST(CommandRouting, FirstHandlerAlongTheRouteRunsAndUnhandledIdsAreDisabled)
{
    Route route;
    CCommandRegistry registry;
    registry.SetRoute([&route] {
        return std::vector<CCmdTarget*>{&route.view, &route.doc, nullptr, &route.main, &route.app};
    });
    route.Handle(route.app, "app", 1);
    route.Handle(route.doc, "doc", 2);
    route.Handle(route.app, "app", 2);
    route.Handle(route.view, "view", 6);   // the route's first step
    route.Handle(route.doc, "doc", 6);
    route.view.OnUpdateCommand(3, [](CCmdUI& ui) { ui.Enable(false); });
    route.Handle(route.app, "app", 3);
    route.main.OnUpdateCommand(4, [](CCmdUI& ui) { ui.SetCheck(1); });

    EXPECT_TRUE(registry.Execute(1));
    EXPECT_TRUE(registry.Execute(2));
    EXPECT_FALSE(registry.Execute(3));   // the view's update handler disables it
    EXPECT_FALSE(registry.Execute(5));   // nobody handles it
    EXPECT_TRUE(registry.Execute(6));
    EXPECT_EQ(route.log, (std::vector<std::string>{"app", "doc", "view"}));
    EXPECT_FALSE(registry.Query(5).m_bEnabled);
    EXPECT_TRUE(registry.Query(4).m_bEnabled);
    EXPECT_TRUE(registry.Query(4).m_bChecked);
}

TEST(CommandRouting, MenuStatesFollowTheirUpdateHandlersWhenTheMenuOpens)
{
    CCmdTarget app;
    bool enabled = false;
    app.OnCommand(7, [] {}, [&enabled](CCmdUI& ui) { ui.Enable(enabled); ui.SetCheck(enabled ? 1 : 0); });
    CCommandRegistry registry;
    registry.SetRoute([&app] { return std::vector<CCmdTarget*>{&app}; });
    QMenu menu;
    QAction* action = registry.Define(7, "&Seven\tCtrl+7");
    menu.addAction(action);
    registry.WatchMenu(&menu);
    EXPECT_EQ(action->text(), "&Seven");
    EXPECT_EQ(action->shortcut(), QKeySequence("Ctrl+7"));

    enabled = true;
    emit menu.aboutToShow();
    EXPECT_TRUE(action->isEnabled());
    EXPECT_TRUE(action->isChecked());
    enabled = false;
    emit menu.aboutToShow();
    EXPECT_FALSE(action->isEnabled());
    EXPECT_FALSE(action->isChecked());
}

TEST(Shell, OpeningEndsWithA2DAndAnActive3DFrameAndOpenersAndReopeningActivateExistingFrames)
{
    SPM_REQUIRE_DISPLAY();
    RunningApp app(kBundledSample);
    CDocument& doc = app.ActiveDoc();
    const std::string name = doc.Doc().ImageList().front().m_pImage->m_strName;
    const auto title = [&name](const char* kind) { return std::string("sample.spm:").append(name).append(kind); };
    const std::vector<std::string> opened{title(":2D:1"), title(":3D:2")};
    EXPECT_EQ(app.FrameTitles(), opened);
    EXPECT_EQ(app.ActiveTitle(), opened[1]);

    // Follow-up steps run only for a newly opened document: neither call adds a frame.
    app.App().OpenWithFollowUp(kBundledSample);
    app.App().OpenWithFollowUp("/nonexistent/scan.spm");
    EXPECT_EQ(app.MainFrame().DocManager().Documents().size(), 1u);
    EXPECT_TRUE(app.Run(cmd::kOpen2D));
    EXPECT_TRUE(app.Run(cmd::kOpen3D));
    EXPECT_EQ(app.FrameTitles(), opened);
    EXPECT_EQ(app.ActiveTitle(), opened[1]);

    // PROFILE opens one profile frame per document, then only activates it; 2D from the
    // profile frame goes to the first image's 2D frame.
    EXPECT_TRUE(app.Run(cmd::kOpenProfile));
    EXPECT_TRUE(app.Run(cmd::kOpen2D));
    EXPECT_TRUE(app.Run(cmd::kOpenProfile));
    ASSERT_EQ(app.FrameTitles().size(), 3u);
    EXPECT_EQ(app.ActiveTitle(), "sample.spm::Profile:3");
    EXPECT_EQ(app.MainFrame().MDIGetActive()->size(), QSize(610, 330));

    // Closing frames renumbers the rest; a single frame has no number.
    for (CMDIChildFrame* frame : doc.Frames())
        if (frame->m_strViewKind != ":2D")
            frame->close();
    app.Pump();
    EXPECT_EQ(app.FrameTitles(), (std::vector<std::string>{title(":2D")}));
}

TEST(Shell, RecentFilesKeepSixNewestFirstAndLoseFilesThatFailToOpen)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    RunningApp app;
    CSpmDocManager& manager = app.MainFrame().DocManager();
    std::vector<std::string> paths;
    for (int i = 0; i < 7; ++i)
        paths.push_back(SampleCopy(dir, std::string("s").append(std::to_string(i)).append(".spm")));
    for (const std::string& path : paths)
        manager.OpenDocumentFile(path);
    const std::vector<std::string> newest(paths.rbegin(), paths.rbegin() + 6);
    EXPECT_EQ(manager.RecentFiles().Entries(), newest);

    // A file gone since: opening it from the list fails and drops it. (Gone while open, its
    // image would be in no file, and closing would ask about it.)
    EXPECT_TRUE(manager.CloseAllDocuments());
    std::filesystem::remove(paths[6]);
    app.Pump();
    EXPECT_TRUE(app.Run(cmd::kFileMru1));
    CRecentFileList stored("Local AppWizard-Generated Applications", "Quintara", 6);
    stored.ReadList();
    EXPECT_EQ(stored.Entries(), std::vector<std::string>(newest.begin() + 1, newest.end()));
}

// The recent-file entries of the File menu in the menu bar now.
std::vector<QAction*> RecentMenuEntries(RunningApp& app)
{
    std::vector<QAction*> entries;
    QMenu* file = app.MainFrame().menuBar()->actions().front()->menu();
    for (QAction* action : file->actions()) {
        const int id = action->data().isValid() ? action->data().toInt() : 0;
        if (id >= cmd::kFileMru1 && id < cmd::kFileMru1 + 6)
            entries.push_back(action);
    }
    return entries;
}

// The texts the menu shows for `paths`, newest first.
std::vector<std::string> RecentMenuTexts(const std::vector<std::string>& paths)
{
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        // Appended piece by piece: g++ 12 takes "&" + std::string for a -Wrestrict overlap.
        std::string text = std::to_string(i + 1);
        text.insert(0, 1, '&');
        text += ' ';
        text += DisplayText(paths[i]).toStdString();
        texts.push_back(std::move(text));
    }
    return texts;
}

std::vector<std::string> Texts(const std::vector<QAction*>& actions)
{
    std::vector<std::string> texts;
    for (const QAction* action : actions)
        texts.push_back(action->text().toStdString());
    return texts;
}

// Files join and leave the recent list outside commands too: the file of the start, files
// handed over, a handed-over file that fails to open, a file opened by the frame's own code.
// After each the menu lists what is stored, and an entry opens the file it names.
TEST(Shell, TheRecentMenuListsTheFilesItsEntriesOpenWhoeverChangedTheList)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string a = SampleCopy(dir, "a.spm"), b = SampleCopy(dir, "b.spm"), c = SampleCopy(dir, "c.spm");
    RunningApp app(a);
    CSpmDocManager& manager = app.MainFrame().DocManager();
    const std::vector<std::pair<std::function<void()>, std::vector<std::string>>> steps{
        {[] {}, {a}},
        {[&] { app.App().OpenShellFiles({b, c}); }, {c, b, a}},
        {[&] {
             manager.CloseDocument(*manager.Documents().front());
             WriteFile(a, std::string_view("not an image"));
             app.App().OpenShellFiles({a});
         }, {c, b}},
        {[&] { manager.OpenDocumentFile(SampleCopy(dir, "d.spm")); }, {(dir / "d.spm").string(), c, b}},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i].first();
        app.Pump(200);
        EXPECT_EQ(manager.RecentFiles().Entries(), steps[i].second) << "step " << i;
        EXPECT_EQ(Texts(RecentMenuEntries(app)), RecentMenuTexts(steps[i].second)) << "step " << i;
    }
    EXPECT_TRUE(manager.CloseAllDocuments());
    app.Pump();
    const std::vector<QAction*> entries = RecentMenuEntries(app);
    ASSERT_EQ(entries.size(), 3u);
    entries[2]->trigger();
    app.Pump();
    ASSERT_EQ(manager.Documents().size(), 1u);
    EXPECT_EQ(manager.Documents().front()->GetPathName(), b);
    EXPECT_EQ(Texts(RecentMenuEntries(app)), RecentMenuTexts({b, (dir / "d.spm").string(), c}));
}

// Files handed over while an event loop runs inside the main one wait until it has returned,
// although no window is up: the code that ran the loop goes on with what it had.
TEST(ShellOpenQueue, FilesSentInsideANestedEventLoopOpenOnlyOnceItHasReturned)
{
    std::vector<std::vector<std::string>> opened;
    CShellOpenQueue queue([&opened](const std::vector<std::string>& paths) { opened.push_back(paths); });
    QEventLoop nested;
    bool openedInside = true;
    QTimer::singleShot(0, [&queue] { queue.Add({"/a.spm"}); });
    QTimer::singleShot(400, [&] {
        openedInside = !opened.empty();
        nested.quit();
    });
    nested.exec();
    EXPECT_FALSE(openedInside);
    RunningApp::Pump(300);
    EXPECT_EQ(opened, (std::vector<std::vector<std::string>>{{"/a.spm"}}));
}

// A quit asks about a changed document, and files are handed over meanwhile: the quit stays
// to show them, and goes on when none of them opens.
struct QuitHandOverCase {
    std::vector<const char*> sound, broken;
    bool ends;
};

class QuitHandOver : public testing::TestWithParam<QuitHandOverCase> {};

TEST_P(QuitHandOver, TheQuitGoesOnWhenNoneOfTheFilesSentMeanwhileOpens)
{
    SPM_REQUIRE_DISPLAY();
    const QuitHandOverCase& c = GetParam();
    ScratchDir dir;
    RunningApp app(SampleCopy(dir, "changed.spm"));
    ASSERT_TRUE(app.Run(cmd::kFlattenXY));
    std::vector<std::string> sent;
    std::vector<std::string> opened;
    for (const char* name : c.sound)
        opened.push_back(sent.emplace_back(SampleCopy(dir, name)));
    for (const char* name : c.broken)
        WriteFile(sent.emplace_back((dir / name).string()), std::string_view("not an image"));
    app.Prompt().dialogScript.push_back([&](IDialogModel& question) {
        app.App().OpenShellFiles(sent);
        dynamic_cast<CQuestionBox&>(question).m_answer = CQuestionBox::Answer::No;
        return false;
    });
    app.MainFrame().close();
    app.Pump(500);
    EXPECT_EQ(app.MainFrame().isVisible(), !c.ends);
    std::vector<std::string> open;
    for (const auto& doc : app.MainFrame().DocManager().Documents())
        open.push_back(doc->GetPathName());
    EXPECT_EQ(open, opened);
    EXPECT_EQ(app.Prompt().messages.size(), c.broken.size());
}

INSTANTIATE_TEST_SUITE_P(Files, QuitHandOver, testing::Values(
    QuitHandOverCase{{}, {"broken.spm"}, true},
    QuitHandOverCase{{}, {"broken.spm", "broken2.spm"}, true},
    QuitHandOverCase{{"sent.spm"}, {}, false},
    QuitHandOverCase{{"sent.spm"}, {"broken.spm"}, false}));

// The answer to "Save changes to <name>?", whether the frame then closed and a file was written.
struct ClosePromptCase { int answer; bool closes, saves; };

class ClosePrompt : public testing::TestWithParam<ClosePromptCase> {};

TEST_P(ClosePrompt, ChangedHeightsAskBeforeTheLastFrameCloses)
{
    SPM_REQUIRE_DISPLAY();
    const ClosePromptCase& c = GetParam();
    ScratchDir dir;
    RunningApp app(SampleCopy(dir));
    CDocument& doc = app.ActiveDoc();
    app.MainFrame().MDIGetActive()->close();   // the 3D frame: not the last, no question
    app.Pump();
    EXPECT_FALSE(doc.IsModified());
    doc.ResetViews();                          // the views rebuild, no heights changed
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(app.Run(cmd::kFlattenXY));
    EXPECT_TRUE(doc.IsModified());

    AnswerQuestion(app.Prompt(), c.answer);
    AnswerFileDialog(app.Prompt(), (dir / "saved").string(), 0);
    app.MainFrame().MDIGetActive()->close();
    app.Pump();
    EXPECT_EQ(app.Prompt().events.front(), "dialog: Save changes to sample.spm:Height_01?");
    EXPECT_EQ(app.FrameTitles().empty(), c.closes);
    EXPECT_EQ(std::filesystem::exists(dir / "saved.spm"), c.saves);
}

INSTANTIATE_TEST_SUITE_P(Answers, ClosePrompt, testing::Values(
    ClosePromptCase{static_cast<int>(CQuestionBox::Answer::Yes), true, true},
    ClosePromptCase{static_cast<int>(CQuestionBox::Answer::No), true, false},
    ClosePromptCase{static_cast<int>(CQuestionBox::Answer::Cancel), false, false}));

// The document's image list keeps each image's number in its file, so the second image of
// a NanoScope file listed there comes back as itself, not as the file's first image; a
// listed image that opening adds by itself (the companion) does not come twice.
TEST(Shell, ListedImagesReopenWithTheirNumberInTheirFileAndOnce)
{
    SPM_REQUIRE_DISPLAY();
    SPM_REQUIRE_SAMPLES();
    ScratchDir dir;
    std::filesystem::copy_file(SamplePath("nanoscope-v432-height-amplitude.007"), dir / "scan.007");
    const std::string path = (dir / "scan.007").string(), sample = SampleCopy(dir);
    const auto imagesOf = [](RunningApp& app) {
        std::vector<std::pair<std::string, int>> images;
        for (const ImageEntry& entry : app.ActiveDoc().Doc().ImageList())
            images.emplace_back(entry.m_pImage->m_strName, entry.m_pImage->m_nIndexInFile);
        return images;
    };
    using Images = std::vector<std::pair<std::string, int>>;
    {
        RunningApp app(path);
        ASSERT_TRUE(app.Run(cmd::kSaveDocConfigs));
    }
    {
        RunningApp app(path);
        EXPECT_EQ(imagesOf(app), (Images{{"Height_01", 0}, {"Amplitude_02", 1}}));
        EXPECT_EQ(app.FrameTitles().size(), 3u);
    }
    {
        RunningApp app(sample);
        app.MainFrame().AddImageToActiveDoc(path, 1);
        ASSERT_TRUE(app.Run(cmd::kSaveDocConfigs));
    }
    RunningApp app(sample);
    EXPECT_EQ(imagesOf(app), (Images{{"Height_01", 0}, {"Amplitude_02", 1}}));
}

TEST(Shell, ABareSaveNameTakesTheChosenTypesExtension)
{
    CFileDialogModel save(false, "Save As", {{"A (*.spm)", {"*.spm"}, ".spm"}, {"B (*.000)", {"*.000"}, ".000"}});
    save.Choose("/tmp/scan", 1);
    EXPECT_EQ(save.m_strPath, "/tmp/scan.000");
    save.Choose("/tmp/scan.spm", 1);
    EXPECT_EQ(save.m_strPath, "/tmp/scan.spm");
}

// The name "Save Image As..." hands back, which its dialog asks about, is the file the
// document then writes, and the only one: whatever is typed in whichever type.
TEST(Shell, TheSaveDialogsNameIsTheFileTheDocumentWrites)
{
    const struct {
        const char* typed;
        std::size_t type;
        const char* written;
    } cases[] = {
        {"a", 0, "a.spm"},         {"a", 1, "a.000"},           {"a", 2, "a.mdt"},
        {"a.SPM", 0, "a.SPM.spm"}, {"a.SPM", 2, "a.SPM.spm"},   {"a.spm", 1, "a.spm"},
        {"a.mdt", 0, "a.mdt"},     {"a.007", 2, "a.007"},       {"d.x/a", 1, "d.x/a.000"},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        std::filesystem::create_directory(dir / "d.x");
        ScriptedPrompt prompt;
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(SampleCopy(dir, "source.spm")));
        CFileDialogModel save(false, "Save As", SaveFileTypes());
        save.Choose((dir / c.typed).string(), c.type);
        const std::string row = std::string(c.typed) + " in type " + std::to_string(c.type);
        EXPECT_EQ(save.m_strPath, (dir / c.written).string()) << row;
        ASSERT_TRUE(doc.OnSaveDocument(save.m_strPath, "Height_01")) << row;
        EXPECT_EQ(doc.GetPathName(), save.m_strPath) << row;
        std::set<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
            if (entry.is_regular_file())
                files.insert(std::filesystem::relative(entry.path(), dir.path()).string());
        EXPECT_EQ(files, (std::set<std::string>{"source.spm", c.written})) << row;
        EXPECT_TRUE(prompt.messages.empty()) << row;
    }
}

} // namespace
