#include "document/ImageOrigin.h"

#include <cstdint>

#include "platform/core/PathText.h"

namespace {

// The top four bits of the first word mark it as ours; the rest is the image number + 1.
constexpr std::uint16_t kOriginTag = 0xA000;
constexpr std::uint16_t kTagMask = 0xF000;
constexpr int kMaxRecordedNumber = 0x0FFF - 1;

// 16 bits of FNV-1a over the file name and the image number: a file of another name or
// another image of the file gives another check word with a chance of 1 in 65536 to match.
std::uint16_t CheckWord(const std::string& fileName, int indexInFile)
{
    std::uint32_t hash = 2166136261u;
    const auto mix = [&hash](unsigned char byte) { hash = (hash ^ byte) * 16777619u; };
    for (const char c : fileName)
        mix(static_cast<unsigned char>(c));
    mix(0);
    for (int shift = 0; shift < 32; shift += 8)
        mix(static_cast<unsigned char>(static_cast<std::uint32_t>(indexInFile) >> shift));
    return static_cast<std::uint16_t>(hash ^ (hash >> 16));
}

} // namespace

void MarkImageOrigin(SpmHeader& header, const std::string& file, int indexInFile)
{
    if (indexInFile < 0 || indexInFile > kMaxRecordedNumber) {
        header.m_nReserved0 = 0;
        header.m_nReserved1 = 0;
        return;
    }
    header.m_nReserved0 = static_cast<std::uint16_t>(kOriginTag | (indexInFile + 1));
    header.m_nReserved1 = CheckWord(FileNameOf(file), indexInFile);
}

std::optional<int> RecordedImageNumber(const SpmHeader& header)
{
    const int number = header.m_nReserved0 & ~kTagMask;
    if ((header.m_nReserved0 & kTagMask) != kOriginTag || number == 0)
        return std::nullopt;
    return number - 1;
}

bool SameImageOrigin(const SpmHeader& a, const SpmHeader& b)
{
    return RecordedImageNumber(a) && a.m_nReserved0 == b.m_nReserved0 && a.m_nReserved1 == b.m_nReserved1;
}

bool RecordsImageOf(const SpmHeader& header, const std::string& file)
{
    const std::optional<int> number = RecordedImageNumber(header);
    return number && header.m_nReserved1 == CheckWord(FileNameOf(file), *number);
}
