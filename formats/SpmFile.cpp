// The program's own *.spm file: the 512-byte header record, then int16 samples row by row.
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "formats/ByteOrder.h"
#include "formats/ImageFile.h"
#include "formats/ReplacingSave.h"
#include "formats/SampleBlock.h"
#include "formats/TextFields.h"
#include "image/SpmImage.h"

namespace {

// Offsets of the header fields (the record's own field names).
constexpr std::size_t kReserved0 = 0;   // m_nReserved0, u16
constexpr std::size_t kColumns = 2;     // m_nColumns, u16
constexpr std::size_t kReserved1 = 4;   // m_nReserved1, u16
constexpr std::size_t kRows = 6;        // m_nRows, u16
constexpr std::size_t kKx = 8;          // m_fKx, f32
constexpr std::size_t kKy = 12;         // m_fKy, f32
constexpr std::size_t kKz = 16;         // m_fKz, f32
constexpr std::size_t kZUnit = 20;      // m_szZUnit, char[4]
constexpr std::size_t kXYUnit = 24;     // m_szXYUnit, char[6]
constexpr std::size_t kNote = 30;       // m_szNote, char[322]
constexpr std::size_t kQuantity = 352;  // m_szQuantity, char[96]
constexpr std::size_t kVersion = 448;   // m_szVersion, char[64]
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kDataOffset = kHeaderSize;  // first sample

// A text field is copied byte for byte; one without a terminator gets one in its last byte.
template <std::size_t N>
void ReadText(const std::vector<std::uint8_t>& file, std::size_t offset, char (&field)[N])
{
    std::memcpy(field, file.data() + offset, N);
    if (std::find(field, field + N, '\0') == field + N)
        field[N - 1] = '\0';
}

template <std::size_t N>
void WriteText(LeWriter& out, std::size_t offset, const char (&field)[N])
{
    out.Bytes(offset, std::span(reinterpret_cast<const std::uint8_t*>(field), N));
}

SpmHeader DecodeHeader(const std::vector<std::uint8_t>& file)
{
    const LeReader in(file);
    SpmHeader header{};
    header.m_nReserved0 = in.U16(kReserved0);
    header.m_nColumns = in.U16(kColumns);
    header.m_nReserved1 = in.U16(kReserved1);
    header.m_nRows = in.U16(kRows);
    header.m_fKx = in.F32(kKx);
    header.m_fKy = in.F32(kKy);
    header.m_fKz = in.F32(kKz);
    ReadText(file, kZUnit, header.m_szZUnit);
    ReadText(file, kXYUnit, header.m_szXYUnit);
    ReadText(file, kNote, header.m_szNote);
    ReadText(file, kQuantity, header.m_szQuantity);
    ReadText(file, kVersion, header.m_szVersion);
    return header;
}

// The header record as stored: the first step of every *.spm save. It keeps every value and
// text as it is.
EncodedHeader WriteSpmHeader(const SpmHeader& header)
{
    std::vector<std::uint8_t> bytes(kHeaderSize, 0);
    LeWriter out(bytes);
    out.U16(kReserved0, header.m_nReserved0);
    out.U16(kColumns, header.m_nColumns);
    out.U16(kReserved1, header.m_nReserved1);
    out.U16(kRows, header.m_nRows);
    out.F32(kKx, header.m_fKx);
    out.F32(kKy, header.m_fKy);
    out.F32(kKz, header.m_fKz);
    WriteText(out, kZUnit, header.m_szZUnit);
    WriteText(out, kXYUnit, header.m_szXYUnit);
    WriteText(out, kNote, header.m_szNote);
    WriteText(out, kQuantity, header.m_szQuantity);
    WriteText(out, kVersion, header.m_szVersion);
    return EncodedHeader::Written(std::move(bytes));
}

}  // namespace

bool CImageFile::ReadSpmHeader(const std::string& path, SpmHeader& header)
{
    if (!BeginRead(path))
        return false;
    if (m_nFileSize < kHeaderSize)
        return Fail(ImageFileError::kTruncated, "The file holds " + std::to_string(m_nFileSize) +
                                                    " bytes, less than the 512-byte header of a *.spm file.");
    const SpmHeader read = DecodeHeader(m_pBuffer);
    if (!IsImageSide(read.m_nColumns) || !IsImageSide(read.m_nRows))
        return Fail(ImageFileError::kBadSize,
                    "The *.spm header gives " + ImageSizeRefusal(read.m_nColumns, read.m_nRows) + ".");
    const std::size_t dataSize = 2u * read.m_nColumns * read.m_nRows;
    if (!FitsIn(m_nFileSize, kDataOffset, dataSize))
        return Fail(ImageFileError::kTruncated, "The *.spm header gives " + std::to_string(read.m_nColumns) + " x " +
                                                    std::to_string(read.m_nRows) +
                                                    " points, but the file ends before their samples.");
    return Accept(read, kDataOffset, header);
}

bool CImageFile::ReadSpmData(const std::string& path, CSpmImage& image)
{
    if (m_nPreparedColumns == 0) {
        SpmHeader unused{};
        if (!ReadSpmHeader(path, unused))
            return false;
    }
    return CopyPreparedSamples(image);
}

bool CImageFile::WriteSpm(const std::string& path, CSpmImage& image)
{
    static constexpr SaveMessages kMessages{kTextSaveNotOk, kTextSaveNotOk, kTextSaveNotOk};
    return Finish(SaveScaledImage(SpmFilePath(path), image, WriteSpmHeader, kMessages));
}

std::string SpmFilePath(std::string_view path)
{
    return EnsureExtension(path, ".spm");
}
