#include "formats/SampleBlock.h"

#include <algorithm>
#include <cmath>

#include "formats/ByteOrder.h"
#include "image/SpmImage.h"
#include "platform/core/Prompt.h"

void ReadSampleBlock(std::span<const std::uint8_t> file, std::size_t offset, std::size_t count,
                     double zScale, CSpmImage& image)
{
    const LeReader reader(file);
    image.m_pRaw.resize(count);
    image.m_pData.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t sample = reader.I16(offset + 2 * i);
        image.m_pRaw[i] = sample;
        image.m_pData[i] = sample * zScale;
    }
}

void AppendSampleBlock(std::vector<std::uint8_t>& out, std::span<const std::int32_t> raw)
{
    out.reserve(out.size() + 2 * raw.size());
    for (std::int32_t sample : raw) {
        const auto bits = static_cast<std::uint16_t>(sample);
        out.push_back(static_cast<std::uint8_t>(bits & 0xFF));
        out.push_back(static_cast<std::uint8_t>(bits >> 8));
    }
}

namespace {

// The Z scale a saved image gets, or 0 when its heights cannot be stored: the range must be
// finite and the scale a normal float. An image of zeros has no scale of its own; 1 serves.
float SavedZScale(double largestAbs)
{
    if (!std::isfinite(largestAbs))
        return 0.0f;
    if (largestAbs == 0.0)
        return 1.0f;
    const float scale = static_cast<float>(1.0 / (kSavedFullScale / largestAbs));
    return std::isnormal(scale) ? scale : 0.0f;
}

}  // namespace

ImageFileError ScaleForSaving(const CSpmImage& image, ScaledSamples& scaled)
{
    if (!IsImageSide(image.m_nWidth) || !IsImageSide(image.m_nHeight))
        return ImageFileError::kBadSize;
    const std::size_t count =
        static_cast<std::size_t>(image.m_nWidth) * static_cast<std::size_t>(image.m_nHeight);
    if (image.m_pData.size() < count)
        return ImageFileError::kNothingToSave;

    if (std::isnan(image.m_dMin) || std::isnan(image.m_dMax))
        return ImageFileError::kNothingToSave;
    const double largestAbs = std::max(std::fabs(image.m_dMin), std::fabs(image.m_dMax));
    const float zScale = SavedZScale(largestAbs);
    if (zScale == 0.0f)
        return ImageFileError::kNothingToSave;
    const double factor = largestAbs == 0.0 ? 1.0 : kSavedFullScale / largestAbs;

    scaled = ScaledSamples{zScale, std::vector<std::int32_t>(count), 0, 0};
    for (std::size_t i = 0; i < count; ++i) {
        const double value = factor * image.m_pData[i];
        // Rounded to nearest (halves away from zero), so that saving an unchanged image
        // again stores the same samples.
        std::int32_t sample = 0;  // a height that is not a number has no sample; 0 stands in
        if (value <= -(kSavedSampleLimit + 0.5)) {
            sample = -kSavedSampleLimit;
            ++scaled.below;
        } else if (value >= kSavedSampleLimit + 0.5) {
            sample = kSavedSampleLimit;
            ++scaled.above;
        } else if (!std::isnan(value)) {
            sample = static_cast<std::int32_t>(std::lround(value));
        }
        scaled.raw[i] = sample;
    }
    return ImageFileError::kNone;
}

void AnnounceClampedSamples(const ScaledSamples& scaled)
{
    if (scaled.below > 0)
        Prompt().Message(kTextDataBelowRange);
    if (scaled.above > 0)
        Prompt().Message(kTextDataAboveRange);
}
