// When a refused text is said. Work queued after the user's action belongs to the window of
// the object it is for: a modal window opened after it holds it back until that window has
// closed, work for the modal window itself runs while it is up, and a refusal brought by
// another program taking the focus waits until the user is back in this program, also when a
// window manager's task switch gives it the focus for a moment. On the program: a panel edit
// left holding "2000" in Tilt says so only after the Fourier dialog, the coefficient dialog, a
// file dialog, the about box, Options or the close question has closed, while the refusals
// made inside the dialogs are said in them, each once. Every wait is for the state looked at,
// within a limit generous enough for a loaded machine.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/fourier/DialogFourierTransform.h"
#include "platform/qt/AfterAction.h"

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

enum class Op { Show, Close, Queue, Expect };
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
        m_app = std::make_unique<RunningApp>(SampleCopy(m_files));
        m_app->Run(cmd::kShowConfigPanel);
        RunningApp::Pump();
    }
    void TearDown() override { m_app.reset(); }

    CMainFrame& Main() { return m_app->MainFrame(); }
    // The user types "2000" into the panel's Tilt on the `kind` frame: a text it refuses once
    // the edit is left.
    QLineEdit& TypeRefusedTilt(const char* kind)
    {
        EXPECT_TRUE(m_app->Activate(kind));
        RunningApp::Pump();
        Main().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Main(), kWaitLimitMs))
            << "the main window does not become active on this display";
        QLineEdit& tilt = *Main().findChild<QLineEdit*>("1001");
        tilt.setFocus(Qt::MouseFocusReason);
        tilt.selectAll();
        QTest::keyClicks(&tilt, "2000");
        EXPECT_EQ(tilt.text(), "2000");
        return tilt;
    }
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
// and a click on Lin View: Lin View is set and the dialog says its refusal while it is open;
// the panel's comes once the dialog has closed.
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
    EXPECT_EQ(angleShown, "200");
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
    OtherProgram windowManager;
    ASSERT_TRUE(windowManager.Open());
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
        // The tilt typed on its way is a change of the view settings, which the close asks about.
        {"the main window's close box", [&] { windowManager.CloseBox(Main()); }, "Quintara"},
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
// and the refusal comes once, when its window is active again.
TEST_F(RefusalTimingFocus, ARefusalLeftForAnotherProgramWaitsUntilTheProgramIsBack)
{
    OtherProgram other;
    ASSERT_TRUE(other.Open());
    const struct {
        const char* what;
        int holdMs;   // Alt held for a task switch; none when the focus is given at once
    } ways[] = {
        {"the focus given to it", -1},
        {"a task switch with all its keys at once", 0},
        {"a task switch with Alt held 200 ms", 200},
        {"a task switch with Alt held 400 ms", 400},
        {"a task switch with Alt held 600 ms", 600},
    };
    std::vector<std::string>& messages = m_app->Prompt().messages;
    for (const auto& way : ways) {
        QLineEdit& tilt = TypeRefusedTilt(":3D");
        messages.clear();
        if (way.holdMs < 0)
            other.TakeFocus();
        else
            ASSERT_TRUE(other.TaskSwitch(way.holdMs)) << way.what;
        ASSERT_TRUE(PumpUntil([] { return !ProgramActive(); })) << way.what;
        // Longer than the program must keep the focus before what waited for it comes.
        RunningApp::Pump(1000);
        EXPECT_EQ(messages, std::vector<std::string>{}) << way.what;
        EXPECT_NE(tilt.text(), "2000") << way.what;

        other.GiveBack(Main());
        EXPECT_TRUE(PumpUntil([&] { return !messages.empty(); })) << way.what;
        RunningApp::Pump(kNothingMoreMs);
        EXPECT_EQ(messages, std::vector<std::string>{kTiltRefusal}) << way.what;
    }
}
