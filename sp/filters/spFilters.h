// Fixed 3x3 and 5x5 filters on single-channel float images with a caller-supplied border.
#pragma once

#include "sp/core/spTypes.h"
