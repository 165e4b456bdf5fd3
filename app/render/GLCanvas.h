// The paint road every GL view shares: precise, coarse or no drawing by the main frame's
// rendering mode; in coarse mode a coarse render at once, the full render at the third tick
// of a 100 ms timer, read back into a cached picture that later paints copy.
#pragma once

#include <QOpenGLWidget>
#include <QTimer>

#include <functional>
#include <set>
#include <string>

#include "presentation/ViewArrays.h"

// The main frame's rendering options: FastRenderSceneMode and XYMatrixSize.
struct RenderOptions {
    int mode = kRenderCoarse;
    int matrixSize = 128;
};

// The cache state that means "the cached picture is valid".
inline constexpr int kCacheValid = -1;

class CGLCanvas : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit CGLCanvas(QWidget* parent = nullptr);
    ~CGLCanvas() override;

    // Where the rendering options come from (the main frame); defaults until set.
    void SetRenderOptionsSource(std::function<RenderOptions()> source);
    RenderOptions Options() const;

    // The last update hint taken, or kCacheValid.
    int CacheState() const { return m_nCacheState; }
    void SetCacheState(int state) { m_nCacheState = state; }
    const QImage& CachedPicture() const { return m_cache; }
    bool TimerRunning() const { return m_timer.isActive(); }
    int Tick() const { return m_nTick; }

    // One tick of the finishing timer; at the third the full picture is rendered and cached.
    void OnTimer();
    // Renders the full picture into the widget's framebuffer and reads it back.
    QImage RenderPicture();
    // The widget's size in device pixels.
    QSize PixelSize() const;

    // Shows a message after the current event, once per text for the life of this view: a
    // paint that cannot find its image must neither loop on message boxes nor run a modal
    // loop inside itself.
    void PostMessageOnce(const std::string& text);

protected:
    void initializeGL() override;
    void paintGL() override;
    void resizeGL(int width, int height) override;

    // The fixed state of the view's context, set once when the context exists.
    virtual void InitGLState() = 0;
    // Draws the full or the coarse picture with the context current and its framebuffer
    // bound; false when there was nothing to draw (no image).
    virtual bool RenderScene(bool coarse) = 0;

private:
    std::function<RenderOptions()> m_optionsSource;
    QTimer m_timer;
    int m_nTick = 0;
    int m_nCacheState = 0;
    QImage m_cache;
    std::set<std::string> m_posted;
};
