// The framework side of the main window: the MDI area with its child frames, the active
// child, and the title that names the active document.
#pragma once

#include <QMainWindow>

#include <string>

#include "platform/qt/CmdTarget.h"

class CMDIChildFrame;
class QMdiArea;
class QMdiSubWindow;

class CMDIFrameWnd : public QMainWindow, public CCmdTarget {
    Q_OBJECT
public:
    // `appTitle` is the text the window title starts with.
    explicit CMDIFrameWnd(std::string appTitle, QWidget* parent = nullptr);

    QMdiArea* MDIClient() const { return m_pMdiArea; }
    // The active child frame: the MDI area's current one, which stays set while the main
    // window lacks focus (no window manager, another application in front).
    CMDIChildFrame* MDIGetActive() const;
    void AddChildFrame(CMDIChildFrame* frame);
    void ActivateFrame(CMDIChildFrame* frame);

    // "<application> - <active document's title>", or the application's name alone.
    void OnUpdateFrameTitle();

signals:
    // The active child frame changed (also to none).
    void activeFrameChanged();
    // A child frame was shown, hidden or closed.
    void childFramesChanged();

private:
    void OnSubWindowActivated(QMdiSubWindow* window);

    std::string m_strAppTitle;
    QMdiArea* m_pMdiArea;
};
