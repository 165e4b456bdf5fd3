// Kept for the suites that include it here; the helper lives in tests/support.
#pragma once

#include "support/TestImages.h"
