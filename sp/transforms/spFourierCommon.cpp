#include "sp/transforms/spFourierCommon.h"

#include <cmath>

bool spScalingFromFlag(spScaleFlag flag, std::int64_t n, spScaling* out)
{
    const double length = static_cast<double>(n);
    switch (flag) {
    case spNoDivByAny:
        *out = {0, 0, 0.0f};
        return true;
    case spDivBySqrtN:
        *out = {1, 1, static_cast<float>(1.0 / std::sqrt(length))};
        return true;
    case spDivFwdByN:
        *out = {1, 0, static_cast<float>(1.0 / length)};
        return true;
    case spDivInvByN:
        *out = {0, 1, static_cast<float>(1.0 / length)};
        return true;
    }
    return false;
}

spWorkArea::spWorkArea(std::uint8_t* callerBuffer, std::int64_t needBytes, int column)
{
    if (needBytes < 1)
        return;
    if (callerBuffer != nullptr) {
        m_data = spAlignUp16(callerBuffer);
        return;
    }
    m_own.reset(static_cast<std::uint8_t*>(spAllocBytes(needBytes, column)));
    m_data = m_own.get();
    m_failed = m_data == nullptr;
}
