#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QMdiArea>
#include <QScreen>
#include <QSettings>
#include <QTest>

#include <filesystem>

#include "app/MainFrame.h"
#include "platform/core/DialogModels.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/QtPrompt.h"
#include "platform/qt/View.h"

const std::string kBundledSample = std::string(SPM_SOURCE_DIR) + "/resources/samples/sample.spm";

bool DisplayAvailable()
{
    return QGuiApplication::platformName() != "offscreen";
}

std::string SampleCopy(const ScratchDir& dir, const std::string& name)
{
    std::filesystem::copy_file(kBundledSample, dir / name);
    return (dir / name).string();
}

std::string OriginExportWithoutSteps(const ScratchDir& dir, const std::string& name)
{
    const std::string path = (dir / name).string();
    WriteFile(path, std::string("x\t0\t0\t0\t\r\n0\t1\t2\t3\t\r\n0\t4\t5\t6\t\r\n"));
    return path;
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

bool PumpUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer since;
    since.start();
    while (!done() && since.elapsed() < ms)
        RunningApp::Pump(10);
    return done();
}

std::vector<CMDIChildFrame*> RunningApp::Frames() const
{
    std::vector<CMDIChildFrame*> frames;
    for (QMdiSubWindow* window : m_pApp->MainFrame().MDIClient()->subWindowList(QMdiArea::CreationOrder))
        frames.push_back(qobject_cast<CMDIChildFrame*>(window));
    return frames;
}

std::vector<std::string> RunningApp::FrameTitles() const
{
    std::vector<std::string> titles;
    for (const CMDIChildFrame* frame : Frames())
        titles.push_back(frame->windowTitle().toStdString());
    return titles;
}

std::string RunningApp::ActiveTitle() const
{
    const CMDIChildFrame* frame = m_pApp->MainFrame().MDIGetActive();
    return frame != nullptr ? frame->windowTitle().toStdString() : std::string();
}

CDocument& RunningApp::ActiveDoc()
{
    return *MainFrame().MDIGetActive()->GetActiveDocument();
}

bool RunningApp::Activate(const std::string& kind, const std::string& image)
{
    const std::string shown = image.empty() ? MainFrame().MDIGetActive()->m_strImageName : image;
    for (CMDIChildFrame* frame : ActiveDoc().Frames())
        if (frame->m_strViewKind == kind && (kind == ":Profile" || frame->m_strImageName == shown)) {
            MainFrame().ActivateFrame(frame);
            // The test programs share one display: another program's window takes the
            // keyboard focus and gives it back at any time, and the focus then returns to the
            // widget that had it. The frame keeps it, so that a returning focus cannot make
            // an older frame active again.
            frame->setFocus();
            Pump();
            return true;
        }
    return false;
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

QImage Screenshot(const std::string& name, QWidget* window)
{
    // Other test programs share the display: their windows may cover this one.
    if (window != nullptr)
        window->window()->raise();
    RunningApp::Pump(300);
    QDir().mkpath(SPM_SCREENSHOT_DIR);
    const QString path = QString(SPM_SCREENSHOT_DIR "/") + QString::fromStdString(name);
    QGuiApplication::primaryScreen()->grabWindow(0).save(path + ".png");
    if (window == nullptr)
        return {};
    const QImage own = window->grab().toImage();
    own.save(path + "-window.png");
    return own;
}

QImage ViewPicture(CMDIChildFrame& frame)
{
    RunningApp::Pump(400);
    return frame.GetActiveView()->Widget()->grab().toImage();
}

void SendMouse(QWidget& widget, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    QMouseEvent event(type, at, widget.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, modifiers);
    QApplication::sendEvent(&widget, &event);
}

void UserClick(QWidget& widget, QPoint at)
{
    QWidget* top = widget.window();
    QWindow* window = top->windowHandle();
    const QPoint inWindow = widget.mapTo(top, at);
    QTest::mousePress(window, Qt::LeftButton, {}, inWindow);
    RunningApp::Pump(50);
    QTest::mouseRelease(window, Qt::LeftButton, {}, inWindow);
    RunningApp::Pump(50);
}

void UserClick(QWidget& widget)
{
    UserClick(widget, widget.rect().center());
}

void Type(QLineEdit& edit, const char* text)
{
    edit.selectAll();
    edit.insert(QString::fromUtf8(text));
}

std::vector<QString> TypeKeys(QLineEdit& edit, const char* keys)
{
    std::vector<QString> shown;
    for (const QChar key : QString::fromUtf8(keys)) {
        if (key == QChar('\b'))
            QTest::keyClick(&edit, Qt::Key_Backspace);
        else if (key.unicode() < 0x80)
            QTest::keyClick(&edit, key.toLatin1());
        else   // a key the test library does not spell
            QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, QString(key), Qt::NoModifier);
        shown.push_back(edit.text());
    }
    return shown;
}

void Leave(QLineEdit& edit)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&edit, &out);
    RunningApp::Pump(0);
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

void AnswerColour(ScriptedPrompt& prompt, COLORREF colour)
{
    prompt.dialogScript.push_back([colour](IDialogModel& model) {
        dynamic_cast<CColorDialogModel&>(model).m_color = colour;
        return true;
    });
}

RealDialogs::RealDialogs(RunningApp& app) : m_pPrevious(SetPrompt(&app.App().QtPrompt())) {}

RealDialogs::~RealDialogs()
{
    SetPrompt(m_pPrevious);
}

std::size_t RunWithModals(const std::function<void()>& open, std::vector<ModalStep> steps, int stuckMs)
{
    std::size_t done = 0;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    // A step done may have closed the window in front: the next one sees what is there now.
    const auto offer = [&] {
        while (done < steps.size() && steps[done](QApplication::activeModalWidget())) {
            ++done;
            sinceProgress.restart();
        }
    };
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        offer();
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && sinceProgress.elapsed() > stuckMs) {
            modal->close();
            sinceProgress.restart();
        }
    });
    poll.start();
    open();
    poll.stop();
    offer();
    return done;
}

ModalStep AnswerBox(QMessageBox::StandardButton button, std::string* text)
{
    return [button, text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr || box->button(button) == nullptr)
            return false;
        if (text != nullptr)
            *text = box->text().toStdString();
        box->button(button)->click();
        return true;
    };
}

bool RecordBox(QWidget* modal, std::vector<std::string>& said)
{
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr)
        return false;
    said.push_back(box->text().toStdString());
    box->accept();
    return true;
}

ModalStep RecordBoxes(std::vector<std::string>& said)
{
    return [&said](QWidget* modal) {
        RecordBox(modal, said);
        return false;
    };
}

ModalStep TypeInFileDialog(const std::string& path, int type, QString* startFolder)
{
    QPointer<QFileDialog> typedIn;
    QElapsedTimer sinceTyped;
    return [=](QWidget* modal) mutable {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr)
            return sinceTyped.isValid();   // it went, or its question came
        if (typedIn == dialog && sinceTyped.elapsed() < 300)
            return false;
        if (startFolder != nullptr && typedIn.isNull())
            *startFolder = dialog->directory().absolutePath();
        if (type >= 0)
            dialog->selectNameFilter(dialog->nameFilters().value(type));
        if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit"))
            name->setText(QString::fromStdString(path));
        // Queued: the dialog's own question runs a loop of its own, which the next step answers.
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        typedIn = dialog;
        sinceTyped.start();
        return false;
    };
}

ModalStep CancelFileDialog()
{
    return [](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr)
            return false;
        dialog->reject();
        return true;
    };
}

std::string SaveUnderTypedName(const std::function<void()>& save, const std::string& typed,
                               QMessageBox::StandardButton answer)
{
    std::string question;
    RunWithModals(save, {TypeInFileDialog(typed), AnswerBox(answer, &question), CancelFileDialog()}, 5000);
    return question;
}
