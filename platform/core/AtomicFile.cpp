#include "platform/core/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/PathText.h"

namespace fs = std::filesystem;

namespace {

// Opens a new file of its own in the folder of `target`; returns its descriptor and name, or
// -1 with the name empty. The name is short rather than the target's own with a suffix, as a
// target's name may already be close to the file system's limit of 255 bytes; the process
// id and a counter keep it apart from the temporary files of other writers, and O_EXCL from
// any file already there.
int CreateSiblingTemp(const std::string& target, std::string& tempPath)
{
    static std::atomic<unsigned> counter{0};
    const std::string folder = FolderOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder + ".~" + std::to_string(getpid()) + "." + std::to_string(counter++);
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    // The name is another's file (or none): the writer must never remove it.
    tempPath.clear();
    return -1;
}

// The file that a write to `path` must replace: the target of a symbolic link, else `path`.
std::string ReplacedFile(const std::string& path)
{
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        const fs::path resolved = fs::canonical(path, ec);
        if (!ec)
            return resolved.string();
    }
    return path;
}

} // namespace

FileReadResult ReadWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return FileReadResult::Missing;
    if (ec || status.type() != fs::file_type::regular)
        return FileReadResult::Unreadable;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return FileReadResult::Unreadable;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        bytes.clear();
        return FileReadResult::Unreadable;
    }
    return FileReadResult::Read;
}

AtomicFileWriter::AtomicFileWriter(const std::string& path) : m_target(ReplacedFile(path))
{
    m_fd = CreateSiblingTemp(m_target, m_tempPath);
    struct stat existing {};
    if (m_fd >= 0 && stat(m_target.c_str(), &existing) == 0 && fchmod(m_fd, existing.st_mode & 07777) != 0) {
        close(m_fd);
        unlink(m_tempPath.c_str());
        m_tempPath.clear();
        m_fd = -1;
    }
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (m_fd >= 0)
        close(m_fd);
    if (!m_committed && !m_tempPath.empty())
        unlink(m_tempPath.c_str());
}

bool AtomicFileWriter::Write(std::span<const std::uint8_t> bytes)
{
    if (m_fd < 0)
        return false;
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

bool AtomicFileWriter::Write(std::string_view bytes)
{
    return Write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

bool AtomicFileWriter::Commit()
{
    if (m_fd < 0)
        return false;
    const bool flushed = fsync(m_fd) == 0;
    const bool closed = close(m_fd) == 0;
    m_fd = -1;
    if (!flushed || !closed || std::rename(m_tempPath.c_str(), m_target.c_str()) != 0)
        return false;
    m_committed = true;
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    AtomicFileWriter file(path);
    return file.Write(bytes) && file.Commit();
}
