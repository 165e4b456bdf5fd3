#include "platform/qt/Document.h"

#include <algorithm>

#include "platform/core/PathText.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/View.h"

namespace {

struct ClassCommand {
    CDocument::ClassRun run;
    CDocument::ClassUpdate update;
};

std::unordered_map<int, ClassCommand>& ClassCommands()
{
    static std::unordered_map<int, ClassCommand> commands;
    return commands;
}

} // namespace

CDocument::CDocument() : m_pDoc(std::make_unique<CMDIDoc>()) {}

CDocument::~CDocument()
{
    for (CView* view : m_views)
        view->m_pDocument = nullptr;
}

void CDocument::SetPathName(const std::string& path)
{
    m_strPathName = path;
    m_strTitle = FileNameOf(path);
    for (CMDIChildFrame* frame : Frames())
        frame->OnUpdateFrameTitle();
}

void CDocument::UpdateAllViews(const CView* sender, int hint, const CMDIChildFrame* frame)
{
    m_pDoc->UpdateAllViews(sender, hint, frame);
}

void CDocument::ResetViews()
{
    m_pDoc->UpdateAllViews(nullptr, kHintSurface, nullptr);
}

void CDocument::AddView(CView* view, CMDIChildFrame* frame)
{
    view->m_pDocument = this;
    view->m_pFrame = frame;
    m_views.push_back(view);
    m_viewFrames.push_back(frame);
    m_pDoc->AddView(view);
}

void CDocument::RemoveView(CView* view)
{
    const auto found = std::find(m_views.begin(), m_views.end(), view);
    if (found == m_views.end())
        return;
    m_viewFrames.erase(m_viewFrames.begin() + (found - m_views.begin()));
    m_views.erase(found);
    m_pDoc->RemoveView(view);
    view->m_pDocument = nullptr;
    UpdateFrameCounts();
}

std::vector<CMDIChildFrame*> CDocument::Frames() const
{
    std::vector<CMDIChildFrame*> frames;
    for (CMDIChildFrame* frame : m_viewFrames)
        if (frame != nullptr && std::find(frames.begin(), frames.end(), frame) == frames.end())
            frames.push_back(frame);
    return frames;
}

void CDocument::UpdateFrameCounts()
{
    const std::vector<CMDIChildFrame*> frames = Frames();
    int number = frames.size() > 1 ? 1 : 0;
    for (CMDIChildFrame* frame : frames) {
        frame->m_nWindow = number;
        if (number > 0)
            ++number;
        frame->OnUpdateFrameTitle();
    }
}

void CDocument::AddClassCommand(int id, ClassRun run, ClassUpdate update)
{
    ClassCommands()[id] = {std::move(run), std::move(update)};
}

const CommandHandler* CDocument::FindCommand(int id) const
{
    if (const CommandHandler* own = CCmdTarget::FindCommand(id))
        return own;
    const auto found = ClassCommands().find(id);
    if (found == ClassCommands().end())
        return nullptr;
    // Bind the class-wide handler to this document for the caller.
    auto* self = const_cast<CDocument*>(this);
    CommandHandler& bound = m_boundClassCommands[id];
    const ClassCommand& command = found->second;
    bound.run = command.run ? std::function<void()>([self, run = command.run] { run(*self); })
                            : std::function<void()>();
    bound.update = command.update
        ? std::function<void(CCmdUI&)>([self, update = command.update](CCmdUI& ui) { update(*self, ui); })
        : std::function<void(CCmdUI&)>();
    return &bound;
}
