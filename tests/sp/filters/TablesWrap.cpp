#include "TablesWrap.h"

#include <cstring>

namespace {

TablesListener* g_listener = nullptr;

} // namespace

extern "C" {
const spColumnTables& __real__Z10spTablesOfi(int column);
const spColumnTables& __wrap__Z10spTablesOfi(int column)
{
    const spColumnTables& t = __real__Z10spTablesOfi(column);
    if (g_listener != nullptr)
        g_listener->reached.push_back(&t);
    return t;
}
}

const spColumnTables& RealTablesOf(int column)
{
    return __real__Z10spTablesOfi(column);
}

std::vector<KernelSlot> SlotsOf(const spColumnTables& t)
{
    static_assert(sizeof(spColumnTables) % sizeof(KernelSlot) == 0);
    std::vector<KernelSlot> slots(sizeof(spColumnTables) / sizeof(KernelSlot));
    std::memcpy(slots.data(), &t, sizeof t);
    return slots;
}

TablesListener::TablesListener()
{
    g_listener = this;
}

TablesListener::~TablesListener()
{
    g_listener = nullptr;
}
