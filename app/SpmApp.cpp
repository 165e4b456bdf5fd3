#include "app/SpmApp.h"

#include <QCoreApplication>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QTimer>

#include <utility>

#include "app/AppResources.h"
#include "app/CommandIds.h"
#include "app/DocTemplates.h"
#include "app/FileTypes.h"
#include "app/MainFrame.h"
#include "app/ProcessingCommands.h"
#include "app/ShellOpen.h"
#include "app/ShellRegistration.h"
#include "app/SmallDialogs.h"
#include "app/fourier/DialogFourierTransform.h"
#include "app/views/ProfileView.h"
#include "app/views/View2D.h"
#include "app/views/View3D.h"
#include "platform/core/DialogModels.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/QtPath.h"
#include "platform/qt/QtPrompt.h"

namespace {

CSpmApp* g_pApp = nullptr;

constexpr const char* kRegistryKey = "Local AppWizard-Generated Applications";
constexpr const char* kAppName = "Quintara";
constexpr std::size_t kRecentFileCount = 6;

} // namespace

CSpmApp::CSpmApp()
    : m_pShellOpenQueue(std::make_unique<CShellOpenQueue>(
          [this](const std::vector<std::string>& paths) { OpenShellFilesNow(paths); },
          // Files sent while the program starts wait for its main window.
          [this] { return m_pMainFrame == nullptr || ProgramMustFinishFirst(); }))
{
    g_pApp = this;
}

CSpmApp::~CSpmApp()
{
    // No files arrive while the windows go; the windows go before the documents they show.
    m_pShellOpen.reset();
    m_pShellOpenQueue.reset();
    m_pMainFrame.reset();
    m_pDocManager.reset();
    if (g_pApp == this)
        g_pApp = nullptr;
}

CSpmApp* CSpmApp::Instance()
{
    return g_pApp;
}

bool CSpmApp::InitInstance(const std::string& path)
{
    return InitInstance(path, nullptr);
}

bool CSpmApp::InitInstance(const std::string& path, std::unique_ptr<CShellOpenServer> shellOpen)
{
    InitAppResources();
    m_hCursor157 = AppCursor(157);
    m_hCursor158 = AppCursor(158);
    m_hCursor159 = AppCursor(159);
    m_hCursor160 = AppCursor(160);

    m_pPrompt = std::make_unique<CQtPrompt>(kAppName);
    m_pPrompt->KeepLastFolder(kRegistryKey, kAppName);
    RegisterSmallDialogs(*m_pPrompt);
    m_pCommands = std::make_unique<CCommandRegistry>();
    m_pDocManager = std::make_unique<CSpmDocManager>(OpenFileTypes(), SaveFileTypes(),
                                                     CRecentFileList(kRegistryKey, kAppName, kRecentFileCount));
    m_pTemplate2D = &m_pDocManager->AddTemplate(kTemplate2D, [] { return new CView2D; });
    m_pTemplate3D = &m_pDocManager->AddTemplate(kTemplate3D, [] { return new CView3D; });
    m_pTemplateProfile = &m_pDocManager->AddTemplate(kTemplateProfile, [] { return new CProfileView; });

    m_pMainFrame = std::make_unique<CMainFrame>(*m_pDocManager, *m_pCommands);
    m_pDocManager->SetMainFrame(m_pMainFrame.get());
    m_pPrompt->SetParent(m_pMainFrame.get());
    m_pCommands->SetRoute([this]() -> std::vector<CCmdTarget*> {
        CMDIChildFrame* frame = m_pMainFrame->MDIGetActive();
        CView* view = frame != nullptr ? frame->GetActiveView() : nullptr;
        CDocument* doc = frame != nullptr ? frame->GetActiveDocument() : nullptr;
        return {view, doc, frame, m_pMainFrame.get(), this};
    });
    AddHandlers();
    AddDocumentHandlers();
    RegisterProcessingCommands(*m_pMainFrame);
    RegisterFourierCommand();

    RegisterWithDesktop(std::move(shellOpen));
    m_pMainFrame->show();
    if (!path.empty())
        OpenWithFollowUp(path);
    m_pCommands->UpdateAll();
    return true;
}

void CSpmApp::AddHandlers()
{
    OnCommand(cmd::kAppAbout, [] { ShowAboutBox(); });
    OnCommand(cmd::kFileOpen, [this] { OnFileOpen(); });
    OnCommand(cmd::kFileNew, [] {
        // A document never starts empty: whatever type the user picks, nothing is created.
        CChoiceListDlg dialog("New", {kFileNewName2D});
        Prompt().RunDialog(dialog);
    });
    OnCommand(cmd::kFilePrintSetup, [this] {
        QPrinter printer;
        QPageSetupDialog(&printer, m_pMainFrame.get()).exec();
    });
    OnCommand(cmd::kAppExit, [this] { m_pMainFrame->close(); });
    for (int i = 0; i < static_cast<int>(kRecentFileCount); ++i) {
        // Recent files open their first image only, without the follow-up steps. The menu
        // refills on every change of the list, so entry i names the list's i-th file.
        const auto entry = static_cast<std::size_t>(i);
        OnCommand(cmd::kFileMru1 + i, [this, entry] {
            const auto& entries = m_pDocManager->RecentFiles().Entries();
            if (entry < entries.size())
                m_pDocManager->OpenDocumentFile(std::string(entries[entry]));
        }, [this, entry](CCmdUI& ui) { ui.Enable(entry < m_pDocManager->RecentFiles().Entries().size()); });
    }
}

void CSpmApp::AddDocumentHandlers()
{
    // The image the document commands act on: the active frame's.
    const auto activeImage = [this] {
        const CMDIChildFrame* frame = m_pMainFrame->MDIGetActive();
        return frame != nullptr ? frame->m_strImageName : std::string();
    };
    CDocument::AddClassCommand(cmd::kFileClose, [this](CDocument& doc) { m_pDocManager->CloseDocument(doc); });
    // A save clears the mark of the image it wrote, and only that one. A save in place that
    // would replace another image's file may go to Save As instead, as the user answers; Save
    // As writes the image the command was started for, whatever frame is active by then.
    CDocument::AddClassCommand(cmd::kFileSave, [this, activeImage](CDocument& doc) {
        const std::string image = activeImage();
        if (doc.Doc().OnFileSave(image) == CMDIDoc::FileSaveResult::kSaveAs && m_pDocManager->IsOpen(&doc))
            m_pDocManager->DoSaveAs(doc, image);
    }, EnableWithActiveImage);
    CDocument::AddClassCommand(cmd::kFileSaveAs, [this, activeImage](CDocument& doc) {
        m_pDocManager->DoSaveAs(doc, activeImage());
    }, EnableWithActiveImage);
    CDocument::AddClassCommand(cmd::kSaveImageConfig, [activeImage](CDocument& doc) {
        doc.Doc().OnSaveImageConfig(activeImage());
    }, EnableWithActiveImage);
    CDocument::AddClassCommand(cmd::kSaveDocConfigs, [activeImage](CDocument& doc) {
        doc.Doc().OnFILESaveDocCondig(activeImage());
    });
}

void CSpmApp::OnFileOpen()
{
    const std::string path = m_pDocManager->DoPromptFileName(true);
    if (!path.empty())
        OpenWithFollowUp(path);
}

void CSpmApp::OpenWithFollowUp(const std::string& path)
{
    // Only a document opened just now gets its companion and listed images: one that was
    // open already, a cancelled open or a failed one adds nothing anywhere.
    const CSpmDocManager::OpenResult opened = m_pDocManager->OpenDocumentFile(path);
    if (!opened.created)
        return;
    m_pMainFrame->OpenCompanionImage(*opened.doc);
    m_pMainFrame->LoadDocConfig(*opened.doc);
}

void CSpmApp::OpenShellFiles(const std::vector<std::string>& paths)
{
    m_pShellOpenQueue->Add(paths);
}

void CSpmApp::OpenShellFilesNow(const std::vector<std::string>& paths)
{
    if (m_pMainFrame->isMinimized())
        m_pMainFrame->showNormal();
    m_pMainFrame->raise();
    m_pMainFrame->activateWindow();
    // They open as dropped files do.
    const bool shown = m_pMainFrame->OpenDroppedFiles(paths);
    // A quit stayed to show them: with nothing to show, it goes on (from a fresh turn of the
    // event loop, where files sent meanwhile make it wait again).
    if (std::exchange(m_bQuitWaits, false) && !shown)
        QTimer::singleShot(0, m_pMainFrame.get(), [this] { m_pMainFrame->close(); });
}

std::unique_ptr<CShellOpenServer> CSpmApp::MakeShellOpenServer()
{
    // The application may not be made yet when the listener is: files wait in the queue
    // until it is, and the event loop runs.
    return std::make_unique<CShellOpenServer>([](const std::vector<std::string>& paths) {
        if (CSpmApp* app = Instance())
            app->OpenShellFiles(paths);
    });
}

bool CSpmApp::EndShellOpen()
{
    if (m_pShellOpenQueue->Waiting()) {
        m_bQuitWaits = true;
        return false;
    }
    if (m_pShellOpen)
        m_pShellOpen->StopListening();
    return true;
}

void CSpmApp::RegisterWithDesktop(std::unique_ptr<CShellOpenServer> shellOpen)
{
    // Written at every start, so the entry follows the program when it moves; never fatal.
    // The desktop's tools then run in the background: one that hangs holds neither the main
    // window nor the files another start hands over, which this program answers only once
    // its event loop runs.
    RegistrationResult registration =
        WriteShellFileTypes(UserDataHome(), FromQtPath(QCoreApplication::applicationFilePath()));
    m_pTableUpdater = std::make_unique<CDesktopTableUpdater>(std::move(registration.updates));
    m_pTableUpdater->Start();
    if (shellOpen) {
        m_pShellOpen = std::move(shellOpen);
        return;
    }
    m_pShellOpen = MakeShellOpenServer();
    // Without a safe place for the socket, or with another program serving, files sent later
    // go to that one or start a program of their own.
    if (const std::optional<std::string> socket = ShellOpenSocketPath())
        m_pShellOpen->Listen(*socket);
}
