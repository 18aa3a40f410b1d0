#include "WindowPlacement.h"

#include "controls/Window.h"

#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace kelvane::views {

void placeOver(QWidget& window, const QWidget& owner)
{
    const QScreen* screen = owner.screen();
    if (screen == nullptr)
        return;
    // The window manager's title bar goes above the window's top left; the
    // rest of the allowance leaves room for a desktop panel.
    constexpr int kTitleBar = Window::kFrameAllowance / 2;
    const QRect free = screen->availableGeometry();
    window.resize(std::min(window.width(), free.width()),
        std::min(window.height(), std::max(free.height() - Window::kFrameAllowance, 0)));
    QRect placed(QPoint(0, 0), window.size());
    placed.moveCenter(owner.geometry().center());
    placed.moveLeft(std::clamp(placed.left(), free.left(), std::max(free.left(), free.right() + 1 - placed.width())));
    placed.moveTop(
        std::clamp(placed.top(), free.top(), std::max(free.top(), free.bottom() + 1 - placed.height() - kTitleBar)));
    window.move(placed.topLeft());
}

} // namespace kelvane::views
