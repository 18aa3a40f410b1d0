#include "CommandLine.h"

#include <array>
#include <string_view>

namespace kelvane::views {

namespace {
constexpr std::array<std::string_view, 4> kMidiOptions
    = {"--soundfont", "--midi-log", "--audio-buffer", "--audio-driver"};

bool nonEmpty(const char* value) { return value != nullptr && value[0] != '\0'; }
} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    if (!arguments.empty())
        line.toolkitArguments.push_back(arguments.front());
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--version") {
            line.showVersion = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            line.showUsage = true;
            continue;
        }
        if (argument == "--exit-when-shown") {
            line.exitWhenShown = true;
            continue;
        }
        bool midi = false;
        for (std::string_view option : kMidiOptions) {
            if (argument == option) {
                midi = true;
                line.midiArguments.push_back(argument);
                if (i + 1 < arguments.size())
                    line.midiArguments.push_back(arguments[++i]);
                else
                    line.problems.push_back(argument + " needs a value.");
            } else if (argument.starts_with(std::string(option) + "=")) {
                midi = true;
                line.midiArguments.push_back(argument);
            }
        }
        if (!midi)
            line.toolkitArguments.push_back(argument);
    }
    return line;
}

LeftoverArguments sortLeftoverArguments(const std::vector<std::string>& leftovers)
{
    LeftoverArguments sorted;
    for (std::size_t i = 1; i < leftovers.size(); ++i) {
        const std::string& argument = leftovers[i];
        if (sorted.performanceFile.empty() && !argument.empty() && argument.front() != '-')
            sorted.performanceFile = argument;
        else
            sorted.unknown.push_back(argument);
    }
    return sorted;
}

std::string usageText()
{
    return "Usage: kelvane [OPTION]... [FILE.dnc]\n"
           "Kelvane, a live-performance instrument: eight switches that play MIDI notes.\n"
           "FILE.dnc, a performance file, is opened once the MIDI output is chosen.\n"
           "\n"
           "  --soundfont PATH       the General MIDI soundfont (.sf2) of the built-in synthesizer\n"
           "  --midi-log FILE        append every MIDI message sent to FILE\n"
           "  --audio-buffer FRAMES  frames per sound-card period (smaller answers faster)\n"
           "  --audio-driver NAME    SDL's audio driver: pipewire, pulseaudio, alsa, jack, dummy, disk\n"
           "  --exit-when-shown      print the start-up time once the window is shown, and exit\n"
           "  --version              print the version and exit\n"
           "  --help                 print this help and exit\n"
           "\n"
           "Qt's own options (for example -platform offscreen) are accepted as well.\n";
}

bool windowSystemReachable(const std::vector<std::string>& toolkitArguments, const char* (*getEnv)(const char*))
{
    if (nonEmpty(getEnv("QT_QPA_PLATFORM")) || nonEmpty(getEnv("DISPLAY")) || nonEmpty(getEnv("WAYLAND_DISPLAY")))
        return true;
    for (const std::string& argument : toolkitArguments)
        if (argument == "-platform" || argument == "--platform" || argument.starts_with("-platform=")
            || argument.starts_with("--platform="))
            return true;
    return false;
}

std::string noWindowSystemText()
{
    return "kelvane: no display to open the window on (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset).\n"
           "Run it on a desktop, under a virtual display (xvfb-run -a kelvane), or without any window\n"
           "(QT_QPA_PLATFORM=offscreen kelvane).\n";
}

} // namespace kelvane::views
