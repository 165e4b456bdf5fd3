// Sizes of an image's height plane as the processing routines see them.
#pragma once

#include <cstddef>
#include <optional>

class CSpmImage;

struct PlaneShape {
    std::size_t width = 0;
    std::size_t height = 0;

    std::size_t Points() const { return width * height; }
};

// The image's columns and rows, or nothing when it has no points or its plane holds fewer
// heights than its size says: the routines then leave it alone.
std::optional<PlaneShape> ShapeOf(const CSpmImage& image);
// Sets the column and row counts of the image and of its header together.
void SetImageSize(CSpmImage& image, std::size_t width, std::size_t height);
