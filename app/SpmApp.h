// The application: start-up (templates, main frame, the file on the command line), File
// Open with its follow-up steps, the recent files, the about box and the wait cursor.
#pragma once

#include <QCursor>

#include <memory>
#include <string>

#include "platform/qt/CmdTarget.h"

class CCommandRegistry;
class CMainFrame;
class CMultiDocTemplate;
class CQtPrompt;
class CSpmDocManager;

class CSpmApp : public CCmdTarget {
public:
    CSpmApp();
    ~CSpmApp() override;

    // The one application while it lives; null otherwise.
    static CSpmApp* Instance();

    // Builds everything and shows the main window; `path`, when not empty, opens as File Open
    // would. False when the main window could not be made.
    bool InitInstance(const std::string& path);

    // File Open: asks for a file, opens it and, for a newly opened document, adds its
    // companion image, the images its presentation file lists and its 3D frame.
    void OnFileOpen();
    // Opens `path` and runs the follow-up steps when it made a new document.
    void OpenWithFollowUp(const std::string& path);

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

    std::unique_ptr<CQtPrompt> m_pPrompt;
    std::unique_ptr<CCommandRegistry> m_pCommands;
    std::unique_ptr<CSpmDocManager> m_pDocManager;
    std::unique_ptr<CMainFrame> m_pMainFrame;
};
