// The 2D and 3D views of the running application, shown a generated image.
#include <QClipboard>
#include <QElapsedTimer>
#include <QPointer>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <cstring>
#include <functional>

#include "ViewsFixture.h"
#include "app/DialogWorkBench.h"
#include "app/render/Scene2D.h"
#include "app/views/ViewInput.h"
#include "image/HeaderTextCoding.h"
#include "platform/core/NumberText.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"

TEST_F(Views, PlateausShowTheirTableColoursWithRowZeroAtTheTop)
{
    CPresentationConfig& settings = Settings(*m_view2D);
    settings.m_ColorCursors = {{MakeColor(255, 0, 0), 0.0f}, {MakeColor(0, 0, 255), 1.0f}};
    settings.m_EnablePolygonLight = 0;
    m_view2D->OnUpdate(kHintColors, nullptr);
    const QImage picture = Rgb(Canvas2D().RenderPicture());
    const std::vector<COLORREF>& table = settings.m_pColorTable;
    ASSERT_EQ(table.size(), 300u);
    const struct { int row, column; std::size_t entry; } points[] = {
        {40, 16, 0}, {40, 48, 299}, {3, 3, 150}, {60, 3, 0}, {3, 60, 299}};
    for (const auto& p : points)
        EXPECT_TRUE(Near(ImagePixel(picture, p.row, p.column), table[p.entry]))
            << p.row << "," << p.column << ": " << std::hex << ImagePixel(picture, p.row, p.column);
    Shot(*m_view2D, "views-2d-plateaus");
}

TEST_F(Views, CoarseModeCachesTheFullPictureAtTheThirdTick)
{
    const QImage precise = Rgb(Canvas2D().grabFramebuffer());
    Main().m_nRenderMode = kRenderCoarse;
    Main().m_nMatrixSize = 16;
    m_view2D->OnUpdate(kHintSurface, nullptr);
    const QImage coarse = Rgb(Canvas2D().grabFramebuffer());
    EXPECT_TRUE(Canvas2D().TimerRunning());
    EXPECT_NE(coarse, precise);
    // Three ticks of 100 ms; a loaded machine may take longer.
    for (int wait = 0; wait < 100 && Canvas2D().TimerRunning(); ++wait)
        RunningApp::Pump(50);
    EXPECT_FALSE(Canvas2D().TimerRunning());
    EXPECT_EQ(Canvas2D().CacheState(), kCacheValid);
    // Later paints copy the cached picture, pixel for pixel the precise one.
    EXPECT_EQ(Rgb(Canvas2D().grabFramebuffer()), precise);
    // A precise render leaves no coarse list; coarse mode builds it when it needs it.
    Main().m_nRenderMode = kRenderPrecise;
    m_view2D->OnUpdate(kHintSurface, nullptr);
    EXPECT_TRUE(m_view2D->Arrays().m_pCoarseIndices.empty());
    Main().m_nRenderMode = kRenderCoarse;
    EXPECT_NE(Rgb(Canvas2D().grabFramebuffer()), precise);
    EXPECT_EQ(m_view2D->Arrays().m_pCoarseIndices.size(), 6u * 15 * 15);
}

TEST_F(Views, ThreeDPictureFollowsItsStateAndShowsTheScaleWithColoursOnly)
{
    CPresentationConfig& settings = Settings(*m_view3D);
    const QImage first = Rgb(Canvas3D().RenderPicture());
    for (float* field : {&settings.m_Angle, &settings.m_Tilt, &settings.m_Z_Scale}) {
        const float kept = *field;
        *field = kept * 0.5f + 5.0f;
        EXPECT_NE(Rgb(Canvas3D().RenderPicture()), first);
        *field = kept;
        EXPECT_EQ(Rgb(Canvas3D().RenderPicture()), first);
    }
    // The scale stands at the top left of the centred square.
    auto scalePixels = [&](int colour) {
        settings.m_EnablePolygonColor = colour;
        const QImage picture = Rgb(Canvas3D().RenderPicture());
        const int left = (picture.width() - picture.height()) / 2;
        const QRgb background = picture.pixel(left + 2, 2);
        int count = 0;
        for (int y = picture.height() / 10; y < picture.height() * 3 / 10; ++y)
            for (int x = left; x < left + picture.height() / 20; ++x)
                count += picture.pixel(x, y) != background ? 1 : 0;
        return count;
    };
    EXPECT_GT(scalePixels(1), 50);
    EXPECT_EQ(scalePixels(0), 0);
    settings.m_EnablePolygonColor = 1;
    Shot(*m_view3D, "views-3d");
}

// The colour scale stands at the left of the square of the view's height; its texts stay in
// the picture: in a view narrower than tall the scale starts at the left edge, and a title
// that would pass the right edge moves left. So a view of the same height that is wide enough
// for the title shows as many pixels of the scale as a wide one does, its title as many.
TEST_F(Views, ColourScaleAndItsTitleStayInsideTheView)
{
    ShowScaleOnly();
    CSpmImage& image = FindShownImage(*m_view3D).Image();
    const COLORREF ink = MakeColor(0, 0, 0);
    // The scale's pixels of the ink colour, and those of its topmost run of rows: the title.
    const auto inkOf = [&](int width) {
        Canvas3D().resize(width, 480);
        const QImage picture = Rgb(Canvas3D().RenderPicture());
        std::pair<int, int> count{0, 0};
        bool inTitle = false;
        for (int y = 0; y < picture.height(); ++y) {
            int row = 0;
            for (int x = 0; x < picture.width(); ++x)
                row += Near(picture.pixel(x, y), ink) ? 1 : 0;
            inTitle = row > 0 && (inTitle || count.first == 0);
            count.first += row;
            count.second += inTitle ? row : 0;
        }
        return count;
    };
    // A title of 9-pixel characters: "Height, nm" 90 pixels, the long one 504.
    const std::string longName(52, 'Q');
    const struct {
        const char* quantity;
        int width;
    } cases[] = {{"Height", 400}, {"Height", 200}, {"Height", 120}, {longName.c_str(), 600}, {longName.c_str(), 510}};
    for (const auto& c : cases) {
        std::strcpy(image.m_header.m_szQuantity, c.quantity);
        const std::pair<int, int> wide = inkOf(1400);
        ASSERT_GT(wide.second, 100) << c.quantity;
        ASSERT_GT(wide.first, wide.second) << c.quantity;
        EXPECT_EQ(inkOf(c.width), wide) << c.quantity << " in " << c.width;
    }
}

TEST_F(Views, DragsTurnTiltAndStretchWithinTheirLimits)
{
    CPresentationConfig& settings = Settings(*m_view3D);
    settings.m_Angle = 350.0f;
    settings.m_Tilt = 60.0f;
    settings.m_Z_Scale = 30.0f;
    const Qt::MouseButton L = Qt::LeftButton, R = Qt::RightButton, none = Qt::NoButton;
    const struct { QEvent::Type type; int x, y; Qt::MouseButton button; Qt::KeyboardModifiers modifiers;
                   float angle, tilt, zScale; } steps[] = {
        {QEvent::MouseButtonPress, 200, 200, L, {}, 350, 60, 30},
        {QEvent::MouseMove, 300, 200, none, {}, 320, 60, 30},
        {QEvent::MouseMove, 100, 200, none, {}, 20, 60, 30},      // 380 wraps to 20
        {QEvent::MouseMove, 2600, 200, none, {}, 350, 60, 30},    // -370: a turn and more ...
        {QEvent::MouseMove, -2000, 200, none, {}, 290, 60, 30},   // ... either way: 1010 is 290
        {QEvent::MouseMove, 100, 200, none, {}, 20, 60, 30},
        {QEvent::MouseMove, 100, -200, none, {}, 20, 0, 30},      // tilt -20 stops at 0 ...
        {QEvent::MouseMove, 100, -190, none, {}, 20, 2, 30},      // ... and moving back raises it
        {QEvent::MouseMove, 100, 1000, none, {}, 20, 90, 30},
        {QEvent::MouseMove, 150, 1000, none, Qt::ShiftModifier, 20, 90, 30},
        {QEvent::MouseButtonRelease, 100, 1000, L, {}, 20, 90, 30},
        {QEvent::MouseButtonPress, 200, 200, R, {}, 20, 90, 30},
        {QEvent::MouseMove, 200, 190, none, {}, 20, 90, 40},
        {QEvent::MouseMove, 200, -400, none, {}, 20, 90, 500},    // 630 stops at 500 ...
        {QEvent::MouseMove, 200, -390, none, {}, 20, 90, 490},    // ... and moving back lowers it
        {QEvent::MouseMove, 200, 1000, none, {}, 20, 90, 0.1f},
    };
    Qt::MouseButton held = Qt::NoButton;
    for (const auto& s : steps) {
        if (s.type == QEvent::MouseButtonPress)
            held = s.button;
        SendMouse(*m_view3D, s.type, QPointF(s.x, s.y), held, s.modifiers);
        EXPECT_FLOAT_EQ(settings.m_Angle, s.angle) << s.x << "," << s.y;
        EXPECT_FLOAT_EQ(settings.m_Tilt, s.tilt) << s.x << "," << s.y;
        EXPECT_FLOAT_EQ(settings.m_Z_Scale, s.zScale) << s.x << "," << s.y;
        if (s.type == QEvent::MouseButtonRelease)
            held = Qt::NoButton;
    }
}

// Whatever its length, a drag leaves the turn, the tilt and the Z scale at what a bar step
// writes, two decimals, and within half a hundredth of where the drag took them: the float
// steps of 0.3 and 0.2 degrees a pixel leave nothing such as 168.29999.
TEST_F(Views, DragsLeaveTheirValuesInHundredths)
{
    CPresentationConfig& settings = Settings(*m_view3D);
    settings.m_Angle = 50.0f;
    settings.m_Tilt = 45.0f;
    settings.m_Z_Scale = 2.06f;
    const auto near = [](float value, double exact) {
        const bool hundredths = static_cast<float>(ParseDigitsNumber(FormatFixed(value, 2))) == value;
        return hundredths && std::abs(value - exact) <= 0.005 + 1e-4 * std::abs(exact);
    };
    constexpr int kFrom = 500;
    SendMouse(*m_view3D, QEvent::MouseButtonPress, QPointF(kFrom, kFrom), Qt::LeftButton);
    for (int d = -200; d <= 200; ++d) {
        SendMouse(*m_view3D, QEvent::MouseMove, QPointF(kFrom + d, kFrom + d), Qt::LeftButton);
        EXPECT_TRUE(near(settings.m_Angle, WrapDegrees(50.0 - 0.3 * d))) << d << ": " << settings.m_Angle;
        EXPECT_TRUE(near(settings.m_Tilt, 45.0 + 0.2 * d)) << d << ": " << settings.m_Tilt;
    }
    SendMouse(*m_view3D, QEvent::MouseButtonRelease, QPointF(kFrom, kFrom), Qt::LeftButton);
    SendMouse(*m_view3D, QEvent::MouseButtonPress, QPointF(kFrom, kFrom), Qt::RightButton);
    for (int d = 0; d <= 400; ++d) {
        SendMouse(*m_view3D, QEvent::MouseMove, QPointF(kFrom, kFrom - d), Qt::RightButton);
        EXPECT_TRUE(near(settings.m_Z_Scale, 2.06 + d)) << d << ": " << settings.m_Z_Scale;
    }
    SendMouse(*m_view3D, QEvent::MouseButtonRelease, QPointF(kFrom, kFrom), Qt::RightButton);
}

TEST_F(Views, ClipboardCopiesTakeTheirSizes)
{
    // 400 x 300 around a square image: x 72..327, y 22..277, the width cut to 252.
    ResizeView(*m_view2D, {400, 300});
    m_view2D->OnEditCopy();
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(252, 255));
    // An image twice as tall as wide copies half as wide, not nothing.
    const CopyRect tall = CopyRect2D(400, 300, 256, 512);
    EXPECT_EQ(std::pair(tall.left, tall.right), std::pair(136, 263));
    ResizeView(*m_view3D, {103, 80});
    m_view3D->OnEditCopy();
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(100, 80));
}

TEST_F(Views, ClicksPlaceTheSelectionInEachMode)
{
    CMDIDoc& doc = m_view2D->Doc();
    const QSize size = m_view2D->size();
    const CSpmImage& image = FindShownImage(*m_view2D).Image();
    const QPoint a(size.width() / 2, size.height() / 2), b(size.width() / 3, size.height() / 4),
        c(size.width() - 5, size.height() - 5);
    auto at = [&](QPoint p) { return MouseToImage(p.x(), p.y(), size.width(), size.height(), image); };
    auto click = [&](QPoint p) {
        SendMouse(*m_view2D, QEvent::MouseMove, p, Qt::NoButton);
        SendMouse(*m_view2D, QEvent::MouseButtonPress, p);
    };
    auto state = [&] {
        return std::vector<int>{doc.m_ptSel1.x, doc.m_ptSel1.y, doc.m_ptSel2.x, doc.m_ptSel2.y, doc.m_ptSel3.x,
                                doc.m_ptSel3.y, doc.m_bSel1Set, doc.m_bSel2Set, doc.m_bSel3Set};
    };
    EXPECT_EQ(at(a).x, kSide / 2);
    EXPECT_EQ(at(c).x, kSide - 1);
    const ImagePoint pa = at(a), pb = at(b), pc = at(c);
    // Mode, the clicks, then points 1, 2, 3 and the three flags.
    using State = std::vector<int>;
    const struct { int mode; std::vector<QPoint> clicks; State after; } cases[] = {
        {1, {a, b}, {pa.x, pa.y, pb.x, pb.y, pb.x, pb.y, 1, 1, 0}},
        {1, {a, b, c}, {pb.x, pb.y, pb.x, pb.y, pb.x, pb.y, 0, 0, 0}},  // the third restarts
        {2, {a, b}, {pa.x, pa.y, pb.x, pb.y, pb.x, pb.y, 1, 1, 0}},
        {3, {a, b, c}, {pa.x, pa.y, pc.x, pc.y, pb.x, pb.y, 1, 1, 1}},  // point 3 before point 2
        {3, {a, b, c, a}, {pc.x, pc.y, pc.x, pc.y, pc.x, pc.y, 0, 0, 0}},
        {0, {a, b, c}, {pc.x, pc.y, pc.x, pc.y, pc.x, pc.y, 0, 0, 0}},   // only follows the mouse
    };
    for (const auto& k : cases) {
        doc.m_nSelectMode = k.mode;
        doc.m_bSel1Set = doc.m_bSel2Set = doc.m_bSel3Set = 0;
        for (const QPoint& p : k.clicks)
            click(p);
        EXPECT_EQ(state(), k.after) << "mode " << k.mode << ", " << k.clicks.size() << " clicks";
    }
}

TEST_F(Views, AMissingImageIsReportedOncePerView)
{
    m_view2D->GetParentFrame()->m_strImageName = "Nothing_09";
    for (int i = 0; i < 3; ++i) {
        m_view2D->OnUpdate(kHintRepaint, nullptr);
        Canvas2D().grabFramebuffer();
        RunningApp::Pump(20);
    }
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{"Image Name is not Valid -> CView2D::OnPaint"});
}

// A document goes on the turn after its frames close, and the frames when the event loop
// deletes them: a view rendered in between (a coarse picture's full render falls due then)
// is one about to go, not one whose image is missing, and says nothing.
TEST_F(Views, AViewOutlivingItsClosedDocumentRendersNothingAndSaysNothing)
{
    Main().m_nRenderMode = kRenderCoarse;
    const QPointer<CView2D> view2D = m_view2D;
    const QPointer<CView3D> view3D = m_view3D;
    ASSERT_TRUE(Main().DocManager().CloseDocument(*m_view2D->GetDocument()));
    // Posted events and timers, but not the deferred deletes, as under a busy event loop.
    for (int turn = 0; turn < 5; ++turn)
        QCoreApplication::processEvents();
    ASSERT_FALSE(view2D.isNull());
    ASSERT_FALSE(view3D.isNull());
    ASSERT_EQ(view2D->GetDocument(), nullptr);
    EXPECT_TRUE(view2D->Canvas()->RenderPicture().isNull());
    EXPECT_TRUE(view3D->Canvas()->RenderPicture().isNull());
    RunningApp::Pump(20);
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
}

// Whether every pixel of the picture is the widget's background.
bool AllBackground(const QImage& picture, const QWidget& widget)
{
    const QColor background = widget.palette().window().color();
    const COLORREF colour = MakeColor(background.red(), background.green(), background.blue());
    const QImage rgb = Rgb(picture);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if (!Near(rgb.pixel(x, y), colour))
                return false;
    return !rgb.isNull();
}

TEST_F(Views, NoDrawingModeKeepsThePictureButShowsTheBackgroundAfterAResize)
{
    ResizeView(*m_view2D, {300, 200});
    const QImage drawn = Rgb(Canvas2D().grabFramebuffer());
    ASSERT_FALSE(AllBackground(drawn, Canvas2D()));
    Main().m_nRenderMode = kRenderNoDrawing;
    EXPECT_EQ(Rgb(Canvas2D().grabFramebuffer()), drawn);
    ResizeView(*m_view2D, {320, 220});
    EXPECT_TRUE(AllBackground(Canvas2D().grabFramebuffer(), Canvas2D()));
}

// A framebuffer wider than any the GL makes: the canvas shows its background, says so once,
// and a copy leaves the clipboard as it was; at a size it can make, the picture is back.
TEST_F(Views, ACanvasThatCannotDrawShowsItsBackgroundSaysSoOnceAndCopiesNothing)
{
    const QImage drawn = Rgb(Canvas2D().grabFramebuffer());
    const QSize size = Canvas2D().size();
    QImage marker(8, 8, QImage::Format_RGB32);
    marker.fill(Qt::magenta);
    QApplication::clipboard()->setImage(marker);
    m_app->Prompt().messages.clear();
    Canvas2D().resize(100000, 40);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Canvas2D().grabFramebuffer().isNull());
        EXPECT_TRUE(AllBackground(Canvas2D().grab(QRect(0, 0, 200, 40)).toImage(), Canvas2D()));
        m_view2D->OnEditCopy();
        RunningApp::Pump(20);
    }
    EXPECT_EQ(Rgb(QApplication::clipboard()->image()), Rgb(marker));
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{kTextCannotDraw});
    Canvas2D().resize(size);
    EXPECT_EQ(Rgb(Canvas2D().grabFramebuffer()), drawn);
}

// Waits, a generous while, until the canvas holds its full picture in its cache.
bool Cached(const CGLCanvas& canvas)
{
    QElapsedTimer waited;
    waited.start();
    while (canvas.CacheState() != kCacheValid || canvas.TimerRunning()) {
        if (waited.elapsed() > 10000)
            return false;
        RunningApp::Pump(20);
    }
    return true;
}

// Which of the canvases draw their pictures anew within a few ticks of the views' header
// watch, each then waited for until it has cached its picture again.
std::vector<bool> Redrawn(const std::vector<CGLCanvas*>& canvases)
{
    std::vector<bool> redrawn(canvases.size(), false);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 500) {
        RunningApp::Pump(10);
        for (std::size_t i = 0; i < canvases.size(); ++i)
            if (canvases[i]->CacheState() != kCacheValid || canvases[i]->TimerRunning())
                redrawn[i] = true;
    }
    for (const CGLCanvas* canvas : canvases)
        EXPECT_TRUE(Cached(*canvas));
    return redrawn;
}

// A header change shows in the pictures of the views that write it, with their full pictures
// cached, by the next ticks: a unit or the name typed on the work bench (which tells the views
// only to repaint, from the cached picture), or the steps changed with nothing said to the
// views. A view that does not write the changed text keeps its picture.
TEST_F(Views, HeaderChangesShowInThePicturesThatWriteThem)
{
    CSpmImage& image = FindShownImage(*m_view2D).Image();
    CDialogWorkBench& bench = Main().WorkBench();
    bench.OnTimer();
    // The 3D view shows its colour scale, whose title is the name and the Z unit.
    Settings(*m_view3D).m_EnablePolygonColor = 1;
    Main().m_nRenderMode = kRenderCoarse;
    m_view2D->OnUpdate(kHintRepaint, nullptr);
    m_view3D->OnUpdate(kHintColors, nullptr);
    const auto typed = [&bench](const char* id, const char* text) {
        return [&bench, id, text] {
            QLineEdit& edit = *bench.findChild<QLineEdit*>(id);
            edit.selectAll();
            QTest::keyClicks(&edit, text);
        };
    };
    const struct {
        const char* what;
        std::function<void()> change;
        bool in2D, in3D;
    } cases[] = {
        {"Z unit", typed("1068", "pm"), true, true},
        {"XY unit", typed("1069", "um"), true, true},
        {"name", typed("1071", "Phase"), false, true},
        {"X step", [&image] { image.m_header.m_fKx *= 2.0f; }, true, true},
        {"note", [&image] { std::strcpy(image.m_header.m_szNote, "changed"); }, false, false},
    };
    const std::vector<CGLCanvas*> canvases{&Canvas2D(), &Canvas3D()};
    for (CGLCanvas* canvas : canvases)
        ASSERT_TRUE(Cached(*canvas));
    for (const auto& c : cases) {
        const QImage before[] = {Rgb(Canvas2D().grabFramebuffer()), Rgb(Canvas3D().grabFramebuffer())};
        c.change();
        const std::vector<bool> shows{c.in2D, c.in3D};
        EXPECT_EQ(Redrawn(canvases), shows) << c.what;
        for (std::size_t v = 0; v < canvases.size(); ++v) {
            const QImage after = Rgb(canvases[v]->grabFramebuffer());
            EXPECT_EQ(after != before[v], shows[v]) << c.what << " in view " << v;
            // What the view shows is its full picture as it is now.
            EXPECT_TRUE(after == Rgb(canvases[v]->RenderPicture())) << c.what << " in view " << v;
        }
    }
    EXPECT_EQ(HeaderText(image.m_header.m_szQuantity), "Phase");
    Shot(*m_view2D, "views-header-changes-2d");
    Shot(*m_view3D, "views-header-changes-3d");
}
