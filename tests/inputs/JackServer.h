#pragma once

// A JACK server of the test's own on the dummy driver (no sound card), so that
// RtMidi's JACK API gives real MIDI ports between clients on a machine with
// no ALSA sequencer. Each server has a name of its own (process and count), so
// parallel runs never meet; this process's JACK clients find it through
// JACK_DEFAULT_SERVER. Stopped, and waited for, at the end.
//
// Servers of parallel runs (other test programs, other build trees) still
// share JACK's registry of shared memory, and clients opened while another
// server starts fail now and then; so a server is had by one run at a time:
// the others wait for it (a lock on a file in the temporary folder).

#include <jack/jack.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kelvane::testing {

class JackServer {
public:
    // periodFrames at 48 kHz. Synchronous (-S): each cycle waits for every
    // client, so that on a busy machine a late client delays the cycle instead
    // of losing the MIDI its peers wrote (asynchronous mode clears a port's
    // buffer at the next cycle whether it was read or not); with a generous
    // client timeout, so that the server does not throw a slow client out.
    explicit JackServer(int periodFrames = 256)
    {
        const std::string lockPath = (std::filesystem::temp_directory_path() / "kelvane-jack-tests.lock").string();
        lock_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (lock_ >= 0)
            ::flock(lock_, LOCK_EX);
        static int started = 0;
        name_ = "kelvane-test-" + std::to_string(::getpid()) + "-" + std::to_string(++started);
        log_ = (std::filesystem::temp_directory_path() / (name_ + ".log")).string();
        ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
        ::setenv("JACK_NO_START_SERVER", "1", 1);
        ::setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
        const std::string period = std::to_string(periodFrames);
        std::vector<std::string> words
            = {"jackd", "--no-realtime", "-S", "-n", name_, "-t", "10000", "-d", "dummy", "-r", "48000", "-p", period};
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t output;
        posix_spawn_file_actions_init(&output);
        posix_spawn_file_actions_addopen(&output, STDOUT_FILENO, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&output, STDOUT_FILENO, STDERR_FILENO);
        if (posix_spawnp(&pid_, "jackd", &output, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&output);
        ready_ = pid_ > 0 && waitForClients(std::chrono::seconds(20));
    }

    ~JackServer()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            int status = 0;
            while (::waitpid(pid_, &status, WNOHANG) == 0) {
                if (std::chrono::steady_clock::now() > until) {
                    ::kill(pid_, SIGKILL);
                    ::waitpid(pid_, &status, 0);
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        std::error_code ignored;
        std::filesystem::remove(log_, ignored);
        if (lock_ >= 0)
            ::close(lock_); // and with it the lock
    }
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    bool ready() const { return ready_; }
    // What the server said, for a failure's message.
    std::string output() const
    {
        std::ifstream in(log_);
        return {std::istreambuf_iterator<char>(in), {}};
    }

private:
    // The server takes a moment to come up: a client that can join says it has.
    bool waitForClients(std::chrono::seconds limit)
    {
        // Each try before the server is up complains; only what follows is news.
        jack_set_error_function([](const char*) {});
        struct SayErrorsAgain {
            ~SayErrorsAgain()
            {
                jack_set_error_function([](const char* text) { std::fprintf(stderr, "jack: %s\n", text); });
            }
        } const sayErrorsAgain;
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            jack_status_t status {};
            if (jack_client_t* probe = jack_client_open("kelvane-probe", JackNoStartServer, &status)) {
                jack_client_close(probe);
                return true;
            }
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1; // it gave up; output() says why
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    int lock_ = -1;
    std::string name_;
    std::string log_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

} // namespace kelvane::testing
