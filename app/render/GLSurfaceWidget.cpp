#include "app/render/GLSurfaceWidget.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPainter>

#include <GL/gl.h>

#include "app/render/GLRenderer.h"

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
    if (!CreateContext() || !m_context->makeCurrent(m_surface.get()))
        return false;
    const QSize pixels = PixelSize().expandedTo(QSize(1, 1));
    const bool resized = m_framebuffer == nullptr || m_framebuffer->size() != pixels;
    if (resized)
        m_framebuffer = std::make_unique<QOpenGLFramebufferObject>(pixels, QOpenGLFramebufferObject::Depth);
    if (!m_framebuffer->isValid()) {
        m_context->doneCurrent();
        return false;
    }
    m_framebuffer->bind();
    if (!m_bInitialised) {
        m_bInitialised = true;
        initializeGL();
    }
    if (resized)
        resizeGL(width(), height());
    return true;
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
