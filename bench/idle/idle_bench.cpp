// What the real program costs while nobody plays: the `kelvane` binary,
// started under an X server as a user starts it (SDL's dummy audio driver
// unless SDL_AUDIODRIVER says otherwise), its MIDI Setup answered with Return
// through XTest, then left alone. Measured from outside over SECONDS, from
// /proc: the CPU time of all its threads as a percentage of one core, and its
// wake-ups per second (voluntary context switches), in all and per thread.
//
// Twice: with no game controllers, and with two pads plugged in (two SDL
// virtual joysticks that a preloaded library plugs in when the program starts
// SDL's joystick subsystem, since this kind of machine has no devices); both
// joystick controls are enabled, as at every start.
//
// Beside it, in the same run, the floor: a thread that does nothing but wake
// once per audio period (what any program that keeps a sound device running
// at that period pays for the wake-ups alone).
//
// Usage: xvfb-run -a kelvane_idle_bench [SECONDS] [PROGRAM] [-- PROGRAM OPTIONS]
// PROGRAM defaults to the kelvane beside this benchmark.
// Goal: at most 0.3 % of a core, with no pads and with two pads.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// A top-level window whose name contains `part`, searched depth first.
bool windowNamed(Display* display, Window window, const std::string& part)
{
    // Qt names its windows in UTF-8, which XFetchName does not read.
    XTextProperty property {};
    if (XGetWMName(display, window, &property) && property.value) {
        char** names = nullptr;
        int count = 0;
        bool found = false;
        if (Xutf8TextPropertyToTextList(display, &property, &names, &count) == Success && names) {
            for (int i = 0; i < count && !found; ++i)
                found = std::string(names[i]).find(part) != std::string::npos;
            XFreeStringList(names);
        }
        XFree(property.value);
        if (found)
            return true;
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i)
        found = windowNamed(display, children[i], part);
    if (children)
        XFree(children);
    return found;
}

bool waitForWindow(Display* display, const std::string& part, bool present, std::chrono::seconds bound)
{
    const auto giveUp = Clock::now() + bound;
    while (Clock::now() < giveUp) {
        if (windowNamed(display, DefaultRootWindow(display), part) == present)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void pressReturn(Display* display)
{
    const KeyCode key = XKeysymToKeycode(display, XK_Return);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    XSync(display, False);
}

struct ThreadUse {
    std::string name;
    std::uint64_t runNs = 0;
    std::uint64_t wakeUps = 0; // voluntary context switches
};

std::string firstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// Every thread of the process, by thread id.
std::map<std::string, ThreadUse> threadsOf(pid_t pid)
{
    std::map<std::string, ThreadUse> threads;
    std::error_code error;
    for (const auto& task : fs::directory_iterator(fs::path("/proc") / std::to_string(pid) / "task", error)) {
        ThreadUse use;
        use.name = firstLine(task.path() / "comm");
        std::istringstream(firstLine(task.path() / "schedstat")) >> use.runNs;
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                use.wakeUps = std::stoull(line.substr(line.find(':') + 1));
        threads[task.path().filename().string()] = use;
    }
    return threads;
}

struct Figures {
    double cpuPercent = 0;
    double wakeUpsPerSecond = 0;
    std::map<std::string, double> wakeUpsByThread; // by thread name, summed
};

Figures measure(pid_t pid, double seconds)
{
    const auto before = threadsOf(pid);
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const auto after = threadsOf(pid);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    Figures figures;
    double runNs = 0;
    double wakeUps = 0;
    for (const auto& [id, now] : after) {
        const auto then = before.find(id);
        const double run = static_cast<double>(now.runNs - (then == before.end() ? 0 : then->second.runNs));
        const double woke = static_cast<double>(now.wakeUps - (then == before.end() ? 0 : then->second.wakeUps));
        runNs += run;
        wakeUps += woke;
        figures.wakeUpsByThread[now.name] += woke / wall;
    }
    figures.cpuPercent = 100.0 * runNs / 1e9 / wall;
    figures.wakeUpsPerSecond = wakeUps / wall;
    return figures;
}

// A thread that wakes every `period` and does nothing else.
Figures wakeFloor(std::chrono::nanoseconds period, double seconds)
{
    Figures figures;
    std::thread sleeper([&] {
        timespec cpuStart {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
        const auto start = Clock::now();
        auto next = start;
        long wakes = 0;
        while (Clock::now() - start < std::chrono::duration<double>(seconds)) {
            next += period;
            std::this_thread::sleep_until(next);
            ++wakes;
        }
        timespec cpuEnd {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpu = static_cast<double>(cpuEnd.tv_sec - cpuStart.tv_sec)
            + static_cast<double>(cpuEnd.tv_nsec - cpuStart.tv_nsec) / 1e9;
        figures.cpuPercent = 100.0 * cpu / wall;
        figures.wakeUpsPerSecond = static_cast<double>(wakes) / wall;
    });
    sleeper.join();
    return figures;
}

std::optional<Figures> idleProgram(const std::string& program, const std::vector<std::string>& options,
    const std::string& preload, Display* display, double seconds, const fs::path& home)
{
    // Settings and the component registry of this run alone, on this X server.
    std::map<std::string, std::string> own {{"KELVANE_CONFIG_DIR", (home / "config").string()},
        {"STAVIK_REGISTRY", (home / "components.reg").string()}, {"QT_QPA_PLATFORM", "xcb"}};
    if (!std::getenv("SDL_AUDIODRIVER"))
        own["SDL_AUDIODRIVER"] = "dummy";
    if (!preload.empty())
        own["LD_PRELOAD"] = preload;
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
        const std::string entry = *variable;
        if (!own.contains(entry.substr(0, entry.find('='))))
            environment.push_back(entry);
    }
    for (const auto& [name, value] : own)
        environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<std::string> arguments {program};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "kelvane_idle_bench: cannot start %s: %s\n", program.c_str(), std::strerror(spawned));
        return std::nullopt;
    }
    std::optional<Figures> figures;
    // The MIDI Setup window comes at the first activation; Return presses Ok.
    if (waitForWindow(display, "MIDI Setup", true, std::chrono::seconds(30))) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pressReturn(display);
        if (waitForWindow(display, "MIDI Setup", false, std::chrono::seconds(10))) {
            // The soundfont's load, the first repaints and the start-up timers settle.
            std::this_thread::sleep_for(std::chrono::seconds(3));
            figures = measure(child, seconds);
        } else {
            std::fprintf(stderr, "kelvane_idle_bench: MIDI Setup did not close\n");
        }
    } else {
        std::fprintf(stderr, "kelvane_idle_bench: no MIDI Setup window appeared\n");
    }
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    return figures;
}

void print(const char* what, const Figures& figures)
{
    std::printf("  %-34s %6.3f %% of a core, %6.0f wake-ups/s", what, figures.cpuPercent, figures.wakeUpsPerSecond);
    std::string threads;
    for (const auto& [name, rate] : figures.wakeUpsByThread)
        if (rate >= 0.5) {
            char part[96];
            std::snprintf(part, sizeof part, "%s%s %.0f", threads.empty() ? "" : ", ", name.c_str(), rate);
            threads += part;
        }
    if (!threads.empty())
        std::printf(" (%s)", threads.c_str());
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    const fs::path self = fs::canonical("/proc/self/exe");
    double seconds = 20;
    std::string program = (self.parent_path() / "kelvane").string();
    std::vector<std::string> options;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            options.assign(argv + i + 1, argv + argc);
            break;
        }
        if (positional++ == 0)
            seconds = std::max(2.0, std::atof(argv[i]));
        else
            program = argv[i];
    }
    const std::string preload = (self.parent_path().parent_path() / "lib" / "libkelvane_virtual_pads.so").string();
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "kelvane_idle_bench needs an X server: run it under xvfb-run -a (see the README)\n");
        return 2;
    }
    const fs::path home = fs::temp_directory_path() / ("kelvane-idle-bench-" + std::to_string(getpid()));
    fs::create_directories(home / "config");

    std::printf("the idle program (%s), %.0f s each\n", program.c_str(), seconds);
    const auto noPads = idleProgram(program, options, {}, display, seconds, home);
    const auto twoPads = idleProgram(program, options, preload, display, seconds, home);
    // The floor wakes as often as the program's audio thread would: every
    // period (256 frames at 48 kHz unless the program is told otherwise).
    int frames = 256;
    for (std::size_t i = 0; i + 1 < options.size(); ++i)
        if (options[i] == "--audio-buffer")
            frames = std::max(32, std::atoi(options[i + 1].c_str()));
    const auto period = std::chrono::nanoseconds(1000000000LL * frames / 48000);
    const Figures floor = wakeFloor(period, seconds);
    if (noPads)
        print("no pads:", *noPads);
    if (twoPads)
        print("two pads plugged in:", *twoPads);
    print("floor, one wake-up per period:", floor);
    const bool met = noPads && twoPads && noPads->cpuPercent <= 0.3 && twoPads->cpuPercent <= 0.3;
    std::printf("  goal at most 0.3 %% of a core with no pads and with two pads: %s\n", met ? "met" : "NOT met");
    XCloseDisplay(display);
    std::error_code ignored;
    fs::remove_all(home, ignored);
    return noPads && twoPads ? EXIT_SUCCESS : EXIT_FAILURE;
}
