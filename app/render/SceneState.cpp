#include "app/render/SceneState.h"

#include <array>

namespace {
constexpr float kChannel = 1.0f / 255.0f;
}

void ColorOf(COLORREF colour)
{
    glColor3f(RedOf(colour) * kChannel, GreenOf(colour) * kChannel, BlueOf(colour) * kChannel);
}

void ClearTo(COLORREF background)
{
    glClearColor(RedOf(background) * kChannel, GreenOf(background) * kChannel,
                 BlueOf(background) * kChannel, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void EnableIf(GLenum capability, bool on)
{
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

void SetMaterial(const CPresentationConfig& settings)
{
    const float reflect = settings.m_MatReflect;
    const float emiss = settings.m_MatEmiss;
    const std::array<float, 4> specular{reflect, reflect, reflect, 1.0f};
    const std::array<float, 4> emission{emiss, emiss, emiss, 1.0f};
    const std::array<float, 4> diffuse{0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular.data());
    glMaterialfv(GL_FRONT, GL_EMISSION, emission.data());
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse.data());
    glMaterialf(GL_FRONT, GL_SHININESS, 128.0f);
}

void SetLight(const CPresentationConfig& settings)
{
    glEnable(GL_LIGHTING);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 0.0f);
    const std::array<float, 4> ambient{0.0f, 0.0f, 0.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient.data());
    const std::array<float, 4> specular{1.0f, 1.0f, 1.0f, 1.0f};
    const std::array<float, 4> diffuse{0.3f, 0.3f, 0.3f, 1.0f};
    glLightfv(GL_LIGHT1, GL_POSITION, settings.m_LightPosition.data());
    glLightfv(GL_LIGHT1, GL_SPECULAR, specular.data());
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse.data());
    glLightf(GL_LIGHT1, GL_CONSTANT_ATTENUATION, 1.01f - settings.m_LightIntensity);
    glEnable(GL_LIGHT1);
}

void DrawSurface(const CPresentationConfig& settings, const SurfaceArrays& arrays, bool coarse)
{
    const std::vector<std::uint32_t>& indices = coarse ? arrays.m_pCoarseIndices : arrays.m_pIndices;
    const std::size_t points = arrays.m_pVertices.size();
    if (indices.empty() || points == 0)
        return;
    glVertexPointer(3, GL_FLOAT, 0, arrays.m_pVertices.data());
    const std::vector<float>& normals =
        settings.m_EnadleSmooth == 1 ? arrays.m_pSmoothNormals : arrays.m_pNormals;
    glNormalPointer(GL_FLOAT, 0, normals.data());
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    // The colours follow the colour source; they are drawn only when they cover the surface.
    const bool heightColours = settings.m_EnablePolygonColor == 1 && arrays.m_pColors.size() == points;
    if (settings.m_EnablePolygon == 1) {
        if (heightColours) {
            glColorPointer(3, GL_FLOAT, 0, arrays.m_pColors.data());
            glEnableClientState(GL_COLOR_ARRAY);
        } else {
            ColorOf(settings.m_PolygonColor);
        }
    } else {
        ColorOf(settings.m_BackgroundColor);
        glDisable(GL_LIGHTING);
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
