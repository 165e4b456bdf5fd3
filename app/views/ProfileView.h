// replaced by the views / panels work: a view that shows nothing yet, so that the shell links.
#pragma once

#include <QWidget>

#include "platform/qt/View.h"

class CProfileView : public QWidget, public CView {
    Q_OBJECT
public:
    CProfileView() = default;

    QWidget* Widget() override { return this; }
    void OnUpdate(int hint, const CMDIChildFrame* frame) override;
};
