// Complex DFTs of any length, power-of-two FFTs, and their 2-D forms.
#pragma once

#include "sp/core/spTypes.h"
