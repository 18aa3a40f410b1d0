// A full master fade of the lighting desk (0 to 127: twelve channels, 128
// steps) clicked in the desk's window, through the real pause (sleep, then
// the pending events) and the program's MIDI output with its built-in
// synthesizer sounding. Timed from the button's press to the end of its
// release, which returns when the fade has run.
//
// Reported per fade time: the median fade, and the time above the 128 pauses
// (what the messages, the views and the events cost, plus the sleeps'
// overshoot), per step and as a ratio of the pauses. Goal: at most 5 % at the
// desk's initial fade time, 30 ms. At 0 ms the pauses are empty and all of the
// time is above them, so only the per-step figure is given.
//
// Usage: kelvane_fade_bench [RUNS_AT_30_MS] [RUNS_AT_0_MS]   (defaults 3 and 20)
#include "HelpViewer.h"
#include "LightDeskView.h"
#include "ModalViews.h"
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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Returns the median fade in milliseconds.
double timeFades(LightForm& desk, QPushButton& fadeUp, int fadeTimeMs, int runs)
{
    std::vector<double> fadesMs;
    for (int run = 0; run < runs; ++run) {
        desk.scrFadeTime.setValue(0);
        desk.scrMaster.setValue(0);
        desk.scrFadeTime.setValue(fadeTimeMs);
        QApplication::processEvents();
        const auto start = Clock::now();
        sendMouse(fadeUp, QEvent::MouseButtonPress);
        sendMouse(fadeUp, QEvent::MouseButtonRelease);
        const auto end = Clock::now();
        if (desk.scrMaster.value() != kMaxLightLevel
            || desk.channel(kLightChannelCount).fader.value() != kMaxLightLevel) {
            std::fprintf(
                stderr, "kelvane_fade_bench: the fade did not reach 127 (%s)\n", desk.lblNotice.text().c_str());
            std::exit(EXIT_FAILURE);
        }
        fadesMs.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return median(fadesMs);
}

void report(int fadeTimeMs, int runs, double fadeMs)
{
    const double pausesMs = static_cast<double>(kStepsOfAFullFade * fadeTimeMs);
    const double aboveMs = fadeMs - pausesMs;
    std::printf("fade time %3d ms: %d runs, median fade %9.2f ms, above the pauses %7.2f ms (%6.1f us per step)",
        fadeTimeMs, runs, fadeMs, aboveMs, 1000.0 * aboveMs / kStepsOfAFullFade);
    if (pausesMs > 0)
        std::printf(", ratio %.2f %%", 100.0 * aboveMs / pausesMs);
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
    report(0, runsAt0, timeFades(desk, *fadeUp, 0, runsAt0));
    report(30, runsAt30, timeFades(desk, *fadeUp, 30, runsAt30));
    output.close();
    return EXIT_SUCCESS;
}
