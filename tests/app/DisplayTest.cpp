// What the X server shows of the program's windows: the root window read back from the
// server, over each window's place, against the window's own grab. A window whose
// picture reaches the widgets but not the screen (black, or left as it was) fails here and
// nowhere else. Every top-level stays a raster window, flushed as X images, also where the
// GL views and the Fourier tool's surface pane draw.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolTip>
#include <QTimer>
#include <QWindow>

#include <filesystem>
#include <functional>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/fourier/DialogFourierTransform.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/QtPrompt.h"
#include "support/TestPaths.h"

// Last: Xlib's macros (None, Status, Bool) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The pixels the screen shows where `window` is, as the server holds them: the root window
// with every window over it, as a whole-screen capture reads them, at the place the server
// gives the window (a window manager's frame moves it); null without an X display.
QImage ScreenPixels(const QWidget& window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return {};
    const Window root = DefaultRootWindow(display);
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(display, static_cast<Window>(window.winId()), root, 0, 0, &x, &y, &child);
    const QSize size = window.size() * window.devicePixelRatio();
    QImage picture;
    XImage* image = XGetImage(display, root, x, y, static_cast<unsigned>(size.width()),
                              static_cast<unsigned>(size.height()), AllPlanes, ZPixmap);
    if (image != nullptr) {
        picture = QImage(size, QImage::Format_RGB32);
        const auto channel = [](unsigned long pixel, unsigned long mask) {
            if (mask == 0)
                return 0;
            int shift = 0;
            while (((mask >> shift) & 1) == 0)
                ++shift;
            return static_cast<int>(((pixel & mask) >> shift) * 255 / (mask >> shift));
        };
        for (int row = 0; row < size.height(); ++row)
            for (int column = 0; column < size.width(); ++column) {
                const unsigned long pixel = XGetPixel(image, column, row);
                picture.setPixel(column, row, qRgb(channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                                                   channel(pixel, image->blue_mask)));
            }
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return picture;
}

// What a glance at a picture takes in: its mean colour and how much of it is not black.
struct Look {
    double red = 0.0, green = 0.0, blue = 0.0;
    double lit = 0.0;  // share of pixels that are not black
};

Look LookOf(const QImage& picture)
{
    Look look;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const double count = static_cast<double>(rgb.width()) * rgb.height();
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb pixel = rgb.pixel(x, y);
            look.red += qRed(pixel) / count;
            look.green += qGreen(pixel) / count;
            look.blue += qBlue(pixel) / count;
            look.lit += (pixel & 0xFFFFFF) != 0 ? 1.0 / count : 0.0;
        }
    return look;
}

// The window as the screen shows it looks like the window's own grab. Another window of a
// test program beside this one may cover it for a moment: raise it and look again.
void ExpectScreenShows(QWidget& window, const char* what)
{
    const QImage own = window.grab().toImage();
    const Look expected = LookOf(own);
    ASSERT_GT(expected.lit, 0.5) << what << ": its own grab is mostly black";
    Look seen;
    for (int attempt = 0; attempt < 5; ++attempt) {
        window.raise();
        RunningApp::Pump(300);
        const QImage screen = ScreenPixels(window);
        ASSERT_FALSE(screen.isNull()) << "no X display to read";
        seen = LookOf(screen);
        if (std::abs(seen.lit - expected.lit) < 0.05 && std::abs(seen.red - expected.red) < 12.0 &&
            std::abs(seen.green - expected.green) < 12.0 && std::abs(seen.blue - expected.blue) < 12.0)
            return;
    }
    ADD_FAILURE() << what << " on the screen: mean " << seen.red << "," << seen.green << "," << seen.blue
                  << ", lit " << seen.lit << "; its own grab: mean " << expected.red << "," << expected.green
                  << "," << expected.blue << ", lit " << expected.lit;
}

void ExpectRasterWindow(QWidget& window, const char* what)
{
    ASSERT_NE(window.windowHandle(), nullptr) << what;
    EXPECT_EQ(window.windowHandle()->surfaceType(), QSurface::RasterSurface)
        << what << " is flushed through OpenGL";
}

// Runs `look` on the first modal window of type Window once it is shown and painted, then
// closes it; `open` is what opens it. False when none opened.
template <class Window>
bool WithModal(const std::function<void()>& open, const std::function<void(Window&)>& look)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* window = dynamic_cast<Window*>(QApplication::activeModalWidget());
        if (window == nullptr || seen)
            return;
        seen = true;
        poll.stop();
        look(*window);
        window->reject();
    });
    poll.start();
    open();
    return seen;
}

bool XServer()
{
    return QGuiApplication::platformName() == "xcb";
}

} // namespace

TEST(Screen, StartUpMessageOfAMissingFileAndTheMainWindowShowWhatTheyPaint)
{
    if (!XServer())
        GTEST_SKIP() << "no X server to read the screen of";
    RunningApp app;
    // The program's own message boxes, in front of the test's scripted prompt.
    CQtPrompt prompt("Quintara", &app.MainFrame());
    ScratchDir dir;
    const bool shown = WithModal<QMessageBox>([&] { app.App().OpenWithFollowUp((dir / "missing.spm").string()); },
                                              [](QMessageBox& box) {
                                                  ExpectRasterWindow(box, "the message box");
                                                  ExpectScreenShows(box, "the message box");
                                              });
    EXPECT_TRUE(shown);
    ExpectScreenShows(app.MainFrame(), "the main window without a document");
}

TEST(Screen, FourierToolAndTheMainWindowWithGLViewsShowWhatTheyPaint)
{
    if (!XServer())
        GTEST_SKIP() << "no X server to read the screen of";
    ScratchDir dir;
    const std::filesystem::path file = dir / "sample.spm";
    std::filesystem::copy_file(std::filesystem::path(SPM_SOURCE_DIR) / "resources/samples/sample.spm", file);
    RunningApp app(file.string());
    CMDIChildFrame* active = app.MainFrame().MDIGetActive();
    ASSERT_NE(active, nullptr);
    for (CMDIChildFrame* frame : active->GetActiveDocument()->Frames())
        if (frame->m_strViewKind == ":2D")
            app.MainFrame().ActivateFrame(frame);
    RunningApp::Pump(300);
    ExpectRasterWindow(app.MainFrame(), "the main window with GL views");
    ExpectScreenShows(app.MainFrame(), "the main window with GL views");

    const bool shown = WithModal<CDialogFourierTransform>([&] { app.Run(cmd::kFourierTransform); },
                                                          [](CDialogFourierTransform& dialog) {
                                                              ExpectRasterWindow(dialog, "the Fourier tool");
                                                              ExpectScreenShows(dialog, "the Fourier tool");
                                                          });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(app.Prompt().messages.empty());
}

// The pointer resting on a toolbar button shows the menu text as tooltip and prompt. The
// pointer is the display's own, so this runs where no other program's window can be under it.
TEST(Screen, PointerOnAToolbarButtonShowsItsMenuTextAsTooltipAndPrompt)
{
    if (!XServer())
        GTEST_SKIP() << "no X server to move the pointer on";
    RunningApp app(std::string(SPM_SOURCE_DIR) + "/resources/samples/sample.spm");
    auto* toolbar = app.MainFrame().findChild<QToolBar*>("toolbar128");
    ASSERT_NE(toolbar, nullptr);
    QWidget* button = toolbar->widgetForAction(app.App().Commands().Action(cmd::kFileOpen));
    ASSERT_NE(button, nullptr);
    app.MainFrame().setAttribute(Qt::WA_AlwaysShowToolTips);
    // From elsewhere on the window onto the button, as a pointer comes.
    QTest::mouseMove(&app.MainFrame(), QPoint(app.MainFrame().width() / 2, app.MainFrame().height() / 2));
    RunningApp::Pump(100);
    QTest::mouseMove(button, button->rect().center());
    RunningApp::Pump(1500);
    EXPECT_EQ(QToolTip::text().toStdString(), "Open Doc.");
    EXPECT_EQ(app.MainFrame().statusBar()->currentMessage().toStdString(), "Open Doc.");
}
