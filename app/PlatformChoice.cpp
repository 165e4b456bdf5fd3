#include "app/PlatformChoice.h"

#include <cstdlib>

namespace {

std::optional<std::string> Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

bool Named(const std::optional<std::string>& value)
{
    return value.has_value() && !value->empty();
}

} // namespace

PlatformEnvironment ReadPlatformEnvironment()
{
    return {Variable("QT_QPA_PLATFORM"), Variable("DISPLAY"), Variable("WAYLAND_DISPLAY"),
            Variable("XDG_SESSION_TYPE")};
}

std::string ChooseQtPlatform(const PlatformEnvironment& env)
{
    if (Named(env.qtPlatform) || !Named(env.display))
        return {};
    const bool wayland = Named(env.waylandDisplay) || env.sessionType == std::string("wayland");
    return wayland ? "xcb;wayland" : "xcb";
}

std::vector<std::string> StartNotices(bool windowsShown, bool openGL, bool bitmapFont)
{
    std::vector<std::string> notices;
    if (!windowsShown)
        return notices;
    if (!openGL)
        notices.emplace_back(kTextNoOpenGLViews);
    else if (!bitmapFont)
        notices.emplace_back(kTextNoBitmapFont);
    return notices;
}
