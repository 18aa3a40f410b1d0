// The performance inputs, timed through the real program parts:
//
// - KeyToNoteOn: a key press sent to the main window's view (offscreen) runs
//   through the application's key filter and the form to the note-on handed
//   to the MIDI output (the real router, its mapper a silent synthesizer).
//   Each iteration times the press of key 1; its release is not timed.
// - JoystickButtonToNoteOn: a virtual joystick's button goes down at a random
//   moment 2 to 12 ms after the previous release was taken (well past the
//   1 ms the module keeps between two polls of a pad, which a press right
//   after the release would time); timed until the note-on reaches the MIDI
//   output, through the built module (its capture thread, woken by the pad's
//   change signal as a real pad wakes it through its device file, and the
//   queued notification), the hosted control and the form.
// - CaptureIdleWithTwoPads: the joystick capture alone at rest: the form with
//   both hosted controls enabled and two virtual pads plugged in, no views and
//   no audio; the process's CPU time while the event loop runs, as a
//   percentage of one core. CaptureIdleWithoutPads: the same with nothing
//   plugged in. IdleWakeFloor: a thread that only sleeps to absolute 1 ms
//   deadlines, what polling every 1 ms would cost on the machine, for
//   comparison. What the whole program costs at rest is kelvane_idle_bench's.
//
// Counters: median_ms and p99_ms (max_ms beside them), cpu_percent.
#include "HostedJoystickControls.h"
#include "MainForm.h"
#include "MainWindowView.h"
#include "StageLook.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeWavePlayer.h"
#include "files/MidiSetupForm.h"
#include "kelvane/joystick/VirtualJoystick.h"
#include "midi/MidiOutputRouter.h"
#include "null/NullJoystickControl.h"
#include "slides/SlideStep.h"
#include "waves/WaveSlots.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

using namespace kelvane;
using Clock = std::chrono::steady_clock;

class NoPorts final : public midi::MidiPorts {
public:
    std::vector<std::string> names() const override { return {}; }
    bool open(const std::string&, std::string&) override { return false; }
    void close() override { }
    bool transmit(const midi::MidiBytes&, std::string&) override { return false; }
};

// The router, with the moment each note-on is handed to it noted.
class TimedOutput final : public MidiOutput {
public:
    explicit TimedOutput(MidiOutput& inner) : inner_(inner) { }
    int deviceCount() const override { return inner_.deviceCount(); }
    int selectedDevice() const override { return inner_.selectedDevice(); }
    void selectDevice(int device) override { inner_.selectDevice(device); }
    std::string deviceName() const override { return inner_.deviceName(); }
    int openStatus() const override { return inner_.openStatus(); }
    void open() override { inner_.open(); }
    void close() override { inner_.close(); }
    void send(const ShortMessage& message) override
    {
        if (message.status >= 0x90 && message.status <= 0x9F && message.data2.value_or(0) > 0) {
            noteOnAt = Clock::now();
            ++noteOns;
        }
        inner_.send(message);
    }
    void setErrorHandler(ErrorHandler handler) override { inner_.setErrorHandler(std::move(handler)); }

    Clock::time_point noteOnAt;
    long noteOns = 0;

private:
    MidiOutput& inner_;
};

struct Program {
    Program(JoystickControl& stavik1, JoystickControl& stavik2) :
        form(MainFormPorts {output, waves, stavik1, stavik2, dialogs, pause, environment}, setup, slots, banks)
    {
        slots.attach(form.switches(), form.menu().item("mnuExclusive"));
        environment.whileModal = [this](Window&) { setup.okButton.click(); };
        form.load();
        form.activate();
    }

    midi::SilentSynth synth {""};
    NoPorts ports;
    midi::MidiOutputRouter router {synth, ports, nullptr};
    TimedOutput output {router};
    fakes::EffectLog log;
    fakes::FakeWavePlayer waves {log};
    fakes::FakeDialogs dialogs {log};
    fakes::FakePause pause {log};
    fakes::FakeEnvironment environment {log};
    NoSlideStep slideStep;
    WaveSlots slots {waves, dialogs, slideStep};
    EmptyWaveBanks banks;
    MidiSetupForm setup {output, environment};
    MainForm form;
};

double percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(index, samples.size() - 1)];
}

void report(benchmark::State& state, const std::vector<double>& millis)
{
    state.counters["median_ms"] = percentile(millis, 0.5);
    state.counters["p99_ms"] = percentile(millis, 0.99);
    state.counters["max_ms"] = percentile(millis, 1.0);
}

// Runs the event loop until done() holds; false after a second. It sleeps
// until an event comes, as the program's event loop does, so the waiting
// thread leaves the processor to the poll thread.
template <typename Done> bool runUntil(Done done)
{
    const auto giveUp = Clock::now() + std::chrono::seconds(1);
    QTimer wakeUp; // in case nothing comes at all
    wakeUp.start(50);
    while (!done()) {
        if (Clock::now() > giveUp)
            return false;
        QCoreApplication::eventDispatcher()->processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void sendKey(QWidget& window, QEvent::Type type, int key)
{
    QWidget& target = window.focusWidget() != nullptr ? *window.focusWidget() : window;
    QKeyEvent event(type, key, Qt::NoModifier, 10, 0, 0, QString());
    QApplication::sendEvent(&target, &event);
}

void KeyToNoteOn(benchmark::State& state)
{
    NullJoystickControl stavik1;
    NullJoystickControl stavik2;
    Program program(stavik1, stavik2);
    views::MainWindowView view(program.form);
    view.loadAndShow();
    QCoreApplication::processEvents();

    std::vector<double> millis;
    for (auto _ : state) {
        const long before = program.output.noteOns;
        const auto pressed = Clock::now();
        sendKey(view, QEvent::KeyPress, Qt::Key_1);
        if (program.output.noteOns != before + 1) {
            state.SkipWithError("the key played no note");
            break;
        }
        const std::chrono::duration<double> span = program.output.noteOnAt - pressed;
        state.SetIterationTime(span.count());
        millis.push_back(span.count() * 1000.0);
        sendKey(view, QEvent::KeyRelease, Qt::Key_1);
        QCoreApplication::processEvents(); // the views catch up between presses, as between a performer's taps
    }
    report(state, millis);
}

// A registry of this run alone: one left by another build would name that
// build's module, and the run would time it instead of this one.
std::filesystem::path runRegistry()
{
    return std::filesystem::temp_directory_path() / ("kelvane-inputs-bench-" + std::to_string(getpid()) + ".reg");
}

// The controls from the module built beside this benchmark, registered afresh.
stavikhost::HostedJoysticks hostedControls()
{
    const auto registry = runRegistry();
    std::error_code ignored;
    std::filesystem::remove(registry, ignored);
    setenv("STAVIK_REGISTRY", registry.c_str(), 1);
    return stavikhost::hostJoystickControls(
        registry, {STAVIK_MODULE_PATH}, [](const std::string& why) { std::fprintf(stderr, "%s\n", why.c_str()); });
}

void JoystickButtonToNoteOn(benchmark::State& state)
{
    kelvane::joystick::VirtualJoystick pad;
    auto controls = hostedControls();
    Program program(*controls.stavik1, *controls.stavik2);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> moment(2000, 12000); // microseconds after the release was taken

    std::vector<double> millis;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        const long before = program.output.noteOns;
        const auto pressed = Clock::now();
        pad.setButton(1, true);
        if (!runUntil([&] { return program.output.noteOns > before; })) {
            state.SkipWithError("no note-on within a second");
            break;
        }
        const std::chrono::duration<double> span = program.output.noteOnAt - pressed;
        state.SetIterationTime(span.count());
        millis.push_back(span.count() * 1000.0);
        pad.setButton(1, false);
        runUntil([&] { return !program.form.switches().at(3).indicator.lit(); });
    }
    report(state, millis);
    program.form.unload();
}

double cpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void idleCapture(benchmark::State& state)
{
    auto controls = hostedControls();
    Program program(*controls.stavik1, *controls.stavik2);
    controls.stavik2->setEnabled(true);
    double percent = 0;
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds();
        const auto before = Clock::now();
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(state.range(0)), &loop, &QEventLoop::quit);
        loop.exec();
        const std::chrono::duration<double> wall = Clock::now() - before;
        percent = 100.0 * (cpuSeconds() - cpuBefore) / wall.count();
        state.SetIterationTime(wall.count());
    }
    state.counters["cpu_percent"] = percent;
    program.form.unload();
}

void CaptureIdleWithTwoPads(benchmark::State& state)
{
    kelvane::joystick::VirtualJoystick first;
    kelvane::joystick::VirtualJoystick second;
    idleCapture(state);
}

void CaptureIdleWithoutPads(benchmark::State& state) { idleCapture(state); }

void IdleWakeFloor(benchmark::State& state)
{
    double percent = 0;
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds();
        const auto before = Clock::now();
        std::thread sleeper([&] {
            auto next = before;
            while (next - before < std::chrono::milliseconds(state.range(0))) {
                next += std::chrono::milliseconds(1);
                std::this_thread::sleep_until(next);
            }
        });
        sleeper.join();
        const std::chrono::duration<double> wall = Clock::now() - before;
        percent = 100.0 * (cpuSeconds() - cpuBefore) / wall.count();
        state.SetIterationTime(wall.count());
    }
    state.counters["cpu_percent"] = percent;
}

BENCHMARK(KeyToNoteOn)->UseManualTime()->Iterations(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(JoystickButtonToNoteOn)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(CaptureIdleWithTwoPads)->Arg(5000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(CaptureIdleWithoutPads)->Arg(5000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(IdleWakeFloor)->Arg(5000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kelvane::views::applyStageLook(app); // the program's own look and painting
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove(runRegistry(), ignored);
    return 0;
}
