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

// An empty variable is read as empty, an unset one as missing.
TEST(PlatformChoice, TheEnvironmentIsReadAsItIs)
{
    const std::pair<const char*, const char*> set[] = {
        {"QT_QPA_PLATFORM", ""}, {"DISPLAY", ":7"}, {"WAYLAND_DISPLAY", nullptr}, {"XDG_SESSION_TYPE", "wayland"}};
    std::optional<std::string> kept[std::size(set)];
    for (std::size_t i = 0; i < std::size(set); ++i) {
        if (const char* value = std::getenv(set[i].first))
            kept[i] = value;
        set[i].second != nullptr ? setenv(set[i].first, set[i].second, 1) : unsetenv(set[i].first);
    }
    const PlatformEnvironment env = ReadPlatformEnvironment();
    for (std::size_t i = 0; i < std::size(set); ++i)
        kept[i] ? setenv(set[i].first, kept[i]->c_str(), 1) : unsetenv(set[i].first);
    EXPECT_EQ(std::tie(env.qtPlatform, env.display, env.waylandDisplay, env.sessionType),
              std::tuple(std::optional<std::string>(""), std::optional<std::string>(":7"), unset,
                         std::optional<std::string>("wayland")));
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
