// The texts an NT-MDT scanned-image frame holds after its samples: the frame's title, the
// name its instrument software shows, and an XML part in UTF-16 whose TextComment element is
// the frame's comment. This program writes the image's name into an element of its own in
// that part as well: the title of an instrument's file names something else than our image
// names, which its *.cnf records are filed under, so only our own element is read back.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct MdtFrameTexts {
    std::string quantity;  // UTF-8; empty in a file of an instrument
    std::string comment;   // UTF-8
};

// The texts in the bytes from the end of a frame's samples to the end of the frame; a text
// that is missing, or whose length reaches past the frame, is empty.
MdtFrameTexts ReadMdtFrameTexts(std::span<const std::uint8_t> afterSamples);

// The bytes that hold an image's quantity, as the frame's title and in our own element, and a
// comment (header text bytes, UTF-8 or Latin-1 alike). Characters XML cannot hold (control
// characters other than tab and line breaks) are left out of both elements.
std::vector<std::uint8_t> MdtFrameTextBytes(std::string_view quantity, std::string_view comment);

// The quantity of a frame: the one this program wrote, without control characters and
// surrounding blanks, or `byUnit`, the quantity its Z unit code names, when there is none.
std::string QuantityOfFrame(std::string_view written, std::string_view byUnit);
