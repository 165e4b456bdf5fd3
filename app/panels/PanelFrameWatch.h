// How a panel follows the main frame's active child on its timer: the frame and document
// it saw at its last tick, kept so that a frame or document closed in between is noticed
// (the frame by a guarded pointer, the document by asking the document manager) and never
// used again.
#pragma once

#include <QPointer>

class CDocument;
class CMainFrame;
class CMDIChildFrame;

class CPanelFrameWatch {
public:
    explicit CPanelFrameWatch(CMainFrame& mainFrame) : m_mainFrame(mainFrame) {}

    enum class Change {
        None,       // no frame now, nor at the last tick
        Gone,       // the last frame is no longer active and no other is
        Same,       // the frame of the last look
        New,        // another frame (or the panel asked to look again)
    };
    // The tick's first step: takes the active child and its document.
    Change Follow();

    // The active frame and its document while both are open; null otherwise.
    CMDIChildFrame* Frame() const;
    CDocument* Document() const;
    // Tells the views that draw the active frame's record of `hint`: the frame's own view,
    // or, on a profile frame, whose view draws no record, those of its image's 2D frames,
    // which draw the record the panels show there.
    void UpdateViews(int hint) const;
    // The frame's image is not in its document: the panel leaves it alone.
    void DropDocument() { m_pDoc = nullptr; }
    // The next tick treats the active frame as new.
    void LookAgain();

private:
    CMainFrame& m_mainFrame;
    QPointer<CMDIChildFrame> m_pFrame;
    QPointer<CMDIChildFrame> m_pLastFrame;
    CDocument* m_pDoc = nullptr;
    bool m_bFrameSeen = false;
};
