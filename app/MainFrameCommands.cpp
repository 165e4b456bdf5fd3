// The main frame's own commands: adding images, opening views, the options, the panel
// switch, the window arrangement and the bars.
#include "app/MainFrame.h"

#include <QDockWidget>
#include <QMdiArea>
#include <QStatusBar>
#include <QToolBar>

#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/DocTemplate.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"

namespace {

// Enabled while a child frame is active.
std::function<void(CCmdUI&)> NeedsFrame(const CMainFrame& frame)
{
    return [&frame](CCmdUI& ui) { ui.Enable(frame.MDIGetActive() != nullptr); };
}

} // namespace

void CMainFrame::AddHandlers()
{
    OnCommand(cmd::kAddImage, [this] { AddImageDialog(); }, NeedsFrame(*this));
    OnCommand(cmd::kOpen2D, [this] {
        if (MDIGetActive() != nullptr)
            Open2DView(ActiveItem(ActiveImageName()));
    }, NeedsFrame(*this));
    OnCommand(cmd::kOpen3D, [this] {
        if (MDIGetActive() != nullptr)
            Open3DView(ActiveItem(ActiveImageName()));
    }, NeedsFrame(*this));
    OnCommand(cmd::kOpenProfile, [this] {
        if (MDIGetActive() != nullptr)
            OpenProfileView(ActiveItem(""));
    }, NeedsFrame(*this));
    OnCommand(cmd::kOptions, [this] { OnOptions(); });

    for (int id : {cmd::kHidePanels, cmd::kShowWorkBench, cmd::kShowConfigPanel, cmd::kShowPalettePanel})
        OnCommand(id, [this, id] { ShowPanel(id); },
                  [this, id](CCmdUI& ui) { ui.SetCheck(m_nPanelSwitch == id ? 1 : 0); });

    OnCommand(cmd::kWindowNew, [this] {
        CMDIChildFrame* frame = MDIGetActive();
        if (frame == nullptr || frame->GetActiveDocument() == nullptr)
            return;
        WorkBenchItem item = ActiveItem(frame->m_strImageName);
        item.m_nImage = frame->m_nImageNumber;
        OpenViewFrame(item, frame->GetTemplate(), frame->m_strViewKind.c_str(), frame->m_nSettingsIndex, true);
    }, NeedsFrame(*this));
    OnCommand(cmd::kWindowCascade, [this] { MDIClient()->cascadeSubWindows(); }, NeedsFrame(*this));
    OnCommand(cmd::kWindowTile, [this] { MDIClient()->tileSubWindows(); }, NeedsFrame(*this));
    OnCommand(cmd::kWindowArrange, [this] { MDIClient()->tileSubWindows(); }, NeedsFrame(*this));

    OnCommand(cmd::kViewToolbar, [this] { m_pToolBar->setVisible(!m_pToolBar->isVisible()); },
              [this](CCmdUI& ui) { ui.SetCheck(m_pToolBar->isVisible() ? 1 : 0); });
    OnCommand(cmd::kViewStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); },
              [this](CCmdUI& ui) { ui.SetCheck(statusBar()->isVisible() ? 1 : 0); });
}

std::string CMainFrame::ActiveImageName() const
{
    const CMDIChildFrame* frame = MDIGetActive();
    if (frame == nullptr)
        return {};
    // A profile frame opened from the menu names no image: its document's first image
    // stands in, as the work bench shows it.
    const CDocument* doc = frame->GetActiveDocument();
    if (frame->m_strImageName.empty() && doc != nullptr && !doc->Doc().ImageList().empty())
        return doc->Doc().ImageList().front().m_pImage->m_strName;
    return frame->m_strImageName;
}

CDocument* CMainFrame::ActiveDocument() const
{
    const CMDIChildFrame* frame = MDIGetActive();
    return frame != nullptr ? frame->GetActiveDocument() : nullptr;
}

WorkBenchItem CMainFrame::ActiveItem(const std::string& name) const
{
    return {0, ActiveDocument(), 0, name};
}
