// Shared helpers of the image-file tests: loading and saving through CImageFile as the
// document does, expected read results as tables, and little-endian fields for hand-made
// files.
#pragma once

#include <bit>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/ImageFile.h"
#include "formats/ImageFormat.h"
#include "image/ImageStatistics.h"
#include "image/SpmImage.h"
#include "platform/core/DialogModels.h"
#include "support/ScriptedPrompt.h"
#include "support/TestImages.h"
#include "support/TestPaths.h"

using Bytes = std::vector<std::uint8_t>;

// The formats the program writes, with a file name of each.
struct WritableFormat {
    ImageFormat format;
    const char* name;
    const char* fileName;
};
inline constexpr WritableFormat kWritableFormats[] = {
    {ImageFormat::kSpm, "spm", "image.spm"},
    {ImageFormat::kNanoscope, "nanoscope", "image.000"},
    {ImageFormat::kMdt, "mdt", "image.mdt"},
};
inline void PrintTo(const WritableFormat& format, std::ostream* out) { *out << format.name; }
inline std::ostream& operator<<(std::ostream& out, ImageFileError error) { return out << ImageFileErrorText(error); }

struct Loaded {
    bool ok = false;
    ImageFileError error = ImageFileError::kNone;
    std::string detail;  // the reader's sentence for the user
    CSpmImage image;
};

// Header reader, planes sized from the header, data reader and height range: the steps of
// the document's load without its header check and naming.
Loaded LoadImageFile(ImageFormat format, const std::filesystem::path& path, int index = 0);
// The same for a file of these bytes, written into dir.
Loaded LoadBytes(ImageFormat format, const ScratchDir& dir, std::string_view bytes, int index = 0);
inline Loaded LoadBytes(ImageFormat format, const ScratchDir& dir, const Bytes& bytes, int index = 0)
{
    return LoadBytes(format, dir, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, index);
}

// A file of these bytes, read as image `index`, fails with `error` (reads, for kNone) and
// says why in a sentence of its own.
struct ExpectedRead {
    const char* what;
    Bytes bytes;
    ImageFileError error;
    int index = 0;
};
void ExpectReads(ImageFormat format, std::span<const ExpectedRead> cases);
// A copy of the bytes after `change`.
Bytes Changed(Bytes bytes, const std::function<void(Bytes&)>& change);

// A spelling of a length unit as images carry it.
struct Spelling {
    const char* text;
    const char* name;   // the unit as the readers name it
    double nanometres;  // per unit
};
// Every spelling of a length unit that a reader or a view takes for one.
inline constexpr Spelling kSpellings[] = {
    {"pm", "pm", 1e-3},
    {"A", "A", 0.1},          {"\xC5", "A", 0.1},          {"\xC3\x85", "A", 0.1},  {"\xE2\x84\xAB", "A", 0.1},
    {"nm", "nm", 1.0},        {" nm", "nm", 1.0},          {"nm ", "nm", 1.0},
    {"um", "um", 1e3},        {"\xB5m", "um", 1e3},        {"\xC2\xB5m", "um", 1e3}, {"\xCE\xBCm", "um", 1e3},
    {"~m", "um", 1e3},        {"mkm", "um", 1e3},
    {"mm", "mm", 1e6},
};
// The bytes of a text, readable in a failure message: quoted, other than printable ASCII as
// hexadecimal escapes.
std::string Shown(std::string_view text);

// A prompt that gives every question one answer and keeps the questions' texts, with
// whether `target` existed when each was asked.
class AnsweringPrompt : public ScriptedPrompt {
public:
    explicit AnsweringPrompt(CQuestionBox::Answer answer = CQuestionBox::Answer::Yes, std::filesystem::path target = {})
        : m_answer(answer), m_target(std::move(target))
    {
    }
    bool RunDialog(IDialogModel& dialog) override
    {
        auto* question = dynamic_cast<CQuestionBox*>(&dialog);
        if (question == nullptr)
            return ScriptedPrompt::RunDialog(dialog);
        questions.push_back(question->m_strText);
        targetExisted.push_back(!m_target.empty() && std::filesystem::exists(m_target));
        question->m_answer = m_answer;
        return m_answer == CQuestionBox::Answer::Yes;
    }

    std::vector<std::string> questions;
    std::vector<bool> targetExisted;

private:
    CQuestionBox::Answer m_answer;
    std::filesystem::path m_target;
};

// Writes the image in the format; kNone, or why the writer refused.
ImageFileError SaveImageFile(ImageFormat format, const std::filesystem::path& path, CSpmImage& image);

// The low `size` bytes of value at `at`, little-endian; the block grows as needed.
void PutLe(Bytes& bytes, std::size_t at, std::uint32_t value, int size);
inline void PutF32(Bytes& bytes, std::size_t at, float value)
{
    PutLe(bytes, at, std::bit_cast<std::uint32_t>(value), 4);
}
