#include "desktop/QtPause.h"

#include <QCoreApplication>
#include <QThread>

namespace kelvane::views {

void QtPause::wait(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtPause::waitThenHandleEvents(int milliseconds)
{
    wait(milliseconds);
    QCoreApplication::processEvents();
}

} // namespace kelvane::views
