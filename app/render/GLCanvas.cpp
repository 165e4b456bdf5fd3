#include "app/render/GLCanvas.h"

#include "app/render/GLRenderer.h"
#include "platform/core/Prompt.h"

#include <GL/gl.h>

namespace {
constexpr int kTimerPeriodMs = 100;
constexpr int kTicksToFullRender = 3;
} // namespace

CGLCanvas::CGLCanvas(QWidget* parent) : QOpenGLWidget(parent)
{
    setFormat(CGLRenderer::ViewFormat());
    m_timer.setInterval(kTimerPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &CGLCanvas::OnTimer);
}

CGLCanvas::~CGLCanvas() = default;

void CGLCanvas::SetRenderOptionsSource(std::function<RenderOptions()> source)
{
    m_optionsSource = std::move(source);
}

RenderOptions CGLCanvas::Options() const
{
    return m_optionsSource ? m_optionsSource() : RenderOptions{};
}

QSize CGLCanvas::PixelSize() const
{
    return size() * devicePixelRatio();
}

void CGLCanvas::initializeGL()
{
    CGLRenderer::InitBitmapFont();
    InitGLState();
}

void CGLCanvas::resizeGL(int, int)
{
    m_nCacheState = 0;
}

void CGLCanvas::paintGL()
{
    const int mode = Options().mode;
    if (mode == kRenderPrecise) {
        RenderScene(false);
    } else if (mode == kRenderCoarse) {
        if (m_nCacheState != kCacheValid) {
            m_nTick = 0;
            m_timer.start();
            RenderScene(true);
        } else {
            const QSize pixels = PixelSize();
            CGLRenderer::DrawPicture(m_cache, pixels.width(), pixels.height());
        }
    }
}

void CGLCanvas::OnTimer()
{
    if (++m_nTick < kTicksToFullRender)
        return;
    m_timer.stop();
    m_cache = RenderPicture();
    m_nCacheState = kCacheValid;
    update();
}

QImage CGLCanvas::RenderPicture()
{
    if (context() == nullptr)
        return {};
    makeCurrent();
    QImage picture;
    if (RenderScene(false)) {
        glFinish();
        const QSize pixels = PixelSize();
        picture = CGLRenderer::ReadPixels(0, 0, pixels.width(), pixels.height());
    }
    doneCurrent();
    return picture;
}

void CGLCanvas::PostMessageOnce(const std::string& text)
{
    if (!m_posted.insert(text).second)
        return;
    QTimer::singleShot(0, this, [text] { Prompt().Message(text); });
}
