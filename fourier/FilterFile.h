// *.flt files: a filter's primitive list in the profile-file form, section "FilterPrimitive"
// with "NofPrimitive" and eight keys per primitive suffixed by its index ("Type[0]" ...).
#pragma once

#include <string>
#include <vector>

#include "fourier/FilterPrimitive.h"

// Longest list a filter may hold, which is the longest a file brings back: the dialog adds
// no primitive beyond it, and a file that counts more is not read.
inline constexpr long kMaxFilterPrimitives = 99;
inline constexpr const char* kTextFilterNotSaved = "Unable to write filter file";
inline constexpr const char* kTextFilterFull =
    "A filter holds at most 99 primitives, as many as a filter file keeps: the primitive was not added";
// Followed by the path.
inline constexpr const char* kTextFilterTooLong =
    "The filter file counts more than the 99 primitives a filter holds; it was not loaded: ";
inline constexpr const char* kTextFilterLimited =
    "The filter file holds values outside the ranges of the dialog's controls; they were "
    "brought into them: ";

// The real-valued fields of a primitive that the dialog edits as texts.
enum class FilterField { kCutoff, kXcomp, kYcomp, kShift };

// What the dialog holds of a real field, which is also what a filter file brings back: the
// value brought into its scroll bar's range (Cutoff 0.01 to 1, Xcomp and Ycomp 1 to 99.9,
// Shift 0 to 2) and then to the two decimals a file keeps.
double HeldValue(FilterField field, double value);
// The primitive as the dialog's controls hold it: LoPass and Type 0 or 1, Oder at most 100,
// Angle 0 to 360 and each real field by HeldValue. A primitive saved and loaded again comes
// back as this.
FilterPrimitive ClampToControls(FilterPrimitive primitive);

// The chosen path, with ".flt" appended unless its text from the last '.' is exactly ".flt".
std::string FilterFilePath(const std::string& chosen);
// Writes "Ver" and the list into the file (other keys in it stay). False when not written.
bool WriteFilterFile(const std::string& path, const std::vector<FilterPrimitive>& list);

struct FilterFileRead {
    std::vector<FilterPrimitive> list;
    // A value lay outside what the controls hold (an order below 0 or above 100, an angle
    // outside 0 to 360, a real value beyond its range or with more than two decimals) and
    // was brought into it.
    bool limited = false;
    // The file counts more than kMaxFilterPrimitives primitives: none was read.
    bool tooLong = false;
};
// The primitives of the file as the controls hold them; an empty list for a missing file, a
// count below 1 or one above kMaxFilterPrimitives (tooLong).
FilterFileRead ReadFilterFile(const std::string& path);
