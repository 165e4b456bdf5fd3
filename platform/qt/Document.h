// The framework's document: the GUI-free CMDIDoc with what the framework adds to it: its
// path and title, its views in the order they were made (and so its frames and their
// numbers), and its own command handlers.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/MDIDoc.h"
#include "platform/qt/CmdTarget.h"

class CView;
class CMDIChildFrame;

class CDocument : public CCmdTarget {
public:
    CDocument();
    ~CDocument() override;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    CMDIDoc& Doc() { return *m_pDoc; }
    const CMDIDoc& Doc() const { return *m_pDoc; }

    // The path the document was opened or saved as; the title is its file name.
    const std::string& GetPathName() const { return m_strPathName; }
    void SetPathName(const std::string& path);
    const std::string& GetTitle() const { return m_strTitle; }

    // While any image has changes that no save wrote (each image keeps its own mark).
    bool IsModified() const { return m_pDoc->IsModified(); }

    // Synchronous, in view order, skipping the sender; a hint sent with a frame is for that
    // frame's view alone (each view decides, as the profile view reacts to every update).
    void UpdateAllViews(const CView* sender, int hint, const CMDIChildFrame* frame = nullptr);
    // Hint 5 to every view: they rebuild for a reason other than new heights (the rendering
    // options changed).
    void ResetViews();

    void AddView(CView* view, CMDIChildFrame* frame);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const { return m_views; }
    // Each frame once, in the order of its first view.
    std::vector<CMDIChildFrame*> Frames() const;
    // Numbers the frames 1, 2, ... when there are two or more (0 for a single one) and
    // retitles them.
    void UpdateFrameCounts();

    // Handlers every document has, added by whoever handles commands on documents (the image
    // processing menu): they receive the document the command reached.
    using ClassRun = std::function<void(CDocument&)>;
    using ClassUpdate = std::function<void(CDocument&, CCmdUI&)>;
    static void AddClassCommand(int id, ClassRun run, ClassUpdate update = {});
    const CommandHandler* FindCommand(int id) const override;

private:
    std::unique_ptr<CMDIDoc> m_pDoc;
    std::string m_strPathName;
    std::string m_strTitle;
    std::vector<CView*> m_views;
    std::vector<CMDIChildFrame*> m_viewFrames;       // the frame of each view, same order
    mutable std::unordered_map<int, CommandHandler> m_boundClassCommands;
};
