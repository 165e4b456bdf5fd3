// The library's version record: one constant record per processor column.
#pragma once

#include <cstdint>

#include "sp/core/spDispatch.h"

struct spLibVersion {
    std::int32_t major;
    std::int32_t minor;
    std::int32_t build1;
    std::int32_t build2;
    char cpuCode[4];         // two letters naming the column, two zero bytes: "px" is generic
    const char* libraryName; // contains cpuCode
    const char* versionText; // dotted numbers, the same in every record
    const char* buildDate;   // "Mon dd yyyy"
};

using spGetLibVersionFn = const spLibVersion*();

// The record of the column the dispatch index selects; never null.
const spLibVersion* spGetLibVersion();
const spLibVersion* spGetLibVersion_px();
extern spDispatchRow<spGetLibVersionFn> spGetLibVersionRow;
