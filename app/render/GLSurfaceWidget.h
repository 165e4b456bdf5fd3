// A widget that draws with OpenGL while its window stays a plain raster window: it renders
// into a framebuffer object of a context of its own and paints the picture it reads back
// like any other widget. A QOpenGLWidget instead turns its whole top-level window into an
// OpenGL window, composed and presented by GL buffer swaps, so what the server shows of that
// window, its other controls included, hangs on the GL driver's presentation, and Qt
// crashes at the window's first flush where no context can be made. Here every window
// reaches the screen as X images, as a message box does, and a widget without a context
// shows its background. The interface follows QOpenGLWidget's.
#pragma once

#include <QImage>
#include <QSurfaceFormat>
#include <QWidget>

#include <memory>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;

// Said once by a widget whose context cannot be made current, while OpenGL works elsewhere.
inline constexpr const char* kTextCannotDraw =
    "OpenGL cannot draw in this window: it shows its background instead of its picture";

class CGLSurfaceWidget : public QWidget {
public:
    explicit CGLSurfaceWidget(QWidget* parent);
    ~CGLSurfaceWidget() override;

    // A context of the views' format can be made current and draw into a framebuffer object
    // on this platform; checked once.
    static bool OpenGLAvailable();

    // The format of the context; takes effect when the context is made, at the first paint.
    void setFormat(const QSurfaceFormat& format) { m_format = format; }
    // Null until the context exists and initializeGL has run.
    QOpenGLContext* context() const;
    // The context current with the widget's framebuffer bound, sized to the widget; made
    // and initialised on first use; a new framebuffer holds the widget's background. False
    // when no context can be made current or no framebuffer of the size made (the widget
    // then shows its background and says so once).
    bool makeCurrent();
    void doneCurrent();
    // Renders with paintGL and returns the picture, top row first.
    QImage grabFramebuffer();
    // The widget's size in device pixels: the framebuffer's size.
    QSize PixelSize() const;

protected:
    virtual void initializeGL() {}
    virtual void resizeGL(int /*width*/, int /*height*/) {}
    virtual void paintGL() {}

    void paintEvent(QPaintEvent* event) override;

private:
    bool CreateContext();
    bool BindFramebuffer();
    void ReportFailure();
    QImage Render();

    QSurfaceFormat m_format;
    std::unique_ptr<QOffscreenSurface> m_surface;
    std::unique_ptr<QOpenGLContext> m_context;
    std::unique_ptr<QOpenGLFramebufferObject> m_framebuffer;
    bool m_bInitialised = false;
    bool m_bFailed = false;
    bool m_bReported = false;
};
