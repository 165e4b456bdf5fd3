// The document manager: the templates, the open documents, File Open and Save As with the
// program's file-type lists, the recent-file list, and closing documents (asking to save a
// changed one).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/core/DialogModels.h"
#include "platform/qt/DocTemplate.h"
#include "platform/qt/RecentFileList.h"

class CDocument;
class CMDIFrameWnd;

class CSpmDocManager {
public:
    CSpmDocManager(std::vector<FileTypeChoice> openTypes, std::vector<FileTypeChoice> saveTypes,
                   CRecentFileList recentFiles);
    ~CSpmDocManager();

    CMultiDocTemplate& AddTemplate(int resourceId, CMultiDocTemplate::ViewFactory makeView);
    // The template of a resource id, or null.
    CMultiDocTemplate* Template(int resourceId) const;

    void SetMainFrame(CMDIFrameWnd* frame) { m_pMainFrame = frame; }
    CMDIFrameWnd* MainFrame() const { return m_pMainFrame; }

    // Asks for a file name with the open or the save list; the full path, or empty on Cancel.
    std::string DoPromptFileName(bool open);

    struct OpenResult {
        CDocument* doc = nullptr;     // null when the file did not open
        bool created = false;         // false for a path that was open already
    };
    // Opens `path` with the first template: a document already holding the path gets its
    // frame activated; a new one gets its first 2D frame and joins the recent files. A
    // failed open destroys what it made and leaves the recent files.
    OpenResult OpenDocumentFile(const std::string& path);
    // File Open: asks for a path, then opens it.
    OpenResult OnFileOpen();

    // "Save Image As...": asks for a name and writes the image `imageName` of `doc`; true
    // only when the file was written.
    bool DoSaveAs(CDocument& doc, const std::string& imageName);
    // For each image of `doc` with unwritten changes, in list order: "Save changes to
    // <title>:<image>?" when its heights or header changed (Yes saves it as), then "Save the
    // view settings of <title>:<image> to <file>.cnf?" when its view settings changed (Yes
    // writes its presentation file); an image whose file a later save replaces is asked about
    // again. Last, "Save the image list of <title> to <file>.cnf?" when reopening would leave
    // out images the document holds (Yes writes the list). No passes on; Cancel, or a save
    // that fails, keeps the document open. True when the document may close.
    bool SaveModified(CDocument& doc);
    // Asks to save when needed, then closes every frame of the document and the document.
    bool CloseDocument(CDocument& doc);
    // The same for every document open when it starts (the application quits); false when
    // the user cancelled, or a document opened meanwhile is left.
    bool CloseAllDocuments();

    const std::vector<std::unique_ptr<CDocument>>& Documents() const { return m_documents; }
    // Whether `doc` is still open: panels check before they use a document they kept.
    bool IsOpen(const CDocument* doc) const;
    CRecentFileList& RecentFiles() { return m_recentFiles; }

private:
    void Detach(CDocument& doc);

    std::vector<FileTypeChoice> m_openTypes;
    std::vector<FileTypeChoice> m_saveTypes;
    CRecentFileList m_recentFiles;
    std::vector<std::unique_ptr<CMultiDocTemplate>> m_templates;
    std::vector<std::unique_ptr<CDocument>> m_documents;
    std::vector<std::unique_ptr<CDocument>> m_closed;     // freed once their frames are gone
    CMDIFrameWnd* m_pMainFrame = nullptr;
};
