// replaced by the views / panels work: an empty panel, so that the shell links.
#pragma once

#include <QWidget>

class CMainFrame;

class C3DdlgColor : public QWidget {
    Q_OBJECT
public:
    C3DdlgColor(CMainFrame& mainFrame, QWidget* parent) : QWidget(parent), m_mainFrame(mainFrame) {}

    // The panel switch showed the palette: look the colour source up again at the next tick.
    void ForgetActiveFrame() {}

private:
    CMainFrame& m_mainFrame;
};
