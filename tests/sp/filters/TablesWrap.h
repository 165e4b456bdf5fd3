// The kernel tables as the workers receive them. The filter test program is linked with
// spTablesOf wrapped (tests/CMakeLists.txt), and while a listener lives the wrapper notes
// every table it hands out.
#pragma once

#include <vector>

#include "sp/filters/spVariantTables.h"

// Column 1 to 4's tables, past the wrapper.
const spColumnTables& RealTablesOf(int column);

// Every slot of `t` in order; the tables hold nothing but kernel pointers.
using KernelSlot = void (*)();
std::vector<KernelSlot> SlotsOf(const spColumnTables& t);

class TablesListener {
public:
    TablesListener();
    ~TablesListener();
    TablesListener(const TablesListener&) = delete;
    TablesListener& operator=(const TablesListener&) = delete;

    std::vector<const spColumnTables*> reached;
};
