// From a joystick button going down to the control's ButtonDown reaching the
// container's event handler: the built module, hosted as the main program
// hosts it, polling on its own timer at the default period (PeriodMin, 1 ms),
// with an SDL virtual joystick as the device.
//
// Each iteration waits a random 2 to 12 ms, presses the button, runs the event
// loop until the handler has the event and times that span; the release in
// between is not timed. The wait puts the press at a random moment, well past
// the 1 ms the module keeps between two polls of a pad, as a performer's
// presses come: pressing right after the release would time that spacing.
// The median and 99th percentile of all iterations are reported as counters (ms).

#include "kelvane/joystick/VirtualJoystick.h"
#include "stavik/StavikIds.h"
#include "stavik/host/ControlLocator.h"
#include "stavik/host/ModuleLibrary.h"
#include "stavik/host/StavikControl.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Notes when each event arrives and ends the waiting loop.
class ArrivalClock final : public stavik::host::ControlEvents {
public:
    void buttonDown(int) override { arrived(true); }
    void buttonUp(int) override { arrived(false); }
    void move(int, int, int) override { }

    // Runs the event loop until a ButtonDown (down) or ButtonUp arrives; false after a second without.
    bool waitFor(bool down)
    {
        if (seen_ && lastDown_ == down) {
            return true;
        }
        QEventLoop loop;
        loop_ = &loop;
        wantDown_ = down;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        loop_ = nullptr;
        return seen_ && lastDown_ == down;
    }

    void reset() { seen_ = false; }
    Clock::time_point at() const { return at_; }

private:
    void arrived(bool down)
    {
        at_ = Clock::now();
        seen_ = true;
        lastDown_ = down;
        if (loop_ != nullptr && down == wantDown_) {
            loop_->quit();
        }
    }

    QEventLoop* loop_ = nullptr;
    bool wantDown_ = true;
    bool seen_ = false;
    bool lastDown_ = false;
    Clock::time_point at_;
};

double percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(index, samples.size() - 1)];
}

void ButtonDownLatency(benchmark::State& state)
{
    kelvane::joystick::VirtualJoystick pad;
    // The module built with this benchmark (build/lib beside build/bin).
    const auto path = stavik::host::moduleBeside(stavik::host::programDirectory());
    const auto module = path ? stavik::host::ModuleLibrary::open(*path) : nullptr;
    if (!module) {
        state.SkipWithError("cannot load the module");
        return;
    }
    auto control = stavik::host::StavikControl::create(module, stavik::clsid::StavikControl, true);
    control->initNew(); // Period = PeriodMin; capture starts in run mode
    ArrivalClock clock;
    control->connect(clock);
    control->setEnabled(true);

    std::mt19937 random(13);
    std::uniform_int_distribution<int> moment(2000, 12000); // microseconds after the release
    std::vector<double> millis;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        clock.reset();
        const auto pressed = Clock::now();
        pad.setButton(1, true);
        if (!clock.waitFor(true)) {
            state.SkipWithError("no ButtonDown within a second");
            break;
        }
        const std::chrono::duration<double> span = clock.at() - pressed;
        state.SetIterationTime(span.count());
        millis.push_back(span.count() * 1000.0);

        clock.reset();
        pad.setButton(1, false);
        clock.waitFor(false);
    }
    state.counters["median_ms"] = percentile(millis, 0.5);
    state.counters["p99_ms"] = percentile(millis, 0.99);
    state.counters["max_ms"] = percentile(millis, 1.0);
    control->setEnabled(false);
}

BENCHMARK(ButtonDownLatency)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
