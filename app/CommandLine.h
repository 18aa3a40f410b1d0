#pragma once

#include <string>
#include <vector>

namespace kelvane::views {

// The program's command line, sorted before any window system is started.
struct CommandLine {
    bool showVersion = false; // --version
    bool showUsage = false; // --help
    bool exitWhenShown = false; // --exit-when-shown: report the start-up time and end
    // "--soundfont PATH", "--midi-log FILE", "--audio-buffer FRAMES",
    // "--audio-driver NAME" (also as "--name=value"), unchecked, in their
    // order: the MIDI layer reads them.
    std::vector<std::string> midiArguments;
    // Everything else, the program's own path first: the GUI toolkit takes its
    // own options from these; whatever it leaves is not an option we know.
    std::vector<std::string> toolkitArguments;
    // Sentences for the user about arguments that cannot be used.
    std::vector<std::string> problems;
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// What the GUI toolkit left of the arguments (the program's path first): one
// argument that is not an option names a performance file to open at start;
// everything else is reported as unknown.
struct LeftoverArguments {
    std::string performanceFile; // empty: none named
    std::vector<std::string> unknown;
};
LeftoverArguments sortLeftoverArguments(const std::vector<std::string>& leftovers);

// The text of --help.
std::string usageText();

// Whether a Qt window system can be reached: a platform is chosen (the
// QT_QPA_PLATFORM variable or a -platform option) or an X11 or Wayland display
// is named. getEnv returns the variable's value, or nullptr when unset.
bool windowSystemReachable(const std::vector<std::string>& toolkitArguments, const char* (*getEnv)(const char*));

// What to tell a user who started the program with no window system.
std::string noWindowSystemText();

} // namespace kelvane::views
