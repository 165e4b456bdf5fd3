#include "formats/ReplacingSave.h"

#include <span>
#include <utility>

#include "formats/SampleBlock.h"
#include "formats/TextFields.h"
#include "image/HeaderTextCoding.h"
#include "image/SpmImage.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Prompt.h"

namespace {

ImageFileError Refuse(ImageFileError error, const std::string& message)
{
    Prompt().Message(message);
    return error;
}

ImageFileError SaveReplacing(const std::string& path, std::span<const std::uint8_t> header,
                             std::span<const std::uint8_t> data, const SaveMessages& messages)
{
    AtomicFileWriter file(path);
    if (!file.IsOpen())
        return Refuse(ImageFileError::kCannotCreate, messages.cannotCreate);
    if (!file.Write(header))
        return Refuse(ImageFileError::kWriteFailed, messages.headerFailed);
    if (!file.Write(data) || !file.Commit())
        return Refuse(ImageFileError::kWriteFailed, messages.dataFailed);
    return ImageFileError::kNone;
}

}  // namespace

ImageFileError SaveScaledImage(const std::string& path, CSpmImage& image, HeaderEncoder encodeHeader,
                               const SaveMessages& messages)
{
    ScaledSamples scaled;
    if (const ImageFileError error = ScaleForSaving(image, scaled); error != ImageFileError::kNone)
        return Refuse(error, kTextSaveNotOk);
    SpmHeader header = image.m_header;
    header.m_fKz = scaled.zScale;
    header.m_nColumns = static_cast<std::uint16_t>(image.m_nWidth);
    header.m_nRows = static_cast<std::uint16_t>(image.m_nHeight);
    const EncodedHeader encoded = encodeHeader(header);
    if (!encoded.refusal.empty())
        return Refuse(ImageFileError::kBeyondFormat, encoded.refusal);
    AnnounceClampedSamples(scaled);
    for (const std::string& loss : encoded.losses)
        Prompt().Message(loss);
    image.m_header = header;
    image.m_pRaw = std::move(scaled.raw);
    std::vector<std::uint8_t> samples;
    AppendSampleBlock(samples, image.m_pRaw);
    return SaveReplacing(path, encoded.bytes, samples, messages);
}

std::string UnitLossText(std::string_view file, std::string_view axis, std::string_view unit, std::string_view back,
                         std::string_view quantity)
{
    std::string text = std::string(file) + " cannot keep the " + std::string(axis) + " " + QuotedUnit(unit);
    if (!quantity.empty())
        text += " of a " + QuotedUnit(quantity) + " image";
    return Sentence(text + ": it reads back as " + QuotedUnit(back));
}

std::string OutOfRangeText(std::string_view file, std::string_view what, double value, std::string_view unit,
                           bool tooLarge)
{
    return std::string(kTextSaveNotOk) + "\nThe " + std::string(what) + " of " + ShortNumber(value) + " " +
           HeaderBytesAsUtf8(unit) + (tooLarge ? " is too large for " : " is too small for ") + std::string(file) + ".";
}
