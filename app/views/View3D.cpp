#include "app/views/View3D.h"

#include <QMouseEvent>

#include <GL/gl.h>
#include <GL/glu.h>

#include "app/render/GLRenderer.h"
#include "app/render/Scene3D.h"
#include "app/views/ViewLookup.h"
#include "platform/qt/MDIChildFrame.h"
#include "presentation/ViewTexts.h"

namespace {
const char* const kColourMessage = "CView3D Image Name for Color is not Valid:";
}

CView3D::CView3D(QWidget* parent) : CGLView(parent)
{
    OnCommand(cmd::kEditCopy, [this] { OnEditCopy(); });
    OnCommand(cmd::kViewEmpty, [] {});
}

CView3D::~CView3D() = default;

void CView3D::InitGLState()
{
    CGLRenderer::InitViewState();
    glShadeModel(GL_SMOOTH);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 1, 0.1, 1000);
    glMatrixMode(GL_MODELVIEW);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glLoadIdentity();
    glFrontFace(GL_CCW);
}

void CView3D::OnUpdate(int hint, const CMDIChildFrame* frame)
{
    if (frame != nullptr && frame != GetParentFrame())
        return;
    if (hint > kHintRepaint) {
        Invalidate(hint, false);
        return;
    }
    int state = hint;
    if (hint == kHintInitial) {
        state = InitialUpdate([this] {
            AdoptSoleImage();
            CreatePolygonArray();
            CreateXYLineArray(kBothLines);
        });
    } else if (hint >= kHintGridLines && hint <= kHintYLines) {
        CreateXYLineArray(hint);
    } else if (hint == kHintColors) {
        CreateColorArray();
        CreateXYLineArray(kBothLines);
    } else if (hint == kHintSurface) {
        CreatePolygonArray();
        CreateXYLineArray(kBothLines);
    }
    Invalidate(state);
}

void CView3D::CreatePolygonArray()
{
    if (const ShownImage shown = FindShownImageOr("Image Name is not Valid->CView3D::CreatePolygonArray")) {
        BuildSurface(shown);
        CreateColorArray();
        CreateBorderArrays(shown.Image(), m_arrays);
    }
}

void CView3D::CreateColorArray()
{
    if (const ShownImage shown = FindShownImageOr("CView3D Image Name is not Valid->CView3D::CreateColorArray"))
        BuildColours(shown, kColourMessage);
}

void CView3D::CreateXYLineArray(int which)
{
    const ShownImage shown = FindShownImageOr("Image Name is not Valid->CView3D::CreateXYLineArray");
    if (!shown)
        return;
    // The table is the colour source's own, looked up now: a rebuild elsewhere replaces it.
    const ColourSource source = LookUpColour(shown, kColourMessage);
    ::CreateXYLineArray(shown.Image(), shown.Settings(), source.settings->m_pColorTable, which, m_arrays);
}

bool CView3D::RenderScene(bool coarse)
{
    // Qt paints a GL widget as soon as it joins its frame, before the frame names the image.
    if (m_bFirstUpdate)
        return false;
    const ShownImage shown = FindShownImageOr("Image Name is not Valid -> CView3D::OnPaint");
    if (!shown)
        return false;
    const ColourSource source = LookUpColour(shown, kColourMessage, "->CView3D::OnPaint");
    if (coarse)
        EnsureCoarseIndices(shown.Image(), Options().matrixSize, m_arrays);
    const QSize pixels = Canvas()->PixelSize();
    RenderScene3D({shown.Image(), shown.Settings(), m_arrays, *source.image,
                   source.settings->m_pColorTable, pixels.width(), pixels.height(), coarse,
                   Canvas()->devicePixelRatioF()});
    return true;
}

std::vector<std::string> CView3D::HeaderTexts() const
{
    const ShownImage shown = FindShownImage(*this);
    if (m_bFirstUpdate || !shown)
        return {};
    // Looked up without standing in for a colour source that is gone: the next paint says so.
    const ImageEntry* source = Doc().FindImage(shown.Settings().m_NameOfImageForColor);
    return HeaderTexts3D(shown.Image(), source != nullptr ? *source->m_pImage : shown.Image());
}

void CView3D::OnEditCopy()
{
    CopyPicture([](QSize pixels) { CGLRenderer::CopyWindowToClipboard(pixels.width(), pixels.height()); });
}

void CView3D::mousePressEvent(QMouseEvent* event)
{
    const ShownImage shown = FindShownImage(*this);
    if (!shown)
        return;
    const QPoint at = event->position().toPoint();
    const CPresentationConfig& settings = shown.Settings();
    if (event->button() == Qt::LeftButton) {
        m_drag.x = at.x();
        m_drag.y = at.y();
        m_drag.angle = settings.m_Angle;
        m_drag.tilt = settings.m_Tilt;
        Repaint();
    } else if (event->button() == Qt::RightButton) {
        setCursor(ZScaleCursor());
        m_drag.zy = at.y();
        m_drag.zScale = settings.m_Z_Scale;
    }
}

void CView3D::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Repaint();
    if (event->button() == Qt::RightButton)
        unsetCursor();
}

void CView3D::mouseMoveEvent(QMouseEvent* event)
{
    const ShownImage shown = FindShownImage(*this);
    if (!shown || event->modifiers() != Qt::NoModifier)
        return;
    const QPoint at = event->position().toPoint();
    CPresentationConfig& settings = shown.Settings();
    const CPresentationConfig before = settings;
    if (event->buttons() == Qt::RightButton)
        DragZScale(m_drag, at.y(), settings);
    else if (event->buttons() == Qt::LeftButton)
        DragTurn(m_drag, at.x(), at.y(), settings);
    else
        return;
    // The turn and the Z scale live in the image's record: they are the user's view settings.
    Doc().NoteSettingsEdit(before, settings);
    Invalidate(kHintRepaint);
}
