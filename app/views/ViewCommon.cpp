#include "app/views/ViewCommon.h"

#include "app/MainFrame.h"
#include "app/SpmApp.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/View.h"

void AdoptSoleImage(CView& view)
{
    const auto& images = view.Doc().ImageList();
    if (images.size() == 1 && view.GetParentFrame() != nullptr)
        view.GetParentFrame()->m_strImageName = images.front().m_pImage->m_strName;
}

ColourSource LookUpColour(CGLCanvas& canvas, const CView& view, const ShownImage& shown,
                          const std::string& prefix, const std::string& suffix)
{
    ColourSource source = LookUpColourSource(DocumentImages(view.Doc()), shown.Records(), shown.settingsIndex);
    if (source.missingName)
        canvas.PostMessageOnce(prefix + *source.missingName + suffix);
    return source;
}

QCursor SelectionCursor()
{
    return CSpmApp::Instance() != nullptr ? CSpmApp::Instance()->m_hCursor157 : QCursor(Qt::CrossCursor);
}

QCursor ZScaleCursor()
{
    return CSpmApp::Instance() != nullptr ? CSpmApp::Instance()->m_hCursor159 : QCursor(Qt::SizeVerCursor);
}

RenderOptions MainFrameRenderOptions()
{
    const CMainFrame* mainFrame = CMainFrame::Instance();
    if (mainFrame == nullptr)
        return {};
    return {mainFrame->m_nRenderMode, mainFrame->m_nMatrixSize};
}
