#include "app/render/Scene2D.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "app/render/GLRenderer.h"
#include "app/render/SceneState.h"
#include "image/SpmImage.h"

namespace {

void Line(float x0, float y0, float x1, float y1)
{
    constexpr float z = -1.1f;
    glBegin(GL_LINES);
    glVertex3f(x0, y0, z);
    glVertex3f(x1, y1, z);
    glEnd();
}

void Cross(float x, float y, float half)
{
    Line(x - half, y, x + half, y);
    Line(x, y - half, x, y + half);
}

void DrawSelection(const Scene2D& scene)
{
    const Selection2D& sel = scene.selection;
    if (sel.mode < 1 || sel.mode > 3)
        return;
    const float k = 100.0f / static_cast<float>(std::max<int>(
                                 {scene.image.m_header.m_nColumns, scene.image.m_header.m_nRows, 1}));
    auto scaled = [k](ImagePoint p) { return std::array<float, 2>{p.x * k, p.y * k}; };
    const auto p1 = scaled(sel.p1);
    const auto p2 = scaled(sel.p2);
    const auto p3 = scaled(sel.p3);
    auto along = [&](double t) {
        return std::array<float, 2>{static_cast<float>(p1[0] + t * (p2[0] - p1[0])),
                                    static_cast<float>(p1[1] + t * (p2[1] - p1[1]))};
    };
    const auto a = along(sel.cursorA);
    const auto b = along(sel.cursorB);
    const double ratio = scene.pixelRatio;
    CGLRenderer::LineWidth(sel.mode == 1 ? 3.0f : 1.0f, ratio);
    glColor3ub(255, 255, 0);
    Line(a[0], a[1], b[0], b[1]);
    glColor3ub(0, 0, 255);
    Line(p1[0], p1[1], p2[0], p2[1]);
    if (sel.mode == 2) {
        CGLRenderer::LineWidth(sel.placed2 ? 3.0f : 1.0f, ratio);
        Line(p1[0], p1[1], p2[0], p1[1]);
        Line(p2[0], p1[1], p2[0], p2[1]);
        Line(p2[0], p2[1], p1[0], p2[1]);
        Line(p1[0], p2[1], p1[0], p1[1]);
    } else if (sel.mode == 3) {
        CGLRenderer::LineWidth(3.0f, ratio);
        glColor3ub(255, 255, 0);
        Cross(p1[0], p1[1], 1.0f);
        glColor3ub(0, 0, 255);
        for (const auto& p : {p1, p3, p2})
            Cross(p[0], p[1], 3.0f);
    }
}

// The texts start at the image's left edge, which lies left of a view narrower than a wide
// image: move such a start onto the view's edge so that no text begins outside it.
void RasterPosInView(int x, int y)
{
    glRasterPos3i(x, y, 0);
    GLfloat position[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    if (position[0] < 0.0f)
        glBitmap(0, 0, 0.0f, 0.0f, -position[0], 0.0f, nullptr);
}

void DrawTexts(const Scene2D& scene, float sizeY)
{
    const Selection2D& sel = scene.selection;
    glColor3f(0.0f, 0.0f, 0.0f);
    RasterPosInView(0, -1);
    CGLRenderer::DrawText(PointLineText(scene.image, sel.p2, sel.placed1 ? &sel.p1 : nullptr), scene.pixelRatio);
    glColor3f(0.0f, 0.0f, 0.0f);
    RasterPosInView(0, static_cast<int>(sizeY + 4.0f));
    CGLRenderer::DrawText(ScanSizeText(scene.image), scene.pixelRatio);
}

} // namespace

void RenderScene2D(const Scene2D& scene)
{
    const CSpmImage& image = scene.image;
    const CPresentationConfig& r = scene.settings;
    const SurfaceArrays& arrays = scene.arrays;
    glLoadIdentity();
    glShadeModel(GL_SMOOTH);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double s = 100.0 / std::max(std::max(image.m_nWidth, image.m_nHeight) - 1, 1);
    const auto sx = static_cast<float>((image.m_nWidth - 1) * s);
    const auto sy = static_cast<float>(std::max(image.m_nHeight - 1, 1) * s);
    const float m = kMargin2D * 0.01f;
    glOrtho(-sx * m, sx * m, -sy * m, sy * m, 0.1, 1000.0);
    const float aspectWidth = static_cast<float>(scene.height) * sx / sy;
    glViewport(static_cast<int>((static_cast<float>(scene.width) - aspectWidth) * 0.5f), 0,
               static_cast<int>(aspectWidth), scene.height);
    glMatrixMode(GL_MODELVIEW);
    ClearTo(r.m_BackgroundColor);
    gluLookAt(-3, 0, 0, 50, 0, 0, 0, 0, -1);
    glScalef(0.01f, 0.02f, 0.02f);
    glFrontFace(GL_CCW);
    glShadeModel(GL_SMOOTH);
    SetMaterial(r);
    glRotatef(90, 0, 1, 0);
    SetLight(r);
    glRotatef(90, 0, 0, 1);
    glTranslatef(-0.5f * sx, -0.5f * sy, 0);
    glScalef(1, 1, r.m_Z_Scale * 0.25f);
    EnableIf(GL_LIGHTING, r.m_EnablePolygonLight == 1);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1, 1);
    glColor3f(1, 1, 1);
    glEnable(GL_NORMALIZE);
    DrawSurface(r, arrays, scene.coarse);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_LIGHTING);
    DrawTexts(scene, sy);
    DrawSelection(scene);
}

CopyRect CopyRect2D(int width, int height, int columns, int rows)
{
    const double margin = height * 0.075;
    CopyRect rect;
    rect.top = static_cast<int>(height - margin);
    rect.bottom = static_cast<int>(margin);
    const double half = static_cast<double>(columns) / std::max(rows, 1) * (rect.top - rect.bottom) * 0.5;
    const int middle = width / 2;
    rect.left = std::max(static_cast<int>(middle - half), 0);
    rect.right = std::min(static_cast<int>(middle + half), width);
    return rect;
}
