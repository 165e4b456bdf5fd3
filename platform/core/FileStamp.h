// What tells whether a file still holds the bytes it held when the program last read or
// wrote it: another program, or another of the program's own documents, may have written
// the file since.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct FileStamp {
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
    std::uint64_t m_size = 0;
    std::int64_t m_modifiedNs = 0;  // last modification, nanoseconds since the epoch

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at `path` (a link's target), or none when there is no such file.
// Every write through the atomic writer replaces the file by a new one, so its inode alone
// changes even where the clock's steps are too coarse to show the modification.
std::optional<FileStamp> StampOf(const std::string& path);
