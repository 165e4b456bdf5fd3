#include "platform/qt/MDIChildFrame.h"

#include <QCloseEvent>
#include <QMdiArea>

#include <algorithm>
#include <vector>

#include "platform/qt/DocManager.h"
#include "platform/qt/DocTemplate.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIFrameWnd.h"
#include "platform/qt/View.h"

std::int16_t g_nFrameWidth = 450;
std::int16_t g_nFrameHeight = 450;

namespace {

// The frame's border around the view, as the size defaults leave room for it.
constexpr int kBorderWidth = 10;
constexpr int kBorderHeight = 30;

// Area of `place` that the other frames cover (overlaps between them counted twice).
long long CoveredArea(const QRect& place, const std::vector<QRect>& others)
{
    long long covered = 0;
    for (const QRect& other : others) {
        const QRect common = place.intersected(other);
        covered += static_cast<long long>(common.width()) * common.height();
    }
    return covered;
}

// Where a new frame of `size` goes: of the top-left corner of the MDI area and the places
// right of and below each shown frame (moved back inside the area where they stick out), the
// one that the shown frames cover least, the higher and then the further left on a tie.
// Opening a file shows three frames at once: at one spot only the last would be seen.
QPoint FreeSpot(const QMdiSubWindow& frame, QSize size)
{
    const QMdiArea* area = frame.mdiArea();
    if (area == nullptr)
        return {0, 0};
    std::vector<QRect> others;
    std::vector<QPoint> spots{{0, 0}};
    for (const QMdiSubWindow* other : area->subWindowList()) {
        if (other == &frame || !other->isVisible() || other->isMinimized())
            continue;
        others.push_back(other->geometry());
        spots.push_back(other->geometry().topRight() + QPoint(1, 0));
        spots.push_back(other->geometry().bottomLeft() + QPoint(0, 1));
    }
    const QSize client = area->viewport()->size();
    for (QPoint& spot : spots)
        spot = {std::max(0, std::min(spot.x(), client.width() - size.width())),
                std::max(0, std::min(spot.y(), client.height() - size.height()))};
    const auto better = [&](const QPoint& a, const QPoint& b) {
        const long long coverA = CoveredArea(QRect(a, size), others);
        const long long coverB = CoveredArea(QRect(b, size), others);
        return coverA != coverB ? coverA < coverB : a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    };
    return *std::min_element(spots.begin(), spots.end(), better);
}

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
    // The main window names the active document, whose title a Save As may have changed.
    if (auto* mainFrame = qobject_cast<CMDIFrameWnd*>(window()))
        mainFrame->OnUpdateFrameTitle();
}

void CMDIChildFrame::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    if (!m_bShownOnce) {
        m_bShownOnce = true;
        // Every new frame starts on top, where the other frames hide least of it.
        resize(g_nFrameWidth + kBorderWidth, g_nFrameHeight + kBorderHeight);
        move(FreeSpot(*this, size()));
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
