// The application: start-up (templates, main frame, the file on the command line), File
// Open with its follow-up steps, the recent files, the about box and the wait cursor.
#pragma once

#include <QCursor>

#include <memory>
#include <string>
#include <vector>

#include "platform/qt/CmdTarget.h"

class CCommandRegistry;
class CDesktopTableUpdater;
class CMainFrame;
class CMultiDocTemplate;
class CQtPrompt;
class CShellOpenQueue;
class CShellOpenServer;
class CSpmDocManager;

class CSpmApp : public CCmdTarget {
public:
    CSpmApp();
    ~CSpmApp() override;

    // The one application while it lives; null otherwise.
    static CSpmApp* Instance();

    // Builds everything and shows the main window; `path`, when not empty, opens as File Open
    // would. `shellOpen` is the listener this start set up when it was chosen to serve (see
    // ServeOrHandOver); without one the application tries to listen itself. False when the
    // main window could not be made.
    bool InitInstance(const std::string& path, std::unique_ptr<CShellOpenServer> shellOpen);
    bool InitInstance(const std::string& path);

    // File Open: asks for a file, opens it and, for a newly opened document, adds its
    // companion image, the images its presentation file lists and its 3D frame.
    void OnFileOpen();
    // Opens `path` and runs the follow-up steps when it made a new document.
    void OpenWithFollowUp(const std::string& path);
    // Files sent by the desktop or by a second start: once no dialog is up, each opens its
    // first image in a 2D frame, without the follow-up steps, and the main window comes to
    // the front.
    void OpenShellFiles(const std::vector<std::string>& paths);
    // The listener for files sent later, which hands them to the application while it lives.
    static std::unique_ptr<CShellOpenServer> MakeShellOpenServer();
    // The program quits: no more files are taken, and the next start serves. False, and the
    // program goes on, while files sent meanwhile wait to open: the user asked for them after
    // asking to quit. When none of them opens, the quit goes on.
    bool EndShellOpen();

    CMainFrame& MainFrame() const { return *m_pMainFrame; }
    CSpmDocManager& DocManager() const { return *m_pDocManager; }
    CCommandRegistry& Commands() const { return *m_pCommands; }
    CQtPrompt& QtPrompt() const { return *m_pPrompt; }

    CMultiDocTemplate* m_pTemplate2D = nullptr;
    CMultiDocTemplate* m_pTemplate3D = nullptr;
    CMultiDocTemplate* m_pTemplateProfile = nullptr;
    QCursor m_hWaitCursor{Qt::WaitCursor};
    QCursor m_hCursor157;
    QCursor m_hCursor158;
    QCursor m_hCursor159;
    QCursor m_hCursor160;

private:
    void AddHandlers();
    void AddDocumentHandlers();
    // The desktop entry and file type of the user, and the listener for files sent later.
    void RegisterWithDesktop(std::unique_ptr<CShellOpenServer> shellOpen);
    void OpenShellFilesNow(const std::vector<std::string>& paths);

    std::unique_ptr<CQtPrompt> m_pPrompt;
    std::unique_ptr<CCommandRegistry> m_pCommands;
    std::unique_ptr<CSpmDocManager> m_pDocManager;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<CShellOpenServer> m_pShellOpen;
    std::unique_ptr<CShellOpenQueue> m_pShellOpenQueue;
    // The desktop's tables brought up to date meanwhile; a run still going ends with the program.
    std::unique_ptr<CDesktopTableUpdater> m_pTableUpdater;
    // A quit waits for files sent while it asked about the documents.
    bool m_bQuitWaits = false;
};
