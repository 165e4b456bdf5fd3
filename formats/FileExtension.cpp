#include "formats/FileExtension.h"

bool IsNanoscopeSeriesExtension(std::string_view extension)
{
    if (extension.size() != 4 || extension[0] != '.')
        return false;
    for (char c : extension.substr(1))
        if (c < '0' || c > '9')
            return false;
    return true;
}
