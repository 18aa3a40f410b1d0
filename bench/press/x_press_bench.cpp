// From an X button event to the program's reaction, against the toolkit's
// own floor, in one run under a real X server (Xvfb): XTest presses the mouse
// button alternately over switch 1's button in the real main window (views,
// form, router, built-in synthesizer) and over a bare Qt window whose press
// handler only notes the time. Each sample runs from the XTest request being
// flushed to the X server to
//  - Kelvane: the note-on queued for the synthesizer's audio thread;
//  - floor:   the bare window's mousePressEvent being entered.
// The X server, the connection and Qt's event delivery are in both; what
// Kelvane adds on top is its own press path. Beside each: the part inside the
// process, from Qt reading the press off the X connection to the reaction.
//
// Usage: xvfb-run -a -s "-screen 0 1600x1000x24" kelvane_x_press_bench [PRESSES]
// Goal: Kelvane's median at most 1.10 times the floor's, in the same run (the
// p99 of either is set by how the X server and the machine schedule).
#include "FloorWindow.h"
#include "PressRig.h"
#include "StageLook.h"
#include "XTestPointer.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <optional>

namespace {

using namespace kelvane;
using namespace kelvane::bench;

// Notes when Qt reads a button press off the X connection, before it
// dispatches it to any window.
class PressReadFilter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const int type = event->response_type & 0x7f;
        constexpr int kXInputButtonPress = 4; // XI_ButtonPress, in an XInput 2 generic event
        const bool press = type == XCB_BUTTON_PRESS
            || (type == XCB_GE_GENERIC
                && reinterpret_cast<const xcb_ge_generic_event_t*>(event)->event_type == kXInputButtonPress);
        if (press)
            readAt.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
        return false;
    }

    std::atomic<Clock::rep> readAt {0};
};

struct Target {
    QPoint screen; // where to press, in screen coordinates
    Arrivals* reactions;
    std::vector<double> samples;
    std::vector<double> inProcess; // Qt read the press -> reaction
};

// The pressing side, on a thread and X connection of its own, so that the
// user-interface thread only waits for its events.
void pressAlternately(std::vector<Target>& targets, const PressReadFilter& reads, int presses)
{
    XTestPointer pointer;
    constexpr int kWarmUp = 50;
    for (int i = 0; i < 2 * (kWarmUp + presses); ++i) {
        Target& target = targets[static_cast<std::size_t>(i % 2)];
        pointer.moveTo(target.screen.x(), target.screen.y());
        std::this_thread::sleep_for(std::chrono::milliseconds(3));

        const long long before = target.reactions->count();
        const auto sent = pointer.press();
        // Generous: on a loaded machine the X server itself may be descheduled.
        const auto arrived = target.reactions->awaitAfter(before, std::chrono::seconds(3));
        if (!arrived)
            throw std::runtime_error("a press at (" + std::to_string(target.screen.x()) + ", "
                + std::to_string(target.screen.y()) + ") did not arrive");
        if (i >= 2 * kWarmUp) {
            target.samples.push_back(microseconds(*arrived - sent));
            const Clock::time_point read(Clock::duration(reads.readAt.load(std::memory_order_relaxed)));
            target.inProcess.push_back(microseconds(*arrived - read));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        pointer.release();
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int presses = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "kelvane_x_press_bench needs an X server: run it under xvfb-run (see the README)\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    kelvane::views::applyStageLook(app); // the program's own look and painting
    try {
        PressRig rig({midi::MidiOutputRouter::kMapper, {}});
        rig.view->move(0, 0);
        FloorWindow floor;
        floor.setGeometry(0, rig.view->frameGeometry().bottom() + 40, 300, 120);
        floor.show();
        // Both windows mapped and placed before the first press.
        const auto settle = Clock::now() + std::chrono::seconds(10);
        auto exposed = [](QWidget& window) { return window.windowHandle() && window.windowHandle()->isExposed(); };
        while (Clock::now() < settle && !(exposed(*rig.view) && exposed(floor)))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const auto quiet = Clock::now() + std::chrono::milliseconds(300);
        while (Clock::now() < quiet)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

        auto* button = rig.view->findChild<QWidget*>("Command19");
        std::vector<Target> targets {{button->mapToGlobal(button->rect().center()), &rig.synth.queued, {}, {}},
            {floor.mapToGlobal(floor.rect().center()), &floor.presses, {}, {}}};
        PressReadFilter reads;
        app.installNativeEventFilter(&reads);
        runBesideTheEventLoop([&] { pressAlternately(targets, reads, presses); });

        std::vector<double>& kelvane = targets[0].samples;
        std::vector<double>& bare = targets[1].samples;
        std::printf("X button event (XTest, flushed) -> reaction, %d presses each, alternating\n", presses);
        std::printf("  Kelvane, note-on queued for the synthesizer: %s\n", summary(kelvane).c_str());
        std::printf("  bare Qt window, press handler entered:       %s\n", summary(bare).c_str());
        const double medianRatio = percentile(kelvane, 0.5) / percentile(bare, 0.5);
        const double p99Ratio = percentile(kelvane, 0.99) / percentile(bare, 0.99);
        std::printf("  Kelvane / floor: median %.2fx  p99 %.2fx  (goal: median at most 1.10x: %s)\n", medianRatio,
            p99Ratio, medianRatio <= 1.10 ? "met" : "NOT met");
        std::printf("inside the process: Qt reads the press off the X connection -> reaction\n");
        std::printf("  Kelvane, note-on queued for the synthesizer: %s\n", summary(targets[0].inProcess).c_str());
        std::printf("  bare Qt window, press handler entered:       %s\n", summary(targets[1].inProcess).c_str());
        for (const std::string& report : rig.reports())
            std::printf("  reported: %s\n", report.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kelvane_x_press_bench: %s\n", error.what());
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
