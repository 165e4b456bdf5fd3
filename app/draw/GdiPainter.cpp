#include "app/draw/GdiPainter.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstdlib>

QColor ToQColor(COLORREF colour)
{
    return QColor(static_cast<int>(RedOf(colour)), static_cast<int>(GreenOf(colour)),
                  static_cast<int>(BlueOf(colour)));
}

COLORREF ToColorRef(const QColor& colour)
{
    return MakeColor(static_cast<unsigned>(colour.red()), static_cast<unsigned>(colour.green()),
                     static_cast<unsigned>(colour.blue()));
}

void FillGdiRect(QPainter& painter, const GdiRect& rect, COLORREF colour)
{
    if (rect.Width() > 0 && rect.Height() > 0)
        painter.fillRect(rect.ToQRect(), ToQColor(colour));
}

void FrameGdiRect(QPainter& painter, const GdiRect& rect, COLORREF colour)
{
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    FillGdiRect(painter, {rect.left, rect.top, rect.right, rect.top + 1}, colour);
    FillGdiRect(painter, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, colour);
    FillGdiRect(painter, {rect.left, rect.top, rect.left + 1, rect.bottom}, colour);
    FillGdiRect(painter, {rect.right - 1, rect.top, rect.right, rect.bottom}, colour);
}

void DrawGdiRectangle(QPainter& painter, const GdiRect& rect, COLORREF pen, COLORREF brush)
{
    FillGdiRect(painter, rect.Shrunk(1), brush);
    FrameGdiRect(painter, rect, pen);
}

void DrawGdiLine(QPainter& painter, QPoint from, QPoint to, COLORREF colour)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    if (steps == 0)
        return;
    // The pixel before `to` on the line: one step less along the longer axis.
    const QPoint last(from.x() + static_cast<int>(std::lround(dx * double(steps - 1) / steps)),
                      from.y() + static_cast<int>(std::lround(dy * double(steps - 1) / steps)));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ToQColor(colour), 0));
    painter.drawLine(from, last);
    painter.restore();
}

namespace {

QString InstalledFace(const QString& face)
{
    if (face == QLatin1String("Arial"))
        return QStringLiteral("Liberation Sans");
    if (face == QLatin1String("Times New Roman"))
        return QStringLiteral("Liberation Serif");
    return face;
}

// Cell height of the face per pixel of em size, measured once per face.
double CellPerEm(const QString& family)
{
    static QHash<QString, double> cache;
    const auto found = cache.constFind(family);
    if (found != cache.constEnd())
        return *found;
    QFont probe(family);
    probe.setPixelSize(1000);
    const QFontMetricsF metrics(probe);
    const double ratio = std::max(0.5, (metrics.ascent() + metrics.descent()) / 1000.0);
    cache.insert(family, ratio);
    return ratio;
}

} // namespace

QFont GdiFont(const QString& face, int cellHeight)
{
    const QString family = InstalledFace(face);
    QFont font(family);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellHeight / CellPerEm(family)))));
    return font;
}

int TextCellHeight(const QFont& font)
{
    const QFontMetrics metrics(font);
    return metrics.ascent() + metrics.descent();
}

void DrawGdiText(QPainter& painter, int x, int y, const QString& text, TextAnchor anchor)
{
    const QFontMetrics metrics(painter.font());
    int left = x;
    if (anchor.h == TextH::Right)
        left = x - metrics.horizontalAdvance(text);
    else if (anchor.h == TextH::Center)
        left = x - metrics.horizontalAdvance(text) / 2;
    int baseline = y;
    if (anchor.v == TextV::Top)
        baseline = y + metrics.ascent();
    else if (anchor.v == TextV::Bottom)
        baseline = y - metrics.descent();
    painter.drawText(QPoint(left, baseline), text);
}
