#include "platform/qt/AfterAction.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

#include "platform/core/Prompt.h"

namespace {

// Looked at again this often while the user's action goes on.
constexpr int kPollMs = 15;
// How long the program keeps the focus it got back from another program before what waited
// for that comes: longer than the window system takes to tell the application that the focus
// left (about 100 ms) once a window manager, its keyboard grab over, gives it to the window
// its task switch chose.
constexpr int kSettleMs = 500;

class CAfterAction final : public QObject {
public:
    explicit CAfterAction(QObject* parent) : QObject(parent)
    {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &CAfterAction::Poll);
        parent->installEventFilter(this);
        if (auto* application = qobject_cast<QGuiApplication*>(parent))
            connect(application, &QGuiApplication::applicationStateChanged, this, &CAfterAction::NoteState);
    }

    static CAfterAction& Instance()
    {
        // One per application object: tests may make several in turn.
        static QPointer<CAfterAction> instance;
        if (instance.isNull())
            instance = new CAfterAction(QCoreApplication::instance());
        return *instance;
    }

    void Add(QObject* context, std::function<void()> work)
    {
        m_queue.push_back({context, LoopLevel(), m_bFocusLeaving, m_nReturns, m_nInputs, std::move(work)});
        // The first look comes as soon as the events already queued have run: a key or a
        // click that is complete by then leaves nothing to wait for.
        if (!m_bRunning)
            m_timer.start(0);
    }

    void WaitForFocus(bool wait) { m_bWaitForFocus = wait; }

    void RunAllNow()
    {
        const QScopedValueRollback running(m_bRunning, true);
        while (!m_queue.empty()) {
            Entry entry = std::move(m_queue.front());
            m_queue.pop_front();
            if (!entry.context.isNull())
                entry.work();
        }
    }

protected:
    // A focus that leaves for no window of this program went to another program: what that
    // change of focus leaves, while it is delivered, waits until the user is back. A focus
    // moving to a window of this program, a dialog the user's action opened, has one. A key
    // or a button pressed in one of the program's windows is the user there, unless it is a
    // modifier alone.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut && m_bWaitForFocus && !m_bFocusLeaving &&
            static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason &&
            QGuiApplication::focusWindow() == nullptr) {
            m_bFocusLeaving = true;
            QMetaObject::invokeMethod(this, [this] { m_bFocusLeaving = false; }, Qt::QueuedConnection);
        }
        if (event->spontaneous() && (event->type() == QEvent::MouseButtonPress || RealKeyPress(*event)))
            ++m_nInputs;
        return QObject::eventFilter(watched, event);
    }

private:
    struct Entry {
        QPointer<QObject> context;
        int level;               // the event loop the action ran in
        bool awaitsFocus;        // made as another program took the focus
        unsigned returns;        // the program's returns to the focus before it was made
        unsigned inputs;         // the user's presses before it was made
        std::function<void()> work;
    };

    void NoteState(Qt::ApplicationState state)
    {
        if (state != Qt::ApplicationActive)
            return;
        ++m_nReturns;
        m_activeSince.start();
    }

    // A key press that is more than a modifier: one pressed alone may begin a window
    // manager's shortcut, which reaches the program before the window manager grabs the
    // keyboard for the rest of it, as the Alt of an Alt+Tab away from the program made a
    // moment after coming back to it. A key pressed with the modifier held is the user's own.
    static bool RealKeyPress(const QEvent& event)
    {
        if (event.type() != QEvent::KeyPress)
            return false;
        switch (static_cast<const QKeyEvent&>(event).key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_Mode_switch:
            return false;
        default:
            return true;
        }
    }

    static int LoopLevel() { return QThread::currentThread()->loopLevel(); }

    // The window the work is for; none for an object that is no widget.
    static const QWidget* WindowOf(const QObject* context)
    {
        const auto* widget = qobject_cast<const QWidget*>(context);
        return widget != nullptr ? widget->window() : nullptr;
    }

    // A click or a menu on its way is the user's action, wherever it is.
    static bool UserBusy()
    {
        return QGuiApplication::mouseButtons() != Qt::NoButton || QApplication::activePopupWidget() != nullptr;
    }

    // A modal window stands between the user and `window`: one opened over it, not it itself
    // nor one it belongs to.
    static bool HeldByModal(const QWidget* window)
    {
        const QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return false;
        for (const QWidget* w = window; w != nullptr; w = w->parentWidget())
            if (w == modal)
                return false;
        return true;
    }

    // The program is active, and the user pressed something in it, or it became active after
    // the entry was made and has stayed so long enough not to be a task switch passing by.
    bool UserBack(const Entry& entry) const
    {
        if (QGuiApplication::applicationState() != Qt::ApplicationActive)
            return false;
        return m_nInputs != entry.inputs || (m_nReturns != entry.returns && m_activeSince.elapsed() >= kSettleMs);
    }

    bool MayRun(const Entry& entry) const
    {
        return LoopLevel() <= entry.level && !HeldByModal(WindowOf(entry.context)) &&
               (!entry.awaitsFocus || UserBack(entry));
    }

    void Poll()
    {
        // A message shown by one entry runs an event loop of its own, in which the timer may
        // come again: the next entry waits for it to close.
        if (m_bRunning)
            return;
        const QScopedValueRollback running(m_bRunning, true);
        while (RunNext()) {
        }
        if (!m_queue.empty())
            m_timer.start(kPollMs);
    }

    // Runs the first entry that may run now; false when none may. An entry waits behind an
    // earlier one of its window, never behind another window's.
    bool RunNext()
    {
        std::erase_if(m_queue, [](const Entry& entry) { return entry.context.isNull(); });
        if (UserBusy())
            return false;
        std::vector<const QWidget*> held;
        for (auto entry = m_queue.begin(); entry != m_queue.end(); ++entry) {
            const QWidget* window = WindowOf(entry->context);
            if (std::find(held.begin(), held.end(), window) != held.end())
                continue;
            if (!MayRun(*entry)) {
                held.push_back(window);
                continue;
            }
            // Out of the queue first: the work may add to it, or run a loop in which entries go.
            std::function<void()> work = std::move(entry->work);
            m_queue.erase(entry);
            work();
            return true;
        }
        return false;
    }

    QTimer m_timer;
    std::deque<Entry> m_queue;
    bool m_bRunning = false;
    bool m_bFocusLeaving = false;
    bool m_bWaitForFocus = true;
    unsigned m_nReturns = 0;
    unsigned m_nInputs = 0;
    QElapsedTimer m_activeSince;
};

// Made with the application, so that it sees the focus leave before any work comes.
void StartWatching()
{
    CAfterAction::Instance();
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartWatching)

void SetWaitForFocusFromOtherPrograms(bool wait)
{
    CAfterAction::Instance().WaitForFocus(wait);
}

void RunWaitingWorkNow()
{
    CAfterAction::Instance().RunAllNow();
}

void RunAfterUserAction(QObject* context, std::function<void()> work)
{
    CAfterAction::Instance().Add(context, std::move(work));
}

void SayAfterUserAction(QObject* context, std::string message)
{
    RunAfterUserAction(context, [message = std::move(message)] { Prompt().Message(message); });
}
