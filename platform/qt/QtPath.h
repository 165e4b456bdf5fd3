// File-system paths between the program and Qt. A path is the bytes the system names a file
// by, and those need not be UTF-8: a file named on a Latin-1 system keeps "H\xF6he.spm" on a
// UTF-8 one. Qt holds texts as UTF-16 and its own conversion (QFile::decodeName) turns such a
// byte into U+FFFD, so the path would come back as the name of no file. Every path that
// crosses into a QString and back goes through here; texts that are only shown go through
// DisplayText instead.
#pragma once

#include <QString>
#include <QVariant>

#include <string>
#include <string_view>

class QUrl;

// The path as a QString: its UTF-8 characters as they are, and each other byte as one of the
// code units U+DC80 to U+DCFF, which no well-formed UTF-8 decodes to.
QString ToQtPath(std::string_view path);
// The bytes of a path that ToQtPath made, or of a name Qt gave (UTF-8).
std::string FromQtPath(const QString& path);

// A path as a settings value: text when it is UTF-8, as settings files written before hold
// it, else its bytes, which a settings file keeps as they are.
QVariant ToPathSetting(std::string_view path);
std::string FromPathSetting(const QVariant& value);

// The path of a file:// URL, as dropped files come, byte for byte from its percent-encoding;
// empty for a URL of another kind.
std::string FromLocalFileUrl(const QUrl& url);
