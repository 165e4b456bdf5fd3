// The file dialogs of the two panels' Load and Save buttons and their messages.
#pragma once

#include <string>

#include "platform/core/DialogModels.h"

// Their saves write every chosen name with the extension behind it.
inline const FileTypeChoice kConfigFileType = AlwaysExtensionType("Config Files (*.cnf)", "*.cnf", ".cnf");
inline const FileTypeChoice kPaletteFileType = AlwaysExtensionType("Palette Files (*.plt)", "*.plt", ".plt");
inline const FileTypeChoice kFilterFileType = AlwaysExtensionType("Filter Files (*.flt)", "*.flt", ".flt");

// "Unable to read <path>": a file that exists but cannot be read.
std::string UnableToRead(const std::string& path);

// Asks for a file of `type` to open or to save; the chosen path, or empty on Cancel. A save's
// path ends in the type's extension.
std::string AskPanelFile(bool open, const FileTypeChoice& type);
