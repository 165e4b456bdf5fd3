#include "formats/ReplacingSave.h"

#include <unistd.h>

#include <optional>
#include <span>
#include <tuple>
#include <utility>

#include "formats/SampleBlock.h"
#include "formats/TextFields.h"
#include "image/HeaderTextCoding.h"
#include "image/SpmImage.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/DialogModels.h"
#include "platform/core/PathText.h"
#include "platform/core/Prompt.h"

namespace {

// Whether a word takes "an": decided on its first letter alone, which is right for the
// quantities instruments name.
bool StartsWithVowel(std::string_view word)
{
    return !word.empty() && std::string_view("AEIOUaeiou").find(word.front()) != std::string_view::npos;
}

ImageFileError Refuse(ImageFileError error, const std::string& message)
{
    Prompt().Message(message);
    return error;
}

// The longest file name the folder of `path` takes, in bytes; 255, the usual limit, when the
// system cannot tell.
std::size_t LongestFileNameIn(const std::string& path)
{
    const std::string folder = FolderOf(path);
    const long longest = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return longest > 0 ? static_cast<std::size_t>(longest) : 255;
}

// A file name as a message shows it: one too long to read at once as its first and last
// bytes, which keep what tells it apart (its start and its extensions).
std::string ShownFileName(std::string_view name)
{
    constexpr std::size_t kShownEnd = 24;
    const std::string utf8 = MixedBytesAsUtf8(name);
    if (utf8.size() <= 2 * kShownEnd + 3)
        return utf8;
    std::size_t tail = utf8.size() - kShownEnd;
    while ((static_cast<unsigned char>(utf8[tail]) & 0xC0) == 0x80)  // not inside a character
        ++tail;
    return std::string(CutUtf8(utf8, kShownEnd)) + "..." + utf8.substr(tail);
}

// Why a file cannot be created at `path` for its name, or nothing. The temporary file has a
// short name of its own, so a name too long would fail only at the rename, after the whole
// file was written, and the user would not learn why.
std::optional<std::string> FileNameRefusal(const std::string& path, const SaveMessages& messages)
{
    const std::string name = FileNameOf(path);
    const std::size_t longest = LongestFileNameIn(path);
    if (name.size() <= longest)
        return std::nullopt;
    return std::string(messages.cannotCreate) + "\nThe file name " + ShownFileName(name) + " is " +
           std::to_string(name.size()) + " bytes long; a file name may have at most " + std::to_string(longest) +
           " bytes.";
}

ImageFileError SaveReplacing(const std::string& path, const EncodedHeader& encoded, std::span<const std::uint8_t> data,
                             const SaveMessages& messages)
{
    AtomicFileWriter file(path);
    if (!file.IsOpen())
        return Refuse(ImageFileError::kCannotCreate, messages.cannotCreate);
    if (!file.Write(encoded.bytes))
        return Refuse(ImageFileError::kWriteFailed, messages.headerFailed);
    if (!file.Write(data) || !file.Write(encoded.trailer) || !file.Commit())
        return Refuse(ImageFileError::kWriteFailed, messages.dataFailed);
    return ImageFileError::kNone;
}

// One question for everything the file cannot keep: each loss on a line of its own.
bool AgreedToLosses(const std::vector<std::string>& losses)
{
    if (losses.empty())
        return true;
    std::string question;
    for (const std::string& loss : losses)
        question += loss + "\n";
    return AskYesNoCancel(question + "Save it all the same?") == CQuestionBox::Answer::Yes;
}

// Whether both texts name lengths, and different ones: the values then read back converted.
bool ConvertedLength(std::string_view text, std::string_view back)
{
    const std::optional<double> from = NanometresPerLengthUnit(UnitAsWritten(text));
    const std::optional<double> to = NanometresPerLengthUnit(back);
    return from && to && *from != *to;
}

// One text the file does not keep, as TextLosses says it.
std::string TextLossText(std::string_view file, std::string_view what, std::string_view text, std::string_view back,
                         std::string_view quantity)
{
    std::string loss = std::string(file) + " cannot keep the " + std::string(what) + " " + QuotedUnit(text);
    if (!quantity.empty())
        loss += (StartsWithVowel(quantity) ? " of an " : " of a ") + QuotedUnit(quantity) + " image";
    loss += ": it reads back as " + QuotedUnit(back);
    if (what == "XY unit" && ConvertedLength(text, back))
        loss += ", with the steps converted";
    if (what == "Z unit" && ConvertedLength(text, back))
        loss += ", with the heights converted";
    return Sentence(loss);
}

}  // namespace

ImageFileError SaveScaledImage(const std::string& path, CSpmImage& image, HeaderEncoder encodeHeader,
                               const SaveMessages& messages)
{
    // Before the image changes or the user is asked about a file never written.
    if (const std::optional<std::string> refusal = FileNameRefusal(path, messages))
        return Refuse(ImageFileError::kCannotCreate, *refusal);
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
    if (!AgreedToLosses(encoded.losses))
        return ImageFileError::kDeclined;
    AnnounceClampedSamples(scaled);
    image.m_header = header;
    image.m_pRaw = std::move(scaled.raw);
    std::vector<std::uint8_t> samples;
    AppendSampleBlock(samples, image.m_pRaw);
    return SaveReplacing(path, encoded, samples, messages);
}

std::vector<std::string> TextLosses(std::string_view file, const SpmHeader& header, const SpmHeader& back,
                                    std::string_view zQuantity)
{
    const std::tuple<std::string_view, std::string, std::string, std::string_view> texts[] = {
        {"image name", HeaderText(header.m_szQuantity), HeaderText(back.m_szQuantity), {}},
        {"XY unit", HeaderText(header.m_szXYUnit), HeaderText(back.m_szXYUnit), {}},
        {"Z unit", HeaderText(header.m_szZUnit), HeaderText(back.m_szZUnit), zQuantity},
        {"note", HeaderText(header.m_szNote), HeaderText(back.m_szNote), {}},
    };
    std::vector<std::string> losses;
    for (const auto& [what, text, readBack, quantity] : texts)
        if (HeaderBytesAsUtf8(text) != HeaderBytesAsUtf8(readBack))
            losses.push_back(TextLossText(file, what, text, readBack, quantity));
    return losses;
}

std::string OutOfRangeText(std::string_view file, std::string_view what, double value, std::string_view unit,
                           bool tooLarge)
{
    return std::string(kTextSaveNotOk) + "\nThe " + std::string(what) + " of " + ShortNumber(value) + " " +
           OneLineText(HeaderBytesAsUtf8(unit)) + (tooLarge ? " is too large for " : " is too small for ") +
           std::string(file) + ".";
}
