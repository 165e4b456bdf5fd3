// The signed 16-bit sample blocks that every binary image file holds, and the scaling of an
// image's heights into such samples when it is saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "formats/ImageFile.h"

class CSpmImage;

// The largest absolute height of a saved image becomes this sample.
inline constexpr double kSavedFullScale = 32760.0;
// Samples beyond plus or minus this are announced once per save and clamped to it.
inline constexpr std::int32_t kSavedSampleLimit = 32765;

// Copies count little-endian int16 samples starting at offset into the image's raw plane
// (sign-extended) and its heights (sample x zScale). The caller has checked the block.
void ReadSampleBlock(std::span<const std::uint8_t> file, std::size_t offset, std::size_t count,
                     double zScale, CSpmImage& image);

// Appends the low 16 bits of every raw sample, little-endian.
void AppendSampleBlock(std::vector<std::uint8_t>& out, std::span<const std::int32_t> raw);

// An image's heights as a file stores them.
struct ScaledSamples {
    float zScale = 0.0f;              // largest absolute height / 32760
    std::vector<std::int32_t> raw;    // each height / zScale, rounded to nearest
    std::size_t below = 0, above = 0; // samples clamped to -32765 and to 32765
};

// Scales the image's heights for saving, leaving the image as it is; kNone, or why its
// heights cannot be stored.
ImageFileError ScaleForSaving(const CSpmImage& image, ScaledSamples& scaled);
// One message for each direction in which samples were clamped.
void AnnounceClampedSamples(const ScaledSamples& scaled);
