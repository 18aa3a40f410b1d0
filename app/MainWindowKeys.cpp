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
    // The state follows the keyboard focus: inactive once no window of the
    // program has it (the X11 platform waits briefly for a focus-in of its
    // own windows first, so moving between them keeps the program active).
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &MainWindowKeys::focusLeavesProgramWhen);
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
            reporting([this, code] { form_.keyDown(code); });
    } else if (!key->isAutoRepeat()) {
        if (inMainWindow)
            reporting([this, code] { form_.keyUp(code); });
        else
            reporting([this, code] { form_.keyUpElsewhere(code); });
    }
    return false;
}

void MainWindowKeys::focusLeavesProgramWhen(Qt::ApplicationState state)
{
    if (state != Qt::ApplicationActive)
        reporting([this] { form_.focusLeftProgram(); });
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
