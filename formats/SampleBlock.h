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

// Scales the image's heights for saving: Z scale = largest absolute height / 32760 into the
// header, every sample rounded to nearest into m_pRaw, the header's columns and rows set to
// the image's size. Samples beyond +-32765 are clamped, with one message per direction.
// kNone on success; nothing changes when the image cannot be saved.
ImageFileError ScaleImageForSaving(CSpmImage& image);
