// The profile view: the heights of the document's first image (red) and of its second
// (blue) along the segment between the first two points selected in a 2D view, with the
// two cursors [a] and [b] that the user drags along the profile.
#pragma once

#include <QImage>
#include <QWidget>

#include "platform/qt/View.h"

class CProfileView : public QWidget, public CView {
    Q_OBJECT
public:
    CProfileView();

    QWidget* Widget() override { return this; }
    // Every update, whatever its hint or frame: the profile is sampled anew at each paint.
    void OnUpdate(int hint, const CMDIChildFrame* frame) override;

    // The whole picture at the widget's size in device pixels, composed off screen.
    QImage Picture() const;
    void OnEditCopy();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
