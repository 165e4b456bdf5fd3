#include "platform/qt/MDIFrameWnd.h"

#include <QMdiArea>

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
