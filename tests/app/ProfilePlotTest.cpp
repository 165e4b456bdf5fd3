// The profile plot drawn into an image: frame, cursor band and the curve inside the frame.
#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

#include "app/views/ProfilePlot.h"

namespace {

constexpr GdiRect kFrame{90, 35, 580, 319};  // of a 600 x 400 client area

QImage Plot(const std::vector<ProfilePoint>& profile, const ProfilePlotDesc& desc,
            const std::vector<ProfilePoint>* second = nullptr)
{
    QImage image(600, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    CProfilePlot(profile, "x[nm]", "Height", desc).Draw(painter, {0, 0, 600, 400});
    if (second != nullptr) {
        ProfilePlotDesc blue = desc;
        blue.m_crColor = kSecondProfileColor;
        CProfilePlot(*second, "x[nm]", "Height", blue).DrawCompact(painter, {0, 0, 600, 400});
    }
    return image;
}

ProfilePlotDesc Desc(double a = 0.25, double b = 0.75)
{
    ProfilePlotDesc desc;
    desc.m_crColor = kFirstProfileColor;
    desc.m_dCursorA = a;
    desc.m_dCursorB = b;
    desc.m_strQuantity = "Height";
    desc.m_strUnit = "nm";
    return desc;
}

std::vector<ProfilePoint> Ramp(std::size_t n, double slope)
{
    std::vector<ProfilePoint> profile;
    for (std::size_t i = 0; i < n; ++i)
        profile.push_back({double(i), slope * double(i)});
    return profile;
}

// Pixels of exactly `colour` above the readouts, and whether all of them lie in the frame.
struct Count { int inside = 0, outside = 0; };
Count CountColour(const QImage& image, QRgb colour)
{
    Count count;
    for (int y = 0; y < kFrame.bottom + 8; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                ++(kFrame.Contains(x, y) ? count.inside : count.outside);
    return count;
}

} // namespace

TEST(ProfilePlotPicture, FrameBandAndCurve)
{
    const QImage image = Plot(Ramp(255, 2.0), Desc());
    const QRgb black = qRgb(0, 0, 0);
    // Edges in black but where grid lines and the curve cross them: from, step, length.
    const struct { int x, y, dx, dy, n; } edges[] = {
        {kFrame.left, kFrame.top, 1, 0, kFrame.Width()}, {kFrame.left, kFrame.bottom - 1, 1, 0, kFrame.Width()},
        {kFrame.left, kFrame.top, 0, 1, kFrame.Height()}, {kFrame.right - 1, kFrame.top, 0, 1, kFrame.Height()}};
    for (const auto& e : edges) {
        int count = 0;
        for (int i = 0; i < e.n; ++i)
            count += image.pixel(e.x + i * e.dx, e.y + i * e.dy) == black;
        EXPECT_GT(count, e.n - 10) << e.x << "," << e.y;
    }
    // The frame leaves out its right and bottom edge lines.
    EXPECT_NE(image.pixel(kFrame.right, 100), black);
    EXPECT_NE(image.pixel(200, kFrame.bottom), black);
    // Band from X(-0.25) = 213 to X(0.25) = 457, framed in black.
    EXPECT_EQ(image.pixel(213, 100), black);
    EXPECT_EQ(image.pixel(456, 100), black);
    EXPECT_EQ(image.pixel(214, 60), qRgb(200, 255, 200));
    EXPECT_EQ(image.pixel(455, 60), qRgb(200, 255, 200));
    // The ramp runs corner to corner.
    const Count red = CountColour(image, qRgb(255, 0, 0));
    EXPECT_GT(red.inside, 400);
    EXPECT_EQ(red.outside, 0);
    EXPECT_EQ(image.pixel(kFrame.left + 1, kFrame.bottom - 2), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(kFrame.right - 2, kFrame.top + 1), qRgb(255, 0, 0));
}

// A profile of one height (or of no length) lies on the centre line, not outside the frame.
TEST(ProfilePlotPicture, FlatProfileOnTheCentreLine)
{
    const QImage flat = Plot(Ramp(100, 0.0), Desc());
    EXPECT_EQ(CountColour(flat, qRgb(255, 0, 0)).outside, 0);
    for (int x = kFrame.left + 1; x < kFrame.right - 1; x += 7)
        EXPECT_EQ(flat.pixel(x, 177), qRgb(255, 0, 0)) << x;
    const QImage point = Plot({{0.0, 3.0}, {0.0, 3.0}}, Desc());
    EXPECT_EQ(CountColour(point, qRgb(255, 0, 0)).outside, 0);
}

TEST(ProfilePlotPicture, SecondCurveOverlaysInBlue)
{
    const std::vector<ProfilePoint> falling = Ramp(255, -1.0);
    const QImage image = Plot(Ramp(255, 1.0), Desc(), &falling);
    const Count red = CountColour(image, qRgb(255, 0, 0));
    const Count blue = CountColour(image, qRgb(0, 0, 255));
    EXPECT_GT(red.inside, 300);
    EXPECT_GT(blue.inside, 300);
    EXPECT_EQ(blue.outside, 0);
    // The falling curve starts at the top left corner.
    EXPECT_EQ(image.pixel(kFrame.left + 1, kFrame.top + 1), qRgb(0, 0, 255));
}

TEST(GdiPainter, LinesLeaveOutTheirEndPoint)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawGdiLine(painter, {2, 5}, {12, 5}, MakeColor(0, 0, 0));
    DrawGdiLine(painter, {3, 15}, {3, 8}, MakeColor(0, 0, 0));
    painter.end();
    EXPECT_EQ(image.pixel(2, 5), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(11, 5), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(12, 5), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(3, 9), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(3, 8), qRgb(255, 255, 255));
}

TEST(GdiPainter, FontHeightIsTheCellHeight)
{
    for (int height : {16, 24}) {
        const int cell = TextCellHeight(GdiFont("Arial", height));
        EXPECT_LE(std::abs(cell - height), 1) << height;
    }
    EXPECT_EQ(GdiFont("Times New Roman", 24).family(), "Liberation Serif");
}
