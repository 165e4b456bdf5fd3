#include "app/views/ProfileView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include "app/AppResources.h"
#include "app/CommandIds.h"
#include "app/views/ProfilePlot.h"
#include "platform/qt/DisplayText.h"
#include "platform/qt/Document.h"

namespace {

constexpr int kDragCursor = 160;

// A move drags only with the left button alone: no other button, no Shift or Ctrl.
bool LeftButtonAlone(const QMouseEvent& event)
{
    return event.buttons() == Qt::LeftButton &&
           !(event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
}

} // namespace

CProfileView::CProfileView()
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    OnCommand(cmd::kEditCopy, [this] { OnEditCopy(); });
}

void CProfileView::OnUpdate(int, const CMDIChildFrame*)
{
    update();
}

QImage CProfileView::Picture() const
{
    // In device pixels, drawn in window pixels: text and lines keep their size on a screen
    // of more device pixels, and stay sharp there.
    const qreal ratio = devicePixelRatioF();
    QImage picture(size() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    if (GetDocument() == nullptr)
        return picture;
    const CMDIDoc& doc = Doc();
    std::vector<const CSpmImage*> images;
    for (const ImageEntry& entry : doc.ImageList())
        images.push_back(entry.m_pImage.get());
    const std::vector<ProfileCurve> curves =
        ProfileCurves(images, doc.m_ptSel1, doc.m_ptSel2, doc.m_profileCursors);
    QPainter painter(&picture);
    const GdiRect client{0, 0, width(), height()};
    for (std::size_t i = 0; i < curves.size(); ++i) {
        CProfilePlot plot(curves[i].m_profile, QStringLiteral("x[%1]").arg(DisplayText(curves[i].m_desc.m_strPosUnit)),
                          DisplayText(curves[i].m_desc.m_strQuantity), curves[i].m_desc);
        if (i == 0)
            plot.Draw(painter, client);
        else
            plot.DrawCompact(painter, client);
    }
    return picture;
}

void CProfileView::OnEditCopy()
{
    QGuiApplication::clipboard()->setImage(Picture());
}

void CProfileView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, Picture());
}

void CProfileView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || GetDocument() == nullptr)
        return QWidget::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    if (GrabProfileCursor(MouseToPlot(at.x(), at.y(), width(), height()), Doc().m_profileCursors))
        setCursor(AppCursor(kDragCursor));
    QWidget::mousePressEvent(event);
}

void CProfileView::mouseMoveEvent(QMouseEvent* event)
{
    if (GetDocument() == nullptr)
        return QWidget::mouseMoveEvent(event);
    ProfileCursors& cursors = Doc().m_profileCursors;
    const QPoint at = event->position().toPoint();
    const PlotPoint point = MouseToPlot(at.x(), at.y(), width(), height());
    const bool held = cursors.m_bCursorAGrabbed == 1 || cursors.m_bCursorBGrabbed == 1;
    if (IsOverProfileCursor(point, cursors) || (LeftButtonAlone(*event) && held))
        setCursor(AppCursor(kDragCursor));
    else
        unsetCursor();
    if (LeftButtonAlone(*event)) {
        const int moves = DragProfileCursors(point, cursors);
        if (moves > 0)
            update();
        for (int i = 0; i < moves; ++i)
            GetDocument()->UpdateAllViews(this, kHintCursorMoved);
    }
    QWidget::mouseMoveEvent(event);
}
