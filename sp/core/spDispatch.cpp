#include "sp/core/spDispatch.h"

std::int32_t spDispatchIndex = 0;
