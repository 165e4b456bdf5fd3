// The shared acceptance scenario, driven through the running application under a display:
// each step asserts what the user would see and saves a screenshot into the build folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QPixmap>
#include <QUrl>

#include <filesystem>

#include "AppTestSupport.h"
#include "support/TestPaths.h"
#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "app/MainFrame.h"
#include "platform/core/DialogModels.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"

#include <QTreeWidget>

namespace {

const char* const kNanoscope = "nanoscope-v432-height-amplitude.007";

// Saves the main window as it looks now; returns the picture for checks.
QImage Screenshot(CMainFrame& mainFrame, const std::string& name)
{
    RunningApp::Pump(300);
    QDir().mkpath(SPM_SCREENSHOT_DIR);
    const QImage picture = mainFrame.grab().toImage();
    picture.save(QString(SPM_SCREENSHOT_DIR) + "/" + QString::fromStdString(name) + ".png");
    return picture;
}

std::vector<std::string> TreeTexts(const QTreeWidget& tree)
{
    std::vector<std::string> texts;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it != nullptr; ++it)
        texts.push_back((*it)->text(0).toStdString());
    return texts;
}

} // namespace

TEST(Scenario, ShellFromStartToQuit)
{
    SPM_REQUIRE_SAMPLES();
    const std::string nanoscope = SamplePath(kNanoscope).string();
    RunningApp app(nanoscope);
    CMainFrame& mainFrame = app.MainFrame();

    // Step 1: the file of the command line with its companion image and the active 3D frame.
    const std::string title = kNanoscope;
    EXPECT_EQ(app.FrameTitles(), (std::vector<std::string>{title + ":Height_01:2D:1",
                                                           title + ":Amplitude_02:2D:2",
                                                           title + ":Height_01:3D:3"}));
    EXPECT_EQ(app.ActiveTitle(), title + ":Height_01:3D:3");
    EXPECT_EQ(mainFrame.windowTitle().toStdString(), "Quintara - " + title);
    EXPECT_EQ(mainFrame.MDIGetActive()->size(), QSize(460, 480));
    app.MainFrame().WorkBench().OnTimer();
    EXPECT_EQ(TreeTexts(mainFrame.WorkBench().Tree()),
              (std::vector<std::string>{title, "Height_01", "Amplitude_02"}));
    Screenshot(mainFrame, "01-start-nanoscope");
}
