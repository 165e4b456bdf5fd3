// The paint road every GL view shares: precise, coarse or no drawing by the main frame's
// rendering mode; in coarse mode a coarse render at once, the full render at the third tick
// of a 100 ms timer, read back into a cached picture that later paints copy.
#pragma once

#include <QTimer>

#include <functional>

#include "app/render/GLSurfaceWidget.h"
#include "presentation/ViewArrays.h"

// The main frame's rendering options: FastRenderSceneMode and XYMatrixSize.
struct RenderOptions {
    int mode = kRenderCoarse;
    int matrixSize = 128;
};

// The cache state that means "the cached picture is valid".
inline constexpr int kCacheValid = -1;

// What a canvas draws: the view behind it.
class IGLScene {
public:
    virtual ~IGLScene() = default;
    // The fixed state of the view's context, set once when the context exists.
    virtual void InitGLState() = 0;
    // Draws the full or the coarse picture with the context current and its framebuffer
    // bound; false when there was nothing to draw (no image).
    virtual bool RenderScene(bool coarse) = 0;
};

// The GL surface of a view, a child that fills it and lets the mouse through to the view.
class CGLCanvas : public CGLSurfaceWidget {
    Q_OBJECT
public:
    CGLCanvas(IGLScene& scene, std::function<RenderOptions()> options, QWidget* parent);
    ~CGLCanvas() override;

    // False on platforms that show no windows (offscreen, minimal): views there go without
    // a canvas and draw nothing.
    static bool PlatformDraws();

    RenderOptions Options() const { return m_options(); }
    // The last update hint taken, or kCacheValid.
    int CacheState() const { return m_nCacheState; }
    void SetCacheState(int state) { m_nCacheState = state; }
    bool TimerRunning() const { return m_timer.isActive(); }

    // One tick of the finishing timer; at the third the full picture is rendered and cached.
    void OnTimer();
    // Renders the full picture into the widget's framebuffer and reads it back.
    QImage RenderPicture();

protected:
    void initializeGL() override;
    void paintGL() override;
    void resizeGL(int width, int height) override;

private:
    IGLScene& m_scene;
    std::function<RenderOptions()> m_options;
    QTimer m_timer;
    int m_nTick = 0;
    int m_nCacheState = 0;
    QImage m_cache;
};
