#include "MainWindowKeys.h"

#include "KeyCodes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>

#include <exception>

namespace kelvane::views {

namespace {

// The widget Qt hands a key event to first: the focus widget of the window
// it happens in, or the window itself when none has the focus.
bool firstReceiver(QWidget& widget)
{
    QWidget* top = widget.window();
    QWidget* focus = top->focusWidget();
    return &widget == (focus != nullptr ? focus : top);
}

} // namespace

MainWindowKeys::MainWindowKeys(MainForm& form, QWidget& window) : QObject(&window), form_(form), window_(window)
{
    qApp->installEventFilter(this);
}

MainWindowKeys::~MainWindowKeys() { qApp->removeEventFilter(this); }

bool MainWindowKeys::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWidgetType())
        return false;
    auto& widget = *static_cast<QWidget*>(watched);
    if (!firstReceiver(widget))
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const int code = windowsKeyCode(key->key(), key->modifiers(), key->nativeScanCode());
    const bool inMainWindow = widget.window() == &window_;
    if (type == QEvent::KeyPress) {
        if (inMainWindow)
            keyDown(code);
    } else if (!key->isAutoRepeat() && (inMainWindow || pressedHere_.count(code) != 0)) {
        keyUp(code);
    }
    return false;
}

void MainWindowKeys::keyDown(int code)
{
    pressedHere_.insert(code);
    reporting([this, code] { form_.keyDown(code); });
}

void MainWindowKeys::keyUp(int code)
{
    pressedHere_.erase(code);
    reporting([this, code] { form_.keyUp(code); });
}

// Failures the keys do not handle themselves (a bank that cannot be recalled)
// are told to the performer here, never passed to the event loop.
template <typename Handler> void MainWindowKeys::reporting(Handler handler)
{
    try {
        handler();
    } catch (const std::exception& failure) {
        QMessageBox::warning(&window_, QString(), QString::fromUtf8(failure.what()));
    }
}

} // namespace kelvane::views
