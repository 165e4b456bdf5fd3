// Little-endian fields of the binary image files, read and written byte by byte so that
// neither the host's byte order nor the alignment of a field matters.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// True when count bytes from offset lie inside a block of size bytes; never overflows.
constexpr bool FitsIn(std::size_t size, std::size_t offset, std::size_t count)
{
    return offset <= size && count <= size - offset;
}

// Reads fields of a byte block. Callers check Has() before they read; a read that would
// leave the block gives 0 instead of touching memory outside it.
class LeReader {
public:
    explicit LeReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::size_t Size() const { return m_bytes.size(); }
    bool Has(std::size_t offset, std::size_t count) const
    {
        return FitsIn(m_bytes.size(), offset, count);
    }

    std::uint16_t U16(std::size_t offset) const
    {
        if (!Has(offset, 2))
            return 0;
        return static_cast<std::uint16_t>(m_bytes[offset] | (m_bytes[offset + 1] << 8));
    }
    std::int16_t I16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
    std::uint32_t U32(std::size_t offset) const
    {
        return static_cast<std::uint32_t>(U16(offset)) |
               (static_cast<std::uint32_t>(U16(offset + 2)) << 16);
    }
    float F32(std::size_t offset) const { return std::bit_cast<float>(U32(offset)); }

private:
    std::span<const std::uint8_t> m_bytes;
};

// Writes fields into a byte block at fixed offsets; the block grows (zero-filled) when a
// field reaches past its end.
class LeWriter {
public:
    explicit LeWriter(std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}

    void U8(std::size_t offset, std::uint8_t value)
    {
        Reserve(offset, 1);
        m_bytes[offset] = value;
    }
    void U16(std::size_t offset, std::uint16_t value)
    {
        Reserve(offset, 2);
        m_bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
        m_bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    void I16(std::size_t offset, std::int16_t value) { U16(offset, static_cast<std::uint16_t>(value)); }
    void U32(std::size_t offset, std::uint32_t value)
    {
        U16(offset, static_cast<std::uint16_t>(value & 0xFFFF));
        U16(offset + 2, static_cast<std::uint16_t>(value >> 16));
    }
    void F32(std::size_t offset, float value) { U32(offset, std::bit_cast<std::uint32_t>(value)); }
    void Bytes(std::size_t offset, std::span<const std::uint8_t> bytes)
    {
        Reserve(offset, bytes.size());
        for (std::size_t i = 0; i < bytes.size(); ++i)
            m_bytes[offset + i] = bytes[i];
    }

private:
    void Reserve(std::size_t offset, std::size_t count)
    {
        if (m_bytes.size() < offset + count)
            m_bytes.resize(offset + count, 0);
    }

    std::vector<std::uint8_t>& m_bytes;
};
