// The running application for a test: started with a file or none, a scripted prompt in
// front of its own, event processing, frame lookups, mouse events and screenshots.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QImage>
#include <QMouseEvent>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "support/ScriptedPrompt.h"
#include "support/TestPaths.h"
#include "app/SpmApp.h"
#include "image/Color.h"

class CMDIChildFrame;
class CDocument;
class QLineEdit;

// Skips the current test when there is no display to open views on.
#define SPM_REQUIRE_DISPLAY()                                                          \
    do {                                                                               \
        if (!DisplayAvailable())                                                       \
            GTEST_SKIP() << "no display for the OpenGL views (run under Xvfb); skipping"; \
    } while (0)
bool DisplayAvailable();

// The sample of the repository: one image, Height_01. Tests that may write beside it (a
// save, view settings at quit) open a copy.
extern const std::string kBundledSample;
// A copy of the bundled sample in `dir`; its path.
std::string SampleCopy(const ScratchDir& dir, const std::string& name = "sample.spm");
// An Origin export in `dir` whose X and Y steps are 0, so that opening it asks for the
// coefficients; three rows of heights 1 to 6; its path.
std::string OriginExportWithoutSteps(const ScratchDir& dir, const std::string& name = "steps.dat");

// The limit of a wait for a state in a test: what comes at once on an idle machine may take
// seconds on a loaded one, and a wait that ends on time alone makes a test fail for nothing.
inline constexpr int kWaitLimitMs = 20000;
// Lets events run until `done` holds or `ms` milliseconds have gone by; whether it holds.
bool PumpUntil(const std::function<bool()>& done, int ms = kWaitLimitMs);

class RunningApp {
public:
    // Starts the application; `path` opens as from the command line. The recent files start
    // empty.
    explicit RunningApp(const std::string& path = {});
    ~RunningApp();

    CSpmApp& App() { return *m_pApp; }
    CMainFrame& MainFrame() { return m_pApp->MainFrame(); }
    ScriptedPrompt& Prompt() { return *m_pPrompt; }

    // Lets queued events, timers and deferred deletions run for about `ms` milliseconds.
    static void Pump(int ms = 50);
    // The child frames and their window titles in creation order.
    std::vector<CMDIChildFrame*> Frames() const;
    std::vector<std::string> FrameTitles() const;
    std::string ActiveTitle() const;
    CDocument& ActiveDoc();
    // Activates the active document's frame of `kind` (":2D", ":3D", ":Profile") showing
    // `image` (the active frame's image when empty); false when there is none.
    bool Activate(const std::string& kind, const std::string& image = {});
    // Runs a command as the menu would; false when it was disabled or unhandled.
    bool Run(int id);
    bool Enabled(int id);

private:
    std::unique_ptr<CSpmApp> m_pApp;
    std::unique_ptr<ScriptedPrompt> m_pPrompt;
};

// Saves the whole screen, as the X server shows it, as <name>.png in the build's screenshot
// folder, with `window` raised, and `window`'s own grab beside it as <name>-window.png;
// returns that grab.
QImage Screenshot(const std::string& name, QWidget* window = nullptr);
// What the frame's view shows once it has finished drawing.
QImage ViewPicture(CMDIChildFrame& frame);
// A press, move or release at `at` in `widget` with `button` down (a move) or going down or
// up (a press, a release).
void SendMouse(QWidget& widget, QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = {});
// A click as a user's arrives at `at` in `widget`: the press through the window system (the
// application sees the button down), what it brings runs, then the release, and what that
// brings runs.
void UserClick(QWidget& widget, QPoint at);
// The same at the middle of `widget`.
void UserClick(QWidget& widget);
// The user types `text` over what `edit` shows: only a typed text is checked.
void Type(QLineEdit& edit, const char* text);
// The user presses `keys` (UTF-8) in `edit` one by one ('\b' is Backspace), where its cursor
// stands; what the edit shows after each key.
std::vector<QString> TypeKeys(QLineEdit& edit, const char* keys);
// The user leaves `edit` (the focus goes elsewhere, as by Tab), and what that brings runs.
void Leave(QLineEdit& edit);

// Answers the next file dialog with `path` in type entry `type`.
void AnswerFileDialog(ScriptedPrompt& prompt, const std::string& path, std::size_t type = 0);
// Answers the next question box.
void AnswerQuestion(ScriptedPrompt& prompt, int answer);
// Answers the next colour dialog with `colour`.
void AnswerColour(ScriptedPrompt& prompt, COLORREF colour);

// Puts the application's own prompt, with real message boxes and dialogs, in front of the
// scripted one for its lifetime.
class RealDialogs {
public:
    explicit RealDialogs(RunningApp& app);
    ~RealDialogs();
    RealDialogs(const RealDialogs&) = delete;
    RealDialogs& operator=(const RealDialogs&) = delete;

private:
    IPrompt* m_pPrevious;
};

// One step of a user's answers to real modal windows: offered the modal window in front
// (null while none is up) every 20 ms until it says it is done.
using ModalStep = std::function<bool(QWidget* modal)>;
// Runs `open`, which brings modal windows up, and answers them with `steps` in order; the
// number of steps done. A script that makes no progress for `stuckMs` closes the window in
// front, so that a test whose windows do not come as expected fails instead of hanging.
std::size_t RunWithModals(const std::function<void()>& open, std::vector<ModalStep> steps, int stuckMs = 15000);
// A message box answered with `button`; its text goes to `text` when given.
ModalStep AnswerBox(QMessageBox::StandardButton button, std::string* text = nullptr);
// When `modal` is a message box: its text goes to `said`, it is accepted, and true.
bool RecordBox(QWidget* modal, std::vector<std::string>& said);
// Every message box that comes up is recorded in `said` and answered; never done.
ModalStep RecordBoxes(std::vector<std::string>& said);
// A file dialog: type entry `type` chosen (-1 leaves it), `path` typed and the dialog
// accepted, again while it stays up with nothing in front of it (a loaded machine may keep it
// open). Done once something else is in front, or nothing. The folder it showed first goes
// to `startFolder` when given.
ModalStep TypeInFileDialog(const std::string& path, int type = -1, QString* startFolder = nullptr);
// The file dialog in front closed with Cancel.
ModalStep CancelFileDialog();
// Runs `save`, whose file dialog gets `typed`; a question whether to replace a file is
// answered with `answer` (after No the dialog is cancelled). The question, empty when none
// came.
std::string SaveUnderTypedName(const std::function<void()>& save, const std::string& typed,
                               QMessageBox::StandardButton answer);

// Runs `open`, which opens a modal window; once the first modal window of type Window is up,
// runs `look` on it and rejects it. False when none came up.
template <class Window>
bool WithModal(const std::function<void()>& open, const std::function<void(Window&)>& look)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* window = dynamic_cast<Window*>(QApplication::activeModalWidget());
        if (window == nullptr || seen)
            return;
        seen = true;
        poll.stop();
        look(*window);
        window->reject();
    });
    poll.start();
    open();
    return seen;
}

// GoogleTest shows a QString in a failure as its text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
