// The file-type lists of the open and save dialogs, from the program's filter lists; the save
// list names files as the writers do.
#pragma once

#include <vector>

#include "platform/core/DialogModels.h"

std::vector<FileTypeChoice> OpenFileTypes();
std::vector<FileTypeChoice> SaveFileTypes();
