// The texts the 2D and 3D views write beside their pictures: image size, current point and
// height, scan lengths and the colour scale's title. GUI-free so tests read them directly.
// They are Latin-1 bytes, as the views' bitmap font draws them; header texts in them read as
// ViewHeaderText gives them.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "image/ImagePoint.h"

class CSpmImage;

// A scan length as the views print it: below 1000 a number (two decimals below 1, one below
// 10, else whole), a blank and the XY unit; from 1000 on in nm as micrometres with one
// decimal and " um", in any other unit as a whole number, a blank and the unit.
std::string ScanLengthText(double length, const std::string& xyUnit);

// The 2D view's line above the image: "Matrix:<cols>x<rows> Xpoint:<x> Ypoint:<y> " then
// "Z:<h>" at point 2, or "dZ:<difference>" from point 1 once it is placed, and the Z unit.
// Points outside the image are clamped into it before any height is read.
// `first` is point 1 when it is placed.
std::string PointLineText(const CSpmImage& image, ImagePoint second, const ImagePoint* first);

// The 2D view's line below the image: "XY: <width> x <height>".
std::string ScanSizeText(const CSpmImage& image);

// The 3D view's size labels: "X:" and "Y:", each with its scan length.
std::array<std::string, 2> SizeLabels(const CSpmImage& image);

// The colour scale's title: the colour source's quantity (cut before its first blank unless
// the blank leads), ", " and its Z unit.
std::string ScaleTitle(const CSpmImage& colourSource);

// What each view writes from the headers of the images it shows, as they read now (the
// note, the version and the Z scale it writes nowhere): a picture that shows other texts
// than these is drawn again. The 2D view writes its image's size and Z unit on the line above
// the image and the scan size below it; the 3D view its size labels and the colour scale's
// title.
std::vector<std::string> HeaderTexts2D(const CSpmImage& image);
std::vector<std::string> HeaderTexts3D(const CSpmImage& image, const CSpmImage& colourSource);

// A point moved into the image's columns and rows (an image of no points gives 0).
ImagePoint ClampToImage(ImagePoint point, const CSpmImage& image);
