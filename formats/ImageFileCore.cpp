// The reader core: the whole file in one buffer, the line walker and the number parser.
#include "formats/ImageFile.h"

#include "image/SpmImage.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <new>
#include <utility>

#include "formats/SampleBlock.h"
#include "formats/TextFields.h"
#include "platform/core/NumberText.h"

const char* ImageFileErrorText(ImageFileError error)
{
    switch (error) {
    case ImageFileError::kNone: return "no failure";
    case ImageFileError::kCannotOpen: return "the file cannot be opened or read";
    case ImageFileError::kNotThisFormat: return "the file does not begin like a file of its format";
    case ImageFileError::kTruncated: return "a header value, frame or sample block reaches past the end of the file";
    case ImageFileError::kBadSize: return "columns, rows or a block size are 0, above their limit or overflow";
    case ImageFileError::kBadNumber: return "a header number is missing, not finite or out of range";
    case ImageFileError::kMissingKey: return "a header entry the image needs is missing";
    case ImageFileError::kNoSuchImage: return "the file holds no image of that number";
    case ImageFileError::kUnsupportedLayout: return "the samples are stored in a layout this program does not read";
    case ImageFileError::kBadRow: return "a text row does not match the columns of the first line";
    case ImageFileError::kNotPrepared: return "no image header of that size was read before its samples";
    case ImageFileError::kNothingToSave: return "the image has no points or heights that 16-bit samples cannot hold";
    case ImageFileError::kBeyondFormat: return "a step or Z scale lies beyond the numbers the format holds";
    case ImageFileError::kCannotCreate: return "the file cannot be created";
    case ImageFileError::kWriteFailed: return "the file could not be written completely";
    case ImageFileError::kDeclined: return "the file was not written, as it cannot keep all of the image";
    }
    return "unknown failure";
}

CImageFile::CImageFile() = default;
CImageFile::~CImageFile() = default;

bool CImageFile::Fail(ImageFileError error, std::string detail)
{
    m_failure = error;
    m_failureDetail = std::move(detail);
    return false;
}

bool CImageFile::Succeed()
{
    m_failure = ImageFileError::kNone;
    m_failureDetail.clear();
    return true;
}

std::string CImageFile::FailureDetail() const
{
    if (m_failure == ImageFileError::kNone || !m_failureDetail.empty())
        return m_failureDetail;
    return Sentence(ImageFileErrorText(m_failure));
}

bool CImageFile::LoadFile(const std::string& path)
{
    m_pBuffer.clear();
    m_nFileSize = 0;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return Fail(ImageFileError::kCannotOpen);
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return Fail(ImageFileError::kCannotOpen);
    const std::streamoff length = in.tellg();
    if (length < 0)
        return Fail(ImageFileError::kCannotOpen);
    try {
        m_pBuffer.resize(static_cast<std::size_t>(length));
    } catch (const std::bad_alloc&) {
        return Fail(ImageFileError::kCannotOpen);
    }
    in.seekg(0);
    in.read(reinterpret_cast<char*>(m_pBuffer.data()), length);
    if (in.gcount() != length) {
        m_pBuffer.clear();
        return Fail(ImageFileError::kCannotOpen);
    }
    m_nFileSize = m_pBuffer.size();
    return Succeed();
}

bool CImageFile::GetLine()
{
    std::size_t length = 0;
    while (m_nReadPos < m_nFileSize && length < kMaxLineLength) {
        const char c = static_cast<char>(m_pBuffer[m_nReadPos++]);
        if (c == '\n')
            break;
        m_szLine[length++] = c;
    }
    m_szLine[length] = '\0';
    m_nLineLength = length;
    return true;
}

double CImageFile::ParseNumber(std::string_view text)
{
    return ParseDigitsNumber(text);
}

void CImageFile::Prepare(int columns, int rows, std::size_t sampleOffset)
{
    m_nPreparedColumns = columns;
    m_nPreparedRows = rows;
    m_nSampleOffset = sampleOffset;
}

void CImageFile::ReleaseBuffer()
{
    m_pBuffer.clear();
    m_pBuffer.shrink_to_fit();
    m_nFileSize = 0;
    m_nReadPos = 0;
    m_pFrameInfo.reset();
    m_originValues.clear();
    Prepare(0, 0, 0);
}

bool CImageFile::CheckPreparedFor(const CSpmImage& image)
{
    if (m_nPreparedColumns == 0 || image.m_nWidth != m_nPreparedColumns ||
        image.m_nHeight != m_nPreparedRows)
        return Fail(ImageFileError::kNotPrepared);
    return true;
}

bool CImageFile::CopyPreparedSamples(CSpmImage& image)
{
    if (!CheckPreparedFor(image))
        return false;
    const std::size_t count = static_cast<std::size_t>(image.m_nWidth) * image.m_nHeight;
    ReadSampleBlock(m_pBuffer, m_nSampleOffset, count, image.m_header.m_fKz, image);
    ReleaseBuffer();
    return Succeed();
}

bool CImageFile::BeginRead(const std::string& path, int index)
{
    ReleaseBuffer();
    if (index < 0)
        return Fail(ImageFileError::kNoSuchImage, "No image has a negative number.");
    return LoadFile(path);
}

bool CImageFile::Accept(const SpmHeader& read, std::size_t sampleOffset, SpmHeader& header)
{
    // An infinite step or scale would pass the document's header check and poison every
    // height; one that is not a number or not positive is for that check to repair.
    const std::pair<float, const char*> values[] = {
        {read.m_fKx, "X step"}, {read.m_fKy, "Y step"}, {read.m_fKz, "Z scale"}};
    for (const auto& [value, name] : values)
        if (std::isinf(value))
            return Fail(ImageFileError::kBadNumber, std::string("The image's ") + name +
                                                        " lies beyond the range of the numbers this program keeps.");
    header = read;
    Prepare(read.m_nColumns, read.m_nRows, sampleOffset);
    return Succeed();
}
