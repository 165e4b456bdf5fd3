#include "app/panels/PanelFrameWatch.h"

#include "app/DocTemplates.h"
#include "app/MainFrame.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"

CPanelFrameWatch::Change CPanelFrameWatch::Follow()
{
    CMDIChildFrame* frame = m_mainFrame.MDIGetActive();
    m_pFrame = frame;
    if (frame == nullptr) {
        const bool gone = m_bFrameSeen;
        m_bFrameSeen = false;
        m_pLastFrame = nullptr;
        m_pDoc = nullptr;
        return gone ? Change::Gone : Change::None;
    }
    m_bFrameSeen = true;
    m_pDoc = frame->GetActiveDocument();
    if (frame == m_pLastFrame)
        return Change::Same;
    m_pLastFrame = frame;
    return Change::New;
}

CDocument* CPanelFrameWatch::Document() const
{
    if (m_pDoc == nullptr || m_pFrame.isNull() || !m_mainFrame.DocManager().IsOpen(m_pDoc))
        return nullptr;
    return m_pDoc;
}

CMDIChildFrame* CPanelFrameWatch::Frame() const
{
    return m_pFrame.data();
}

void CPanelFrameWatch::LookAgain()
{
    m_pLastFrame = nullptr;
}

void CPanelFrameWatch::UpdateViews(int hint) const
{
    CDocument* doc = Document();
    const CMDIChildFrame* frame = Frame();
    if (doc == nullptr || frame == nullptr)
        return;
    if (frame->m_strViewKind != kViewKindProfile) {
        doc->UpdateAllViews(nullptr, hint, frame);
        return;
    }
    for (const CMDIChildFrame* shown : doc->Frames())
        if (shown->m_strViewKind == kViewKind2D && shown->m_strImageName == frame->m_strImageName)
            doc->UpdateAllViews(nullptr, hint, shown);
}
