// The one class through which images are read from and written to files. A CImageFile is a
// short-lived local object: one load or one save, then gone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/FileExtension.h"
#include "image/SpmHeader.h"

class CSpmImage;

// Why a read or a write failed. Every reader and writer that returns false records exactly
// one of these; ImageFileErrorText gives a sentence for logs and tests. The user sees the
// program's own message texts below, chosen by the caller, and beside a reader's refusal the
// reader's own sentence of what it found (CImageFile::FailureDetail).
enum class ImageFileError {
    kNone = 0,
    kCannotOpen,          // the file cannot be opened or read
    kNotThisFormat,       // the file does not begin like a file of its format
    kTruncated,           // a header value, frame or sample block reaches past the end
    kBadSize,             // columns, rows or a block size of 0, above the limit, or overflowing
    kBadNumber,           // a number that is missing, not finite or out of range
    kMissingKey,          // a header entry the image needs is absent
    kNoSuchImage,         // the file holds no image of the wanted number
    kUnsupportedLayout,   // samples stored in a way this program does not read
    kBadRow,              // a text row that does not match the first line's columns
    kNotPrepared,         // samples asked for without a header read, or for another size
    kNothingToSave,       // the image has no points, or heights 16-bit samples cannot hold
    kBeyondFormat,        // a step or Z scale that the format's numbers cannot hold
    kCannotCreate,        // the target file cannot be created
    kWriteFailed,         // the target file could not be written completely
    kDeclined,            // the user chose not to write a file that cannot keep all of the image
};

const char* ImageFileErrorText(ImageFileError error);

// A refusal on its way out of a reader: why, and the sentence that says what was found.
struct ImageFileRefusal {
    ImageFileError error = ImageFileError::kNone;
    std::string detail;

    explicit operator bool() const { return error != ImageFileError::kNone; }
};

// The file the *.spm writer writes for `path`: the path itself when it ends in exactly
// ".spm", else the path with ".spm" behind it ("a.SPM" is written as "a.SPM.spm").
std::string SpmFilePath(std::string_view path);

// Message texts of the file operations, exactly as the user sees them.
inline constexpr const char* kTextImageHeaderBroken = "Image Header is broken";
inline constexpr const char* kTextSaveNotOk = "Save not Ok";
inline constexpr const char* kTextUnableToOpenForWriting = "Unable to open file for writing";
inline constexpr const char* kTextErrorWritingHeader = "Error during writing file header";
inline constexpr const char* kTextDataBelowRange = "Image Save: Data < -32765";
inline constexpr const char* kTextDataAboveRange = "Image Save: Data > 32765";

// The longest line the line reader copies at once; longer lines come back in pieces.
inline constexpr std::size_t kMaxLineLength = 9215;

// The scanned-image frame of an NT-MDT file that the header reader chose.
struct MdtFrameInfo {
    double m_dXOffset = 0.0, m_dXStep = 0.0;
    double m_dYOffset = 0.0, m_dYStep = 0.0;
    double m_dZOffset = 0.0, m_dZStep = 0.0;
    int m_nXUnit = 0, m_nYUnit = 0, m_nZUnit = 0;
    int m_nColumns = 0;
    int m_nRows = 0;
    int m_nDots = 0;
    std::size_t m_nSampleOffset = 0;  // first sample, from the start of the file
    std::string m_strQuantity;        // the image's quantity this program wrote, in UTF-8
    std::string m_strComment;         // the frame's text comment, in UTF-8
};

class CImageFile {
public:
    CImageFile();
    virtual ~CImageFile();
    CImageFile(const CImageFile&) = delete;
    CImageFile& operator=(const CImageFile&) = delete;

    // Why the last operation that returned false failed; kNone after a success.
    ImageFileError Failure() const { return m_failure; }
    // The same as a sentence for the user, with what the reader found (a NanoScope file's
    // version and sample size, the key it lacks, the frame that is cut short, ...); empty
    // after a success.
    std::string FailureDetail() const;

    // ---- Reader core: the whole file in one buffer, walked line by line.
    // Reads the whole file; false (kCannotOpen) when it cannot be opened or read.
    bool LoadFile(const std::string& path);
    // Copies the next line (at most kMaxLineLength characters, without its line feed, a
    // carriage return kept) into the line field; at the end of the buffer the line is empty.
    bool GetLine();
    std::string_view Line() const { return {m_szLine.data(), m_nLineLength}; }
    std::size_t ReadPos() const { return m_nReadPos; }
    std::size_t FileSize() const { return m_nFileSize; }
    // Digits and a leading minus sign; the last point is the decimal point, every character
    // after it counts as a decimal place, anything else is skipped. No digit gives 0.
    static double ParseNumber(std::string_view text);

    // Header readers check every size, offset and frame against the file before they
    // succeed, and fill the header only then. Data readers copy the samples of the image the
    // header reader chose into m_pRaw and m_pData (heights = sample x the image's m_fKz, after
    // any repair of the header); the image's m_nWidth and m_nHeight must be the header's.
    // Writers scale the heights to samples (largest absolute height 32760, rounded to
    // nearest), leave the new Z scale and samples in the image, write through a temporary
    // file that replaces the target only when complete, and show the format's message when
    // they fail. A written file reads back as the same image (texts, units, steps, heights
    // within rounding), or the writer asks before writing, naming every text the file cannot
    // keep, and writes nothing unless the user says Yes; it refuses, writing nothing, a step
    // or Z scale that the file's numbers cannot hold.

    // ---- *.spm: the 512-byte header record, then 16-bit samples.
    bool ReadSpmHeader(const std::string& path, SpmHeader& header);
    bool ReadSpmData(const std::string& path, CSpmImage& image);
    // Writes to SpmFilePath(path). Leaves the new Z scale and samples in the image.
    bool WriteSpm(const std::string& path, CSpmImage& image);

    // ---- NanoScope v4.3x: text header, several images per file. index counts from 0.
    bool ReadNanoscopeHeader(const std::string& path, SpmHeader& header, int index);
    bool ReadNanoscopeData(CSpmImage& image);
    bool WriteNanoscope(const std::string& path, CSpmImage& image);

    // ---- NT-MDT: frames; index counts the scanned-image frames from 0.
    bool ReadMdtHeader(const std::string& path, SpmHeader& header, int index);
    bool ReadMdtData(CSpmImage& image);
    bool WriteMdt(const std::string& path, CSpmImage& image);

    // ---- Origin text export: read only.
    bool ReadOriginHeader(const std::string& path, SpmHeader& header);
    bool ReadOriginData(CSpmImage& image);

private:
    bool Fail(ImageFileError error, std::string detail = {});
    bool Fail(ImageFileRefusal refusal) { return Fail(refusal.error, std::move(refusal.detail)); }
    bool Succeed();
    bool Finish(ImageFileError error) { return error == ImageFileError::kNone ? Succeed() : Fail(error); }
    // Marks the image the header reader chose; the data reader then copies its samples.
    void Prepare(int columns, int rows, std::size_t sampleOffset);
    void ReleaseBuffer();
    // Every header reader starts here: nothing of an earlier read kept, the file loaded.
    bool BeginRead(const std::string& path, int index = 0);
    // Every header reader that found its image ends here: an infinite step or Z scale is
    // refused (kBadNumber); otherwise the header is filled and the image prepared.
    bool Accept(const SpmHeader& read, std::size_t sampleOffset, SpmHeader& header);
    // The data readers of the binary formats: the prepared sample block into the image.
    bool CopyPreparedSamples(CSpmImage& image);
    // The sample block the header reader chose, checked against the image's size.
    bool CheckPreparedFor(const CSpmImage& image);

    std::unique_ptr<MdtFrameInfo> m_pFrameInfo;  // chosen NT-MDT frame
    std::size_t m_nFileSize = 0;
    std::size_t m_nReadPos = 0;
    std::vector<std::uint8_t> m_pBuffer;         // the whole file
    std::size_t m_nSampleOffset = 0;             // first 16-bit sample of the chosen image
    int m_nPreparedColumns = 0;                  // size of the image the header reader chose;
    int m_nPreparedRows = 0;                     // 0 until a header reader succeeds
    std::vector<double> m_originValues;          // Origin values x 1000, row by row
    std::array<char, kMaxLineLength + 1> m_szLine{};
    std::size_t m_nLineLength = 0;
    ImageFileError m_failure = ImageFileError::kNone;
    std::string m_failureDetail;                 // empty: ImageFileErrorText says it
};
