// A timer control run on the event loop: forms count its ticks as time (a
// loop stops after so many 55 ms ticks), so a tick never comes before its
// time, and one held up by a busy event loop is made up at once.
#include "bindings/TimerBinding.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace kelvane;

namespace {

// Runs `timer` from now until its handler disables it; the times of its
// ticks, in milliseconds since it was enabled.
std::vector<qint64> ticksOf(Timer& timer, const std::function<void(std::size_t tick)>& handler)
{
    QElapsedTimer sinceEnabled;
    std::vector<qint64> tickedAtMs;
    timer.onTimer([&] {
        tickedAtMs.push_back(sinceEnabled.elapsed());
        handler(tickedAtMs.size());
    });
    sinceEnabled.start();
    timer.setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !timer.enabled(); }, 10000));
    timer.onTimer({});
    return tickedAtMs;
}

} // namespace

// Qt's default coarse timer fired a 55 ms tick up to 5 % early, so a loop of
// 55 ticks stopped some 150 ms before its last pass had played.
TEST(TimerBinding, TicksNeverComeBeforeTheirTime)
{
    Timer timer("Timer2", 55, false);
    views::TimerBinding binding(timer, nullptr);
    constexpr std::size_t kTicks = 20;
    const std::vector<qint64> ticks = ticksOf(timer, [&](std::size_t tick) {
        if (tick == kTicks)
            timer.setEnabled(false);
    });
    ASSERT_EQ(ticks.size(), kTicks);
    for (std::size_t k = 1; k <= ticks.size(); ++k)
        EXPECT_GE(ticks[k - 1], static_cast<qint64>(k) * 55) << "tick " << k;
}

// A timer that only fires late drops the ticks it missed while a handler
// held the event loop up, and its count falls behind the clock for good.
TEST(TimerBinding, TicksHeldUpByABusyEventLoopComeAllAtOnceAndARestartCountsAnew)
{
    Timer timer("Timer2", 55, false);
    views::TimerBinding binding(timer, nullptr);
    std::size_t ticksWhenStallWasMadeUp = 0;
    std::size_t ticksGiven = 0;
    ticksOf(timer, [&](std::size_t tick) {
        ticksGiven = tick;
        if (tick == 1) {
            QThread::msleep(300); // a handler holding the event loop up
            // Runs once the timer's late expiry has been handled.
            QTimer::singleShot(1, Qt::PreciseTimer, [&] { ticksWhenStallWasMadeUp = ticksGiven; });
        }
        if (tick == 10)
            timer.setEnabled(false);
    });
    // The stall ended 355 ms after the start at the earliest: ticks 2 to 6 were due.
    EXPECT_GE(ticksWhenStallWasMadeUp, 6U);

    // Enabled again, the count starts anew: the first tick after 55 ms.
    const std::vector<qint64> again = ticksOf(timer, [&](std::size_t) { timer.setEnabled(false); });
    ASSERT_EQ(again.size(), 1U);
    EXPECT_GE(again[0], 55);
}
