#include "formats/FileExtension.h"

std::string FileExtension(std::string_view path)
{
    const std::size_t point = path.rfind('.');
    return std::string(point == std::string_view::npos ? path : path.substr(point));
}

bool IsNanoscopeSeriesExtension(std::string_view extension)
{
    if (extension.size() != 4 || extension[0] != '.')
        return false;
    for (char c : extension.substr(1))
        if (c < '0' || c > '9')
            return false;
    return true;
}

std::string SpmSavePath(std::string_view path)
{
    std::string target(path);
    if (FileExtension(path) != ".spm")
        target += ".spm";
    return target;
}
