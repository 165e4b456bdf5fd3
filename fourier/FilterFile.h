// *.flt files: a filter's primitive list in the profile-file form, section "FilterPrimitive"
// with "NofPrimitive" and eight keys per primitive suffixed by its index ("Type[0]" ...).
#pragma once

#include <string>
#include <vector>

#include "fourier/FilterPrimitive.h"

// Longest list a file may bring; a larger or negative count reads as none.
inline constexpr long kMaxFilterPrimitives = 99;
inline constexpr const char* kTextFilterNotSaved = "Unable to write filter file";

// The chosen path, with ".flt" appended unless its text from the last '.' is exactly ".flt".
std::string FilterFilePath(const std::string& chosen);
// Writes "Ver" and the list into the file (other keys in it stay). False when not written.
bool WriteFilterFile(const std::string& path, const std::vector<FilterPrimitive>& list);
// The primitives of the file, each value limited to what the dialog's controls can show;
// an empty list for a missing file or a count outside 1 to kMaxFilterPrimitives.
std::vector<FilterPrimitive> ReadFilterFile(const std::string& path);
// The primitive limited to the controls' ranges.
FilterPrimitive ClampToControls(FilterPrimitive primitive);
