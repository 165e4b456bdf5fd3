#include "platform/qt/QtPath.h"

#include <QByteArray>
#include <QUrl>

#include "image/HeaderTextCoding.h"

namespace {

constexpr char16_t kEscapedByte = 0xDC00;   // + the byte, for bytes 0x80 to 0xFF

bool IsEscapedByte(const QString& text, qsizetype at)
{
    const char16_t unit = text[at].unicode();
    // The low half of a surrogate pair is a character of its own.
    return unit >= kEscapedByte + 0x80 && unit <= kEscapedByte + 0xFF && (at == 0 || !text[at - 1].isHighSurrogate());
}

} // namespace

QString ToQtPath(std::string_view path)
{
    QString text;
    std::size_t run = 0;   // start of the UTF-8 not yet appended
    for (std::size_t at = 0; at < path.size();) {
        if (const std::size_t length = Utf8CharacterLength(path, at)) {
            at += length;
            continue;
        }
        text += QString::fromUtf8(path.data() + run, static_cast<qsizetype>(at - run));
        text += QChar(static_cast<char16_t>(kEscapedByte + static_cast<unsigned char>(path[at])));
        run = ++at;
    }
    return text + QString::fromUtf8(path.data() + run, static_cast<qsizetype>(path.size() - run));
}

std::string FromQtPath(const QString& path)
{
    std::string bytes;
    qsizetype run = 0;
    for (qsizetype at = 0; at < path.size(); ++at) {
        if (!IsEscapedByte(path, at))
            continue;
        bytes += path.mid(run, at - run).toStdString();
        bytes += static_cast<char>(path[at].unicode() - kEscapedByte);
        run = at + 1;
    }
    return bytes + path.mid(run).toStdString();
}

QVariant ToPathSetting(std::string_view path)
{
    if (IsValidUtf8(path))
        return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    return QByteArray(path.data(), static_cast<qsizetype>(path.size()));
}

std::string FromPathSetting(const QVariant& value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray().toStdString();
    return FromQtPath(value.toString());
}

std::string FromLocalFileUrl(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    if (!url.host().isEmpty())
        return FromQtPath(url.toLocalFile());   // a share on another machine: "//host/path"
    // The encoded form keeps every byte of the name; the decoded one would read it as UTF-8.
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}
