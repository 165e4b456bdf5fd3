// Palettes as profile keys: "NofCursor", then "Position[i]" and "Color[i]" for each cursor.
// The presentation file keeps a record's palette this way in its ColorCursor section, and a
// palette file (*.plt) holds one in section "ColorCursor" with "Ver" = "1.1" in
// "Introduction".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/ProfileFile.h"
#include "presentation/ColorCursor.h"

// A count read from a profile above this marks a broken file: nothing is read by it.
inline constexpr long kMaxProfileListCount = 1000;

// The length a list's count key ("NofCursor", "NofImage") holds, truncated toward zero; 0
// when the key is absent or holds a count below 1 or above kMaxProfileListCount.
std::size_t ProfileListCount(const ProfileFile& profile, std::string_view section,
                             std::string_view key);
// "[i]", the index part of the list keys Position[i], Color[i] and Image[i].
std::string ProfileListIndex(std::size_t index);

// What a cursor key that is present with an empty value ("Position[1]=") gives.
enum class EmptyCursorValue {
    kZero,          // 0, or black: the presentation file's rule
    kKeepPrevious,  // the previous cursor's position or colour (0 and black for the first)
};

// Reads the cursor list of `section`. When "NofCursor" holds a count n (ProfileListCount)
// the list becomes n cursors read in file order, an absent position reading as 0 and an
// absent colour as black, an empty one as `empty` says; otherwise the list stays as it was.
void LoadCursorList(const ProfileFile& profile, std::string_view section,
                    std::vector<ColorCursor>& cursors,
                    EmptyCursorValue empty = EmptyCursorValue::kZero);
// Stores "NofCursor" and each cursor's position ("%.2f") and colour; keys of a longer
// earlier list stay behind it. Returns false when the section name cannot be stored.
bool StoreCursorList(ProfileFile& profile, std::string_view section,
                     const std::vector<ColorCursor>& cursors);

// Reads the palette file at `path` into `cursors` (LoadCursorList, an empty value keeping
// the previous cursor's); "Ver" is not read.
FileReadResult ReadPaletteFile(const std::string& path, std::vector<ColorCursor>& cursors);
// Writes the palette into the file at exactly `path`; false when it cannot be written.
bool WritePaletteFile(const std::string& path, const std::vector<ColorCursor>& cursors);
