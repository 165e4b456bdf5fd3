#include "platform/qt/AfterAction.h"

#include <QApplication>
#include <QPointer>
#include <QScopedValueRollback>
#include <QThread>
#include <QTimer>

#include <deque>
#include <utility>

#include "platform/core/Prompt.h"

namespace {

// Looked at again this often while the user's action goes on.
constexpr int kPollMs = 15;

class CAfterAction final : public QObject {
public:
    explicit CAfterAction(QObject* parent) : QObject(parent)
    {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &CAfterAction::Poll);
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
        m_queue.push_back({context, LoopLevel(), std::move(work)});
        // The first look comes as soon as the events already queued have run: a key or a
        // click that is complete by then leaves nothing to wait for.
        if (!m_bRunning)
            m_timer.start(0);
    }

private:
    struct Entry {
        QPointer<QObject> context;
        int level;               // the event loop the action ran in
        std::function<void()> work;
    };

    static int LoopLevel() { return QThread::currentThread()->loopLevel(); }

    static bool ActionDone(int level)
    {
        return QGuiApplication::mouseButtons() == Qt::NoButton && QApplication::activePopupWidget() == nullptr &&
               LoopLevel() <= level;
    }

    void Poll()
    {
        // A message shown by one entry runs an event loop of its own, in which the timer may
        // come again: the next entry waits for it to close.
        if (m_bRunning)
            return;
        const QScopedValueRollback running(m_bRunning, true);
        while (!m_queue.empty()) {
            Entry& front = m_queue.front();
            if (front.context.isNull()) {
                m_queue.pop_front();
                continue;
            }
            if (!ActionDone(front.level))
                break;
            std::function<void()> work = std::move(front.work);
            m_queue.pop_front();
            work();
        }
        if (!m_queue.empty())
            m_timer.start(kPollMs);
    }

    QTimer m_timer;
    std::deque<Entry> m_queue;
    bool m_bRunning = false;
};

} // namespace

void RunAfterUserAction(QObject* context, std::function<void()> work)
{
    CAfterAction::Instance().Add(context, std::move(work));
}

void SayAfterUserAction(QObject* context, std::string message)
{
    RunAfterUserAction(context, [message = std::move(message)] { Prompt().Message(message); });
}
