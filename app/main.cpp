#include <QApplication>

#include <algorithm>
#include <clocale>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/PlatformChoice.h"
#include "app/ShellOpen.h"
#include "app/SpmApp.h"
#include "app/render/GLCanvas.h"
#include "app/render/GLRenderer.h"
#include "platform/core/Prompt.h"
#include "sp/core/spDispatch.h"

int main(int argc, char* argv[])
{
    // Before the application object: Qt reads the platform when it is made.
    const std::string platform = ChooseQtPlatform(ReadPlatformEnvironment());
    if (!platform.empty())
        qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platform));
    QApplication application(argc, argv);
    // The signal-processing library runs the column made for this processor from here on.
    spStaticInit();
    // Qt applies the user's locale; every number the program writes to a file uses ".".
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName("Local AppWizard-Generated Applications");
    QApplication::setApplicationName("Quintara");

    // The arguments Qt left (it takes out its own), byte for byte: a file's name need not be
    // UTF-8, and Qt's list of them would read it as UTF-8.
    const std::vector<std::string> files(argv + std::min(argc, 1), argv + argc);
    // Which start serves the files sent later is settled before the windows are built, so
    // that a start made meanwhile finds this one; while another program serves, the files
    // open there and this start ends.
    std::unique_ptr<CShellOpenServer> shellOpen = CSpmApp::MakeShellOpenServer();
    const std::optional<std::string> socket = ShellOpenSocketPath();
    const ShellOpenRole role = socket ? ServeOrHandOver(*shellOpen, *socket, files) : ShellOpenRole::kAlone;
    if (role == ShellOpenRole::kHandedOver)
        return 0;

    CSpmApp app;
    // The first path is the file to open at start; the desktop may send more at once, which
    // open as its open requests do.
    if (!app.InitInstance(files.empty() ? std::string() : files.front(),
                          role == ShellOpenRole::kServes ? std::move(shellOpen) : nullptr))
        return 1;
    if (files.size() > 1)
        app.OpenShellFiles({files.begin() + 1, files.end()});
    for (const std::string& notice : StartNotices(CGLCanvas::PlatformDraws(), CGLSurfaceWidget::OpenGLAvailable(),
                                                  CGLRenderer::InitBitmapFont()))
        Prompt().Message(notice);
    return RunMainEventLoop();
}
