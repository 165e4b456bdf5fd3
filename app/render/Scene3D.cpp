#include "app/render/Scene3D.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "app/render/GLRenderer.h"
#include "app/render/SceneState.h"
#include "image/SpmImage.h"
#include "platform/core/NumberText.h"
#include "presentation/ViewTexts.h"

namespace {

struct Point2 {
    float x = 0.0f;
    float y = 0.0f;
};

struct Model {
    float sx = 0.0f;  // model width and depth; the longer side is 100
    float sy = 0.0f;
};

Model ModelOf(const CSpmImage& image)
{
    const double scale = 100.0 / std::max(std::max(image.m_nWidth, image.m_nHeight) - 1, 1);
    return {static_cast<float>((image.m_nWidth - 1) * scale),
            static_cast<float>((image.m_nHeight - 1) * scale)};
}

COLORREF Inverse(COLORREF colour)
{
    return ~colour & kColorMask;
}

void DrawColourScale(const Scene3D& scene)
{
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1.2, 1.2, -1.2, 1.2, 0.1, 1000.0);
    // The square of the window's height, centred. The scale stands at its left edge, with its
    // frame's left line just outside: in a window narrower than tall the square starts a line
    // width from the window's left edge instead of beyond it.
    const int margin = static_cast<int>(std::ceil(scene.pixelRatio));
    glViewport(std::max((scene.width - scene.height) / 2, margin), 0, scene.height, scene.height);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(-3, 0, 0, 50, 0, 0, 0, 0, -1);
    glScalef(0.01f, 0.01f, 0.01f);
    glRotatef(270, 0, 1, 0);
    glRotatef(90, 0, 0, 1);
    CGLRenderer::LineWidth(1, scene.pixelRatio);
    CGLRenderer::DrawAxes(scene.settings.m_BackgroundColor, 6, 60, -120, 40,
                          ScaleTitle(scene.colourSource),
                          static_cast<float>(scene.colourSource.m_dMax),
                          static_cast<float>(scene.colourSource.m_dMin), scene.colourTable, scene.pixelRatio,
                          scene.width);
}

void SetProjection(const Scene3D& scene)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (scene.settings.m_ViewPersp == 1) {
        gluPerspective(45, static_cast<float>(scene.width) / std::max(scene.height, 1), 0.1, 1000);
        glViewport(0, 0, scene.width, scene.height);
    } else {
        glLoadMatrixf(kOrthoMatrix3D);
        glViewport((scene.width - scene.height) / 2, 0, scene.height, scene.height);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void DrawBorder(const CPresentationConfig& r, const SurfaceArrays& arrays, bool coarse, double ratio)
{
    if (r.m_Border != 1)
        return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnable(GL_POLYGON_OFFSET_FILL);
    ColorOf(r.m_BorderColor);
    glVertexPointer(3, GL_FLOAT, 0, arrays.m_pBorderQuads.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(arrays.m_pBorderQuads.size() / 3));
    glDisable(GL_POLYGON_OFFSET_FILL);
    CGLRenderer::LineWidth(1, ratio);
    glColor3f(0, 0, 0);
    glVertexPointer(3, GL_FLOAT, 0, arrays.m_pBorderLines.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(arrays.m_pBorderLines.size() / 3));
    glDisableClientState(GL_VERTEX_ARRAY);
    if (!coarse)
        glEnable(GL_CULL_FACE);
}

void DrawLines(const std::vector<float>& vertices, const std::vector<float>& colours,
               bool heightColours, COLORREF colour, float width, double ratio)
{
    CGLRenderer::LineWidth(width, ratio);
    if (vertices.empty())
        return;
    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    glEnableClientState(GL_VERTEX_ARRAY);
    if (heightColours && colours.size() == vertices.size()) {
        glColorPointer(3, GL_FLOAT, 0, colours.data());
        glEnableClientState(GL_COLOR_ARRAY);
    } else {
        ColorOf(colour);
    }
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(vertices.size() / 3));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void DrawGridLines(const CPresentationConfig& r, const SurfaceArrays& arrays, double ratio)
{
    const bool heightColours = r.m_HightColorLine == 1;
    if (r.m_DrawXYLine == 0 || r.m_DrawXYLine == 1)
        DrawLines(arrays.m_pXLineVertices, arrays.m_pXLineColors, heightColours, r.m_XLineColor,
                  r.m_XLineWidth, ratio);
    if (r.m_DrawXYLine == 0 || r.m_DrawXYLine == 2)
        DrawLines(arrays.m_pYLineVertices, arrays.m_pYLineColors, heightColours, r.m_YLineColor,
                  r.m_YLineWidth, ratio);
}

// Where the vertical axis stands (Q), its tick end (T) and its labels (L), by the angle.
struct AxisCorner {
    Point2 q, t, l;
};

AxisCorner AxisCornerFor(float angle, const Model& m)
{
    if (angle >= 106 && angle < 196)
        return {{m.sx, 0}, {m.sx + 1, -1}, {m.sx + 2, -2}};
    if (angle >= 196 && angle < 286)
        return {{0, 0}, {-1, -1}, {-2, -2}};
    if (angle >= 286 && angle < 376)
        return {{0, m.sy}, {-1, m.sy + 1}, {-2, m.sy + 2}};
    return {{m.sx, m.sy}, {m.sx + 1, m.sy + 1}, {m.sx + 2, m.sy + 2}};
}

// The points of the "Y:" and "X:" labels, by the angle.
std::pair<Point2, Point2> SizeLabelPoints(float angle, const Model& m)
{
    constexpr double k = 0.017444444444444446;  // degrees to radians with pi as 3.14
    auto swing = [&](float from) { return static_cast<float>(35.0 * std::sin((angle - from) * k)); };
    if (angle >= 0 && angle < 90)
        return {{-5 - swing(0), m.sy / 2}, {m.sx / 2, m.sy + 5}};
    if (angle >= 90 && angle < 180)
        return {{m.sx + 5, m.sy / 2}, {m.sx / 2, m.sy + 5 + swing(90)}};
    if (angle >= 180 && angle < 270)
        return {{m.sx + 5 + swing(180), m.sy / 2}, {m.sx / 2, -5}};
    if (angle >= 270 && angle < 360)
        return {{-5, m.sy / 2}, {m.sx / 2, -5 - swing(270)}};
    return {{-10, 50}, {50, m.sy + 10}};
}

void Vertex(Point2 p, float z)
{
    glVertex3f(p.x, p.y, z);
}

void RasterText(Point2 p, float z, const std::string& text, double ratio)
{
    glRasterPos3i(static_cast<int>(p.x), static_cast<int>(p.y), static_cast<int>(z));
    CGLRenderer::DrawText(text, ratio);
}

// Drawn under the Z-scaled matrix, which it pops before the size labels.
void DrawAxisBox(const Scene3D& scene, const Model& m)
{
    const CPresentationConfig& r = scene.settings;
    const AxisCorner corner = AxisCornerFor(r.m_Angle, m);
    ColorOf(Inverse(r.m_BackgroundColor));
    CGLRenderer::LineWidth(3, scene.pixelRatio);
    glBegin(GL_LINES);
    Vertex(corner.q, 0);
    Vertex(corner.q, -1);
    Vertex(corner.q, 0);
    Vertex(corner.t, 0);
    Vertex(corner.q, -1);
    Vertex(corner.t, -1);
    const Point2 base[] = {{0, 0}, {0, m.sy}, {m.sx, m.sy}, {m.sx, 0}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        Vertex(base[i], 0);
        Vertex(base[i + 1], 0);
    }
    glEnd();
    const double ratio = scene.pixelRatio;
    RasterText(corner.l, 0, FormatFixed(scene.image.m_dMin, 1) + " nm", ratio);
    RasterText(corner.l, -1, FormatFixed(scene.image.m_dMax, 1) + " nm", ratio);
    glPopMatrix();
    const auto [py, px] = SizeLabelPoints(r.m_Angle, m);
    const auto [x, y] = SizeLabels(scene.image);
    RasterText(py, 10, y, ratio);
    RasterText(px, 10, x, ratio);
}

// Tilt and angle; with the Z axis kept vertical the model's z keeps its screen direction.
void TurnModel(const CPresentationConfig& r)
{
    float before[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glTranslatef(0, 0, 10);
    glRotatef(r.m_Tilt, 0, 1, 0);
    SetLight(r);
    glRotatef(r.m_Angle, 0, 0, 1);
    if (r.m_ZaxisVertical == 1) {
        float turned[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, turned);
        std::copy(before + 8, before + 11, turned + 8);
        glLoadMatrixf(turned);
    }
}

} // namespace

void RenderScene3D(const Scene3D& scene)
{
    const CPresentationConfig& r = scene.settings;
    const Model m = ModelOf(scene.image);
    ClearTo(r.m_BackgroundColor);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glShadeModel(GL_SMOOTH);
    if (r.m_EnablePolygonColor == 1)
        DrawColourScale(scene);
    SetProjection(scene);
    gluLookAt(-3, 0, 0, 50, 0, 0, 0, 0, -1);
    glScalef(0.015f, 0.015f, 0.015f);
    SetMaterial(r);
    TurnModel(r);
    glTranslatef(-0.5f * m.sx, -0.5f * m.sy, 0);
    glPushMatrix();
    glScalef(1, 1, 0.5f * r.m_Z_Scale);
    glFrontFace(GL_CCW);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    DrawBorder(r, scene.arrays, scene.coarse, scene.pixelRatio);
    if (!scene.coarse) {
        glFrontFace(GL_CW);
        glCullFace(GL_FRONT);
    }
    EnableIf(GL_LIGHTING, r.m_EnablePolygonLight == 1);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1, 1);
    glColor3f(1, 1, 1);
    glEnable(GL_NORMALIZE);
    DrawSurface(r, scene.arrays, scene.coarse);
    if (scene.coarse)
        glFinish();
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_LIGHTING);
    DrawGridLines(r, scene.arrays, scene.pixelRatio);
    if (r.m_DrawAxiz != 0)
        DrawAxisBox(scene, m);
    else
        glPopMatrix();
}
