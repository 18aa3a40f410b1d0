// A full master fade of the lighting desk (0 to 127: twelve channels, 128
// steps) clicked in the desk's window, through the real pause (a nested event
// loop for the fade time, then the pending events) and the program's MIDI
// output with its built-in synthesizer sounding. Timed from the button's press to the end of its
// release, which returns when the fade has run.
//
// Reported per fade time: the median fade, and the time above the 128 pauses
// (what the steps and the events cost beyond the pauses, plus the pauses'
// overshoot; the desk repaints inside the pauses), per step and as a ratio of the pauses. Goal: at most 5 % at the
// desk's initial fade time, 30 ms. At 0 ms the pauses are empty and all of the
// time is above them, so only the per-step figure is given. Beside it: the
// same pauses timed alone, so that a busy machine's late wake-ups can be told
// from the desk's own work, and the user-interface thread's CPU time, which
// they do not inflate.
//
// Usage: kelvane_fade_bench [RUNS_AT_30_MS] [RUNS_AT_0_MS]   (defaults 3 and 20)
#include "HelpViewer.h"
#include "LightDeskView.h"
#include "StageLook.h"
#include "desktop/ModalViews.h"
#include "desktop/QtDialogs.h"
#include "desktop/QtEnvironment.h"
#include "desktop/QtPause.h"
#include "lighting/LightForm.h"
#include "midi/SystemMidi.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

using namespace kelvane;
using Clock = std::chrono::steady_clock;

constexpr int kStepsOfAFullFade = kMaxLightLevel + 1;

void sendMouse(QWidget& widget, QEvent::Type type)
{
    const QPointF centre = QRectF(widget.rect()).center();
    QMouseEvent event(type, centre, widget.mapToGlobal(centre), Qt::LeftButton,
        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// CPU time of the calling (user-interface) thread: the desk's own work, which
// a busy machine's other processes do not inflate as they do the wall time.
double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct FadeTimes {
    double wallMs = 0;
    double cpuMs = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median fade, in wall time and in the user-interface thread's CPU time.
FadeTimes timeFades(LightForm& desk, QPushButton& fadeUp, int fadeTimeMs, int runs)
{
    std::vector<double> wallMs;
    std::vector<double> cpuMs;
    for (int run = 0; run < runs; ++run) {
        desk.scrFadeTime.setValue(0);
        desk.scrMaster.setValue(0);
        desk.scrFadeTime.setValue(fadeTimeMs);
        QApplication::processEvents();
        const double cpuStart = threadCpuMs();
        const auto start = Clock::now();
        sendMouse(fadeUp, QEvent::MouseButtonPress);
        sendMouse(fadeUp, QEvent::MouseButtonRelease);
        const auto end = Clock::now();
        cpuMs.push_back(threadCpuMs() - cpuStart);
        if (desk.scrMaster.value() != kMaxLightLevel
            || desk.channel(kLightChannelCount).fader.value() != kMaxLightLevel) {
            std::fprintf(
                stderr, "kelvane_fade_bench: the fade did not reach 127 (%s)\n", desk.lblNotice.text().c_str());
            std::exit(EXIT_FAILURE);
        }
        wallMs.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return {median(wallMs), median(cpuMs)};
}

// The same 128 pauses with nothing to do between them: what the sleeps and an
// idle event loop take on this machine, beyond the nominal pause.
double timeIdlePauses(Pause& pause, int fadeTimeMs, int runs)
{
    std::vector<double> runsMs;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        for (int step = 0; step < kStepsOfAFullFade; ++step)
            pause.waitThenHandleEvents(fadeTimeMs);
        runsMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return median(runsMs);
}

void report(int fadeTimeMs, int runs, FadeTimes fade, double idleMs)
{
    const double pausesMs = static_cast<double>(kStepsOfAFullFade * fadeTimeMs);
    const double aboveMs = fade.wallMs - pausesMs;
    std::printf("fade time %3d ms: %d runs, median fade %9.2f ms, above the pauses %8.2f ms (%7.1f us per step)",
        fadeTimeMs, runs, fade.wallMs, aboveMs, 1000.0 * aboveMs / kStepsOfAFullFade);
    if (pausesMs > 0)
        std::printf(", ratio %.2f %%", 100.0 * aboveMs / pausesMs);
    std::printf("\n  idle pauses alone: %.2f ms above nominal; user-interface thread CPU: %.2f ms (%.1f us per step)",
        idleMs - pausesMs, fade.cpuMs, 1000.0 * fade.cpuMs / kStepsOfAFullFade);
    if (pausesMs > 0)
        std::printf(", %.2f %% of the pauses", 100.0 * fade.cpuMs / pausesMs);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    // Headless by default; a display or sound card given by the caller wins.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const int runsAt30 = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int runsAt0 = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;

    QApplication app(argc, argv);
    views::applyStageLook(app); // the program's own look: its style sheet is part of what each step paints
    views::ModalViews modals;
    views::HelpViewer help;
    views::QtDialogs dialogs;
    views::QtEnvironment environment(modals, help, dialogs, ".");
    views::QtPause pause;
    midi::SystemMidi systemMidi(midi::SystemMidiOptions {});
    MidiOutput& output = systemMidi.output();
    output.setErrorHandler([](int code, const std::string& text) {
        std::fprintf(stderr, "kelvane_fade_bench: MIDI report %d: %s\n", code, text.c_str());
    });
    output.selectDevice(-1);
    output.open();
    if (!systemMidi.waitForSoundFont())
        std::fprintf(stderr, "kelvane_fade_bench: the synthesizer has no soundfont; timing without its sound\n");

    Window mainWindow("frmMain", "Kelvane");
    LightForm desk(LightFormPorts {output, pause, environment}, mainWindow);
    views::LightDeskView view(desk);
    desk.show();
    QApplication::processEvents();
    auto* fadeUp = view.findChild<QPushButton*>("cmdFadeUp");
    if (!fadeUp) {
        std::fprintf(stderr, "kelvane_fade_bench: the desk has no cmdFadeUp\n");
        return EXIT_FAILURE;
    }

    timeFades(desk, *fadeUp, 0, 3); // warm-up
    report(0, runsAt0, timeFades(desk, *fadeUp, 0, runsAt0), timeIdlePauses(pause, 0, runsAt0));
    report(30, runsAt30, timeFades(desk, *fadeUp, 30, runsAt30), timeIdlePauses(pause, 30, runsAt30));
    output.close();
    return EXIT_SUCCESS;
}
