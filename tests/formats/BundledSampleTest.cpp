// The sample image shipped in resources/samples: a synthetic surface written by the
// program's own *.spm writer. SPM_WRITE_SAMPLE=1 writes it anew before the check.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"

namespace {

constexpr int kSide = 256;
constexpr float kStepNm = 4.0f;

struct Bump {
    double row, column, height, radius;
};

// Heights in nanometres: a gently tilted plane, four round bumps, a terrace step along a
// slanted edge and mild noise from a fixed seed.
std::vector<double> SampleHeights()
{
    const Bump bumps[] = {{64, 80, 12.0, 10}, {170, 60, 8.0, 14}, {120, 190, 15.0, 8}, {205, 205, 6.0, 20}};
    // The noise is taken from the generator's raw output, which the standard fixes, so every
    // platform makes the same surface.
    std::mt19937 random(20240607);
    std::vector<double> heights;
    heights.reserve(kSide * kSide);
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c) {
            double h = 0.02 * c + 0.01 * r;
            for (const Bump& b : bumps) {
                const double d2 = (r - b.row) * (r - b.row) + (c - b.column) * (c - b.column);
                h += b.height * std::exp(-d2 / (2 * b.radius * b.radius));
            }
            if (c > 140 + 0.3 * r)
                h += 3.0;
            h += (random() / 4294967296.0 - 0.5) * 0.3;
            heights.push_back(h);
        }
    }
    return heights;
}

std::filesystem::path SampleFile()
{
    return std::filesystem::path(SPM_SOURCE_DIR) / "resources" / "samples" / "sample.spm";
}

void WriteSample()
{
    const std::vector<double> heights = SampleHeights();
    CSpmImage image = MakeImage(kSide, kSide, [&](int r, int c) { return heights[r * kSide + c]; }, kStepNm, kStepNm);
    SetHeaderText(image.m_header.m_szNote,
                  "Synthetic sample: tilted plane, four round bumps, a terrace step and mild noise");
    SetHeaderText(image.m_header.m_szVersion, "synthetic sample");
    CImageFile file;
    ASSERT_TRUE(file.WriteSpm(SampleFile().string(), image)) << file.Failure();
}

}  // namespace

TEST(BundledSample, ReadsBackToTheGeneratedSurfaceWithinOneStep)
{
    const char* rewrite = std::getenv("SPM_WRITE_SAMPLE");
    if (rewrite != nullptr && std::string(rewrite) == "1")
        WriteSample();
    ScriptedPrompt prompt;
    const Loaded sample = LoadImageFile(ImageFormat::kSpm, SampleFile());
    ASSERT_TRUE(sample.ok) << sample.error;
    const SpmHeader& h = sample.image.m_header;
    EXPECT_EQ(h.m_nColumns, kSide);
    EXPECT_EQ(h.m_nRows, kSide);
    EXPECT_EQ(h.m_fKx, kStepNm);
    EXPECT_EQ(h.m_fKy, kStepNm);
    EXPECT_EQ(HeaderText(h.m_szZUnit), "nm");
    EXPECT_EQ(HeaderText(h.m_szXYUnit), "nm");
    EXPECT_EQ(HeaderText(h.m_szQuantity), "Height");
    const std::vector<double> heights = SampleHeights();
    ASSERT_EQ(sample.image.m_pData.size(), heights.size());
    for (std::size_t i = 0; i < heights.size(); ++i)
        ASSERT_LE(std::fabs(sample.image.m_pData[i] - heights[i]), h.m_fKz) << i;
    // Worth looking at: the bumps stand well above the plane and the noise.
    EXPECT_GT(sample.image.m_dMax - sample.image.m_dMin, 15.0);
    EXPECT_TRUE(prompt.messages.empty());
}
