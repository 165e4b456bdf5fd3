#include "formats/ReplacingSave.h"

#include <span>

#include "formats/SampleBlock.h"
#include "image/SpmImage.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Prompt.h"

namespace {

ImageFileError Refuse(ImageFileError error, const char* message)
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
    if (const ImageFileError error = ScaleImageForSaving(image); error != ImageFileError::kNone)
        return Refuse(error, kTextSaveNotOk);
    const std::vector<std::uint8_t> header = encodeHeader(image);
    std::vector<std::uint8_t> samples;
    AppendSampleBlock(samples, image.m_pRaw);
    return SaveReplacing(path, header, samples, messages);
}
