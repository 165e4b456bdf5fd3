#include "formats/ReplacingSave.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "document/SpmImage.h"
#include "formats/SampleBlock.h"
#include "platform/core/Prompt.h"

namespace {

// A temporary file beside its target, removed again unless it was renamed over the target.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target)
    {
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            m_path = target + ".saving-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
            m_fd = open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
    }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            close(m_fd);
        if (!m_committed && m_fd != kNeverOpened)
            unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }

    bool Write(std::span<const std::uint8_t> bytes)
    {
        while (!bytes.empty()) {
            const ssize_t written = write(m_fd, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            bytes = bytes.subspan(static_cast<std::size_t>(written));
        }
        return true;
    }

    // Flushes, closes and renames over the target.
    bool ReplaceTarget(const std::string& target)
    {
        const bool flushed = fsync(m_fd) == 0;
        const bool closed = close(m_fd) == 0;
        m_fd = kClosed;
        if (!flushed || !closed || std::rename(m_path.c_str(), target.c_str()) != 0)
            return false;
        m_committed = true;
        return true;
    }

private:
    static constexpr int kNeverOpened = -1;
    static constexpr int kClosed = -2;

    std::string m_path;
    int m_fd = kNeverOpened;
    bool m_committed = false;
};

ImageFileError Refuse(ImageFileError error, const char* message)
{
    Prompt().Message(message);
    return error;
}

}  // namespace

ImageFileError SaveReplacing(const std::string& path, std::span<const std::uint8_t> header,
                             std::span<const std::uint8_t> data, const SaveMessages& messages)
{
    TemporaryFile file(path);
    if (!file.IsOpen())
        return Refuse(ImageFileError::kCannotCreate, messages.cannotCreate);
    if (!file.Write(header))
        return Refuse(ImageFileError::kWriteFailed, messages.headerFailed);
    if (!file.Write(data) || !file.ReplaceTarget(path))
        return Refuse(ImageFileError::kWriteFailed, messages.dataFailed);
    return ImageFileError::kNone;
}

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
