#include "platform/core/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Opens a new file of its own beside `target`; returns its descriptor and name, or -1.
int CreateSiblingTemp(const std::string& target, std::string& tempPath)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = target + ".~" + std::to_string(getpid()) + "." + std::to_string(counter++);
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
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

bool WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    const std::string target = ReplacedFile(path);
    std::string tempPath;
    const int fd = CreateSiblingTemp(target, tempPath);
    if (fd < 0)
        return false;
    struct stat existing {};
    bool ok = true;
    if (stat(target.c_str(), &existing) == 0)
        ok = fchmod(fd, existing.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, bytes) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && std::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok)
        unlink(tempPath.c_str());
    return ok;
}
