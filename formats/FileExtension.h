// How the program tells image file formats apart: by the file name's extension (see
// platform/core/PathText.h). Comparisons are exact and case-sensitive; callers list every
// form they accept.
#pragma once

#include <string_view>

#include "platform/core/PathText.h"

// True for ".000" to ".999": a point and exactly three digits, the numbers of a NanoScope series.
bool IsNanoscopeSeriesExtension(std::string_view extension);
