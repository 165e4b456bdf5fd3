#include "app/render/GLRenderer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glx.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <vector>

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

// GLUT draws its glyphs at their own size in framebuffer pixels, which on a screen of more
// device pixels than window pixels makes text small. Each glyph is therefore read back once,
// as GLUT draws it into a framebuffer of its own, and enlarged point by point.
constexpr int kGlyphBox = 32;     // the framebuffer a glyph is read from, square
constexpr int kGlyphOrigin = 8;   // the raster position within it, in both directions
constexpr int kGlyphCount = 256;

// The lit pixels of one glyph within its box, bottom row first, and how far it moves the
// raster position.
struct GlyphShape {
    int left = 0;  // the lit pixels' bounding box within the box
    int bottom = 0;
    int width = 0;
    int height = 0;
    std::vector<bool> lit;  // width x height
    float advance = 0.0f;
};

// A glyph as glBitmap takes it: rows bottom first, each row whole bytes, first pixel in the
// high bit.
struct ScaledGlyph {
    int width = 0;
    int height = 0;
    float xOrigin = 0.0f;
    float yOrigin = 0.0f;
    float advance = 0.0f;
    std::vector<GLubyte> bits;
};
using ScaledFont = std::array<ScaledGlyph, kGlyphCount>;

GlyphShape ShapeOf(const std::vector<GLubyte>& rgb, float advance)
{
    GlyphShape shape;
    shape.advance = advance;
    int left = kGlyphBox, right = -1, bottom = kGlyphBox, top = -1;
    const auto on = [&rgb](int x, int y) {
        const std::size_t at = 3 * (static_cast<std::size_t>(y) * kGlyphBox + x);
        return rgb[at] + rgb[at + 1] + rgb[at + 2] > 3 * 127;
    };
    for (int y = 0; y < kGlyphBox; ++y)
        for (int x = 0; x < kGlyphBox; ++x)
            if (on(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::min(bottom, y);
                top = std::max(top, y);
            }
    if (right < 0)
        return shape;
    shape.left = left;
    shape.bottom = bottom;
    shape.width = right - left + 1;
    shape.height = top - bottom + 1;
    for (int y = bottom; y <= top; ++y)
        for (int x = left; x <= right; ++x)
            shape.lit.push_back(on(x, y));
    return shape;
}

// Every glyph of `font` as GLUT draws it, read back with the current context; the caller's
// state, framebuffer and raster position are left as they were.
std::vector<GlyphShape> CaptureGlyphs(void* font)
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (context == nullptr)
        return {};
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, kGlyphBox, 0.0, kGlyphBox, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    std::vector<GlyphShape> shapes;
    {
        QOpenGLFramebufferObject box(kGlyphBox, kGlyphBox);
        if (box.isValid() && box.bind()) {
            glViewport(0, 0, kGlyphBox, kGlyphBox);
            for (const GLenum capability : {GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_2D, GL_BLEND, GL_ALPHA_TEST,
                                            GL_STENCIL_TEST, GL_SCISSOR_TEST, GL_COLOR_LOGIC_OP, GL_FOG})
                glDisable(capability);
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glColor3f(1.0f, 1.0f, 1.0f);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            std::vector<GLubyte> rgb(3 * kGlyphBox * kGlyphBox);
            for (int ch = 0; ch < kGlyphCount; ++ch) {
                glClear(GL_COLOR_BUFFER_BIT);
                glRasterPos2i(kGlyphOrigin, kGlyphOrigin);
                glutBitmapCharacter(font, ch);
                GLfloat position[4] = {};
                glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
                glReadPixels(0, 0, kGlyphBox, kGlyphBox, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
                shapes.push_back(ShapeOf(rgb, position[0] - kGlyphOrigin));
            }
        }
        context->functions()->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    }
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
    return shapes;
}

// The glyph enlarged by `ratio`: each target pixel takes the glyph pixel it lies on.
ScaledGlyph Scaled(const GlyphShape& shape, double ratio)
{
    ScaledGlyph glyph;
    glyph.advance = static_cast<float>(shape.advance * ratio);
    if (shape.width == 0)
        return glyph;
    glyph.width = static_cast<int>(std::ceil(shape.width * ratio));
    glyph.height = static_cast<int>(std::ceil(shape.height * ratio));
    glyph.xOrigin = static_cast<float>((kGlyphOrigin - shape.left) * ratio);
    glyph.yOrigin = static_cast<float>((kGlyphOrigin - shape.bottom) * ratio);
    const int rowBytes = (glyph.width + 7) / 8;
    glyph.bits.assign(static_cast<std::size_t>(rowBytes) * glyph.height, 0);
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x) {
            const int sx = std::min(static_cast<int>(x / ratio), shape.width - 1);
            const int sy = std::min(static_cast<int>(y / ratio), shape.height - 1);
            if (shape.lit[static_cast<std::size_t>(sy) * shape.width + sx])
                glyph.bits[static_cast<std::size_t>(y) * rowBytes + x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
        }
    return glyph;
}

// The glyphs of `font` at `ratio`, made on first use (a context must be current then); null
// when they cannot be read.
const ScaledFont* ScaledFontOf(void* font, double ratio)
{
    static std::map<void*, std::vector<GlyphShape>> shapes;
    static std::map<std::pair<void*, double>, ScaledFont> fonts;
    if (const auto found = fonts.find({font, ratio}); found != fonts.end())
        return &found->second;
    auto known = shapes.find(font);
    if (known == shapes.end()) {
        std::vector<GlyphShape> captured = CaptureGlyphs(font);
        if (captured.size() != kGlyphCount)
            return nullptr;
        known = shapes.emplace(font, std::move(captured)).first;
    }
    ScaledFont& scaled = fonts[{font, ratio}];
    for (int ch = 0; ch < kGlyphCount; ++ch)
        scaled[ch] = Scaled(known->second[ch], ratio);
    return &scaled;
}

bool UnitRatio(double pixelRatio)
{
    return std::abs(pixelRatio - 1.0) < 1e-6;
}

// The font enlarged by `pixelRatio`; null where GLUT's own glyphs serve.
const ScaledFont* FontAt(void* font, double pixelRatio)
{
    return UnitRatio(pixelRatio) || !(pixelRatio > 0.0) ? nullptr : ScaledFontOf(font, pixelRatio);
}

// How far the text moves the raster position, in framebuffer pixels.
float TextAdvance(void* font, const std::string& text, double pixelRatio)
{
    const ScaledFont* scaled = FontAt(font, pixelRatio);
    float advance = 0.0f;
    for (const char ch : text)
        advance += scaled != nullptr ? (*scaled)[static_cast<unsigned char>(ch)].advance
                                     : static_cast<float>(glutBitmapWidth(font, static_cast<unsigned char>(ch)));
    return advance;
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

void CGLRenderer::DrawBitmapText(void* font, const std::string& text, double pixelRatio)
{
    if (!g_bitmapFont)
        return;
    const ScaledFont* scaled = FontAt(font, pixelRatio);
    if (scaled == nullptr) {
        for (const char ch : text)
            glutBitmapCharacter(font, static_cast<unsigned char>(ch));
        return;
    }
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const char ch : text) {
        const ScaledGlyph& glyph = (*scaled)[static_cast<unsigned char>(ch)];
        glBitmap(glyph.width, glyph.height, glyph.xOrigin, glyph.yOrigin, glyph.advance, 0.0f,
                 glyph.bits.empty() ? nullptr : glyph.bits.data());
    }
    glPopClientAttrib();
}

void CGLRenderer::DrawText(const std::string& text, double pixelRatio)
{
    DrawBitmapText(GLUT_BITMAP_9_BY_15, text, pixelRatio);
}

void CGLRenderer::DrawTextWithin(const std::string& text, double pixelRatio, int windowWidth)
{
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (!g_bitmapFont || valid == GL_FALSE)
        return;
    GLfloat at[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, at);
    const float width = TextAdvance(GLUT_BITMAP_9_BY_15, text, pixelRatio);
    // Its end within the right edge, and its start within the left edge where both cannot be.
    const float start = std::max(std::min(at[0], static_cast<float>(windowWidth) - width), 0.0f);
    // glBitmap moves the raster position by whole window pixels, also off the viewport, where
    // glRasterPos would leave it invalid.
    if (start != at[0])
        glBitmap(0, 0, 0.0f, 0.0f, start - at[0], 0.0f, nullptr);
    DrawText(text, pixelRatio);
}

void CGLRenderer::LineWidth(float width, double pixelRatio)
{
    glLineWidth(static_cast<float>(width * pixelRatio));
}

void CGLRenderer::DrawAxes(COLORREF colour, float width, float height, float x, float y,
                           const std::string& title, float top, float bottom,
                           std::span<const COLORREF> table, double pixelRatio, int windowWidth)
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
    DrawTextWithin(title, pixelRatio, windowWidth);
    glRasterPos3f(x + width + 6.0f, y + height - 2.0f, z);
    DrawTextWithin(WholeNumber(top), pixelRatio, windowWidth);
    glRasterPos3f(x + width + 6.0f, y - 1.0f, z);
    DrawTextWithin(WholeNumber(bottom), pixelRatio, windowWidth);
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
