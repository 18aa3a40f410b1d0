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
//   The idle runs also count wake-ups (see measureIdle).
//
// - MidiMessageToNoteOn/jack, /alsa: a pad controller (a MIDI client of the
//   benchmark's own) hits its first pad at a random moment; timed from the
//   moment the program's MIDI input (RtMidi) takes the message off its port
//   to the note-on handed to the MIDI output, through the input's queue to
//   the event loop, the controller's binding and the form. The output is the
//   program's real one (SystemMidi's router), playing into another port of
//   the benchmark. send_median_ms and send_p99_ms add the MIDI system's own
//   delivery, from the pad's send (on JACK, up to a period of 256 frames at
//   48 kHz). /jack starts its own JACK server (dummy driver, synchronous); /alsa needs an
//   ALSA sequencer and says so where there is none. A message the MIDI system
//   loses before the program's port (JACK does on a machine too busy for its
//   cycle) is counted in lost_before_the_input and sent again.
// - IdleWithMidiInput/jack/open, /jack/closed (and /alsa/...): the same
//   program with the pad's port open, or with no input chosen, while nothing
//   is played: the process's wake-ups per second (voluntary context switches
//   of all its threads) and CPU percent. The difference is what an open input
//   port adds; the rest is the sound device's period, JACK's process cycle and
//   the event loop, present either way. ui_wakeups_per_s: the user-interface
//   thread's alone (on JACK it rescans the ports once a second).
//
// Counters: median_ms and p99_ms (max_ms beside them), cpu_percent, wakeups_per_s, ui_wakeups_per_s.
#include "HostedJoystickControls.h"
#include "JackServer.h"
#include "Kelvane.h"
#include "MainWindowView.h"
#include "StageLook.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeFileStore.h"
#include "fakes/FakeMidiInput.h"
#include "fakes/FakePreferencesStore.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWavePlayer.h"
#include "fakes/ForwardingMidiOutput.h"
#include "fakes/NoMidiPorts.h"
#include "kelvane/joystick/VirtualJoystick.h"
#include "midi/MidiOutputRouter.h"
#include "midi/SystemMidi.h"
#include "null/NullJoystickControl.h"
#include "null/NullKeystrokes.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>

#include <RtMidi.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

using namespace kelvane;
using Clock = std::chrono::steady_clock;

// The router, with the moment each note-on is handed to it noted.
class TimedOutput final : public fakes::ForwardingMidiOutput {
public:
    using ForwardingMidiOutput::ForwardingMidiOutput;
    void send(const ShortMessage& message) override
    {
        if (message.status >= 0x90 && message.status <= 0x9F && message.data2.value_or(0) > 0) {
            noteOnAt = Clock::now();
            ++noteOns;
        }
        ForwardingMidiOutput::send(message);
    }

    Clock::time_point noteOnAt;
    long noteOns = 0;
};

// The real router with a silent synthesizer as its mapper and no ports.
struct SilentMidi {
    midi::SilentSynth synth {""};
    fakes::NoMidiPorts ports;
    midi::MidiOutputRouter router {synth, ports, nullptr};
};

// The program (Kelvane, without views) over the MIDI output `midi` (timed)
// and the MIDI input `midiInput` with its settings in `midiInputSettings`; its
// other ports are faked. The setup window's choice is made by `choose` (Ok
// alone when it is not given).
struct Program {
    Program(MidiOutput& midi, MidiInput& midiInput, SettingsStore& midiInputSettings, JoystickControl& stavik1,
        JoystickControl& stavik2, const std::function<void(MidiSetupForm&)>& choose = nullptr) :
        output(midi),
        kelvane(KelvanePorts {output, midiInput, waves, stavik1, stavik2, dialogs, pause, environment, keys,
            preferencesStore, midiInputSettings, files}),
        setup(kelvane.midiSetup()),
        form(kelvane.mainForm())
    {
        environment.whileModal = [this, choose](Window&) {
            if (choose)
                choose(setup);
            setup.okButton.click();
        };
    }

    // As at the program's start: the MIDI controller and the preferences,
    // then the main window's load and first activation.
    void start()
    {
        kelvane.start();
        form.load();
        form.activate();
    }

    TimedOutput output;
    fakes::EffectLog log;
    fakes::FakeWavePlayer waves {log};
    fakes::FakeDialogs dialogs {log};
    fakes::FakePause pause {log};
    fakes::FakeEnvironment environment {log};
    NullKeystrokes keys;
    fakes::FakePreferencesStore preferencesStore {log};
    fakes::FakeFileStore files {log};
    Kelvane kelvane;
    MidiSetupForm& setup;
    MainForm& form;
};

// The MIDI input of a run that plays no controller: no ports, no settings.
struct NoController {
    fakes::EffectLog log;
    fakes::FakeMidiInput input {log};
    fakes::FakeSettingsStore settings {log};
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
    SilentMidi midi;
    NoController controller;
    Program program(midi.router, controller.input, controller.settings, stavik1, stavik2);
    program.start();
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
    SilentMidi midi;
    NoController controller;
    Program program(midi.router, controller.input, controller.settings, *controls.stavik1, *controls.stavik2);
    program.start();
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

// Voluntary context switches of one thread (its /proc/self/task folder):
// each is the thread going to sleep, so each is one wake-up to come.
long threadWakeups(const std::filesystem::path& task)
{
    std::ifstream status(task / "status");
    std::string line;
    constexpr std::string_view kKey = "voluntary_ctxt_switches:";
    while (std::getline(status, line)) {
        if (line.rfind(kKey, 0) == 0)
            return std::atol(line.c_str() + kKey.size());
    }
    return 0;
}

long processWakeups()
{
    long total = 0;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec))
        total += threadWakeups(task.path());
    return total;
}

// The user-interface thread is the process's first.
long uiThreadWakeups() { return threadWakeups("/proc/self/task/" + std::to_string(getpid())); }

// Lets the event loop run for state.range(0) ms with nothing to do, as the
// program idles, and counts: cpu_percent (the process's CPU time), wakeups_per_s
// (all its threads) and ui_wakeups_per_s (the user-interface thread's).
void measureIdle(benchmark::State& state)
{
    double percent = 0;
    double wakeups = 0;
    double uiWakeups = 0;
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds();
        const long wakeupsBefore = processWakeups();
        const long uiBefore = uiThreadWakeups();
        const auto before = Clock::now();
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(state.range(0)), &loop, &QEventLoop::quit);
        loop.exec();
        const std::chrono::duration<double> wall = Clock::now() - before;
        percent = 100.0 * (cpuSeconds() - cpuBefore) / wall.count();
        wakeups = static_cast<double>(processWakeups() - wakeupsBefore) / wall.count();
        uiWakeups = static_cast<double>(uiThreadWakeups() - uiBefore) / wall.count();
        state.SetIterationTime(wall.count());
    }
    state.counters["cpu_percent"] = percent;
    state.counters["wakeups_per_s"] = wakeups;
    state.counters["ui_wakeups_per_s"] = uiWakeups;
}

void idleCapture(benchmark::State& state)
{
    auto controls = hostedControls();
    SilentMidi midi;
    NoController controller;
    Program program(midi.router, controller.input, controller.settings, *controls.stavik1, *controls.stavik2);
    program.start();
    controls.stavik2->setEnabled(true);
    measureIdle(state);
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

// The MIDI input as the program builds it, noting when each message was
// taken off its port (the adapter stamps it there, on RtMidi's thread).
class StampedInput final : public MidiInput, private MidiInputEvents {
public:
    explicit StampedInput(MidiInput& inner) : inner_(inner) { }
    std::vector<std::string> portNames() const override { return inner_.portNames(); }
    bool open(const std::string& name, std::string& problem) override { return inner_.open(name, problem); }
    void close() override { inner_.close(); }
    void setEvents(MidiInputEvents* events) override
    {
        events_ = events;
        inner_.setEvents(events != nullptr ? this : nullptr);
    }

    Clock::time_point lastReceived;

private:
    void message(const MidiInputMessage& message) override
    {
        lastReceived = message.received;
        events_->message(message);
    }
    void portsChanged() override { events_->portsChanged(); }

    MidiInput& inner_;
    MidiInputEvents* events_ = nullptr;
};

constexpr const char* kPadPort = "bench pad:out";
constexpr const char* kSinkPort = "bench sink:in";

// The MIDI system the run plays on: a JACK server of the run's own (dummy
// driver, synchronous, 256 frames at 48 kHz), or the ALSA sequencer when there is one.
// Empty when it can be used, else why not.
std::string prepareMidiSystem(midi::MidiApi api, std::unique_ptr<testing::JackServer>& server)
{
    if (api == midi::MidiApi::AlsaSequencer)
        return std::filesystem::exists("/dev/snd/seq") ? std::string() : "no ALSA sequencer on this machine";
    server = std::make_unique<testing::JackServer>(256);
    return server->ready() ? std::string() : "jackd did not start: " + server->output();
}

// The program with a MIDI controller: its real MIDI (SystemMidi on `api`),
// the form and the controller input with its settings in memory; the
// benchmark's pad plays into it and its output plays into the sink.
struct MidiControllerProgram {
    explicit MidiControllerProgram(midi::MidiApi api) :
        system(midi::SystemMidiOptions {{}, {}, 256, {}, api, 1000}),
        input(system.input()),
        store(log),
        program(system.output(), input, store, stavik1, stavik2,
            [](MidiSetupForm& setup) {
                choose(setup.comboMidiOut, kSinkPort);
                choose(setup.comboMidiIn, kPadPort);
            }),
        controller(program.kelvane.midiController())
    {
        program.start();
    }

    static void choose(ListBox& list, const std::string& entry)
    {
        const auto& items = list.items();
        const auto found = std::find(items.begin(), items.end(), entry);
        if (found != items.end())
            list.setListIndex(static_cast<int>(found - items.begin()));
    }

    // Hits the pad until its note reaches the output: a new connection joins
    // JACK's graph a cycle or so later, and what comes before is lost.
    bool playing(RtMidiOut& pad)
    {
        for (int tries = 0; tries < 100; ++tries) {
            const long before = program.output.noteOns;
            std::vector<unsigned char> on {0x99, 36, 100};
            std::vector<unsigned char> off {0x89, 36, 0};
            pad.sendMessage(&on);
            pad.sendMessage(&off);
            if (runUntil([&] { return program.output.noteOns > before; }))
                return true;
        }
        return false;
    }

    midi::SystemMidi system;
    StampedInput input;
    fakes::EffectLog log;
    fakes::FakeSettingsStore store;
    NullJoystickControl stavik1;
    NullJoystickControl stavik2;
    Program program;
    MidiController& controller;
};

// The benchmark's own clients: the pad controller and the sink the program plays into.
struct BenchClients {
    explicit BenchClients(midi::MidiApi api) :
        pad(api == midi::MidiApi::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA, "bench pad"),
        sink(api == midi::MidiApi::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA, "bench sink")
    {
        pad.openVirtualPort("out");
        // Taken and dropped at once: RtMidi's own queue would fill and complain.
        sink.setCallback([](double, std::vector<unsigned char>*, void*) {});
        sink.openVirtualPort("in");
    }
    RtMidiOut pad;
    RtMidiIn sink;
};

// One run of the MIDI controller's benchmarks: the MIDI system, the
// benchmark's clients and the program, its input on the pad's port. Null
// (and the benchmark skipped, saying why) where that cannot be had.
struct MidiBenchRun {
    std::unique_ptr<testing::JackServer> server;
    std::unique_ptr<BenchClients> clients;
    std::unique_ptr<MidiControllerProgram> program;

    static std::unique_ptr<MidiBenchRun> start(benchmark::State& state, midi::MidiApi api)
    {
        auto run = std::make_unique<MidiBenchRun>();
        if (const std::string why = prepareMidiSystem(api, run->server); !why.empty()) {
            state.SkipWithError(why.c_str());
            return nullptr;
        }
        run->clients = std::make_unique<BenchClients>(api);
        run->program = std::make_unique<MidiControllerProgram>(api);
        if (!run->program->controller.connection().connected()) {
            state.SkipWithError("the pad's port did not open");
            return nullptr;
        }
        return run;
    }
};

void MidiMessageToNoteOn(benchmark::State& state, midi::MidiApi api)
{
    const std::unique_ptr<MidiBenchRun> started = MidiBenchRun::start(state, api);
    if (!started)
        return;
    BenchClients& clients = *started->clients;
    MidiControllerProgram& run = *started->program;
    if (!run.playing(clients.pad)) {
        state.SkipWithError("the pad does not reach the program's output");
        return;
    }
    std::mt19937 random(11);
    std::uniform_int_distribution<int> moment(0, 5333); // microseconds into JACK's period
    const auto samples = static_cast<std::size_t>(state.range(0));

    std::vector<double> millis;
    std::vector<double> fromSend;
    long lost = 0;
    std::vector<unsigned char> on {0x99, 36, 100};
    std::vector<unsigned char> off {0x89, 36, 0};
    const auto released = [&] { return !run.controller.performance().holds(1); };
    for (auto _ : state) {
        double timed = 0;
        while (millis.size() < samples && lost < 100) {
            // A note-off the MIDI system lost would keep the pad's switch held.
            while (!released()) {
                clients.pad.sendMessage(&off);
                runUntil(released);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
            const long before = run.program.output.noteOns;
            const auto sent = Clock::now();
            clients.pad.sendMessage(&on);
            if (!runUntil([&] { return run.program.output.noteOns > before; })) {
                ++lost; // never reached the program's input port: not a part of the path timed
                continue;
            }
            const std::chrono::duration<double> span = run.program.output.noteOnAt - run.input.lastReceived;
            const std::chrono::duration<double> sendSpan = run.program.output.noteOnAt - sent;
            timed += span.count();
            millis.push_back(span.count() * 1000.0);
            fromSend.push_back(sendSpan.count() * 1000.0);
            clients.pad.sendMessage(&off);
            runUntil(released);
        }
        state.SetIterationTime(timed);
    }
    if (lost >= 100)
        state.SkipWithError("the MIDI system lost a hundred messages");
    report(state, millis);
    state.counters["send_median_ms"] = percentile(fromSend, 0.5);
    state.counters["send_p99_ms"] = percentile(fromSend, 0.99);
    state.counters["samples"] = static_cast<double>(millis.size());
    state.counters["lost_before_the_input"] = static_cast<double>(lost);
}

void IdleWithMidiInput(benchmark::State& state, midi::MidiApi api, bool open)
{
    const std::unique_ptr<MidiBenchRun> started = MidiBenchRun::start(state, api);
    if (!started)
        return;
    if (!open)
        started->program->controller.connection().chooseInput("");
    measureIdle(state);
}

BENCHMARK(KeyToNoteOn)->UseManualTime()->Iterations(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(JoystickButtonToNoteOn)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(CaptureIdleWithTwoPads)->Arg(5000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(CaptureIdleWithoutPads)->Arg(5000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(IdleWakeFloor)->Arg(5000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
// MidiMessageToNoteOn/jack, /alsa; IdleWithMidiInput/jack/open, /jack/closed, /alsa/...
void registerMidiBenchmarks()
{
    for (const auto& [system, api] :
        {std::pair {"jack", midi::MidiApi::Jack}, {"alsa", midi::MidiApi::AlsaSequencer}}) {
        benchmark::RegisterBenchmark(("MidiMessageToNoteOn/" + std::string(system)).c_str(), MidiMessageToNoteOn, api)
            ->Arg(2000) // messages timed
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
        for (const bool open : {true, false}) {
            const std::string name = "IdleWithMidiInput/" + std::string(system) + (open ? "/open" : "/closed");
            benchmark::RegisterBenchmark(name.c_str(), IdleWithMidiInput, api, open)
                ->Arg(5000)
                ->UseManualTime()
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kelvane::views::applyStageLook(app); // the program's own look and painting
    registerMidiBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove(runRegistry(), ignored);
    return 0;
}
