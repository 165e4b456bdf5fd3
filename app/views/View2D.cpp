#include "app/views/View2D.h"

#include <QMouseEvent>

#include <GL/gl.h>

#include "app/render/GLRenderer.h"
#include "app/render/Scene2D.h"
#include "app/views/ViewInput.h"
#include "app/views/ViewLookup.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "presentation/ViewTexts.h"

CView2D::CView2D(QWidget* parent) : CGLView(parent)
{
    setMouseTracking(true);
    AddCommands();
}

CView2D::~CView2D() = default;

void CView2D::AddCommands()
{
    // The selection modes are the document's commands; the view repaints after them so the
    // selection it draws follows at once.
    for (const int id : {cmd::kTwoPointMode, cmd::kRectMode, cmd::kThreePointMode}) {
        OnCommand(
            id,
            [this, id] {
                if (const CommandHandler* handler = DocumentCommand(id))
                    handler->run();
                Invalidate(kHintRepaint);
            },
            [this, id](CCmdUI& ui) {
                const CommandHandler* handler = DocumentCommand(id);
                if (handler == nullptr || !handler->run)
                    ui.Enable(false);
                else if (handler->update)
                    handler->update(ui);
            });
    }
    OnCommand(cmd::kEditCopy, [this] { OnEditCopy(); });
    OnCommand(cmd::kViewEmpty, [] {});
}

const CommandHandler* CView2D::DocumentCommand(int id) const
{
    return GetDocument() == nullptr ? nullptr : GetDocument()->FindCommand(id);
}

void CView2D::InitGLState()
{
    CGLRenderer::InitViewState();
}

void CView2D::OnUpdate(int hint, const CMDIChildFrame* frame)
{
    if (frame != nullptr && frame != GetParentFrame()) {
        Invalidate(kCacheValid, false);
        return;
    }
    int state = hint;
    if (hint == kHintInitial) {
        state = InitialUpdate([this] {
            // A new 2D view starts a fresh selection.
            Doc().m_bSel1Set = Doc().m_bSel2Set = Doc().m_bSel3Set = 0;
            AdoptSoleImage();
            CreatePolygonArray();
        });
    } else if (hint == kHintColors) {
        CreateColorArray();
    } else if (hint == kHintSurface) {
        CreatePolygonArray();
    }
    Invalidate(state, hint <= kHintCursorMoved);
}

void CView2D::CreatePolygonArray()
{
    if (const ShownImage shown = FindShownImageOr("Image Name is not Valid ->CView2D::CreatePolygonArray")) {
        BuildSurface(shown);
        CreateColorArray();
    }
}

void CView2D::CreateColorArray()
{
    if (const ShownImage shown = FindShownImageOr("Image Name is not Valid -> CView2D::CreateColorArray"))
        BuildColours(shown, "CView2D Image Name for Color is not Valid:");
}

bool CView2D::RenderScene(bool coarse)
{
    // Qt paints a GL widget as soon as it joins its frame, before the frame names the image.
    if (m_bFirstUpdate)
        return false;
    const ShownImage shown = FindShownImageOr("Image Name is not Valid -> CView2D::OnPaint");
    if (!shown)
        return false;
    const CSpmImage& image = shown.Image();
    if (coarse)
        EnsureCoarseIndices(image, Options().matrixSize, m_arrays);
    const CMDIDoc& doc = Doc();
    Selection2D selection;
    selection.mode = doc.m_nSelectMode;
    selection.p1 = ClampToImage(doc.m_ptSel1, image);
    selection.p2 = ClampToImage(doc.m_ptSel2, image);
    selection.p3 = ClampToImage(doc.m_ptSel3, image);
    selection.placed1 = doc.m_bSel1Set != 0;
    selection.placed2 = doc.m_bSel2Set != 0;
    selection.cursorA = doc.m_profileCursors.m_dCursorA;
    selection.cursorB = doc.m_profileCursors.m_dCursorB;
    const QSize pixels = Canvas()->PixelSize();
    RenderScene2D({image, shown.Settings(), m_arrays, selection, pixels.width(), pixels.height(), coarse,
                   Canvas()->devicePixelRatioF()});
    return true;
}

std::vector<std::string> CView2D::HeaderTexts() const
{
    const ShownImage shown = FindShownImage(*this);
    if (m_bFirstUpdate || !shown)
        return {};
    return HeaderTexts2D(shown.Image());
}

void CView2D::OnEditCopy()
{
    CopyPicture([this](QSize pixels) {
        const CopyRect rect = CopyRect2D(pixels.width(), pixels.height(), m_arrays.m_nImageCols,
                                         m_arrays.m_nImageRows);
        CGLRenderer::CopyRectToClipboard(rect.left, rect.top, rect.right, rect.bottom);
    });
}

void CView2D::mouseMoveEvent(QMouseEvent* event)
{
    if (GetDocument() == nullptr)
        return;
    CMDIDoc& doc = Doc();
    const bool placing = doc.m_nSelectMode != 0 && doc.m_bSel1Set != 0 && doc.m_bSel2Set == 0;
    if (placing || (event->buttons() == Qt::LeftButton && event->modifiers() == Qt::NoModifier))
        setCursor(SelectionCursor());
    else
        unsetCursor();
    const ShownImage shown = FindShownImage(*this);
    if (!shown)
        return;
    const QPoint at = event->position().toPoint();
    if (doc.m_bSel2Set == 0)
        FollowMouse(doc, MouseToImage(at.x(), at.y(), width(), height(), shown.Image()));
    else
        FollowMouse(doc, doc.m_ptSel2);
    Invalidate(kHintCursorMoved);
    if (doc.m_bSel1Set != 0)
        GetDocument()->UpdateAllViews(this, kHintCursorMoved, nullptr);
}

void CView2D::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || GetDocument() == nullptr)
        return;
    setCursor(SelectionCursor());
    if (!ClickSelection(Doc()))
        return;
    Invalidate(kHintRepaint);
    GetDocument()->UpdateAllViews(this, kHintInitial, nullptr);
}
