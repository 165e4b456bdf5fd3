#include "TablesWrap.h"

#include <cstring>

namespace {

TablesListener* g_listener = nullptr;
int g_standInColumn = 0;
const spColumnTables* g_standIn = nullptr;

const spColumnTables& NoteReached(const spColumnTables& t)
{
    if (g_listener != nullptr)
        g_listener->reached.push_back(&t);
    return t;
}

} // namespace

extern "C" {
const spColumnTables& __real__Z10spTablesOfi(int column);
const spColumnTables& __wrap__Z10spTablesOfi(int column)
{
    return NoteReached(column == g_standInColumn ? *g_standIn : __real__Z10spTablesOfi(column));
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

TablesStandIn::TablesStandIn(int column, const spColumnTables& tables)
{
    g_standInColumn = column;
    g_standIn = &tables;
}

TablesStandIn::~TablesStandIn()
{
    g_standInColumn = 0;
    g_standIn = nullptr;
}
