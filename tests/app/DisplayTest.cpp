// What the X server shows of the program's windows: the root window read back from the
// server, over each window's place, against the window's own grab. A window whose
// picture reaches the widgets but not the screen (black, or left as it was) fails here and
// nowhere else. Every top-level stays a raster window, flushed as X images, also where the
// GL views and the Fourier tool's surface pane draw. Also here, alone on the display: the
// pointer on a toolbar button, and the keyboard's lock indicators.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolTip>
#include <QWindow>

#include <array>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/fourier/DialogFourierTransform.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/QtPrompt.h"

// Last: Xlib's macros (None, Status, Bool) would break the headers above.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace {

// The pixels the screen shows where `window` is, as the server holds them: the root window
// with every window over it, as a whole-screen capture reads them, at the place the server
// gives the window (a window manager's frame moves it).
QImage ScreenPixels(const QWidget& window)
{
    Display* display = XOpenDisplay(nullptr);
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(display, static_cast<Window>(window.winId()), DefaultRootWindow(display), 0, 0, &x, &y, &child);
    XCloseDisplay(display);
    return QGuiApplication::primaryScreen()->grabWindow(0, x, y, window.width(), window.height()).toImage();
}

// What a glance at a picture takes in: its mean colour and the share that is not black.
std::array<double, 4> Look(const QImage& picture)
{
    std::array<double, 4> look{};
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const double count = static_cast<double>(rgb.width()) * rgb.height();
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb pixel = rgb.pixel(x, y);
            look[0] += qRed(pixel) / count;
            look[1] += qGreen(pixel) / count;
            look[2] += qBlue(pixel) / count;
            look[3] += (pixel & 0xFFFFFF) != 0 ? 255.0 / count : 0.0;
        }
    return look;
}

// The window as the screen shows it looks like the window's own grab. Another window of a
// test program beside this one may cover it for a moment: raise it and look again.
void ExpectScreenShows(QWidget& window, const char* what)
{
    ASSERT_NE(window.windowHandle(), nullptr) << what;
    EXPECT_EQ(window.windowHandle()->surfaceType(), QSurface::RasterSurface) << what << " is flushed through OpenGL";
    const std::array<double, 4> expected = Look(window.grab().toImage());
    ASSERT_GT(expected[3], 0.5 * 255) << what << ": its own grab is mostly black";
    std::array<double, 4> seen{};
    for (int attempt = 0; attempt < 5; ++attempt) {
        window.raise();
        RunningApp::Pump(300);
        seen = Look(ScreenPixels(window));
        bool alike = true;
        for (std::size_t i = 0; i < seen.size(); ++i)
            alike &= std::abs(seen[i] - expected[i]) < 12.0;
        if (alike)
            return;
    }
    ADD_FAILURE() << what << " on the screen: mean red, green, blue and lit " << seen[0] << ", " << seen[1] << ", "
                  << seen[2] << ", " << seen[3] << "; its own grab: " << expected[0] << ", " << expected[1] << ", "
                  << expected[2] << ", " << expected[3];
}

bool XServer()
{
    return QGuiApplication::platformName() == "xcb";
}

} // namespace

TEST(Screen, StartUpMessageMainWindowGLViewsAndFourierToolShowWhatTheyPaint)
{
    if (!XServer())
        GTEST_SKIP() << "no X server to read the screen of";
    RunningApp app;
    const ScratchDir dir;
    {
        // The program's own message box, in front of the test's scripted prompt, at a start
        // on a missing file.
        CQtPrompt prompt("Quintara", &app.MainFrame());
        EXPECT_TRUE(WithModal<QMessageBox>([&] { app.App().OpenWithFollowUp((dir / "missing.spm").string()); },
                                           [](QMessageBox& box) { ExpectScreenShows(box, "the message box"); }));
    }
    ExpectScreenShows(app.MainFrame(), "the main window without a document");

    app.App().OpenWithFollowUp(SampleCopy(dir));
    ASSERT_TRUE(app.Activate(":2D"));
    ExpectScreenShows(app.MainFrame(), "the main window with GL views");
    EXPECT_TRUE(WithModal<CDialogFourierTransform>(
        [&] { app.Run(cmd::kFourierTransform); },
        [](CDialogFourierTransform& dialog) { ExpectScreenShows(dialog, "the Fourier tool"); }));
    EXPECT_TRUE(app.Prompt().messages.empty());
}

// The pointer resting on a toolbar button shows the menu text as tooltip and prompt.
TEST(Screen, PointerOnAToolbarButtonShowsItsMenuTextAsTooltipAndPrompt)
{
    if (!XServer())
        GTEST_SKIP() << "no X server to move the pointer on";
    RunningApp app(kBundledSample);
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

// The status bar's CAP and NUM follow the server's keyboard locks.
TEST(StatusBar, LockIndicatorsShowWhileTheirLockIsOn)
{
    RunningApp app;
    const auto text = [&app](const char* name) {
        const auto* label = app.MainFrame().findChild<QLabel*>(QStringLiteral("indicator%1").arg(name));
        return label != nullptr && label->isVisibleTo(&app.MainFrame()) ? label->text().toStdString() : "hidden";
    };
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) {
        // Where the platform does not tell, nothing claims a state.
        for (const char* name : {"CAP", "NUM", "SCRL"})
            EXPECT_EQ(text(name), "hidden");
        return;
    }
    Display* display = x11->display();
    XkbStateRec saved{};
    XkbGetState(display, XkbUseCoreKbd, &saved);
    const unsigned numLock = XkbKeysymToModifiers(display, 0xff7f /* Num_Lock */);
    for (const unsigned locked : {LockMask | numLock, unsigned{LockMask}, numLock, 0u}) {
        XkbLockModifiers(display, XkbUseCoreKbd, LockMask | numLock, locked);
        XSync(display, False);
        RunningApp::Pump(400);
        EXPECT_EQ(text("CAP"), (locked & LockMask) != 0 ? "CAP" : "") << locked;
        EXPECT_EQ(text("NUM"), (locked & numLock) != 0 ? "NUM" : "") << locked;
        if (locked == (LockMask | numLock))
            Screenshot("shell-lock-indicators", &app.MainFrame());
    }
    XkbLockModifiers(display, XkbUseCoreKbd, LockMask | numLock, saved.locked_mods & (LockMask | numLock));
    XSync(display, False);
}
