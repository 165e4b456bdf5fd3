// Pieces every Fourier plan and transform shares: kind codes, 64-bit size checks, the
// scaling decision of the inits and the work area of one transform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>

#include "sp/core/spColumnCore.h"
#include "sp/core/spMemory.h"
#include "sp/core/spTypes.h"
#include "sp/transforms/spColumns.h"

// First field of every plan record: which routine family the record belongs to.
inline constexpr std::int32_t spKindFft = 4;
inline constexpr std::int32_t spKindDft = 13;
inline constexpr std::int32_t spKindFft2D = 25;
inline constexpr std::int32_t spKindDft2D = 27;

// Byte counts live in 32-bit signed record fields, so no block or work area may exceed this.
inline constexpr std::int64_t spMaxBlockBytes = std::numeric_limits<std::int32_t>::max();

constexpr std::int64_t spAlign16(std::int64_t bytes) { return (bytes + 15) & ~std::int64_t{15}; }

// The order of a power of two: log2 n.
inline int spOrderOf(std::int64_t powerOfTwo)
{
    int order = 0;
    while ((std::int64_t{1} << order) < powerOfTwo)
        ++order;
    return order;
}

inline std::uint8_t* spAlignUp16(std::uint8_t* p)
{
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    return p + ((16 - address % 16) % 16);
}

// A block of `bytes` from the allocator of a dispatch column's transforms; null when the
// count is below 1, larger than a record can hold, or memory runs out.
inline void* spAllocBytes(std::int64_t bytes, int column = 0)
{
    if (bytes < 1 || bytes > spMaxBlockBytes)
        return nullptr;
    if (spColumnPrefetchingAlloc(column))
        return spMallocPrefetch(static_cast<int>(bytes));
    return spMallocSize(static_cast<std::size_t>(bytes));
}

template <class T>
T* spAllocArray(std::int64_t count, int column = 0)
{
    if (count < 1 || count > spMaxBlockBytes / static_cast<std::int64_t>(sizeof(T)))
        return nullptr;
    return static_cast<T*>(spAllocBytes(count * static_cast<std::int64_t>(sizeof(T)), column));
}

struct spBlockDeleter {
    void operator()(void* block) const { spFree(block); }
};
// A temporary block of the library allocator that goes back on every exit.
template <class T>
using spBlockPtr = std::unique_ptr<T, spBlockDeleter>;

// Scaling fields of a 1-D plan as the init's flag sets them.
struct spScaling {
    std::int32_t scaleFwd = 0;
    std::int32_t scaleInv = 0;
    float scale = 0.0f;
};

// The scaling of flag 1, 2, 4 or 8 for a transform of n points; false for any other flag.
bool spScalingFromFlag(spScaleFlag flag, std::int64_t n, spScaling* out);

// The work area of one transform: the caller's buffer from its first 16-byte boundary, or,
// when the caller passes none, a block of the plan's size from the column's allocator owned
// by this object.
class spWorkArea {
public:
    spWorkArea(std::uint8_t* callerBuffer, std::int64_t needBytes, int column = 0);

    // True when a block was needed and could not be allocated.
    bool failed() const { return m_failed; }
    std::uint8_t* data() const { return m_data; }

private:
    spBlockPtr<std::uint8_t> m_own;
    std::uint8_t* m_data = nullptr;
    bool m_failed = false;
};

// A fresh plan record from the allocator of the dispatch column that makes it, cleared by
// that column's own zero fill, carrying its kind code and the column; null when memory runs
// out.
template <int Column, class Spec>
Spec* spNewRecord(std::int32_t kind)
{
    auto* spec = static_cast<Spec*>(spAllocBytes(sizeof(Spec), Column));
    if (spec == nullptr)
        return nullptr;
    spZeroRow[Column](spec, static_cast<int>(sizeof(Spec)));
    spec->id = kind;
    spec->column = Column;
    return spec;
}

// -8 for a null record, -17 for a record of another kind or of another column (the columns
// share kind codes but not table layouts), else 0.
template <class Spec>
spStatus spCheckRecord(const Spec* spec, std::int32_t kind, int column)
{
    if (spec == nullptr)
        return spStsNullPtrErr;
    return spec->id == kind && spec->column == column ? spStsNoErr : spStsContextMatchErr;
}

// A free routine: the record's checks, then the release and 0.
template <class Spec, class Release>
spStatus spFreeRecord(Spec* spec, std::int32_t kind, int column, Release release)
{
    const spStatus status = spCheckRecord(spec, kind, column);
    if (status == spStsNoErr)
        release(spec);
    return status;
}

// A buffer-size routine: a null size pointer, then the record's checks; on success writes
// bytes(spec), which may then read the plan.
template <class Spec, class Bytes>
spStatus spRecordBufSize(const Spec* spec, std::int32_t kind, int column, int* pSize, Bytes bytes)
{
    const spStatus status = pSize == nullptr ? spStsNullPtrErr : spCheckRecord(spec, kind, column);
    if (status == spStsNoErr)
        *pSize = bytes(spec);
    return status;
}

// The checks every transform makes first, in their order: plan, kind, source, destination.
template <class Spec>
spStatus spCheckTransform(const Spec* spec, std::int32_t kind, int column, const void* src, const void* dst)
{
    const spStatus status = spCheckRecord(spec, kind, column);
    if (status == spStsNoErr && (src == nullptr || dst == nullptr))
        return spStsNullPtrErr;
    return status;
}
