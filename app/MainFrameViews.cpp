// Opening views and adding images: the view openers, the follow-up steps of File Open and
// the Options dialog.
#include "app/MainFrame.h"

#include "app/CommandIds.h"
#include "app/DocTemplates.h"
#include "platform/core/DialogModels.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/View.h"
#include "platform/qt/WaitCursor.h"

namespace {

constexpr std::int16_t kViewFrameSide = 450;
constexpr std::int16_t kProfileFrameWidth = 600;
constexpr std::int16_t kProfileFrameHeight = 300;

void SetNextFrameSize(std::int16_t width, std::int16_t height)
{
    g_nFrameWidth = width;
    g_nFrameHeight = height;
}

} // namespace

void CMainFrame::Open2DView(const WorkBenchItem& item)
{
    SetNextFrameSize(kViewFrameSide, kViewFrameSide);
    OpenViewFrame(item, *m_docManager.Template(kTemplate2D), kViewKind2D, 0, false);
}

void CMainFrame::Open3DView(const WorkBenchItem& item)
{
    SetNextFrameSize(kViewFrameSide, kViewFrameSide);
    OpenViewFrame(item, *m_docManager.Template(kTemplate3D), kViewKind3D, 1, false);
}

void CMainFrame::OpenProfileView(const WorkBenchItem& item)
{
    SetNextFrameSize(kProfileFrameWidth, kProfileFrameHeight);
    OpenViewFrame(item, *m_docManager.Template(kTemplateProfile), kViewKindProfile, 0, false);
}

void CMainFrame::OpenViewFrame(const WorkBenchItem& item, CMultiDocTemplate& docTemplate,
                               const char* viewKind, int settingsIndex, bool alwaysNew)
{
    // An item kept since its document closed opens nothing.
    if (!m_docManager.IsOpen(item.m_pDoc))
        return;
    CDocument& doc = *item.m_pDoc;
    if (!alwaysNew) {
        for (CView* view : doc.Views()) {
            CMDIChildFrame* frame = view->GetParentFrame();
            if (frame != nullptr && &frame->GetTemplate() == &docTemplate &&
                frame->m_strImageName == item.m_strItemName) {
                ActivateFrame(frame);
                return;
            }
        }
    }
    CMDIChildFrame* frame = docTemplate.CreateNewFrame(doc);
    if (frame == nullptr)
        return;
    frame->m_strImageName = item.m_strItemName;
    frame->m_strViewKind = viewKind;
    frame->m_nImageNumber = item.m_nImage;
    frame->m_nSettingsIndex = settingsIndex;
    docTemplate.InitialUpdateFrame(*frame, doc);
    emit framesChanged();
}

void CMainFrame::AddImageToActiveDoc(const std::string& path, int indexInFile)
{
    if (CDocument* doc = ActiveDocument())
        AddImageToDoc(*doc, path, indexInFile);
}

void CMainFrame::AddImageToDoc(CDocument& doc, const std::string& path, int indexInFile)
{
    if (!m_docManager.IsOpen(&doc))
        return;
    bool added = false;
    {
        CWaitCursor wait;
        added = doc.Doc().AddImage(path, indexInFile);
    }
    if (!added)
        return;
    SetNextFrameSize(kViewFrameSide, kViewFrameSide);
    const WorkBenchItem item{1, &doc, doc.Doc().m_nImageCounter, doc.Doc().ImageList().back().m_pImage->m_strName};
    OpenViewFrame(item, *m_docManager.Template(kTemplate2D), kViewKind2D, 0, true);
}

void CMainFrame::AddImageDialog()
{
    // The document is the one active when the user asked: the dialog lets the event loop
    // run, and another frame may be active by the time it closes.
    CDocument* doc = ActiveDocument();
    if (doc == nullptr)
        return;
    CFileDialogModel dialog(true, "Open", {{"Tessalo Files (*.spm)", {"*.spm"}, ".spm"}});
    if (Prompt().RunDialog(dialog) && !dialog.m_strPath.empty())
        AddImageToDoc(*doc, dialog.m_strPath, 0);
}

void CMainFrame::OpenCompanionImage(CDocument& doc)
{
    if (!m_docManager.IsOpen(&doc))
        return;
    if (const std::optional<std::string> path = doc.Doc().CompanionImagePath())
        AddImageToDoc(doc, *path, 1);
}

void CMainFrame::LoadDocConfig(CDocument& doc)
{
    if (!m_docManager.IsOpen(&doc) || doc.Doc().ImageList().empty())
        return;
    // A listed image that cannot be added says why in a message, during which another frame
    // may become active: every image still goes to this document.
    for (const ListedImage& image : doc.Doc().ListedImages())
        AddImageToDoc(doc, image.m_strPath, image.m_nIndexInFile);
    if (m_docManager.IsOpen(&doc))
        Open3DView({0, &doc, 0, doc.Doc().ImageList().front().m_pImage->m_strName});
}

void CMainFrame::OnOptions()
{
    // The views redrawn at once are those of the document active when the user asked.
    CDocument* doc = ActiveDocument();
    CDialogOptions dialog(m_nRenderMode, static_cast<unsigned>(m_nMatrixSize));
    Prompt().RunDialog(dialog);
    if (dialog.m_bAccepted != 1)
        return;
    m_nRenderMode = dialog.m_nMode;
    m_nMatrixSize = static_cast<int>(dialog.m_nMatrixSize);
    if (m_docManager.IsOpen(doc))
        doc->ResetViews();
}
