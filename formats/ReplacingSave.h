// Saving without risk to the old file: the bytes go to a temporary file beside the target,
// which replaces the target only once everything is written and flushed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/ImageFile.h"

// The message each format shows when a step of its save fails.
struct SaveMessages {
    const char* cannotCreate;  // the temporary file cannot be created
    const char* headerFailed;  // writing the header bytes failed
    const char* dataFailed;    // writing the samples, flushing or replacing the target failed
};

class CSpmImage;

// The save of every writable format: scales the image's heights to samples (the new Z scale
// and samples stay in the image), encodes the header with the format's encoder and writes
// header, then samples, to path. Every failure shows exactly one message: an image that
// cannot be scaled is refused with "Save not Ok" and left unchanged; a failed write removes
// the temporary file and leaves whatever was at path untouched.
using HeaderEncoder = std::vector<std::uint8_t> (*)(const CSpmImage& image);
ImageFileError SaveScaledImage(const std::string& path, CSpmImage& image, HeaderEncoder encodeHeader,
                               const SaveMessages& messages);
