// The 3D view: one image of a document as a lit surface that the left mouse button turns and
// tilts and the right one stretches in height.
#pragma once

#include "app/views/GLView.h"
#include "app/views/ViewInput.h"

class CView3D : public CGLView {
    Q_OBJECT
public:
    explicit CView3D(QWidget* parent = nullptr);
    ~CView3D() override;

    void OnUpdate(int hint, const CMDIChildFrame* frame) override;

    // Rebuild the surface with its colours and border, the colours, or grid lines
    // (kBothLines, kXLines, kYLines).
    void CreatePolygonArray();
    void CreateColorArray();
    void CreateXYLineArray(int which);
    // Edit Copy: the full picture of the whole window onto the clipboard.
    void OnEditCopy();

protected:
    void InitGLState() override;
    bool RenderScene(bool coarse) override;
    std::vector<std::string> HeaderTexts() const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Drag3D m_drag;
};
