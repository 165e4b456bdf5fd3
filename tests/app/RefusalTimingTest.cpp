// When a refused text is said. Work queued after the user's action belongs to the window of the
// object it is for: a modal window opened after it holds it back until that window has closed,
// work for the modal window itself runs while it is up, and a refusal brought by another
// program taking the focus waits until the user is back in this program, also when a window
// manager's task switch gives it the focus for a moment, and when the Alt of the next one is
// pressed in that moment. On the program: a panel edit left holding "2000" in Tilt says so only
// after the Fourier dialog, the coefficient dialog, a file dialog, the about box or Options has
// closed, while the refusals made inside the dialogs are said in them, each once; a quit says
// it before it asks anything, and the refused text takes nothing, not even the values read on
// the way to it. Every wait is for the state looked at, within a limit generous enough for a
// loaded machine.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/fourier/DialogFourierTransform.h"
#include "document/MDIDoc.h"
#include "platform/core/ProfileFile.h"
#include "platform/qt/AfterAction.h"
#include "platform/qt/Document.h"

#include <X11/Xlib.h>

namespace {

// How long something that must not come is given to come all the same.
constexpr int kNothingMoreMs = 300;

// Windows to queue work for: a plain one, a modal dialog over it, a modal dialog of that
// dialog, and a tool window that belongs to the first dialog. Each has a field the work is for.
class Windows {
public:
    Windows()
    {
        for (QDialog* dialog : {&m_outer, &m_inner})
            dialog->setWindowModality(Qt::ApplicationModal);
        for (QWidget* window : {&m_plain, static_cast<QWidget*>(&m_outer), static_cast<QWidget*>(&m_inner), &m_tool}) {
            window->resize(200, 80);
            m_fields.push_back(new QLineEdit(window));
        }
    }
    // 'p' plain, 'o' outer dialog, 'i' inner dialog, 't' tool window.
    QWidget& Window(char name) { return *Field(name).window(); }
    QLineEdit& Field(char name) { return *m_fields.at(std::string("poit").find(name)); }

private:
    QWidget m_plain;
    QDialog m_outer;
    QDialog m_inner{&m_outer};
    QWidget m_tool{&m_outer, Qt::Tool};
    std::vector<QLineEdit*> m_fields;
};

enum class Op { Show, Close, Queue, Expect, RunNow };
struct Step {
    Op op;
    char window;        // Show, Close, Queue
    const char* text = "";   // Queue: what the work notes; Expect: what has run by now
};

} // namespace

// Each script shows and closes windows, queues work for their fields and says what has run by
// then: work waits while a modal window other than its own (or one its window belongs to) is
// up, whenever that window came, and never behind work that waits for another window.
TEST(AfterAction, WorkWaitsForTheModalWindowsOpenedOverItsOwn)
{
    SPM_REQUIRE_DISPLAY();
    const struct {
        const char* what;
        std::vector<Step> script;
    } cases[] = {
        {"work of a modal dialog runs while work queued before it outside waits",
         {{Op::Show, 'p'}, {Op::Queue, 'p', "A"}, {Op::Show, 'o'}, {Op::Queue, 'o', "B"}, {Op::Expect, 0, "B"},
          {Op::Close, 'o'}, {Op::Expect, 0, "BA"}}},
        {"work queued as the modal dialog opened waits until it has closed",
         {{Op::Show, 'p'}, {Op::Show, 'o'}, {Op::Queue, 'p', "A"}, {Op::Queue, 'p', "C"}, {Op::Expect, 0, ""},
          {Op::Close, 'o'}, {Op::Expect, 0, "AC"}}},
        {"a modal dialog over a modal dialog holds the first one's work",
         {{Op::Show, 'p'}, {Op::Show, 'o'}, {Op::Queue, 'o', "B"}, {Op::Expect, 0, "B"}, {Op::Show, 'i'},
          {Op::Queue, 'o', "C"}, {Op::Queue, 'i', "D"}, {Op::Queue, 'p', "A"}, {Op::Expect, 0, "BD"}, {Op::Close, 'i'},
          {Op::Expect, 0, "BDC"}, {Op::Close, 'o'}, {Op::Expect, 0, "BDCA"}}},
        {"a window that belongs to the modal dialog is not held by it",
         {{Op::Show, 'o'}, {Op::Show, 't'}, {Op::Queue, 't', "T"}, {Op::Queue, 'p', "A"}, {Op::Expect, 0, "T"},
          {Op::Close, 'o'}, {Op::Expect, 0, "TA"}}},
        {"the program about to end runs what waits at once, in order, modal windows or not",
         {{Op::Show, 'p'}, {Op::Show, 'o'}, {Op::Show, 'i'}, {Op::Queue, 'p', "A"}, {Op::Queue, 'o', "C"},
          {Op::Queue, 'p', "E"}, {Op::Expect, 0, ""}, {Op::RunNow, 0}, {Op::Expect, 0, "ACE"}}},
    };
    for (const auto& c : cases) {
        Windows windows;
        std::string ran;
        for (const Step& step : c.script) {
            switch (step.op) {
            case Op::Show: windows.Window(step.window).show(); break;
            case Op::Close: windows.Window(step.window).close(); break;
            case Op::Queue:
                RunAfterUserAction(&windows.Field(step.window), [&ran, text = step.text] { ran += text; });
                break;
            case Op::Expect:
                PumpUntil([&] { return ran.size() >= std::string(step.text).size(); });
                RunningApp::Pump(kNothingMoreMs);
                EXPECT_EQ(ran, step.text) << c.what;
                break;
            case Op::RunNow: RunWaitingWorkNow(); break;
            }
        }
    }
}

namespace {

constexpr const char* kTiltRefusal = "Please enter a number between 0 and 360.";

// A message the program said, and the title of the dialog it came over; empty over none.
struct Said {
    std::string text;
    std::string dialog;
    bool operator==(const Said&) const = default;
};

void PrintTo(const Said& said, std::ostream* out)
{
    *out << '"' << said.text << "\" over \"" << said.dialog << '"';
}

// A window of another program, as far as this one can tell: made on a display connection of
// its own. It also plays the window manager.
class OtherProgram {
public:
    OtherProgram() : m_display(XOpenDisplay(nullptr))
    {
        if (m_display == nullptr)
            return;
        m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 300, 200, 0, 0, 0xFFFFFF);
        XMapRaised(m_display, m_window);
        XSync(m_display, False);
    }
    ~OtherProgram()
    {
        if (m_display == nullptr)
            return;
        XDestroyWindow(m_display, m_window);
        XCloseDisplay(m_display);
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    bool Open() const { return m_display != nullptr; }
    // The keyboard focus goes to the other program's window, as Alt+Tab or a click on it gives
    // it, and back to `window` the same way.
    void TakeFocus() { Focus(m_window); }
    void GiveBack(QWidget& window) { Focus(window.winId()); }
    // A window manager's task switch as a person makes it, Alt held, Tab, Alt let go `holdMs`
    // later: the keyboard grabbed, let go, and the focus given to the window chosen once the
    // window manager has done its own work. Between the grab's end and that, the focus is
    // back where it was. False when the keyboard could not be grabbed.
    bool TaskSwitch(int holdMs)
    {
        if (XGrabKeyboard(m_display, m_window, False, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess)
            return false;
        XSync(m_display, False);
        RunningApp::Pump(holdMs);
        XUngrabKeyboard(m_display, CurrentTime);
        XSync(m_display, False);
        RunningApp::Pump(kWindowManagerMs);
        TakeFocus();
        return true;
    }
    // The window manager's word that the user clicked `window`'s close box.
    void CloseBox(QWidget& window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window.winId();
        event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, window.winId(), False, NoEventMask, &event);
        XSync(m_display, False);
    }

private:
    // What a window manager takes from the end of its grab to giving the focus on.
    static constexpr int kWindowManagerMs = 20;

    void Focus(unsigned long window)
    {
        XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
        XSync(m_display, False);
    }

    Display* m_display;
    ::Window m_window = 0;
};

bool ProgramActive()
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

// The program with its configuration panel; cases that need the display's keyboard focus.
class RefusalTimingFocus : public testing::Test {
protected:
    void SetUp() override
    {
        if (!DisplayAvailable())
            GTEST_SKIP() << "no display";
        Start(SampleCopy(m_files));
    }
    void TearDown() override { m_app.reset(); }

    // The program started anew on `path`, with the configuration panel shown.
    void Start(const std::string& path)
    {
        m_app.reset();
        m_app = std::make_unique<RunningApp>(path);
        m_app->Run(cmd::kShowConfigPanel);
        RunningApp::Pump();
    }
    CMainFrame& Main() { return m_app->MainFrame(); }
    // The user puts the focus into the panel's `edit` on the `kind` frame.
    QLineEdit& FocusInPanel(const char* kind, const char* edit)
    {
        EXPECT_TRUE(m_app->Activate(kind));
        RunningApp::Pump();
        Main().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Main(), kWaitLimitMs))
            << "the main window does not become active on this display";
        QLineEdit& focused = *Main().findChild<QLineEdit*>(edit);
        focused.setFocus(Qt::MouseFocusReason);
        return focused;
    }
    // The user types `text` over the text of the panel's `edit` on the `kind` frame.
    QLineEdit& TypeInPanel(const char* kind, const char* edit, const char* text)
    {
        QLineEdit& typed = FocusInPanel(kind, edit);
        typed.selectAll();
        QTest::keyClicks(&typed, text);
        EXPECT_EQ(typed.text(), text);
        return typed;
    }
    // The user types "2000" into the panel's Tilt on the `kind` frame: a text it refuses once
    // the edit is left.
    QLineEdit& TypeRefusedTilt(const char* kind) { return TypeInPanel(kind, "1001", "2000"); }
    // `act` runs what the user does, with the program's real dialogs, and `steps` answer its
    // windows in order; every refusal said meanwhile is answered with OK and noted in
    // m_said. Ends once `count` refusals were said and no modal window is up.
    void Run(const std::function<void()>& act, std::vector<ModalStep> steps, std::size_t count)
    {
        const RealDialogs real(*m_app);
        m_said.clear();
        for (ModalStep& step : steps)
            step = NotingRefusals(std::move(step));
        // Refusals said after the last window the steps expected.
        steps.push_back(NotingRefusals([](QWidget*) { return false; }));
        RunWithModals(
            [&] {
                act();
                PumpUntil([&] { return m_said.size() >= count && QApplication::activeModalWidget() == nullptr; });
            },
            std::move(steps), kWaitLimitMs);
    }
    // A refusal in front is noted and answered; any other window goes to `step`.
    ModalStep NotingRefusals(ModalStep step)
    {
        return [this, step = std::move(step)](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr || !box->text().startsWith("Please enter"))
                return step(modal);
            const QWidget* over = box->parentWidget();
            const bool dialog = over != nullptr && over != &Main();
            m_said.push_back({box->text().toStdString(), dialog ? over->windowTitle().toStdString() : std::string()});
            box->button(QMessageBox::Ok)->click();
            return false;
        };
    }
    // The user clicks the menu bar's `title`, then, when given, the item of its menu whose
    // text starts with `item`.
    void MenuClick(const char* title, const char* item = nullptr)
    {
        QMenuBar& bar = *Main().menuBar();
        for (QAction* action : bar.actions())
            if (action->text() == title) {
                UserClick(bar, bar.actionGeometry(action).center());
                if (item == nullptr)
                    return;
                QMenu& menu = *action->menu();
                for (QAction* entry : menu.actions())
                    if (entry->text().startsWith(item))
                        UserClick(menu, menu.actionGeometry(entry).center());
                return;
            }
        ADD_FAILURE() << "no menu " << title;
    }

    const ScratchDir m_files;
    std::unique_ptr<RunningApp> m_app;
    // The refusals said during Run.
    std::vector<Said> m_said;
};

// The user clicks `target` at `at` once the step that asks for it is done: the press, and the
// release a moment later, as the window system brings them.
void ClickSoon(QWidget& target, QPoint at)
{
    QWindow* window = target.window()->windowHandle();
    const QPoint in = target.mapTo(target.window(), at);
    QTimer::singleShot(0, &target, [window, in] { QTest::mousePress(window, Qt::LeftButton, {}, in); });
    QTimer::singleShot(120, &target, [window, in] { QTest::mouseRelease(window, Qt::LeftButton, {}, in); });
}

// The window in front, closed as by its close box once `ready` has held for `moreMs`, long
// enough for anything queued wrongly to come over it; `look` at it first.
ModalStep CloseWhen(std::function<bool(QWidget&)> ready, int moreMs, std::function<void(QWidget&)> look)
{
    QElapsedTimer since;
    return [=](QWidget* modal) mutable {
        if (modal == nullptr || !ready(*modal))
            return false;
        if (!since.isValid())
            since.start();
        if (since.elapsed() < moreMs)
            return false;
        look(*modal);
        modal->close();
        return true;
    };
}

// Brings `dialog` to the front with the keyboard focus, as the user's dialog has it.
bool Focused(QWidget* dialog)
{
    if (dialog == nullptr)
        return false;
    dialog->activateWindow();
    return QTest::qWaitForWindowActive(dialog, kWaitLimitMs);
}

} // namespace

// "2000" in the panel's Tilt, Image Processing > FourierTransform, "2000" in the dialog's Angle
// and a click on Lin View: Lin View is set and the dialog says its refusal while it is open,
// Angle showing its 0 again, not the 200 read on the way; the panel's comes once the dialog
// has closed.
TEST_F(RefusalTimingFocus, ARefusalInTheFourierDialogIsSaidThereThePanelsAfterIt)
{
    TypeRefusedTilt(":2D");
    QString angleShown;
    bool linView = false;
    Run([&] { MenuClick("&Image Processing", "2D/__: FourierTransform"); },
        {[](QWidget* modal) {
             auto* dialog = dynamic_cast<CDialogFourierTransform*>(modal);
             if (!Focused(dialog))
                 return false;
             QLineEdit& angle = *dialog->Edit(kIdcAngle);
             angle.setFocus(Qt::MouseFocusReason);
             angle.selectAll();
             QTest::keyClicks(&angle, "2000");
             QAbstractButton& lin = *dialog->Button(kIdcLinView);
             ClickSoon(lin, QPoint(lin.height() / 2, lin.height() / 2));
             return true;
         },
         CloseWhen(
             [&](QWidget& modal) {
                 auto& dialog = dynamic_cast<CDialogFourierTransform&>(modal);
                 return !m_said.empty() && dialog.Button(kIdcLinView)->isChecked();
             },
             kNothingMoreMs,
             [&](QWidget& modal) {
                 auto& dialog = dynamic_cast<CDialogFourierTransform&>(modal);
                 angleShown = dialog.Edit(kIdcAngle)->text();
                 linView = dialog.Button(kIdcLinView)->isChecked();
             })},
        2);
    EXPECT_EQ(m_said, (std::vector<Said>{{"Please enter an integer between 0 and 360.", "Fourier Transfom"},
                                         {kTiltRefusal, ""}}));
    EXPECT_EQ(angleShown, "0");
    EXPECT_TRUE(linView);
}

// The same order with the coefficient dialog of a file whose header lacks its steps, opened
// from the File menu: "5e" in K_x and a click on K_y say that it is no number while the dialog
// is open, and K_x shows its value again; the panel's refusal comes after the dialog.
TEST_F(RefusalTimingFocus, ARefusalInTheCoefficientDialogIsSaidThereThePanelsAfterIt)
{
    const std::string path = OriginExportWithoutSteps(m_files);
    TypeRefusedTilt(":3D");
    QString kxShown;
    Run([&] { MenuClick("&File", "&Open Doc."); },
        {TypeInFileDialog(path), AnswerBox(QMessageBox::Ok),
         [](QWidget* modal) {
             QLineEdit* kx = modal != nullptr ? modal->findChild<QLineEdit*>("Kx") : nullptr;
             if (kx == nullptr || !Focused(modal))
                 return false;
             kx->setFocus(Qt::MouseFocusReason);
             kx->selectAll();
             QTest::keyClicks(kx, "5e");
             QLineEdit& ky = *modal->findChild<QLineEdit*>("Ky");
             ClickSoon(ky, ky.rect().center());
             return true;
         },
         CloseWhen([&](QWidget& modal) { return !m_said.empty() && modal.findChild<QLineEdit*>("Kx")->text() != "5e"; },
                   kNothingMoreMs,
                   [&](QWidget& modal) { kxShown = modal.findChild<QLineEdit*>("Kx")->text(); })},
        2);
    EXPECT_EQ(m_said, (std::vector<Said>{{"Please enter a number.", "Header X Y Z Coefficient"},
                                         {kTiltRefusal, ""}}));
    EXPECT_NE(kxShown, "5e");
    EXPECT_FALSE(kxShown.isEmpty());
}

// "2000" in the panel's Tilt, then an action that opens a modal window and so takes the focus
// from the edit: the refusal waits until that window has closed, and comes once, over no
// dialog.
TEST_F(RefusalTimingFocus, ARefusalLeftByAnActionOpeningAWindowWaitsUntilItHasClosed)
{
    const struct {
        const char* what;
        std::function<void()> act;
        const char* opened;   // the title of the window the action opens
    } cases[] = {
        {"Ctrl+O", [&] { QTest::keyClick(Main().windowHandle(), Qt::Key_O, Qt::ControlModifier); }, "Open"},
        {"the tool bar's About",
         [&] {
             auto& bar = *Main().findChild<QToolBar*>("toolbar128");
             for (QAction* action : bar.actions())
                 if (action->data().toInt() == cmd::kAppAbout)
                     UserClick(*bar.widgetForAction(action));
         },
         "About Quintara"},
        {"Options", [&] { MenuClick("Options"); }, "Options"},
    };
    for (const auto& c : cases) {
        TypeRefusedTilt(":3D");
        QString opened;
        // Left up a while: anything said over it would be said too early.
        const auto always = [](QWidget&) { return true; };
        Run(c.act, {CloseWhen(always, 2 * kNothingMoreMs, [&](QWidget& modal) { opened = modal.windowTitle(); })}, 1);
        EXPECT_EQ(m_said, (std::vector<Said>{{kTiltRefusal, ""}})) << c.what;
        EXPECT_EQ(opened, c.opened) << c.what;
        EXPECT_TRUE(Main().isVisible()) << c.what;
    }
}

// Another program takes the focus from the panel's edit holding "2000", given to it at once
// or by a window manager's task switch as a person makes it, which hands the focus back to the
// program for a moment as its keyboard grab ends: nothing is said while the program is away,
// and the refusal comes once, when its window is active again. Some ways bring the program
// back for a moment and leave it again the same way, with a key pressed in it meanwhile: a
// modifier alone is no user back, as the Alt of the next Alt+Tab, which reaches the program
// before the window manager's grab; a key that is no modifier brings the refusal at once.
TEST_F(RefusalTimingFocus, ARefusalLeftForAnotherProgramWaitsUntilTheProgramIsBack)
{
    OtherProgram other;
    ASSERT_TRUE(other.Open());
    const struct {
        const char* what;
        int holdMs;   // Alt held for a task switch; none when the focus is given at once
        // Pressed, and not let go, in a moment back; none without one. Keys that type
        // nothing: a text typed into the edit would be refused in turn.
        std::optional<QKeyCombination> back = std::nullopt;
        bool backIsTheUser = false;
    } ways[] = {
        {"the focus given to it", -1},
        {"a task switch with all its keys at once", 0},
        {"a task switch with Alt held 200 ms", 200},
        {"a task switch with Alt held 400 ms", 400},
        {"a task switch with Alt held 600 ms", 600},
        {"a task switch, Alt pressed in a moment back, a task switch", 0, Qt::Key_Alt},
        {"a task switch with Alt held 200 ms, Alt pressed in a moment back, the same again", 200, Qt::Key_Alt},
        {"the focus given to it, Control pressed in a moment back, the focus given again", -1, Qt::Key_Control},
        {"the focus given to it, Shift pressed in a moment back, the focus given again", -1, Qt::Key_Shift},
        {"the focus given to it, End pressed in a moment back, the focus given again", -1, Qt::Key_End, true},
        {"a task switch, Alt+Left pressed in a moment back, a task switch", 0, Qt::AltModifier | Qt::Key_Left, true},
    };
    const auto leave = [&other](int holdMs) {
        if (holdMs < 0)
            other.TakeFocus();
        else if (!other.TaskSwitch(holdMs))
            return false;
        return PumpUntil([] { return !ProgramActive(); });
    };
    std::vector<std::string>& messages = m_app->Prompt().messages;
    for (const auto& way : ways) {
        QLineEdit& tilt = TypeRefusedTilt(":3D");
        messages.clear();
        ASSERT_TRUE(leave(way.holdMs)) << way.what;
        // Longer than the program must keep the focus before what waited for it comes.
        RunningApp::Pump(1000);
        EXPECT_EQ(messages, std::vector<std::string>{}) << way.what;
        EXPECT_NE(tilt.text(), "2000") << way.what;
        if (way.back) {
            other.GiveBack(Main());
            ASSERT_TRUE(PumpUntil(ProgramActive)) << way.what;
            QTest::keyPress(Main().windowHandle(), way.back->key(), way.back->keyboardModifiers());
            ASSERT_TRUE(leave(way.holdMs)) << way.what;
            RunningApp::Pump(1000);
            EXPECT_EQ(messages.size(), way.backIsTheUser ? 1u : 0u) << way.what;
        }

        other.GiveBack(Main());
        EXPECT_TRUE(PumpUntil([&] { return !messages.empty(); })) << way.what;
        RunningApp::Pump(kNothingMoreMs);
        EXPECT_EQ(messages, std::vector<std::string>{kTiltRefusal}) << way.what;
    }
}

// "77" in the panel's Angle, left by Tab, then "2000" in Tilt, and the user ends the program.
// However it ends, the refusal is said before the question about the view settings, and its
// message stays until the user answers it; Yes saves the angle typed and the tilt the record
// had before, not the 200 typed on the way to "2000". Without the angle, the refused text
// leaves nothing to ask about. Closing the document asks first and says the refusal after,
// while the program stays.
TEST_F(RefusalTimingFocus, ARefusalWaitingWhenTheProgramQuitsIsSaidBeforeItsFirstQuestion)
{
    OtherProgram windowManager;
    ASSERT_TRUE(windowManager.Open());
    const struct {
        const char* what;
        std::function<void()> act;
        bool quits;
        bool angle;   // "77" typed into Angle first
    } cases[] = {
        {"File > Exit", [&] { MenuClick("&File", "E&xit"); }, true, true},
        {"the main window's close box", [&] { windowManager.CloseBox(Main()); }, true, true},
        {"the window system ending the session", [] { QApplication::closeAllWindows(); }, true, true},
        {"File > Exit with only the tilt typed", [&] { MenuClick("&File", "E&xit"); }, true, false},
        {"File > Close", [&] { MenuClick("&File", "&Close"); }, false, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "quit" + std::to_string(++n);
        Start(SampleCopy(m_files, name + ".spm"));
        if (c.angle) {
            TypeInPanel(":3D", "1002", "77");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        const CPresentationConfig before = (*m_app->ActiveDoc().Doc().FindImage("Height_01")->m_pSettings)[1];
        TypeRefusedTilt(":3D");
        const std::string question = "Save the view settings of " + name + ".spm:Height_01 to " + name + ".cnf?";
        std::vector<std::string> expected{kTiltRefusal};
        if (c.angle)
            expected.insert(c.quits ? expected.end() : expected.begin(), question);

        // Each message box is answered once it has been up a while: a box the program closes
        // by itself is never noted.
        std::vector<std::string> shown;
        QPointer<QMessageBox> box;
        QElapsedTimer up;
        const ModalStep answer = [&](QWidget* modal) {
            auto* front = qobject_cast<QMessageBox*>(modal);
            if (front == nullptr)
                return false;
            if (front != box) {
                box = front;
                up.start();
            }
            if (up.elapsed() < kNothingMoreMs)
                return false;
            shown.push_back(front->text().toStdString());
            front->button(front->button(QMessageBox::Yes) != nullptr ? QMessageBox::Yes : QMessageBox::Ok)->click();
            box = nullptr;
            return false;
        };
        {
            const RealDialogs real(*m_app);
            RunWithModals(
                [&] {
                    c.act();
                    PumpUntil([&] {
                        return shown.size() >= expected.size() && QApplication::activeModalWidget() == nullptr;
                    });
                    RunningApp::Pump(kNothingMoreMs);
                },
                {answer}, kWaitLimitMs);
        }
        EXPECT_EQ(shown, expected) << c.what;
        EXPECT_EQ(Main().isVisible(), !c.quits) << c.what;
        const ProfileFile cnf = ProfileFile::Load((m_files / (name + ".cnf")).string());
        const auto saved = [&cnf](const char* key) {
            const std::string text = cnf.GetString(".spm:Height_01_Presentation3D", key);
            return text.empty() ? std::nan("") : std::stod(text);
        };
        if (c.angle) {
            EXPECT_EQ(saved("Angle"), 77.0) << c.what;
            EXPECT_EQ(saved("Tilt"), before.m_Tilt) << c.what;
        } else {
            EXPECT_FALSE(std::filesystem::exists(m_files / (name + ".cnf"))) << c.what;
        }
    }
}

// Keys typed into the panel's Tilt, then Tab: a refused text takes nothing, not even the values
// read on the way to it as it was typed, nor those read as Backspace took characters back; a
// text typed over a value the edit took starts from that value. With nothing else changed,
// nothing is left to save.
TEST_F(RefusalTimingFocus, ARefusedTextTakesNothingTypedOnTheWayToIt)
{
    struct Keys {
        bool overAll;       // typed over the whole text selected, else at its end
        const char* keys;   // '\b' is Backspace
    };
    const struct {
        const char* what;
        std::vector<Keys> typed;
        std::optional<float> kept;   // the value kept: the record's own when none
    } cases[] = {
        {"digits typed over the record's value", {{true, "2000"}}, std::nullopt},
        {"Backspace through the record's value, then digits", {{false, "\b\b\b\b\b\b2000"}}, std::nullopt},
        {"a value typed, taken back by Backspace, then digits", {{true, "45"}, {false, "\b\b2000"}}, std::nullopt},
        // Last: it leaves the record changed.
        {"a value, then a text typed over it", {{true, "45"}, {true, "5000"}}, 45.0f},
    };
    for (const auto& c : cases) {
        QLineEdit& tilt = FocusInPanel(":3D", "1001");
        const ImageEntry& entry = *m_app->ActiveDoc().Doc().FindImage("Height_01");
        const float before = (*entry.m_pSettings)[1].m_Tilt;
        ASSERT_FALSE(entry.m_bSettingsModified[1]) << c.what;
        m_app->Prompt().messages.clear();
        for (const Keys& keys : c.typed) {
            if (keys.overAll)
                tilt.selectAll();
            else
                tilt.end(false);
            TypeKeys(tilt, keys.keys);
        }
        QTest::keyClick(&tilt, Qt::Key_Tab);
        EXPECT_TRUE(PumpUntil([&] { return !m_app->Prompt().messages.empty(); })) << c.what;
        EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{kTiltRefusal}) << c.what;
        const float kept = c.kept.value_or(before);
        EXPECT_EQ((*entry.m_pSettings)[1].m_Tilt, kept) << c.what;
        EXPECT_EQ(tilt.text().toDouble(), kept) << c.what;
        EXPECT_EQ(entry.m_bSettingsModified[1], c.kept.has_value()) << c.what;
    }
}
