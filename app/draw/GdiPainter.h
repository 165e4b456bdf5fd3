// Drawing helpers over QPainter that keep the pixel rules the program's pictures were laid
// out by: a rectangle covers its left and top edges but not its right and bottom ones, a
// thin line leaves out its end point, a font's height is its cell height (ascent plus
// descent), and text is placed by a reference point (left, right or centre; top, baseline
// or bottom). The painter must not antialias shapes; text may be antialiased.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPoint>
#include <QString>

#include "presentation/PresentationConfig.h"

QColor ToQColor(COLORREF colour);
COLORREF ToColorRef(const QColor& colour);

// left <= x < right, top <= y < bottom.
struct GdiRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // The rectangle moved in by `d` pixels on every side (out for a negative d).
    GdiRect Shrunk(int d) const { return {left + d, top + d, right - d, bottom - d}; }
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// A solid fill; an empty or inverted rectangle fills nothing.
void FillGdiRect(QPainter& painter, const GdiRect& rect, COLORREF colour);
// A one-pixel frame along the inside of the rectangle.
void FrameGdiRect(QPainter& painter, const GdiRect& rect, COLORREF colour);
// A one-pixel outline in `pen` with its inside filled in `brush`.
void DrawGdiRectangle(QPainter& painter, const GdiRect& rect, COLORREF pen, COLORREF brush);

// A one-pixel line from `from` toward `to` that stops one pixel short of `to`.
void DrawGdiLine(QPainter& painter, QPoint from, QPoint to, COLORREF colour);

// Faces of the program's fonts, mapped to the installed metric-compatible ones.
QFont GdiFont(const QString& face, int cellHeight);
// The cell height (ascent plus descent) of a font, the line spacing of the program's text.
int TextCellHeight(const QFont& font);

enum class TextH { Left, Center, Right };
enum class TextV { Top, Baseline, Bottom };
struct TextAnchor {
    TextH h = TextH::Left;
    TextV v = TextV::Top;
};

// Draws `text` in the painter's current font and pen so that the anchor point of its cell
// lies at (x, y).
void DrawGdiText(QPainter& painter, int x, int y, const QString& text, TextAnchor anchor);
