// The texts an NT-MDT scanned-image frame holds after its samples: the frame's title, the
// name its instrument software shows, and an XML part in UTF-16 whose TextComment element is
// the frame's comment.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct MdtFrameTexts {
    std::string title;    // as its bytes stand
    std::string comment;  // UTF-8
};

// The texts in the bytes from the end of a frame's samples to the end of the frame; a text
// that is missing, or whose length reaches past the frame, is empty.
MdtFrameTexts ReadMdtFrameTexts(std::span<const std::uint8_t> afterSamples);

// The bytes that hold a title and a comment (header text bytes, UTF-8 or Latin-1 alike).
// Characters XML cannot hold (control characters other than tab and line breaks) are left
// out of the comment.
std::vector<std::uint8_t> MdtFrameTextBytes(std::string_view title, std::string_view comment);

// The quantity of a frame: its title without control characters and surrounding blanks, or
// `byUnit`, the quantity its Z unit code names, when nothing of the title is left.
std::string QuantityOfTitle(std::string_view title, std::string_view byUnit);
