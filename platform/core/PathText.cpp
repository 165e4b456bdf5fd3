#include "platform/core/PathText.h"

#include <filesystem>

namespace {

// Index of the file name's first character.
std::size_t FileNameStart(std::string_view path)
{
    const std::size_t separator = path.rfind('/');
    return separator == std::string_view::npos ? 0 : separator + 1;
}

// Index of the file name's last point, or npos.
std::size_t ExtensionStart(std::string_view path)
{
    const std::size_t start = FileNameStart(path);
    const std::size_t point = path.rfind('.');
    return point == std::string_view::npos || point < start ? std::string_view::npos : point;
}

} // namespace

std::string FileNameOf(std::string_view path)
{
    return std::string(path.substr(FileNameStart(path)));
}

std::string FolderOf(std::string_view path)
{
    return std::string(path.substr(0, FileNameStart(path)));
}

std::string ExtensionOf(std::string_view path)
{
    const std::size_t point = ExtensionStart(path);
    return point == std::string_view::npos ? std::string() : std::string(path.substr(point));
}

std::string ReplaceExtension(std::string_view path, std::string_view extension)
{
    std::string result(path.substr(0, ExtensionStart(path)));
    result += extension;
    return result;
}

std::string EnsureExtension(std::string_view path, std::string_view extension)
{
    std::string result(path);
    if (ExtensionOf(path) != extension)
        result += extension;
    return result;
}

std::string AbsolutePath(std::string_view path)
{
    if (path.empty())
        return {};
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(path), error);
    if (error)
        return std::string(path);   // no current folder to start from
    return absolute.lexically_normal().string();
}
