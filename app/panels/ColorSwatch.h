// A small field filled with one colour that reports clicks: the colour buttons of the
// configuration panel.
#pragma once

#include <QFrame>

#include "image/Color.h"

class CColorSwatch : public QFrame {
    Q_OBJECT
public:
    explicit CColorSwatch(QWidget* parent = nullptr);

    COLORREF Color() const { return m_color; }
    // Repaints at once, so a chosen colour shows before the dialog's caller goes on.
    void SetColor(COLORREF color);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    COLORREF m_color = 0;
};
