// How the program tells image file formats apart: by the text from the last point of a path.
// Comparisons are exact and case-sensitive; callers list every form they accept.
#pragma once

#include <string>
#include <string_view>

// The text from the last point of the path to its end; the whole path when it has no point.
std::string FileExtension(std::string_view path);

// True for ".000" to ".999": a point and exactly three digits, the numbers of a NanoScope series.
bool IsNanoscopeSeriesExtension(std::string_view extension);

// The name the *.spm writer really writes: the path itself when its extension is exactly
// ".spm", otherwise the path with ".spm" appended (so "a.SPM" becomes "a.SPM.spm").
std::string SpmSavePath(std::string_view path);
