// Paths as texts: file names, folders and extensions. Only "/" separates folders: a
// backslash is an ordinary character of a name here ("scan\1.spm" is one file name).
#pragma once

#include <string>
#include <string_view>

// The text after the last "/" (the whole path when it has none).
std::string FileNameOf(std::string_view path);
// The path up to and including its last "/" (empty when it has none).
std::string FolderOf(std::string_view path);
// The file name's extension: the text from the last point of the file name on, or empty
// when the file name has no point. A point in a folder name never counts.
std::string ExtensionOf(std::string_view path);
// The path with the file name's extension replaced by `extension` (".cnf"); a file name
// without a point gets `extension` appended.
std::string ReplaceExtension(std::string_view path, std::string_view extension);
// The path from the root folder, as this system names the file: a relative path is taken
// from the current folder; "." and ".." steps and doubled separators go. Byte for byte
// otherwise, whatever the name's coding. Empty for an empty path.
std::string AbsolutePath(std::string_view path);
// The path unchanged when its extension is exactly `extension` (case-sensitive), else the
// path with `extension` appended: "a.CNF" gives "a.CNF.cnf".
std::string EnsureExtension(std::string_view path, std::string_view extension);
