#include "desktop/QtPause.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace kelvane::views {

void QtPause::wait(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtPause::waitThenHandleEvents(int milliseconds)
{
    if (milliseconds > 0) {
        // A nested loop that a quitting program leaves at once: the fade then
        // finds its window closed and ends without sitting out its pauses.
        QEventLoop pause;
        QTimer end;
        end.setSingleShot(true);
        end.setTimerType(Qt::PreciseTimer);
        QObject::connect(&end, &QTimer::timeout, &pause, &QEventLoop::quit);
        end.start(milliseconds);
        pause.exec();
    }
    QCoreApplication::processEvents();
}

} // namespace kelvane::views
