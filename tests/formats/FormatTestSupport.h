// Shared helpers of the image-file tests: loading through CImageFile as the document does,
// synthetic images, and whole files as bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "document/SpmImage.h"
#include "formats/ImageFile.h"

enum class Format { kSpm, kNanoscope, kMdt, kOrigin };

// The formats the program writes, with a file name of each.
struct WritableFormat {
    Format format;
    const char* fileName;
};
inline constexpr WritableFormat kWritableFormats[] = {
    {Format::kSpm, "image.spm"}, {Format::kNanoscope, "image.000"}, {Format::kMdt, "image.mdt"}};

std::string FormatName(Format format);

inline std::ostream& operator<<(std::ostream& out, ImageFileError error)
{
    return out << ImageFileErrorText(error);
}
inline void PrintTo(const WritableFormat& format, std::ostream* out)
{
    *out << format.fileName;
}

struct Loaded {
    bool ok = false;
    ImageFileError error = ImageFileError::kNone;
    CSpmImage image;
};

// Header reader, planes sized from the header, data reader and height range: the steps of
// the document's load without its header check and naming.
Loaded LoadImageFile(Format format, const std::filesystem::path& path, int index = 0);

// Writes the image in the format; false when the writer refused.
bool SaveImageFile(Format format, const std::filesystem::path& path, CSpmImage& image);

// An image whose heights come from height(row, column), with its range computed.
CSpmImage MakeImage(int columns, int rows, const std::function<double(int, int)>& height,
                    float kx = 2.5f, float ky = 3.0f, const char* xyUnit = "nm", const char* zUnit = "nm");

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Runs check(length) for every length of a file from 0 to its size - 1, with the file at
// path cut to that length; the full contents come back afterwards.
void ForEachPrefix(const std::filesystem::path& path, const std::vector<std::size_t>& lengths,
                   const std::function<void(std::size_t)>& check);
// 0, 1, ..., count - 1.
std::vector<std::size_t> AllLengths(std::size_t count);
