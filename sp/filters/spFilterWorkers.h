// The generic workers behind the filter entries: each runs one kernel size of one filter
// over a checked frame, allocates its row buffers and answers 0, or -9 before writing
// anything when they cannot be had.
#pragma once

#include "sp/filters/spFilterFrame.h"

spStatus spFilterGauss3x3(const spFilterFrame& frame);
// Laplace 3x3 and highpass 3x3 are the same filter: centre 8, neighbours -1.
spStatus spFilterCentreMinusSum3x3(const spFilterFrame& frame);
spStatus spFilterLowpass3x3(const spFilterFrame& frame);
spStatus spFilterSharpen3x3(const spFilterFrame& frame);
spStatus spFilterSobelVert3x3(const spFilterFrame& frame);
spStatus spFilterSobelHoriz3x3(const spFilterFrame& frame);

spStatus spFilterGauss5x5(const spFilterFrame& frame);
spStatus spFilterLaplace5x5(const spFilterFrame& frame);
spStatus spFilterLowpass5x5(const spFilterFrame& frame);
spStatus spFilterHipass5x5(const spFilterFrame& frame);
