// Saving without risk to the old file: the bytes go to a temporary file beside the target,
// which replaces the target only once everything is written and flushed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/ImageFile.h"

// The message each format shows when a step of its save fails.
struct SaveMessages {
    const char* cannotCreate;  // the temporary file cannot be created
    const char* headerFailed;  // writing the header bytes failed
    const char* dataFailed;    // writing the samples, flushing or replacing the target failed
};

class CSpmImage;

// What a format's encoder makes of the header of an image about to be saved (its Z scale
// that of the scaled samples): the header bytes and what follows the samples, or why the
// format cannot store the image, and what a file that is written will not keep of it.
struct EncodedHeader {
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> trailer; // after the samples
    std::string refusal;             // not empty: shown, and nothing is written
    std::vector<std::string> losses; // asked about before the file is written

    static EncodedHeader Refused(std::string why)
    {
        EncodedHeader refused;
        refused.refusal = std::move(why);
        return refused;
    }
    static EncodedHeader Written(std::vector<std::uint8_t> bytes, std::vector<std::string> losses = {},
                                 std::vector<std::uint8_t> trailer = {})
    {
        EncodedHeader written;
        written.bytes = std::move(bytes);
        written.trailer = std::move(trailer);
        written.losses = std::move(losses);
        return written;
    }
};
using HeaderEncoder = EncodedHeader (*)(const SpmHeader& header);

// The save of every writable format: scales the image's heights to samples, encodes the
// header with the format's encoder and writes header, samples and trailer to path; the new Z
// scale, size and samples go into the image once the encoder accepts it and the user agrees.
// Every refusal shows exactly one message and writes nothing: a path whose file name is
// longer than its folder takes is refused with the format's cannotCreate message and why, an
// image that cannot be scaled with "Save not Ok", one the format cannot store with the
// encoder's refusal, and the image is left unchanged. What the file cannot keep is asked
// about in one question before anything is written; No or Cancel writes nothing, says
// nothing more and leaves the image unchanged (kDeclined). A failed write removes the
// temporary file and leaves whatever was at path untouched.
ImageFileError SaveScaledImage(const std::string& path, CSpmImage& image, HeaderEncoder encodeHeader,
                               const SaveMessages& messages);

// What the writers tell the user.
// What a file read back as `back` does not keep of `header`'s texts, one sentence for each
// in the order image name, XY unit, Z unit, note: "A NanoScope file cannot keep the Z unit
// "deg" of a "Height" image: it reads back as "nm"." for the file "a NanoScope file", with
// the quantity `zQuantity` only where the format's Z unit depends on it (after "an" when it
// begins with a vowel). A length that reads back as another length adds that its values are
// converted: ", with the steps converted." for the XY unit, ", with the heights converted."
// for the Z unit. Texts compare as the user sees them (see HeaderTextCoding.h).
std::vector<std::string> TextLosses(std::string_view file, const SpmHeader& header, const SpmHeader& back,
                                    std::string_view zQuantity = {});
// "Save not Ok", then "The X step of 1e-44 pm is too small for a NanoScope file.".
std::string OutOfRangeText(std::string_view file, std::string_view what, double value, std::string_view unit,
                           bool tooLarge);
