#include "platform/qt/MDIFrameWnd.h"

#include <QEvent>
#include <QLayout>
#include <QMdiArea>
#include <QScreen>

#include <algorithm>

#include "platform/qt/DisplayText.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"

CMDIFrameWnd::CMDIFrameWnd(std::string appTitle, QWidget* parent)
    : QMainWindow(parent), m_strAppTitle(std::move(appTitle)), m_pMdiArea(new QMdiArea(this))
{
    setCentralWidget(m_pMdiArea);
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMDIFrameWnd::OnSubWindowActivated);
    OnUpdateFrameTitle();
}

CMDIChildFrame* CMDIFrameWnd::MDIGetActive() const
{
    return qobject_cast<CMDIChildFrame*>(m_pMdiArea->currentSubWindow());
}

void CMDIFrameWnd::AddChildFrame(CMDIChildFrame* frame)
{
    m_pMdiArea->addSubWindow(frame);
    frame->setWindowIcon(windowIcon());
    connect(frame, &CMDIChildFrame::visibilityChanged, this, &CMDIFrameWnd::childFramesChanged);
    connect(frame, &QObject::destroyed, this, [this] {
        OnUpdateFrameTitle();
        emit childFramesChanged();
    });
}

void CMDIFrameWnd::ActivateFrame(CMDIChildFrame* frame)
{
    if (frame->isMinimized())
        frame->showNormal();
    else if (!frame->isVisible())
        frame->show();
    m_pMdiArea->setActiveSubWindow(frame);
    frame->raise();
}

void CMDIFrameWnd::OnUpdateFrameTitle()
{
    const CMDIChildFrame* frame = MDIGetActive();
    const CDocument* doc = frame != nullptr ? frame->GetActiveDocument() : nullptr;
    std::string title = m_strAppTitle;
    if (doc != nullptr)
        title += " - " + doc->GetTitle();
    setWindowTitle(DisplayText(title));
}

void CMDIFrameWnd::OnSubWindowActivated(QMdiSubWindow*)
{
    OnUpdateFrameTitle();
    emit activeFrameChanged();
}

bool CMDIFrameWnd::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::LayoutRequest:   // a bar, panel or frame asks for another size
    case QEvent::Move:            // perhaps onto another screen
    case QEvent::Resize:
        KeepOnScreen();
        break;
    default:
        break;
    }
    return handled;
}

QSize CMDIFrameWnd::RoomOnScreen() const
{
    const QScreen* screen = this->screen();
    if (screen == nullptr)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // The window manager's frame takes its share of the area.
    return (screen->availableGeometry().size() - (frameGeometry().size() - size())).expandedTo(QSize(1, 1));
}

void CMDIFrameWnd::KeepOnScreen()
{
    const QScreen* screen = this->screen();
    if (screen == nullptr || layout() == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QSize room = RoomOnScreen();
    // A minimum set here is the window's own: its layout no longer raises it, also not while a
    // panel is being shown, which lays the window out at once. A larger minimum would make the
    // window grow past the screen's edge; what does not fit is squeezed instead.
    const QSize before = size();
    const QSize minimum = layout()->totalMinimumSize().boundedTo(room);
    if (minimumSize() != minimum)
        setMinimumSize(minimum);
    // A hidden window keeps the size and place it was given for its showing: a size set between
    // would have the window manager place it by its inside, its title above the screen's top.
    if (isMaximized() || isFullScreen() || !isVisible())
        return;
    if (width() > room.width() || height() > room.height())
        resize(size().boundedTo(room));
    // A window that grew comes back into the area where it sticks out; one the user moved
    // partly off the screen stays where it is.
    if (width() <= before.width() && height() <= before.height())
        return;
    const QRect frame = frameGeometry();
    const QPoint inside(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())),
                        std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
    if (inside != frame.topLeft())
        move(inside);
}
