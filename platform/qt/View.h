// The framework side of a view: the document it shows, the frame it sits in, its first
// update and later updates. A view is a widget (a plain one, or an OpenGL one), so this is a
// base beside the widget class: `class CView2D : public QOpenGLWidget, public CView`.
#pragma once

#include "document/DocumentView.h"
#include "platform/qt/CmdTarget.h"

class CDocument;
class CMDIDoc;
class CMDIChildFrame;
class QWidget;

class CView : public CCmdTarget, public IDocumentView {
public:
    CView() = default;
    ~CView() override;
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    // The widget that is this view.
    virtual QWidget* Widget() = 0;
    // Once, after the opener has set the frame's fields and before the frame shows: by
    // default the update with hint 0.
    virtual void OnInitialUpdate() { OnUpdate(kHintInitial, nullptr); }
    // `frame`, when not null, is the one frame whose view the update is for.
    void OnUpdate(int hint, const CMDIChildFrame* frame) override = 0;

    CDocument* GetDocument() const { return m_pDocument; }
    // The GUI-free document (never null while the view lives in a frame).
    CMDIDoc& Doc() const;
    CMDIChildFrame* GetParentFrame() const { return m_pFrame; }

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
    CMDIChildFrame* m_pFrame = nullptr;
};
