// The composition root: builds the adapters, the program (Kelvane) on them and
// its views, and runs the event loop. Nothing here is a singleton;
// every object lives in main()'s frames and is destroyed in reverse order
// (views before the forms they show, forms before the ports they use).

#include "CommandLine.h"
#include "HelpViewer.h"
#include "HostedJoystickControls.h"
#include "KelvaneViews.h"
#include "StageLook.h"
#include "audio/MixerWavePlayer.h"
#include "desktop/HeldKeyRepeat.h"
#include "desktop/InstallLayout.h"
#include "desktop/ModalViews.h"
#include "desktop/QtDialogs.h"
#include "desktop/QtEnvironment.h"
#include "desktop/QtPause.h"
#include "files/LocalFileStore.h"
#include "files/PreferencesFile.h"
#include "files/SettingsFile.h"
#include "keys/XTestKeystrokes.h"
#include "midi/SystemMidi.h"
#include "null/NullWavePlayer.h"
#include "stavik/RegistryFile.h"
#include "stavik/host/ControlLocator.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The process's environment, as the adapters that read it take it.
const char* environmentVariable(const char* name) { return std::getenv(name); }

// The MIDI side of the program: the system's MIDI ports, the built-in
// synthesizer (its soundfont loads in the background) and the MIDI log.
// Starting it never waits and never fails; what is missing is reported to the
// user through the output's error report.
std::unique_ptr<kelvane::midi::SystemMidi> startMidi(
    const kelvane::midi::SystemMidiOptions& options, const std::string& installedShareFolder)
{
    return std::make_unique<kelvane::midi::SystemMidi>(options, installedShareFolder);
}

// Tells the user, on standard error, the period the sound device granted, as
// soon as its first period has run (or after two seconds without one).
void reportAudioPeriod(const kelvane::audio::AudioOutput& audio, QObject& owner)
{
    constexpr int kPollMs = 20;
    constexpr int kMaxPolls = 100;
    auto* poll = new QTimer(&owner);
    poll->setInterval(kPollMs);
    QObject::connect(poll, &QTimer::timeout, poll, [&audio, poll, polls = 0]() mutable {
        if (audio.obtainedPeriodFrames() == 0 && ++polls < kMaxPolls)
            return;
        std::fprintf(stderr, "kelvane: audio output: %s\n", audio.describePeriod().c_str());
        poll->stop();
    });
    poll->start();
}

int runProgram(const kelvane::views::CommandLine& line, const std::string& performanceFile,
    const kelvane::midi::SystemMidiOptions& midiOptions, Clock::time_point started)
{
    using namespace kelvane;
    using namespace kelvane::views;

    ModalViews modals;
    HelpViewer help;
    QtDialogs dialogs;
    // Companions are found from where the program runs, never from a folder
    // fixed at build time (see InstallLayout.h).
    const std::string programFolder = QCoreApplication::applicationDirPath().toStdString();
    QtEnvironment environment(modals, help, dialogs, installedDataFolder(programFolder));
    QtPause pause;
    const std::unique_ptr<midi::SystemMidi> systemMidi = startMidi(midiOptions, installedShareFolder(programFolder));
    // The wave slots play on the synthesizer's sound device; without one they
    // load nothing and every press says that the audio output is unavailable, and why.
    std::unique_ptr<WavePlayer> wavePlayer;
    if (audio::AudioOutput* output = systemMidi->audioOutput())
        wavePlayer = std::make_unique<audio::MixerWavePlayer>(*output);
    else
        wavePlayer = std::make_unique<NullWavePlayer>(systemMidi->audioProblem());
    WavePlayer& waves = *wavePlayer;
    // The two joystick controls, Stavik1 (first joystick) and Stavik2 (second).
    const stavikhost::HostedJoysticks joysticks
        = stavikhost::hostJoystickControls(stavik::defaultRegistryPath(environmentVariable),
            stavik::host::librariesBeside(stavik::host::programDirectory()),
            [](const std::string& why) { std::fprintf(stderr, "kelvane: %s\n", why.c_str()); });
    JoystickControl& stavik1 = *joysticks.stavik1;
    JoystickControl& stavik2 = *joysticks.stavik2;
    const std::string configFolder = files::preferencesFolder(environmentVariable);
    files::PreferencesFile preferencesFile(configFolder);
    keys::XTestKeystrokes keystrokes(environmentVariable);
    files::LocalFileStore fileStore;
    // A MIDI controller, the fourth way to press the switches.
    files::SettingsFile midiInputSettings(configFolder, kMidiInputSettingsFileName, kMidiInputSettingsLargest);
    Kelvane kelvane(KelvanePorts {systemMidi->output(), systemMidi->input(), waves, stavik1, stavik2, dialogs, pause,
        environment, keystrokes, preferencesFile, midiInputSettings, fileStore});
    if (!performanceFile.empty())
        kelvane.openWhenStarted(performanceFile);
    KelvaneViews windows(kelvane, modals, help);
    MainWindowView& mainView = windows.mainWindow();
    if (const audio::AudioOutput* audio = systemMidi->audioOutput())
        reportAudioPeriod(*audio, mainView);
    if (line.exitWhenShown) {
        mainView.setOnFirstShown([&mainView, started] {
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
            std::printf(
                "kelvane: main window shown %.1f ms after start\n", static_cast<double>(elapsed.count()) / 1000.0);
            std::fflush(stdout);
            // Closing is the user's way out: the form unloads and ends the program.
            mainView.close();
        });
    }
    // The controller plays from the start, the setup window included; a bad
    // settings file is told before the main window comes up.
    kelvane.start();
    mainView.loadAndShow();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    const Clock::time_point started = Clock::now();
    using namespace kelvane::views;

    const CommandLine line = parseCommandLine(std::vector<std::string>(argv, argv + argc));
    // Answered before any window system is touched, so they work anywhere.
    if (line.showVersion) {
        std::printf("%s %s\n", kelvane::kProductName.data(), kelvane::kVersion.data());
        return EXIT_SUCCESS;
    }
    if (line.showUsage) {
        std::fputs(usageText().c_str(), stdout);
        return EXIT_SUCCESS;
    }

    std::vector<std::string> problems = line.problems;
    const kelvane::midi::SystemMidiOptions midiOptions
        = kelvane::midi::parseSystemMidiOptions(line.midiArguments, problems);
    if (!problems.empty()) {
        for (const std::string& problem : problems)
            std::fprintf(stderr, "kelvane: %s\n", problem.c_str());
        std::fputs("Try 'kelvane --help'.\n", stderr);
        return 2;
    }

    if (!windowSystemReachable(line.toolkitArguments, environmentVariable)) {
        std::fputs(noWindowSystemText().c_str(), stderr);
        return EXIT_FAILURE;
    }

    // QApplication keeps argc and argv for its lifetime and removes the
    // options it takes from them.
    std::vector<std::string> toolkitArguments = line.toolkitArguments;
    std::vector<char*> toolkitArgv;
    for (std::string& argument : toolkitArguments)
        toolkitArgv.push_back(argument.data());
    toolkitArgv.push_back(nullptr);
    int toolkitArgc = static_cast<int>(toolkitArguments.size());
    QApplication app(toolkitArgc, toolkitArgv.data());
    QApplication::setApplicationName("Kelvane");
    QApplication::setApplicationVersion(QString::fromUtf8(kelvane::kVersion.data()));
    // The installed desktop entry and icon (kelvane.desktop, "kelvane" in the
    // icon theme); a build tree has no theme icon and keeps the default.
    QGuiApplication::setDesktopFileName(QStringLiteral("kelvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kelvane")));

    const LeftoverArguments leftovers
        = sortLeftoverArguments(std::vector<std::string>(toolkitArgv.begin(), toolkitArgv.begin() + toolkitArgc));
    if (!leftovers.unknown.empty()) {
        for (const std::string& argument : leftovers.unknown)
            std::fprintf(stderr, "kelvane: unknown option %s\n", argument.c_str());
        std::fputs("Try 'kelvane --help'.\n", stderr);
        return 2;
    }
    // Open changes nothing for a file that is not there; say so here, where
    // the user typed the name.
    std::error_code ignored;
    if (!leftovers.performanceFile.empty() && !std::filesystem::is_regular_file(leftovers.performanceFile, ignored))
        std::fprintf(stderr, "kelvane: %s is not a file; starting without it\n", leftovers.performanceFile.c_str());

    applyStageLook(app);
    // Before any window shows: a key held down is one press and one release.
    if (const std::string why = askForRepeatedPressesOfHeldKeys(); !why.empty())
        std::fprintf(stderr,
            "kelvane: held keys are told apart from releases by the toolkit alone, which a busy machine can fool: "
            "%s\n",
            why.c_str());
    return runProgram(line, leftovers.performanceFile, midiOptions, started);
}
