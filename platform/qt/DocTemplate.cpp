#include "platform/qt/DocTemplate.h"

#include <QMdiArea>
#include <QWidget>

#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/MDIFrameWnd.h"
#include "platform/qt/View.h"

CMDIChildFrame* CMultiDocTemplate::CreateNewFrame(CDocument& doc)
{
    CMDIFrameWnd* mainFrame = m_manager.MainFrame();
    if (mainFrame == nullptr)
        return nullptr;
    auto* frame = new CMDIChildFrame(*this);
    CView* view = m_makeView();
    doc.AddView(view, frame);
    frame->SetView(view);
    mainFrame->AddChildFrame(frame);
    return frame;
}

void CMultiDocTemplate::InitialUpdateFrame(CMDIChildFrame& frame, CDocument& doc)
{
    if (CView* view = frame.GetActiveView())
        view->OnInitialUpdate();
    doc.UpdateFrameCounts();
    frame.show();
    if (CMDIFrameWnd* mainFrame = m_manager.MainFrame())
        mainFrame->ActivateFrame(&frame);
}
