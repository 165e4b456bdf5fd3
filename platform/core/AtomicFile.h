// Whole-file reads and all-or-nothing writes: a writer that stops half-way (a full disk, a
// crash) leaves the previous file in place, never a half-written one.
#pragma once

#include <string>
#include <string_view>

enum class FileReadResult { Read, Missing, Unreadable };

// Reads the whole file into `bytes` (emptied first). A path that does not exist is
// Missing; one that exists but cannot be read as a regular file is Unreadable.
FileReadResult ReadWholeFile(const std::string& path, std::string& bytes);

// Writes `bytes` to a new file beside `path` and renames it over `path`. The folder must
// exist. An existing file keeps its permissions; a symbolic link keeps pointing at the file
// it named, which receives the new bytes. Returns false, with `path` untouched, on failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);
