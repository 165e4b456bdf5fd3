#include "app/panels/ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/draw/GdiPainter.h"

CColorSwatch::CColorSwatch(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setMinimumSize(24, 14);
}

void CColorSwatch::SetColor(COLORREF color)
{
    m_color = color;
    repaint();
}

void CColorSwatch::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    // The field inside the frame, two pixels in from the frame's own edge.
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    FillGdiRect(painter, {inner.left(), inner.top(), inner.left() + inner.width(),
                          inner.top() + inner.height()}, m_color);
    // A swatch that takes no click must not look like one that does: washed out like the
    // disabled edits beside it.
    if (!isEnabled()) {
        QColor veil = palette().color(QPalette::Window);
        veil.setAlphaF(0.6);
        painter.fillRect(inner, veil);
    }
}

void CColorSwatch::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QFrame::mousePressEvent(event);
}
