// Shared helpers of the image-file tests: loading and saving through CImageFile as the
// document does, expected read results as tables, and little-endian fields for hand-made
// files.
#pragma once

#include <bit>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <span>
#include <string_view>
#include <vector>

#include "formats/ImageFile.h"
#include "formats/ImageFormat.h"
#include "image/ImageStatistics.h"
#include "image/SpmImage.h"
#include "support/TestImages.h"
#include "support/TestPaths.h"

using Bytes = std::vector<std::uint8_t>;

// The formats the program writes, with a file name of each.
struct WritableFormat {
    ImageFormat format;
    const char* name;
    const char* fileName;
};
inline constexpr WritableFormat kWritableFormats[] = {
    {ImageFormat::kSpm, "spm", "image.spm"},
    {ImageFormat::kNanoscope, "nanoscope", "image.000"},
    {ImageFormat::kMdt, "mdt", "image.mdt"},
};
inline void PrintTo(const WritableFormat& format, std::ostream* out) { *out << format.name; }
inline std::ostream& operator<<(std::ostream& out, ImageFileError error) { return out << ImageFileErrorText(error); }

struct Loaded {
    bool ok = false;
    ImageFileError error = ImageFileError::kNone;
    CSpmImage image;
};

// Header reader, planes sized from the header, data reader and height range: the steps of
// the document's load without its header check and naming.
Loaded LoadImageFile(ImageFormat format, const std::filesystem::path& path, int index = 0);
// The same for a file of these bytes, written into dir.
Loaded LoadBytes(ImageFormat format, const ScratchDir& dir, std::string_view bytes, int index = 0);
inline Loaded LoadBytes(ImageFormat format, const ScratchDir& dir, const Bytes& bytes, int index = 0)
{
    return LoadBytes(format, dir, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, index);
}

// A file of these bytes, read as image `index`, fails with `error` (reads, for kNone).
struct ExpectedRead {
    const char* what;
    Bytes bytes;
    ImageFileError error;
    int index = 0;
};
void ExpectReads(ImageFormat format, std::span<const ExpectedRead> cases);
// A copy of the bytes after `change`.
Bytes Changed(Bytes bytes, const std::function<void(Bytes&)>& change);

// Writes the image in the format; kNone, or why the writer refused.
ImageFileError SaveImageFile(ImageFormat format, const std::filesystem::path& path, CSpmImage& image);

// The low `size` bytes of value at `at`, little-endian; the block grows as needed.
void PutLe(Bytes& bytes, std::size_t at, std::uint32_t value, int size);
inline void PutF32(Bytes& bytes, std::size_t at, float value)
{
    PutLe(bytes, at, std::bit_cast<std::uint32_t>(value), 4);
}
