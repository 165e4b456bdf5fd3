// The image file formats as one choice, so that whoever has chosen a format (the document by
// a path's extension, tests by name) reads and writes it through one dispatch.
#pragma once

#include <string>

class CImageFile;
class CSpmImage;

enum class ImageFormat { kNone, kSpm, kOrigin, kMdt, kNanoscope };

// The format's header reader into image.m_header, for image number image.m_nIndexInFile;
// false (with the file's failure reason) when the file is refused or the format is kNone.
bool ReadImageHeader(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image);
// The format's sample reader, after ReadImageHeader with the same file object.
bool ReadImageSamples(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image);
// The format's writer; false for a format that is only read (Origin) or kNone.
bool WriteImage(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image);
