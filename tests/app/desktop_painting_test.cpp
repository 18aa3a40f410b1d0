// How the desktop adapters use the user-interface thread: Qt's painting kept
// on it, and the fade's pause handling events as they come.
#include "desktop/QtPause.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QTimer>

#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <string>
#include <thread>

namespace {

// Qt names the threads of its global pool "Thread (pooled)".
int pooledThreads()
{
    int count = 0;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks)
        return -1;
    while (const dirent* task = readdir(tasks)) {
        std::ifstream comm(std::string("/proc/self/task/") + task->d_name + "/comm");
        std::string name;
        if (std::getline(comm, name) && name == "Thread (pooled)")
            ++count;
    }
    closedir(tasks);
    return count;
}

// A blended fill of 600 rows under a clip of two rectangles: the kind of fill
// Qt's raster painter cuts into pieces for its thread pool.
void paintTallFill()
{
    QImage image(400, 600, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setClipRegion(QRegion(0, 0, 150, 600) + QRegion(250, 0, 150, 600));
    painter.fillRect(image.rect(), QColor(30, 136, 229, 128));
}

} // namespace

TEST(PaintingThread, TallFillsOfTheWindowsThreadStayOnItWhileOtherThreadsKeepQtsPool)
{
    const int before = pooledThreads();
    ASSERT_GE(before, 0) << "no /proc/self/task";
    paintTallFill();
    EXPECT_EQ(pooledThreads(), before) << "painting on the windows' thread started pool threads";

    // The same fill on another thread still goes to Qt's pool: the check
    // above would have seen it.
    std::thread other(paintTallFill);
    other.join();
    EXPECT_GT(pooledThreads(), 0);
}

TEST(QtPause, EventsRunWhenTheyArriveDuringThePauseAndThePauseLastsItsTime)
{
    constexpr int kPauseMs = 400;
    QElapsedTimer clock;
    qint64 handledAtMs = -1;
    QTimer::singleShot(5, [&] { handledAtMs = clock.elapsed(); });
    kelvane::views::QtPause pause;
    clock.start();
    pause.waitThenHandleEvents(kPauseMs);
    const qint64 returnedAtMs = clock.elapsed();

    ASSERT_GE(handledAtMs, 0) << "the event did not run in the pause";
    EXPECT_LT(handledAtMs, kPauseMs) << "the event waited for the end of the pause";
    EXPECT_GE(returnedAtMs, kPauseMs);
}

TEST(QtPause, AZeroPauseRunsThePendingEvents)
{
    bool handled = false;
    QTimer::singleShot(0, [&] { handled = true; });
    kelvane::views::QtPause().waitThenHandleEvents(0);
    EXPECT_TRUE(handled);
}
