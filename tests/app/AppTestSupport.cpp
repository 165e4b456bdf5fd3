#include "AppTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QSettings>

#include "app/MainFrame.h"
#include "platform/core/DialogModels.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/MDIChildFrame.h"

bool DisplayAvailable()
{
    return QGuiApplication::platformName() != "offscreen";
}

RunningApp::RunningApp(const std::string& path)
{
    QSettings("Local AppWizard-Generated Applications", "Quintara").clear();
    m_pApp = std::make_unique<CSpmApp>();
    m_pApp->InitInstance({});
    // In front of the application's own prompt; the path opens after, as the command line's.
    m_pPrompt = std::make_unique<ScriptedPrompt>();
    if (!path.empty())
        m_pApp->OpenWithFollowUp(path);
    Pump();
}

RunningApp::~RunningApp()
{
    // Nothing may ask any more: a changed document is let go.
    m_pPrompt->dialogScript.clear();
    Pump();
    m_pPrompt.reset();
}

void RunningApp::Pump(int ms)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } while (timer.elapsed() < ms);
}

std::vector<std::string> RunningApp::FrameTitles() const
{
    std::vector<std::string> titles;
    for (QMdiSubWindow* window : m_pApp->MainFrame().MDIClient()->subWindowList())
        titles.push_back(window->windowTitle().toStdString());
    return titles;
}

std::string RunningApp::ActiveTitle() const
{
    const CMDIChildFrame* frame = m_pApp->MainFrame().MDIGetActive();
    return frame != nullptr ? frame->windowTitle().toStdString() : std::string();
}

bool RunningApp::Run(int id)
{
    const bool ran = m_pApp->Commands().Execute(id);
    Pump();
    return ran;
}

bool RunningApp::Enabled(int id)
{
    return m_pApp->Commands().Query(id).m_bEnabled;
}

void AnswerFileDialog(ScriptedPrompt& prompt, const std::string& path, std::size_t type)
{
    prompt.dialogScript.push_back([path, type](IDialogModel& model) {
        auto& dialog = dynamic_cast<CFileDialogModel&>(model);
        dialog.Choose(path, type);
        return true;
    });
}

void AnswerQuestion(ScriptedPrompt& prompt, int answer)
{
    prompt.dialogScript.push_back([answer](IDialogModel& model) {
        auto& box = dynamic_cast<CQuestionBox&>(model);
        box.m_answer = static_cast<CQuestionBox::Answer>(answer);
        return box.m_answer == CQuestionBox::Answer::Yes;
    });
}
