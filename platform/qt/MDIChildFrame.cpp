#include "platform/qt/MDIChildFrame.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QRegion>

#include <algorithm>
#include <vector>

#include "image/HeaderTextCoding.h"
#include "platform/qt/DisplayText.h"
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

long long Area(const QRegion& region)
{
    long long area = 0;
    for (const QRect& rect : region)
        area += static_cast<long long>(rect.width()) * rect.height();
    return area;
}

// What putting a frame at `place` costs the frames already shown: the area of theirs it
// covers, where a title bar counts many times over, since a frame whose title is hidden can
// no longer be dragged out from under the new one.
long long HiddenCost(const QRect& place, const QRegion& taken, const QRegion& titles)
{
    constexpr long long kTitleWeight = 16;
    return Area(taken.intersected(place)) + kTitleWeight * Area(titles.intersected(place));
}

// Where a new frame of `size` goes. The places tried are the area's edges and the edges of
// every shown frame (beside, above and below it), moved inside the area where they stick
// out; the one that hides least of the other frames wins, the higher and then the further
// left on a tie. Where the area has room, the frames therefore do not overlap at all.
QPoint FreeSpot(const QMdiSubWindow& frame, QSize size)
{
    const QMdiArea* area = frame.mdiArea();
    if (area == nullptr)
        return {0, 0};
    const QSize client = area->viewport()->size();
    const int maxX = std::max(0, client.width() - size.width());
    const int maxY = std::max(0, client.height() - size.height());
    std::vector<int> xs{0, maxX};
    std::vector<int> ys{0, maxY};
    QRegion taken;
    QRegion titles;
    for (const QMdiSubWindow* other : area->subWindowList()) {
        if (other == &frame || !other->isVisible() || other->isMinimized())
            continue;
        const QRect place = other->geometry();
        taken += place;
        const int titleHeight = other->widget() != nullptr ? other->widget()->geometry().top() : 0;
        titles += QRect(place.topLeft(), QSize(place.width(), titleHeight));
        xs.insert(xs.end(), {place.left() + place.width(), place.left() - size.width()});
        ys.insert(ys.end(), {place.top() + place.height(), place.top() - size.height()});
    }
    QPoint best{0, 0};
    long long bestCost = -1;
    for (int y : ys) {
        for (int x : xs) {
            const QPoint spot(std::clamp(x, 0, maxX), std::clamp(y, 0, maxY));
            const long long cost = HiddenCost(QRect(spot, size), taken, titles);
            const bool better = bestCost < 0 || cost < bestCost ||
                                (cost == bestCost && (spot.y() < best.y() || (spot.y() == best.y() && spot.x() < best.x())));
            if (better) {
                best = spot;
                bestCost = cost;
            }
        }
    }
    return best;
}

// The size a new frame of `size` takes: no more than its area holds, so that the whole frame
// shows in it.
QSize FittingSize(const QMdiSubWindow& frame, QSize size)
{
    const QMdiArea* area = frame.mdiArea();
    return area != nullptr && area->isVisible() ? size.boundedTo(area->viewport()->size()) : size;
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
    // A name made from an older file's quantity may hold Latin-1 bytes.
    title.append(":").append(HeaderBytesAsUtf8(m_strImageName)).append(m_strViewKind);
    if (m_nWindow > 0)
        title.append(":").append(std::to_string(m_nWindow));
    return title;
}

void CMDIChildFrame::OnUpdateFrameTitle()
{
    setWindowTitle(DisplayText(FrameTitle()));
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
        resize(FittingSize(*this, QSize(g_nFrameWidth + kBorderWidth, g_nFrameHeight + kBorderHeight)));
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
