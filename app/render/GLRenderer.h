// The OpenGL toolkit every GL window of the program uses: the surface format of its widget,
// bitmap text, the colour-scale bar, read-backs of the picture and copies to the clipboard.
// The arrays it draws are built GUI-free in presentation/ (SurfaceBuilders, ViewArrays).
// Everything here works on the current context and its bound framebuffer.
#pragma once

#include <QImage>
#include <QSurfaceFormat>

#include <span>
#include <string>

#include "presentation/PresentationConfig.h"

class CGLRenderer {
public:
    // Compatibility profile (the views draw with client-side arrays and fixed-function
    // lighting), 24-bit depth, no multisampling.
    static QSurfaceFormat ViewFormat();

    // The state every GL view sets once on its new context: colour material on front faces,
    // depth test with GL_LESS.
    static void InitViewState();

    // freeglut ends the process on a bitmap character before glutInit, so this runs glutInit
    // once, with a dummy argument list, at start and before the first GL view initialises.
    // The font's characters draw in any GL context, but glutInit needs an X display with GLX
    // (XWayland on a Wayland desktop is one); without it text is left out. True when the font
    // is there.
    static bool InitBitmapFont();

    // The text at the current raster position; `font` is a GLUT bitmap font. Its glyphs are
    // enlarged by `pixelRatio`, the framebuffer's device pixels per window pixel, so that the
    // text keeps its size on the screen.
    static void DrawBitmapText(void* font, const std::string& text, double pixelRatio);
    // The same in the font of every GL view, GLUT_BITMAP_9_BY_15.
    static void DrawText(const std::string& text, double pixelRatio);
    // The same, moved along its line as far as it must to lie within a window `windowWidth`
    // framebuffer pixels wide; a text wider than the window keeps its start in it.
    static void DrawTextWithin(const std::string& text, double pixelRatio, int windowWidth);
    // glLineWidth of a width in window pixels.
    static void LineWidth(float width, double pixelRatio);

    // The colour-scale bar: a frame and two ticks in the inverse of `colour`, the title above,
    // the top and bottom values right of it, and a ramp of the table's first 300 colours from
    // the bottom up, all at z = 100. Its texts stay within a window `windowWidth` framebuffer
    // pixels wide.
    static void DrawAxes(COLORREF colour, float width, float height, float x, float y,
                         const std::string& title, float top, float bottom,
                         std::span<const COLORREF> table, double pixelRatio, int windowWidth);

    // The framebuffer rectangle (origin bottom left) as a 24-bit picture, top row first.
    static QImage ReadPixels(int x, int y, int width, int height);
    // The picture a clipboard copy takes of that rectangle: its width cut to a multiple of 4.
    static QImage CopyPicture(int x, int y, int width, int height);
    // The window (0, 0, width, height) and a rectangle of it (OpenGL window coordinates)
    // onto the clipboard; false when there is no clipboard.
    static bool CopyWindowToClipboard(int width, int height);
    static bool CopyRectToClipboard(int left, int top, int right, int bottom);

    // A picture read back earlier, drawn over a viewport of width x height with its top row
    // at the top; depth, lighting and the matrices are left as they were found.
    static void DrawPicture(const QImage& picture, int width, int height);
};
