// The 2D view: one image of a document as a flat colour map seen from above, lit and
// coloured by height; mouse clicks place the document's selection points.
#pragma once

#include "app/views/GLView.h"

class CView2D : public CGLView {
    Q_OBJECT
public:
    explicit CView2D(QWidget* parent = nullptr);
    ~CView2D() override;

    void OnUpdate(int hint, const CMDIChildFrame* frame) override;

    // Rebuild the surface (and its colours) or the colours of the frame's image.
    void CreatePolygonArray();
    void CreateColorArray();
    // Edit Copy: about the image area of the full picture onto the clipboard.
    void OnEditCopy();

protected:
    void InitGLState() override;
    bool RenderScene(bool coarse) override;
    std::vector<std::string> HeaderTexts() const override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void AddCommands();
    const CommandHandler* DocumentCommand(int id) const;
};
