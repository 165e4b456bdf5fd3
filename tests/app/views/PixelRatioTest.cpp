// Text and lines of the GL views keep their size on the screen whatever the device pixel ratio:
// this file runs once as it is and once with QT_SCALE_FACTOR=2 (test_app_views_hidpi), where
// every measure in device pixels doubles.
#include "ViewsFixture.h"
#include "app/CommandIds.h"
#include "app/views/ProfileView.h"

namespace {

// The glyphs of the views' font, from the top of a capital to the foot of a descender, in
// window pixels: a text line of the font is 15 high.
constexpr int kInkLow = 10;
constexpr int kInkHigh = 15;

bool Is(QRgb pixel, COLORREF colour)
{
    return Near(pixel, colour);
}

// The height of the topmost run of rows that hold a pixel of `colour` in columns `from` to
// `to` (exclusive); 0 when none does.
int TopBandHeight(const QImage& picture, COLORREF colour, int from = 0, int to = -1)
{
    if (to < 0)
        to = picture.width();
    int first = -1;
    for (int y = 0; y < picture.height(); ++y) {
        bool found = false;
        for (int x = from; x < to && !found; ++x)
            found = Is(picture.pixel(x, y), colour);
        if (found && first < 0)
            first = y;
        if (!found && first >= 0)
            return y - first;
    }
    return first < 0 ? 0 : picture.height() - first;
}

// How many pixels of `colour` column x, or row y, holds.
int ColumnCount(const QImage& picture, int x, COLORREF colour)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        count += Is(picture.pixel(x, y), colour) ? 1 : 0;
    return count;
}
int RowCount(const QImage& picture, int y, COLORREF colour)
{
    int count = 0;
    for (int x = 0; x < picture.width(); ++x)
        count += Is(picture.pixel(x, y), colour) ? 1 : 0;
    return count;
}

} // namespace

TEST_F(Views, TextAndLineWidthsFollowTheDevicePixelRatio)
{
    const double ratio = Canvas2D().devicePixelRatioF();
#ifdef SPM_APP_TEST_SCALE_FACTOR
    ASSERT_EQ(ratio, 2.0);
#endif
    const auto scaled = [ratio](int pixels) { return static_cast<int>(std::lround(pixels * ratio)); };
    ResizeView(*m_view2D, {400, 300});
    ResizeView(*m_view3D, {400, 300});

    // 2D: colours without black, so that black is the text alone; a two-point selection
    // across row 40, its yellow part (the profile cursors') 3 window pixels wide.
    CPresentationConfig& flat = Settings(*m_view2D);
    flat.m_ColorCursors = {{MakeColor(255, 0, 0), 0.0f}, {MakeColor(0, 0, 255), 1.0f}};
    flat.m_EnablePolygonLight = 0;
    m_view2D->OnUpdate(kHintColors, nullptr);
    CMDIDoc& doc = m_view2D->Doc();
    doc.m_nSelectMode = 1;
    doc.m_ptSel1 = {8, 40};
    doc.m_ptSel2 = {56, 40};
    doc.m_bSel1Set = doc.m_bSel2Set = 1;
    const QImage flatPicture = Rgb(Canvas2D().RenderPicture());
    ASSERT_EQ(flatPicture.size(), QSize(scaled(400), scaled(300)));
    const int infoLine = TopBandHeight(flatPicture, MakeColor(0, 0, 0));
    EXPECT_GE(infoLine, scaled(kInkLow));
    EXPECT_LE(infoLine, scaled(kInkHigh));
    const int middle = flatPicture.width() / 2;
    EXPECT_EQ(ColumnCount(flatPicture, middle, MakeColor(255, 255, 0)), scaled(3));

    // 3D: nothing but the colour scale, whose title, values and frame are in the inverse of
    // the background; the title is the topmost.
    ShowScaleOnly();
    const QImage scalePicture = Rgb(Canvas3D().RenderPicture());
    // The first glyph of the title, above the bar, whose frame starts at the same column:
    // the columns of the glyph alone keep the values right of the bar out.
    int left = 0;
    while (left < scalePicture.width() && ColumnCount(scalePicture, left, MakeColor(0, 0, 0)) == 0)
        ++left;
    const int title = TopBandHeight(scalePicture, MakeColor(0, 0, 0), left, left + scaled(3));
    EXPECT_GE(title, scaled(kInkLow));
    EXPECT_LE(title, scaled(kInkHigh));
    Shot(*m_view3D, ratio == 1.0 ? "views-3d-scale" : "views-3d-scale-hidpi");

    // The profile along the same selection: its picture has the view's device pixels, and the
    // curve's steep step between the plateaus, halfway up, is 2 window pixels thick (3 where
    // its slant puts a pixel more in the row).
    ASSERT_TRUE(m_app->Run(cmd::kOpenProfile));
    auto* profile = dynamic_cast<CProfileView*>(Main().MDIGetActive()->GetActiveView());
    ASSERT_NE(profile, nullptr);
    ResizeView(*profile, {400, 300});
    const QImage plot = Rgb(profile->Picture());
    ASSERT_EQ(plot.size(), QSize(scaled(400), scaled(300)));
    const int step = RowCount(plot, plot.height() / 2, MakeColor(255, 0, 0));
    EXPECT_GE(step, scaled(2));
    EXPECT_LE(step, scaled(3));
    Shot(*profile, ratio == 1.0 ? "views-profile" : "views-profile-hidpi");
}
