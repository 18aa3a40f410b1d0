// A switch press through the program's real press path, offscreen: a mouse
// press delivered to switch 1's button in the main window (views attached),
// through the form and the MIDI output router,
//  1. to the note-on queued for the built-in synthesizer's audio thread
//     (FluidSynth rendering on SDL's output, whose callback drains the queue);
//  2. to the note-on written to an ALSA sequencer port (a port this benchmark
//     opens to receive it), where the machine has a sequencer; skipped otherwise.
// Also reported: the whole press handler, the views catching up on the next
// turn of the event loop, and the floor: the same delivery to a bare widget. Presses come every millisecond or so, each
// followed by its release, as fast as a drummer's roll.
//
// Usage: kelvane_press_path_bench [PRESSES] [--midi-log FILE]
// Goal: press to queued for the synthesizer, p99 at most the floor's p99
// (measured in the same run) + 10 us.
#include "PressRig.h"
#include "StageLook.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <RtMidi.h>

#include <cstdlib>
#include <cstring>

namespace {

using namespace kelvane;
using namespace kelvane::bench;

struct Samples {
    std::vector<double> toHandOff; // press delivered -> message handed off (queued or written)
    std::vector<double> handler; // press delivered -> press handler returned
    std::vector<double> viewsCatchUp; // one turn of the event loop after the press
};

void deliver(QWidget& button, QEvent::Type type)
{
    const QPointF centre(button.width() / 2.0, button.height() / 2.0);
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, centre, button.mapToGlobal(centre), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &event);
}

// Presses and releases switch 1 `presses` times after a warm-up. handOff()
// gives the count of messages handed off so far and the time of the last.
template <typename HandOff> Samples pressRepeatedly(PressRig& rig, int presses, HandOff handOff)
{
    QWidget* button = rig.view->findChild<QWidget*>("Command19");
    if (!button)
        throw std::runtime_error("switch 1's button is missing");
    constexpr int kWarmUp = 200;
    Samples samples;
    for (int i = 0; i < kWarmUp + presses; ++i) {
        const long long before = handOff().first;
        const auto start = Clock::now();
        deliver(*button, QEvent::MouseButtonPress);
        const auto returned = Clock::now();
        const auto [count, at] = handOff();
        QCoreApplication::processEvents();
        const auto caughtUp = Clock::now();
        if (count != before + 1)
            throw std::runtime_error("a press did not hand off exactly one message");
        if (i >= kWarmUp) {
            samples.toHandOff.push_back(microseconds(at - start));
            samples.handler.push_back(microseconds(returned - start));
            samples.viewsCatchUp.push_back(microseconds(caughtUp - returned));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        deliver(*button, QEvent::MouseButtonRelease);
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return samples;
}

// A widget that only notes when a press reaches it: Qt's own share of a
// delivered press, the floor under every number above it.
class FloorWidget : public QWidget {
public:
    void mousePressEvent(QMouseEvent* event) override
    {
        pressedAt = Clock::now();
        ++presses;
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }

    Clock::time_point pressedAt {};
    long long presses = 0;
};

// The floor's samples, sorted.
std::vector<double> floor(int presses)
{
    FloorWidget widget;
    widget.resize(100, 40);
    widget.show();
    QCoreApplication::processEvents();
    std::vector<double> samples;
    for (int i = 0; i < 200 + presses; ++i) {
        const auto start = Clock::now();
        deliver(widget, QEvent::MouseButtonPress);
        if (i >= 200)
            samples.push_back(microseconds(widget.pressedAt - start));
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        deliver(widget, QEvent::MouseButtonRelease);
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    std::printf("floor: the same press delivered to a bare widget's press handler\n");
    std::printf("  press to handler entry: %s\n", summary(samples).c_str());
    return samples;
}

void print(const char* title, Samples& samples)
{
    std::printf("%s\n", title);
    std::printf("  press to hand-off:      %s\n", summary(samples.toHandOff).c_str());
    std::printf("  press handler:          %s\n", summary(samples.handler).c_str());
    std::printf("  views on the next turn: %s\n", summary(samples.viewsCatchUp).c_str());
}

// The press to hand-off samples, sorted.
std::vector<double> toSynth(int presses, const std::string& midiLog)
{
    PressRig rig({midi::MidiOutputRouter::kMapper, midiLog});
    Samples samples = pressRepeatedly(
        rig, presses, [&rig] { return std::make_pair(rig.synth.queued.count(), rig.synth.queued.last()); });
    rig.waitForAudioThread();
    print("switch press -> note-on queued for the built-in synthesizer's audio thread", samples);
    std::printf("  audio output: %s\n", rig.soundOutput->describePeriod().c_str());
    for (const std::string& report : rig.reports())
        std::printf("  reported: %s\n", report.c_str());
    return samples.toHandOff;
}

void toSequencer(int presses, const std::string& midiLog)
{
    constexpr const char* kSinkName = "press bench sink";
    std::unique_ptr<RtMidiIn> sink;
    try {
        sink = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, "Kelvane bench");
        sink->openVirtualPort(kSinkName);
    } catch (const RtMidiError& error) {
        std::printf("switch press -> note-on written to an ALSA sequencer port: skipped (no sequencer: %s)\n",
            error.getMessage().c_str());
        return;
    }
    // The router lists the ports once, when it is built: the sink exists by then.
    const std::vector<std::string> names
        = midi::RtMidiOutputPorts(midi::MidiApi::AlsaSequencer, "Kelvane bench lister").names();
    const auto found = std::find_if(
        names.begin(), names.end(), [&](const std::string& name) { return name.find(kSinkName) != std::string::npos; });
    if (found == names.end()) {
        std::printf("switch press -> note-on written to an ALSA sequencer port: skipped (the port is not listed)\n");
        return;
    }
    const int device = static_cast<int>(found - names.begin());
    PressRig rig({device, midiLog});
    if (rig.router->selectedDevice() != device || rig.router->openStatus() == 0) {
        std::printf("switch press -> note-on written to an ALSA sequencer port: skipped (the port did not open)\n");
        return;
    }
    Samples samples
        = pressRepeatedly(rig, presses, [&rig] { return std::make_pair(rig.ports.sentCount, rig.ports.sentAt); });
    print("switch press -> note-on written to an ALSA sequencer port", samples);
    for (const std::string& report : rig.reports())
        std::printf("  reported: %s\n", report.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    int presses = 5000;
    std::string midiLog;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--midi-log") == 0 && i + 1 < argc)
            midiLog = argv[++i];
        else
            presses = std::max(1, std::atoi(argv[i]));
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    kelvane::views::applyStageLook(app); // the program's own look and painting
    try {
        const std::vector<double> handOff = toSynth(presses, midiLog);
        toSequencer(presses, midiLog);
        const std::vector<double> bare = floor(presses);
        const double handOffP99 = percentile(handOff, 0.99);
        const double floorP99 = percentile(bare, 0.99);
        std::printf("goal: press to queued for the synthesizer, p99 %.1f us at most the floor's p99 %.1f us + 10 us: "
                    "%s\n",
            handOffP99, floorP99, handOffP99 <= floorP99 + 10.0 ? "met" : "NOT met");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kelvane_press_path_bench: %s\n", error.what());
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
