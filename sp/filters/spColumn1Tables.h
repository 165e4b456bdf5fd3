// Column 1's kernel tables: the kernels of its own files (spColumn1*.cpp), which reach rows
// of any alignment through the access block and write 64-bit integer vectors.
#pragma once

#include "sp/filters/spVariantTables.h"

const spColumnTables& spColumn1Tables();
