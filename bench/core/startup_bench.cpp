// Start-up of the real program until its main window is shown, offscreen,
// with the soundfont loading in the background. Each run launches the program
// with --exit-when-shown and times from the launch to the line it prints once
// the window is shown. Goal: at most 1 s.
//
// Usage: kelvane_startup_bench [RUNS] [PROGRAM]
// PROGRAM defaults to the kelvane beside this benchmark (both land in build/bin).
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double launchToShownMs = 0; // measured here, from the launch
    double reportedMs = 0; // the program's own figure, from main()
};

// One start of the program; false when it did not report a shown window.
bool startOnce(const std::string& program, Run& run)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", 0, 0);

    std::string programArg = program;
    std::string option = "--exit-when-shown";
    char* argv[] = {programArg.data(), option.data(), nullptr};

    const auto launched = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return false;
    }

    std::string output;
    bool shown = false;
    char buffer[256];
    for (;;) {
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        output.append(buffer, static_cast<std::size_t>(got));
        if (!shown && output.find('\n') != std::string::npos) {
            run.launchToShownMs = std::chrono::duration<double, std::milli>(Clock::now() - launched).count();
            shown = output.find("main window shown") != std::string::npos;
        }
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    const std::size_t at = output.find("shown ");
    if (at != std::string::npos)
        run.reportedMs = std::atof(output.c_str() + at + 6);
    return shown && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The program beside this benchmark, found from where the benchmark runs, so
// that the build tree can move and no build folder is compiled in.
std::string programBesideThisOne()
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("kelvane") : (self.parent_path() / "kelvane").string();
}

double percentile(const std::vector<double>& sorted, double fraction)
{
    const auto rank = static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(rank, sorted.size() - 1)];
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::string program = argc > 2 ? std::string(argv[2]) : programBesideThisOne();
    // The offscreen platform and a sound device that needs no card, unless the
    // caller chose others.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    std::vector<double> launchToShown;
    std::vector<double> reported;
    for (int i = 0; i < runs; ++i) {
        Run run;
        if (!startOnce(program, run)) {
            std::fprintf(stderr, "run %d: %s did not report its window shown\n", i + 1, program.c_str());
            return EXIT_FAILURE;
        }
        launchToShown.push_back(run.launchToShownMs);
        reported.push_back(run.reportedMs);
    }
    std::sort(launchToShown.begin(), launchToShown.end());
    std::sort(reported.begin(), reported.end());
    std::printf("start-up to main window shown, %d runs of %s (QT_QPA_PLATFORM=%s)\n", runs, program.c_str(),
        std::getenv("QT_QPA_PLATFORM"));
    std::printf("  launch to shown:   median %.1f ms  p99 %.1f ms  max %.1f ms\n", percentile(launchToShown, 0.5),
        percentile(launchToShown, 0.99), launchToShown.back());
    std::printf("  main() to shown:   median %.1f ms  p99 %.1f ms  (the program's own figure)\n",
        percentile(reported, 0.5), percentile(reported, 0.99));
    std::printf("  goal: at most 1000 ms: %s\n", percentile(launchToShown, 0.99) <= 1000.0 ? "met" : "NOT met");
    return EXIT_SUCCESS;
}
