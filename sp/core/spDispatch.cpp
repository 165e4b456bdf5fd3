#include "sp/core/spDispatch.h"

#include "sp/core/spCpu.h"

std::int32_t spDispatchIndex = 0;

namespace {

struct CodeColumn {
    int code;
    int column;
};
constexpr CodeColumn kCodeColumns[] = {
    {5, 1},  {16, 1}, {17, 1}, {64, 1}, // SSE without SSE2
    {6, 2},  {7, 2},  {9, 2},  {65, 2}, // SSE2 without SSE3
    {8, 3},  {10, 3}, {32, 3}, {66, 3}, // SSE3 without SSSE3
    {33, 4}, {34, 4},                   // SSSE3
};

} // namespace

int spDispatchColumnOf(int cpuCode)
{
    for (const CodeColumn& entry : kCodeColumns)
        if (entry.code == cpuCode)
            return entry.column;
    return -1;
}

spStatus spStaticInitCpu(int cpuCode)
{
    int column = spDispatchColumnOf(cpuCode);
    if (column < 0) {
        if (cpuCode < -1 || cpuCode > 4)
            return spStsUnknownCpuWarn;
        column = 0;
    }
    spDispatchIndex = column;
    return spStsNoErr;
}

spStatus spStaticInitFrom(int cpuCode, bool identified)
{
    const int column = spDispatchColumnOf(cpuCode);
    spDispatchIndex = column < 0 ? 0 : column;
    return identified ? spStsNoErr : spStsNoCpuidWarn;
}

spStatus spStaticInit()
{
    // Without CPUID the vendor reads as none.
    return spStaticInitFrom(spGetCpuType(), spCpuVendorCheck() == 1);
}
