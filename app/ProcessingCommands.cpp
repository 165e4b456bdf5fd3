#include "app/ProcessingCommands.h"

#include <optional>

#include "app/CommandIds.h"
#include "app/DocTemplates.h"
#include "app/MainFrame.h"
#include "app/panels/DlgColor.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/WaitCursor.h"

namespace {

// The application around the commands: always the main frame of the moment.
class MainFrameHost final : public IProcessingHost {
public:
    std::string ActiveImageName() const override
    {
        const CMDIChildFrame* frame = ActiveFrame();
        return frame != nullptr ? frame->m_strImageName : std::string();
    }
    std::string ActiveViewKind() const override
    {
        const CMDIChildFrame* frame = ActiveFrame();
        return frame != nullptr ? frame->m_strViewKind : std::string();
    }
    void BeginWaitCursor() override { m_wait.emplace(); }
    void EndWaitCursor() override { m_wait.reset(); }
    void RepaintPalette() override
    {
        if (CMainFrame* mainFrame = CMainFrame::Instance())
            mainFrame->ColorPanel().DrawPalette();
    }

private:
    static const CMDIChildFrame* ActiveFrame()
    {
        const CMainFrame* mainFrame = CMainFrame::Instance();
        return mainFrame != nullptr ? mainFrame->MDIGetActive() : nullptr;
    }

    std::optional<CWaitCursor> m_wait;
};

MainFrameHost& Host()
{
    static MainFrameHost host;
    return host;
}

struct MenuCommand {
    int id;
    ProcessingCommand command;
};

const MenuCommand kMenuCommands[] = {
    {cmd::kMedianX, ProcessingCommand::kMedianX},       {cmd::kMedianY, ProcessingCommand::kMedianY},
    {cmd::kMedianXY, ProcessingCommand::kMedianXY},     {cmd::kFlattenX, ProcessingCommand::kFlattenX},
    {cmd::kFlattenY, ProcessingCommand::kFlattenY},     {cmd::kFlattenXY, ProcessingCommand::kFlattenXY},
    {cmd::kAlignX, ProcessingCommand::kAlignX},         {cmd::kAlignY, ProcessingCommand::kAlignY},
    {cmd::kAlignXY, ProcessingCommand::kAlignXY},       {cmd::kNormalize, ProcessingCommand::kNormalize},
    {cmd::kGauss3x3, ProcessingCommand::kGauss3x3},     {cmd::kGauss5x5, ProcessingCommand::kGauss5x5},
    {cmd::kLaplace3x3, ProcessingCommand::kLaplace3x3}, {cmd::kLaplace5x5, ProcessingCommand::kLaplace5x5},
    {cmd::kLowpass3x3, ProcessingCommand::kLowpass3x3}, {cmd::kLowpass5x5, ProcessingCommand::kLowpass5x5},
    {cmd::kHighpass3x3, ProcessingCommand::kHighpass3x3}, {cmd::kHighpass5x5, ProcessingCommand::kHighpass5x5},
    {cmd::kSharpen, ProcessingCommand::kSharpen},       {cmd::kSobelVert, ProcessingCommand::kSobelVert},
    {cmd::kHipassGaussX, ProcessingCommand::kHipassGaussX}, {cmd::kRotate90, ProcessingCommand::kRotate90},
    // Crop is the 2D view's command; until a 2D view handles it, the document runs it while a
    // 2D frame is active.
    {cmd::kCrop, ProcessingCommand::kCrop},             {cmd::kEditUndo, ProcessingCommand::kUndo},
};

// The selection-mode buttons toggle the document's mode and show it as their check marks;
// the 2D view passes them on to the document.
const MenuCommand kModeButtons[] = {
    {cmd::kTwoPointMode, ProcessingCommand::kTwoPointMode},
    {cmd::kRectMode, ProcessingCommand::kRectangleMode},
    {cmd::kThreePointMode, ProcessingCommand::kThreePointMode},
};

CommandState StateOf(CDocument& doc, ProcessingCommand command, const CCmdUI& ui)
{
    CommandState state{ui.m_bEnabled, ui.m_bChecked};
    ProcessingCommandsOf(doc).Update(command, state);
    return state;
}

}  // namespace

CDocProcessingCommands ProcessingCommandsOf(CDocument& doc)
{
    return CDocProcessingCommands(doc.Doc(), Host());
}

void RegisterProcessingCommands(CMainFrame& mainFrame)
{
    (void)mainFrame;  // the commands find the main frame of the moment themselves
    for (const MenuCommand& item : kMenuCommands)
        CDocument::AddClassCommand(
            item.id, [command = item.command](CDocument& doc) { ProcessingCommandsOf(doc).Run(command); },
            [command = item.command](CDocument& doc, CCmdUI& ui) { ui.Enable(StateOf(doc, command, ui).enabled); });
    for (const MenuCommand& item : kModeButtons)
        CDocument::AddClassCommand(
            item.id, [command = item.command](CDocument& doc) { ProcessingCommandsOf(doc).Run(command); },
            [command = item.command](CDocument& doc, CCmdUI& ui) {
                // Only a 2D view draws the selection: elsewhere the buttons would change a
                // mode nobody sees.
                ui.Enable(Host().ActiveViewKind() == kViewKind2D);
                ui.SetCheck(StateOf(doc, command, ui).checked ? 1 : 0);
            });
}

void EnableWithActiveImage(CDocument& doc, CCmdUI& ui)
{
    ui.Enable(ProcessingCommandsOf(doc).ShowsImage());
}
