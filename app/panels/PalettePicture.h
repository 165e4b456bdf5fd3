// The palette panel's two pictures: the bar with the colour-source image's colour table,
// histogram and height range, and the strip with one mark per cursor.
#pragma once

#include <QFont>
#include <QImage>

#include <string>

#include "app/draw/GdiPainter.h"

class CSpmImage;

// Fonts of the bar's title and scale texts, made once by the panel.
struct PaletteFonts {
    QFont title = GdiFont(QStringLiteral("Times New Roman"), 24);
    QFont scale = GdiFont(QStringLiteral("Arial"), 16);
};

// The bar area's picture of `size`: white, the table as horizontal bands (entry 0 at the
// bottom) with the histogram over it, the title (`colourName` up to its first blank and
// its first "_") and the height range at the ends of the bar.
QImage DrawPaletteBar(QSize size, const PaletteFonts& fonts, const CSpmImage& colourImage,
                      const CPresentationConfig& colourConfig, const std::string& colourName);

// The cursor strip's picture of `size`: grey with a framed mark in each cursor's colour,
// half a strip width high, centred on its position (1 at the top).
QImage DrawCursorStrip(QSize size, const std::vector<ColorCursor>& cursors);
