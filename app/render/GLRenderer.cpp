#include "app/render/GLRenderer.h"

#include <QClipboard>
#include <QGuiApplication>

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glx.h>

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace {

bool g_bitmapFont = false;

void ColorOf(COLORREF colour)
{
    glColor3ub(static_cast<GLubyte>(RedOf(colour)), static_cast<GLubyte>(GreenOf(colour)),
               static_cast<GLubyte>(BlueOf(colour)));
}

std::string WholeNumber(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", static_cast<double>(value));
    return text;
}

// An X display (DISPLAY) can be opened and has GLX: glutInit can succeed. freeglut opens
// the display named by DISPLAY and ends the process when it cannot or when the server has
// no GLX: ask first, as it will.
bool BitmapFontPossible()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    int errorBase = 0;
    int eventBase = 0;
    const bool glx = glXQueryExtension(display, &errorBase, &eventBase) != False;
    XCloseDisplay(display);
    return glx;
}

} // namespace

QSurfaceFormat CGLRenderer::ViewFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setSamples(0);
    return format;
}

void CGLRenderer::InitViewState()
{
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
}

bool CGLRenderer::InitBitmapFont()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (!BitmapFontPossible())
            return;
        int argc = 1;
        char name[] = "spmviewer";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        g_bitmapFont = true;
    });
    return g_bitmapFont;
}

void CGLRenderer::DrawBitmapText(void* font, const std::string& text)
{
    if (!g_bitmapFont)
        return;
    for (const char ch : text)
        glutBitmapCharacter(font, static_cast<unsigned char>(ch));
}

void CGLRenderer::DrawText(const std::string& text)
{
    DrawBitmapText(GLUT_BITMAP_9_BY_15, text);
}

void CGLRenderer::DrawAxes(COLORREF colour, float width, float height, float x, float y,
                           const std::string& title, float top, float bottom,
                           std::span<const COLORREF> table)
{
    constexpr float z = 100.0f;
    ColorOf(~colour & kColorMask);
    glBegin(GL_LINES);
    const float frame[][2] = {{x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}, {x, y}};
    for (int i = 0; i < 4; ++i) {
        glVertex3f(frame[i][0], frame[i][1], z);
        glVertex3f(frame[i + 1][0], frame[i + 1][1], z);
    }
    for (const float at : {y, y + height}) {
        glVertex3f(x + width, at, z);
        glVertex3f(x + width + 4.0f, at, z);
    }
    glEnd();
    glRasterPos3f(x, y + height + 7.0f, z);
    DrawText(title);
    glRasterPos3f(x + width + 6.0f, y + height - 2.0f, z);
    DrawText(WholeNumber(top));
    glRasterPos3f(x + width + 6.0f, y - 1.0f, z);
    DrawText(WholeNumber(bottom));
    if (table.size() < 2)
        return;
    const std::size_t bands = std::min<std::size_t>(table.size(), 300) - 1;
    const float step = height * 0.0033333334f;
    glBegin(GL_QUADS);
    for (std::size_t i = 0; i < bands; ++i) {
        const float low = y + static_cast<float>(i) * step;
        const float high = y + static_cast<float>(i + 1) * step;
        ColorOf(table[i]);
        glVertex3f(x, low, z);
        glVertex3f(x + width, low, z);
        ColorOf(table[i + 1]);
        glVertex3f(x + width, high, z);
        glVertex3f(x, high, z);
    }
    glEnd();
}

QImage CGLRenderer::ReadPixels(int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage picture(width, height, QImage::Format_RGB888);
    // QImage rows are 4-byte aligned, as GL packs them with this alignment.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, picture.bits());
    return picture.mirrored(false, true);
}

QImage CGLRenderer::CopyPicture(int x, int y, int width, int height)
{
    return ReadPixels(x, y, width - width % 4, height);
}

bool CGLRenderer::CopyWindowToClipboard(int width, int height)
{
    return CopyRectToClipboard(0, height, width, 0);
}

bool CGLRenderer::CopyRectToClipboard(int left, int top, int right, int bottom)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    clipboard->setImage(CopyPicture(left, bottom, right - left, top - bottom));
    return true;
}

void CGLRenderer::DrawPicture(const QImage& picture, int width, int height)
{
    if (picture.isNull())
        return;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_PIXEL_MODE_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // The top row goes to the top: start at the bottom left, where the raster position is
    // valid, move up by a bitmap without pixels and draw downward.
    glRasterPos2i(0, 0);
    glBitmap(0, 0, 0.0f, 0.0f, 0.0f, static_cast<float>(height), nullptr);
    glPixelZoom(1.0f, -1.0f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glDrawPixels(rgb.width(), rgb.height(), GL_RGB, GL_UNSIGNED_BYTE, rgb.constBits());
    glPixelZoom(1.0f, 1.0f);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
