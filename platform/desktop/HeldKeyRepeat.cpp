#include "desktop/HeldKeyRepeat.h"

#include "keys/DetectableAutoRepeat.h"

#include <QGuiApplication>

namespace kelvane::views {

std::string askForRepeatedPressesOfHeldKeys()
{
    const auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // The offscreen platform offers the interface too, without a connection.
    if (x11 == nullptr || x11->connection() == nullptr)
        return "the window system (" + QGuiApplication::platformName().toStdString() + ") is not X11";
    return keys::askForDetectableAutoRepeat(x11->connection());
}

} // namespace kelvane::views
