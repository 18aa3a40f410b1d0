// The program without its views (Kelvane, every form wired as main() wires
// them): from switch 1's mouse-down to the note-on handed to a MIDI output
// that only counts what it gets. No views, no router, no synthesizer, no log:
// the core's own share of a press. The press includes slide control's step,
// as the program's does (the mode off, as at every start: the slide key is
// picked, nothing is typed). The whole press path is measured by
// kelvane_press_path_bench.
//
// Reported: the benchmark's own time is a press and its release together; the
// counters p50_ns, p99_ns and max_ns are the press alone, sampled one by one.
#include "Kelvane.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeFileStore.h"
#include "fakes/FakeMidiInput.h"
#include "fakes/FakePreferencesStore.h"
#include "fakes/FakeSettingsStore.h"
#include "null/NullJoystickControl.h"
#include "null/NullKeystrokes.h"
#include "null/NullWavePlayer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using namespace kelvane;

class CountingMidiOutput : public MidiOutput {
public:
    int deviceCount() const override { return 0; }
    int selectedDevice() const override { return selected_; }
    void selectDevice(int device) override { selected_ = device; }
    std::string deviceName() const override { return "counter"; }
    int openStatus() const override { return open_ ? 1 : 0; }
    void open() override { open_ = true; }
    void close() override { open_ = false; }
    void send(const ShortMessage& message) override
    {
        ++sent;
        last = message;
    }
    void setErrorHandler(ErrorHandler) override { }

    long long sent = 0;
    ShortMessage last;

private:
    int selected_ = -1;
    bool open_ = false;
};

// The program, started as at a program start, with the counting output, the
// do-nothing wave player, joysticks and keystrokes, and the rest in memory.
struct Pad {
    Pad()
    {
        environment.whileModal = [this](Window&) { kelvane.midiSetup().okButton.click(); };
        kelvane.start();
        form.load();
        form.activate();
    }

    fakes::EffectLog log;
    CountingMidiOutput midi;
    fakes::FakeMidiInput midiInput {log};
    NullWavePlayer waves;
    NullJoystickControl stavik1;
    NullJoystickControl stavik2;
    fakes::FakeDialogs dialogs {log};
    fakes::FakePause pause {log};
    fakes::FakeEnvironment environment {log};
    NullKeystrokes keys;
    fakes::FakePreferencesStore preferencesStore {log};
    fakes::FakeSettingsStore midiInputStore {log};
    fakes::FakeFileStore files {log};
    Kelvane kelvane {KelvanePorts {midi, midiInput, waves, stavik1, stavik2, dialogs, pause, environment, keys,
        preferencesStore, midiInputStore, files}};
    MainForm& form = kelvane.mainForm();
};

double percentile(std::vector<double>& sorted, double fraction)
{
    const auto rank = static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(rank, sorted.size() - 1)];
}

void SwitchPressThroughMainForm(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    Pad pad;
    const Button& button = pad.form.switches().at(1).button;
    std::vector<double> pressNs;
    pressNs.reserve(1 << 20);
    const long long sentBefore = pad.midi.sent;

    for (auto _ : state) {
        const auto start = Clock::now();
        button.mouseDown(MouseButton::Left);
        const auto sent = Clock::now();
        button.mouseUp(MouseButton::Left);
        if (pressNs.size() < pressNs.capacity())
            pressNs.push_back(
                static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(sent - start).count()));
    }

    if (pad.midi.sent - sentBefore != 2 * static_cast<long long>(state.iterations())) {
        state.SkipWithError("a press or release did not reach the MIDI output");
        return;
    }
    std::sort(pressNs.begin(), pressNs.end());
    state.counters["p50_ns"] = percentile(pressNs, 0.50);
    state.counters["p99_ns"] = percentile(pressNs, 0.99);
    state.counters["max_ns"] = pressNs.back();
    state.counters["samples"] = static_cast<double>(pressNs.size());
}
BENCHMARK(SwitchPressThroughMainForm)->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
