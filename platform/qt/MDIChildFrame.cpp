#include "platform/qt/MDIChildFrame.h"

#include <QCloseEvent>
#include <QMdiArea>

#include "platform/qt/DocManager.h"
#include "platform/qt/DocTemplate.h"
#include "platform/qt/Document.h"
#include "platform/qt/View.h"

std::int16_t g_nFrameWidth = 450;
std::int16_t g_nFrameHeight = 450;

namespace {

// The frame's border around the view, as the size defaults leave room for it.
constexpr int kBorderWidth = 10;
constexpr int kBorderHeight = 30;

} // namespace

CMDIChildFrame::CMDIChildFrame(CMultiDocTemplate& docTemplate, QWidget* parent)
    : QMdiSubWindow(parent), m_template(docTemplate)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

CMDIChildFrame::~CMDIChildFrame() = default;

CDocument* CMDIChildFrame::GetActiveDocument() const
{
    return m_pView != nullptr ? m_pView->GetDocument() : nullptr;
}

void CMDIChildFrame::SetView(CView* view)
{
    m_pView = view;
    setWidget(view->Widget());
}

std::string CMDIChildFrame::FrameTitle() const
{
    const CDocument* doc = GetActiveDocument();
    std::string title = doc != nullptr ? doc->GetTitle() : windowTitle().toStdString();
    title.append(":").append(m_strImageName).append(m_strViewKind);
    if (m_nWindow > 0)
        title.append(":").append(std::to_string(m_nWindow));
    return title;
}

void CMDIChildFrame::OnUpdateFrameTitle()
{
    setWindowTitle(QString::fromStdString(FrameTitle()));
}

void CMDIChildFrame::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    if (!m_bShownOnce) {
        m_bShownOnce = true;
        // Every new frame starts at the top-left corner of the MDI area, on top.
        resize(g_nFrameWidth + kBorderWidth, g_nFrameHeight + kBorderHeight);
        move(0, 0);
        raise();
    }
    emit visibilityChanged();
}

void CMDIChildFrame::hideEvent(QHideEvent* event)
{
    QMdiSubWindow::hideEvent(event);
    emit visibilityChanged();
}

void CMDIChildFrame::closeEvent(QCloseEvent* event)
{
    CDocument* doc = GetActiveDocument();
    // The last frame of a document closes the document, which may ask to save it first.
    if (doc != nullptr && doc->Frames().size() == 1 && !m_template.Manager().CloseDocument(*doc)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
