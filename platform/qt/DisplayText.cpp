#include "platform/qt/DisplayText.h"

#include "image/HeaderTextCoding.h"

QString DisplayText(std::string_view text)
{
    return QString::fromStdString(MixedBytesAsUtf8(text));
}
