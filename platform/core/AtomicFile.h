// Whole-file reads and all-or-nothing writes: a writer that stops half-way (a full disk, a
// crash) leaves the previous file in place, never a half-written one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

enum class FileReadResult { Read, Missing, Unreadable };

// Reads the whole file into `bytes` (emptied first). A path that does not exist is
// Missing; one that exists but cannot be read as a regular file is Unreadable.
FileReadResult ReadWholeFile(const std::string& path, std::string& bytes);

// A new file beside its target that replaces the target only on Commit. The folder must
// exist. An existing target keeps its permissions; a symbolic link keeps pointing at the
// file it named, which receives the new bytes. Dropped without Commit, the temporary file
// goes and the target stays as it was.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False when the temporary file could not be created.
    bool IsOpen() const { return m_fd >= 0; }
    bool Write(std::span<const std::uint8_t> bytes);
    bool Write(std::string_view bytes);
    // Flushes, closes and renames over the target; false (target untouched) on failure.
    bool Commit();

private:
    std::string m_target;
    std::string m_tempPath;
    int m_fd = -1;
    bool m_committed = false;
};

// Writes `bytes` through an AtomicFileWriter; false, with `path` untouched, on failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);
