// The framework side of the main window: the MDI area with its child frames, the active
// child, the title that names the active document, and a window that stays on its screen.
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

protected:
    bool event(QEvent* event) override;
    // The largest size the window has on its screen: the screen's available area less the
    // window manager's frame (known once the window shows).
    QSize RoomOnScreen() const;

private:
    void OnSubWindowActivated(QMdiSubWindow* window);
    // Holds the window within the available area of its screen: its minimum size is what its
    // bars, panels and frames ask for as far as the screen has room, and a window grown past
    // the area is made smaller and moved back into it.
    void KeepOnScreen();

    std::string m_strAppTitle;
    QMdiArea* m_pMdiArea;
};
