#include "app/fourier/FourierPanes.h"

#include <QPainter>

#include <GL/gl.h>
#include <GL/glu.h>

#include "app/render/GLRenderer.h"
#include "image/ImageStatistics.h"
#include "presentation/PresentationConfig.h"

namespace {

void Colour3(COLORREF colour, float rgb[3])
{
    rgb[0] = static_cast<float>(colour & 0xFF) / 255.0f;
    rgb[1] = static_cast<float>((colour >> 8) & 0xFF) / 255.0f;
    rgb[2] = static_cast<float>((colour >> 16) & 0xFF) / 255.0f;
}

} // namespace

CSpectrumPane::CSpectrumPane(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CSpectrumPane::ShowImage(const CSpmImage& image, const FilterOutline& outline)
{
    PixelBuffer buffer(width() + 1, height() + 1);
    const float zoomX = static_cast<float>(width()) / static_cast<float>(std::max(image.m_nWidth, 1));
    const float zoomY = static_cast<float>(height()) / static_cast<float>(std::max(image.m_nHeight, 1));
    DrawGreyImage(buffer, zoomX, zoomY, image);
    m_picture = QImage(reinterpret_cast<const uchar*>(buffer.m_pPixels.data()), buffer.m_nWidth,
                       buffer.m_nHeight, buffer.m_nWidth * 4, QImage::Format_RGB32)
                    .copy();
    ShowOutline(outline);
}

void CSpectrumPane::ShowOutline(const FilterOutline& outline)
{
    m_outline = outline;
    update();
}

void CSpectrumPane::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, m_picture);
    if (m_outline.kind == FilterOutline::kNone)
        return;
    painter.setPen(QPen(m_outline.highPass ? QColor(255, 0, 0) : QColor(0, 0, 255), 2));
    painter.setBrush(Qt::NoBrush);
    const PaneRect& r = m_outline.rect;
    const QRect box(r.left, r.top, r.Width(), r.Height());
    if (m_outline.kind == FilterOutline::kEllipse)
        painter.drawEllipse(box);
    else
        painter.drawRect(box);
}

CSurfacePane::CSurfacePane(const CFourierDialogModel& model, QWidget* parent)
    : CGLSurfaceWidget(parent), m_model(model)
{
    setFormat(CGLRenderer::ViewFormat());
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CSurfacePane::initializeGL()
{
    CGLRenderer::InitViewState();
    glEnable(GL_COLOR_MATERIAL);
}

// The work image from above: an orthographic view down the z axis of the surface arrays,
// lit by the image's settings.
void CSurfacePane::paintGL()
{
    const CPresentationConfig* settings = m_model.Settings();
    const PaneArrays& arrays = m_model.Arrays();
    if (settings == nullptr || arrays.vertices.empty()) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    glLoadIdentity();
    glShadeModel(GL_SMOOTH);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, 0.1, 1000.0);
    glViewport(0, 0, static_cast<GLsizei>(width() * ratio), static_cast<GLsizei>(height() * ratio));
    glMatrixMode(GL_MODELVIEW);
    float background[3];
    Colour3(settings->m_BackgroundColor, background);
    glClearColor(background[0], background[1], background[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gluLookAt(-3.0, 0.0, 0.0, 50.0, 0.0, 0.0, 0.0, 0.0, -1.0);
    glScalef(0.01f, 0.02f, 0.02f);
    glFrontFace(GL_CCW);
    const float reflect = static_cast<float>(settings->m_MatReflect);
    const float emiss = static_cast<float>(settings->m_MatEmiss) * 3.0f;
    const GLfloat specular[] = {reflect, reflect, reflect, 1.0f};
    const GLfloat emission[] = {emiss, emiss, emiss, 1.0f};
    const GLfloat black[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT, GL_EMISSION, emission);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, black);
    glMaterialf(GL_FRONT, GL_SHININESS, 128.0f);
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glEnable(GL_LIGHTING);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 0.0f);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    const GLfloat position[] = {settings->m_LightPosition[0], settings->m_LightPosition[1],
                                settings->m_LightPosition[2], settings->m_LightPosition[3]};
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat diffuse[] = {0.3f, 0.3f, 0.3f, 1.0f};
    glLightfv(GL_LIGHT1, GL_POSITION, position);
    glLightfv(GL_LIGHT1, GL_SPECULAR, white);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightf(GL_LIGHT1, GL_CONSTANT_ATTENUATION, 1.01f - static_cast<float>(settings->m_LightIntensity));
    glEnable(GL_LIGHT1);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(-50.0f, -50.0f, 0.0f);
    glScalef(1.0f, 1.0f, static_cast<float>(settings->m_Z_Scale) * 0.25f);
    if (settings->m_EnablePolygonLight != 1)
        glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_NORMALIZE);
    glVertexPointer(3, GL_FLOAT, 0, arrays.vertices.data());
    glNormalPointer(GL_FLOAT, 0, settings->m_EnadleSmooth == 1 ? arrays.smoothNormals.data() : arrays.normals.data());
    glColorPointer(3, GL_FLOAT, 0, arrays.colours.data());
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    if (settings->m_EnablePolygonColor == 1) {
        glEnableClientState(GL_COLOR_ARRAY);
    } else {
        float polygon[3];
        Colour3(settings->m_PolygonColor, polygon);
        glColor3f(polygon[0], polygon[1], polygon[2]);
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(arrays.indices.size()), GL_UNSIGNED_INT,
                   arrays.indices.data());
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glFlush();
}
