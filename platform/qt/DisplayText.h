// Texts of the program as widgets show them. An image name made from an older file's quantity
// keeps that file's Latin-1 bytes (it is a key of the *.cnf files), and a file name need not
// be UTF-8 either: every such text reaches a widget through here, so none shows U+FFFD.
#pragma once

#include <QString>

#include <string_view>

QString DisplayText(std::string_view text);
