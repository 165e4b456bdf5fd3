// The platform the program asks Qt for, and what it says at start, as functions of the
// environment.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/PlatformChoice.h"

namespace {
constexpr std::nullopt_t unset = std::nullopt;
} // namespace

TEST(PlatformChoice, AnXDisplayMeansXcbUnlessTheUserChoseAPlatform)
{
    const struct {
        PlatformEnvironment env;
        const char* chosen;
    } cases[] = {
        {{unset, ":0", unset, unset}, "xcb"},
        {{unset, ":0", unset, "x11"}, "xcb"},
        {{"", ":0", unset, unset}, "xcb"},
        // A Wayland desktop with XWayland: xcb, Wayland when XWayland does not answer.
        {{unset, ":0", "wayland-0", "wayland"}, "xcb;wayland"},
        {{unset, ":1", unset, "wayland"}, "xcb;wayland"},
        {{unset, ":1", "wayland-1", unset}, "xcb;wayland"},
        // No X display: Qt's own choice, and the start says the text is missing.
        {{unset, unset, "wayland-0", "wayland"}, ""},
        {{unset, "", "wayland-0", "wayland"}, ""},
        {{unset, unset, unset, unset}, ""},
        // The user's platform stands, whatever else is there.
        {{"wayland", ":0", "wayland-0", "wayland"}, ""},
        {{"offscreen", ":0", unset, unset}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseQtPlatform(c.env), c.chosen)
            << c.env.qtPlatform.value_or("-") << " | " << c.env.display.value_or("-") << " | "
            << c.env.waylandDisplay.value_or("-") << " | " << c.env.sessionType.value_or("-");
}

TEST(PlatformChoice, TheEnvironmentIsReadAsItIs)
{
    const char* names[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"};
    std::optional<std::string> kept[4];
    for (int i = 0; i < 4; ++i)
        if (const char* value = std::getenv(names[i]))
            kept[i] = value;
    setenv("QT_QPA_PLATFORM", "", 1);
    setenv("DISPLAY", ":7", 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("XDG_SESSION_TYPE", "wayland", 1);
    const PlatformEnvironment env = ReadPlatformEnvironment();
    for (int i = 0; i < 4; ++i)
        if (kept[i])
            setenv(names[i], kept[i]->c_str(), 1);
        else
            unsetenv(names[i]);
    EXPECT_EQ(env.qtPlatform, std::optional<std::string>(""));
    EXPECT_EQ(env.display, std::optional<std::string>(":7"));
    EXPECT_EQ(env.waylandDisplay, std::nullopt);
    EXPECT_EQ(env.sessionType, std::optional<std::string>("wayland"));
    EXPECT_EQ(ChooseQtPlatform(env), "xcb;wayland");
}

TEST(PlatformChoice, TheStartSaysOnceWhatTheViewsCannotShow)
{
    using Notices = std::vector<std::string>;
    const struct {
        bool windows, openGL, font;
        Notices notices;
    } cases[] = {
        {true, true, true, {}},
        {true, true, false, {kTextNoBitmapFont}},
        // Without pictures their text does not matter.
        {true, false, false, {kTextNoOpenGLViews}},
        {true, false, true, {kTextNoOpenGLViews}},
        // A platform that shows no windows has nobody to tell.
        {false, false, false, {}},
        {false, true, false, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StartNotices(c.windows, c.openGL, c.font), c.notices) << c.windows << c.openGL << c.font;
}
