#include "app/render/GLSurfaceWidget.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPainter>
#include <QTimer>

#include <GL/gl.h>

#include "app/render/GLRenderer.h"
#include "platform/core/Prompt.h"

CGLSurfaceWidget::CGLSurfaceWidget(QWidget* parent) : QWidget(parent), m_format(QSurfaceFormat::defaultFormat())
{
    // The picture covers the widget: nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CGLSurfaceWidget::~CGLSurfaceWidget()
{
    // The framebuffer's objects belong to the context: free them while it is current.
    if (m_context != nullptr && m_context->makeCurrent(m_surface.get())) {
        m_framebuffer.reset();
        m_context->doneCurrent();
    }
}

bool CGLSurfaceWidget::OpenGLAvailable()
{
    static const bool available = [] {
        QOffscreenSurface surface;
        surface.setFormat(CGLRenderer::ViewFormat());
        surface.create();
        QOpenGLContext context;
        context.setFormat(CGLRenderer::ViewFormat());
        if (!surface.isValid() || !context.create() || !context.makeCurrent(&surface))
            return false;
        const bool framebuffers = QOpenGLFramebufferObject::hasOpenGLFramebufferObjects();
        context.doneCurrent();
        return framebuffers;
    }();
    return available;
}

QOpenGLContext* CGLSurfaceWidget::context() const
{
    return m_bInitialised ? m_context.get() : nullptr;
}

QSize CGLSurfaceWidget::PixelSize() const
{
    return size() * devicePixelRatio();
}

bool CGLSurfaceWidget::CreateContext()
{
    if (m_context != nullptr)
        return true;
    // A failure stays a failure: the widget then shows its background.
    if (m_bFailed)
        return false;
    m_surface = std::make_unique<QOffscreenSurface>();
    m_surface->setFormat(m_format);
    m_surface->create();
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(m_format);
    if (!m_surface->isValid() || !context->create()) {
        m_bFailed = true;
        m_surface.reset();
        return false;
    }
    m_context = std::move(context);
    return true;
}

bool CGLSurfaceWidget::makeCurrent()
{
    if (!CreateContext() || !m_context->makeCurrent(m_surface.get()) || !BindFramebuffer()) {
        ReportFailure();
        return false;
    }
    return true;
}

bool CGLSurfaceWidget::BindFramebuffer()
{
    const QSize pixels = PixelSize().expandedTo(QSize(1, 1));
    const bool resized = m_framebuffer == nullptr || m_framebuffer->size() != pixels;
    if (resized)
        m_framebuffer = std::make_unique<QOpenGLFramebufferObject>(pixels, QOpenGLFramebufferObject::Depth);
    if (!m_framebuffer->isValid() || !m_framebuffer->bind()) {
        // A framebuffer that could not be made is made again at the next try.
        m_framebuffer.reset();
        m_context->doneCurrent();
        return false;
    }
    if (resized) {
        // A new framebuffer's contents are undefined: a paint that draws nothing (render mode
        // 2) shows the background, not leftovers.
        const QColor background = palette().window().color();
        glClearColor(background.redF(), background.greenF(), background.blueF(), 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    if (!m_bInitialised) {
        m_bInitialised = true;
        initializeGL();
    }
    if (resized)
        resizeGL(width(), height());
    return true;
}

void CGLSurfaceWidget::ReportFailure()
{
    // Where OpenGL works nowhere the start has said so already.
    if (m_bReported || !OpenGLAvailable())
        return;
    m_bReported = true;
    // Not within the paint that failed: a message box there would paint again behind it.
    QTimer::singleShot(0, this, [] { Prompt().Message(kTextCannotDraw); });
}

void CGLSurfaceWidget::doneCurrent()
{
    if (m_context != nullptr)
        m_context->doneCurrent();
}

QImage CGLSurfaceWidget::Render()
{
    if (!makeCurrent())
        return {};
    const QSize pixels = m_framebuffer->size();
    glViewport(0, 0, pixels.width(), pixels.height());
    paintGL();
    glFinish();
    QImage picture = CGLRenderer::ReadPixels(0, 0, pixels.width(), pixels.height());
    doneCurrent();
    picture.setDevicePixelRatio(devicePixelRatio());
    return picture;
}

QImage CGLSurfaceWidget::grabFramebuffer()
{
    return Render();
}

void CGLSurfaceWidget::paintEvent(QPaintEvent*)
{
    const QImage picture = Render();
    QPainter painter(this);
    if (picture.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawImage(0, 0, picture);
}
