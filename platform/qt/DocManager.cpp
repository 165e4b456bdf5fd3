#include "platform/qt/DocManager.h"

#include <QTimer>

#include <algorithm>
#include <functional>
#include <set>
#include <tuple>

#include "image/HeaderTextCoding.h"
#include "platform/core/PathText.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/MDIFrameWnd.h"
#include "platform/qt/WaitCursor.h"
#include "presentation/ImageSettingsFiles.h"

namespace {

// Asks `question` with Yes, No and Cancel; Yes runs `save`. True when closing may go on: No,
// or Yes and the save succeeded.
bool AskToSave(const std::string& question, const std::function<bool()>& save)
{
    switch (AskYesNoCancel(question)) {
    case CQuestionBox::Answer::Yes: return save();
    case CQuestionBox::Answer::No: return true;
    case CQuestionBox::Answer::Cancel: return false;
    }
    return false;
}

} // namespace

CSpmDocManager::CSpmDocManager(std::vector<FileTypeChoice> openTypes,
                               std::vector<FileTypeChoice> saveTypes, CRecentFileList recentFiles)
    : m_openTypes(std::move(openTypes)), m_saveTypes(std::move(saveTypes)),
      m_recentFiles(std::move(recentFiles))
{
    m_recentFiles.ReadList();
}

CSpmDocManager::~CSpmDocManager() = default;

CMultiDocTemplate& CSpmDocManager::AddTemplate(int resourceId, CMultiDocTemplate::ViewFactory makeView)
{
    m_templates.push_back(std::make_unique<CMultiDocTemplate>(*this, resourceId, std::move(makeView)));
    return *m_templates.back();
}

CMultiDocTemplate* CSpmDocManager::Template(int resourceId) const
{
    for (const auto& docTemplate : m_templates)
        if (docTemplate->ResourceId() == resourceId)
            return docTemplate.get();
    return nullptr;
}

std::string CSpmDocManager::DoPromptFileName(bool open)
{
    CFileDialogModel dialog(open, open ? "Open" : "Save As", open ? m_openTypes : m_saveTypes);
    if (!Prompt().RunDialog(dialog))
        return {};
    return dialog.m_strPath;
}

CSpmDocManager::OpenResult CSpmDocManager::OpenDocumentFile(const std::string& path)
{
    // Paths compare as absolute paths, so "./a.spm" and "a.spm" are one document.
    const std::string fullPath = AbsolutePath(path);
    for (const auto& doc : m_documents) {
        if (doc->GetPathName() != fullPath)
            continue;
        const std::vector<CMDIChildFrame*> frames = doc->Frames();
        if (!frames.empty() && m_pMainFrame != nullptr)
            m_pMainFrame->ActivateFrame(frames.front());
        return {doc.get(), false};
    }
    CMultiDocTemplate* docTemplate = m_templates.empty() ? nullptr : m_templates.front().get();
    if (docTemplate == nullptr)
        return {};

    auto doc = std::make_unique<CDocument>();
    bool opened = false;
    {
        CWaitCursor wait;
        g_nFrameWidth = 450;
        g_nFrameHeight = 450;
        opened = doc->Doc().OnOpenDocument(fullPath);
    }
    if (!opened) {
        m_recentFiles.Remove(fullPath);
        m_recentFiles.WriteList();
        return {};
    }
    doc->SetPathName(fullPath);
    CMDIChildFrame* frame = docTemplate->CreateNewFrame(*doc);
    if (frame == nullptr)
        return {};
    // The first frame shows the first image; its 2D view would name it at the first update.
    frame->m_strImageName = doc->Doc().ImageList().front().m_pImage->m_strName;
    CDocument& opened_doc = *m_documents.emplace_back(std::move(doc));
    docTemplate->InitialUpdateFrame(*frame, opened_doc);
    m_recentFiles.Add(fullPath);
    m_recentFiles.WriteList();
    return {&opened_doc, true};
}

CSpmDocManager::OpenResult CSpmDocManager::OnFileOpen()
{
    const std::string path = DoPromptFileName(true);
    if (path.empty())
        return {};
    return OpenDocumentFile(path);
}

bool CSpmDocManager::DoSaveAs(CDocument& doc, const std::string& imageName)
{
    const std::string path = DoPromptFileName(false);
    if (path.empty())
        return false;
    bool saved = false;
    {
        CWaitCursor wait;
        saved = doc.Doc().OnSaveDocument(path, imageName);
    }
    if (!saved)
        return false;
    doc.SetPathName(doc.Doc().GetPathName());
    m_recentFiles.Add(doc.GetPathName());
    m_recentFiles.WriteList();
    return true;
}

bool CSpmDocManager::SaveModified(CDocument& doc)
{
    // Each image is asked about by the name its frames show; a save writes only that image,
    // never over the multi-image file it may have come from without the user choosing so.
    // Its view settings go to its own presentation file, which the question names: for a
    // multi-image file every image keeps its own sections in the one file beside it.
    // A save may replace the file of an image asked about before, which then has changes
    // again: the questions are drawn anew after every answer, and only a No stands.
    CMDIDoc& document = doc.Doc();
    enum Change { kHeights, kSettings };
    std::set<std::pair<const CSpmImage*, Change>> declined;
    const auto next = [&document, &declined]() -> std::pair<const CSpmImage*, Change> {
        for (const CSpmImage* image : document.ImagesWithChanges()) {
            if (document.IsModified(*image) && !declined.contains({image, kHeights}))
                return {image, kHeights};
            if (document.IsSettingsModified(*image) && !declined.contains({image, kSettings}))
                return {image, kSettings};
        }
        return {nullptr, kHeights};
    };
    for (auto [image, change] = next(); image != nullptr; std::tie(image, change) = next()) {
        // A Save As retitles the document: later questions name it as its frames do.
        const std::string name = doc.GetTitle() + ":" + OneLineText(image->m_strName);
        const std::string file = FileNameOf(PresentationFilePath(image->m_strPath));
        const bool closing = change == kHeights
            ? AskToSave("Save changes to " + name + "?", [&] { return DoSaveAs(doc, image->m_strName); })
            : AskToSave("Save the view settings of " + name + " to " + file + "?",
                        [&] { return document.SaveImageSettings(*image); });
        if (!closing)
            return false;
        // Answered: No, or Yes and saved. Only a later save can bring the question back.
        const bool stillChanged = change == kHeights ? document.IsModified(*image) : document.IsSettingsModified(*image);
        if (stillChanged)
            declined.insert({image, change});
    }
    // Images added to the document come back with it only through the image list in the
    // first image's presentation file; asked last, as the saves above may rename images.
    if (!document.IsImageListModified())
        return true;
    const std::string listFile = FileNameOf(PresentationFilePath(document.ImageList().front().m_pImage->m_strPath));
    return AskToSave("Save the image list of " + doc.GetTitle() + " to " + listFile + "?",
                     [&document] { return document.SaveImageList(); });
}

bool CSpmDocManager::CloseDocument(CDocument& doc)
{
    if (!IsOpen(&doc))
        return true;   // closing already: its frames are going
    if (!SaveModified(doc))
        return false;
    Detach(doc);
    return true;
}

bool CSpmDocManager::CloseAllDocuments()
{
    // The event loop runs while a question is up, and the list may change meanwhile: the
    // walk goes over a copy of its own and passes over a document closed since.
    std::vector<CDocument*> asked;
    for (const auto& doc : m_documents)
        asked.push_back(doc.get());
    for (CDocument* doc : asked)
        if (IsOpen(doc) && !SaveModified(*doc))
            return false;
    for (CDocument* doc : asked)
        Detach(*doc);
    // A document opened meanwhile was not asked about: it stays open, and so does the program.
    return m_documents.empty();
}

bool CSpmDocManager::IsOpen(const CDocument* doc) const
{
    return std::any_of(m_documents.begin(), m_documents.end(),
                       [doc](const auto& open) { return open.get() == doc; });
}

void CSpmDocManager::Detach(CDocument& doc)
{
    const auto found = std::find_if(m_documents.begin(), m_documents.end(),
                                    [&doc](const auto& open) { return open.get() == &doc; });
    if (found == m_documents.end())
        return;
    m_closed.push_back(std::move(*found));
    m_documents.erase(found);
    for (CMDIChildFrame* frame : doc.Frames())
        frame->close();
    // The frames delete themselves on the next turn of the event loop; the document goes then.
    QTimer::singleShot(0, [this] { m_closed.clear(); });
}
