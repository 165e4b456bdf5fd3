// Which image of which file an image's heights were taken from, kept in the two reserved
// words of its header. A *.spm file written from the image carries them, so a later save in
// place can tell whether that file holds this image or another channel of the same file
// (trace and retrace of one quantity share quantity and origin text).
#pragma once

#include <optional>
#include <string>

#include "image/SpmHeader.h"

// Records image `indexInFile` of `file` (only its file name counts, so a folder moved with
// its files keeps them). An image number the words cannot hold records nothing.
void MarkImageOrigin(SpmHeader& header, const std::string& file, int indexInFile);
// The image number a header records, or none: files written before the words were used
// hold zero there, and other programs may have left anything.
std::optional<int> RecordedImageNumber(const SpmHeader& header);
// Whether two headers record one origin; false when either records none.
bool SameImageOrigin(const SpmHeader& a, const SpmHeader& b);
// Whether `header` records an image of a file named like `file`.
bool RecordsImageOf(const SpmHeader& header, const std::string& file);
