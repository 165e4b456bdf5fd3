// Which of Qt's platforms the program runs on, and what it tells the user at start about
// what this display cannot show. Plain functions of the environment, so tests need none.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The environment variables the choice reads; absent ones are std::nullopt.
struct PlatformEnvironment {
    std::optional<std::string> qtPlatform;      // QT_QPA_PLATFORM, the user's own choice
    std::optional<std::string> display;         // DISPLAY: an X server, XWayland on Wayland
    std::optional<std::string> waylandDisplay;  // WAYLAND_DISPLAY
    std::optional<std::string> sessionType;     // XDG_SESSION_TYPE
};

PlatformEnvironment ReadPlatformEnvironment();

// The QT_QPA_PLATFORM to set before the application object is made, or empty to leave
// Qt's choice alone. The views' bitmap text needs X (glutInit opens the X display), so
// where one is named the program asks for Qt's xcb platform, with Wayland as the fallback
// on a Wayland desktop whose XWayland does not answer. A platform the user chose stays.
std::string ChooseQtPlatform(const PlatformEnvironment& env);

inline constexpr const char* kTextNoOpenGLViews =
    "OpenGL is not available on this display: the 2D and 3D views cannot draw their pictures";
inline constexpr const char* kTextNoBitmapFont =
    "No X display with GLX was found (DISPLAY): the 2D and 3D views show their pictures "
    "without text (information lines, axis labels and colour-scale values)";

// What the start says once, in this order: nothing on a platform that shows no windows;
// that views cannot draw without OpenGL; that their text is missing without the font.
std::vector<std::string> StartNotices(bool windowsShown, bool openGL, bool bitmapFont);
