#include "app/render/GLCanvas.h"

#include "app/render/GLRenderer.h"

#include <QGuiApplication>

#include <GL/gl.h>

namespace {
constexpr int kTimerPeriodMs = 100;
constexpr int kTicksToFullRender = 3;
} // namespace

CGLCanvas::CGLCanvas(IGLScene& scene, std::function<RenderOptions()> options, QWidget* parent)
    : CGLSurfaceWidget(parent), m_scene(scene), m_options(std::move(options))
{
    setFormat(CGLRenderer::ViewFormat());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(kTimerPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &CGLCanvas::OnTimer);
}

CGLCanvas::~CGLCanvas() = default;

bool CGLCanvas::PlatformDraws()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void CGLCanvas::initializeGL()
{
    CGLRenderer::InitBitmapFont();
    m_scene.InitGLState();
}

void CGLCanvas::resizeGL(int, int)
{
    m_nCacheState = 0;
}

void CGLCanvas::paintGL()
{
    const int mode = Options().mode;
    if (mode == kRenderPrecise) {
        m_scene.RenderScene(false);
    } else if (mode == kRenderCoarse) {
        if (m_nCacheState != kCacheValid) {
            m_nTick = 0;
            m_timer.start();
            m_scene.RenderScene(true);
        } else if (m_cache.isNull()) {
            // The full render at the tick could not be read: render it now rather than show
            // what the framebuffer held.
            m_scene.RenderScene(false);
        } else {
            const QSize pixels = PixelSize();
            CGLRenderer::DrawPicture(m_cache, pixels.width(), pixels.height());
        }
    }
}

void CGLCanvas::OnTimer()
{
    // The full picture is coarse mode's: after a change to another mode (precise renders at
    // every paint, no drawing draws nothing) the tick neither renders nor caches.
    if (Options().mode != kRenderCoarse) {
        m_timer.stop();
        return;
    }
    if (++m_nTick < kTicksToFullRender)
        return;
    m_timer.stop();
    m_cache = RenderPicture();
    m_nCacheState = kCacheValid;
    update();
}

QImage CGLCanvas::RenderPicture()
{
    if (context() == nullptr || !makeCurrent())
        return {};
    QImage picture;
    if (m_scene.RenderScene(false)) {
        glFinish();
        const QSize pixels = PixelSize();
        picture = CGLRenderer::ReadPixels(0, 0, pixels.width(), pixels.height());
    }
    doneCurrent();
    return picture;
}
