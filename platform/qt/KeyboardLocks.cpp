#include "platform/qt/KeyboardLocks.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

#include <array>

namespace {

// Which bit of the indicator state each light is, looked up by name once per display: the
// keymap decides the numbering.
struct IndicatorBits {
    Display* display = nullptr;
    std::array<int, 3> bit{-1, -1, -1};
};

IndicatorBits& BitsFor(Display* display)
{
    static IndicatorBits bits;
    if (bits.display == display)
        return bits;
    bits.display = display;
    static constexpr std::array<const char*, 3> kNames{"Caps Lock", "Num Lock", "Scroll Lock"};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        int index = -1;
        const Atom name = XInternAtom(display, kNames[i], False);
        bits.bit[i] = name != None && XkbGetNamedIndicator(display, name, &index, nullptr, nullptr, nullptr)
                          ? index : -1;
    }
    return bits;
}

std::optional<bool> Light(const IndicatorBits& bits, std::size_t which, unsigned state)
{
    if (bits.bit[which] < 0 || bits.bit[which] >= 32)
        return std::nullopt;
    return (state >> bits.bit[which] & 1U) != 0;
}

} // namespace

std::optional<LockStates> ReadLockStates()
{
    const auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr)
        return std::nullopt;
    unsigned state = 0;
    if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success)
        return std::nullopt;
    const IndicatorBits& bits = BitsFor(display);
    return LockStates{Light(bits, 0, state), Light(bits, 1, state), Light(bits, 2, state)};
}
