#pragma once

#include "midi/MidiBytes.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kelvane::midi {

// One line of the MIDI log: seconds with three decimals, then the bytes as
// two upper-case hex digits each, separated by single spaces ("12.345 90 3C 78").
std::string formatMidiLogLine(double seconds, const MidiBytes& message);

// The --midi-log file: every message the output transmits, one line each,
// appended to what the file already holds.
//
// append() takes the time at once and hands the message to a writer thread
// of the log's own, so the user-interface thread never waits for the disk.
// The writer writes the lines in the order of the appends and flushes at
// least every kFlushInterval; destruction writes and flushes everything
// still waiting, so nothing is lost when the program ends normally.
// append() is for one thread (the user-interface thread).
class MidiLog {
public:
    // Seconds since the program started.
    using Clock = std::function<double()>;

    // A clock that reads 0 now and counts real (monotonic) time from here.
    static Clock startingNow();

    static constexpr std::chrono::milliseconds kFlushInterval {100};

    // Opens `path` for appending. On failure returns null and puts a sentence
    // for the user into `problem`.
    static std::unique_ptr<MidiLog> open(const std::string& path, Clock clock, std::string& problem);

    ~MidiLog();
    MidiLog(const MidiLog&) = delete;
    MidiLog& operator=(const MidiLog&) = delete;

    // Queues one line stamped with the time now. False once a write of the
    // writer has failed: lines from then on may be missing from the file.
    bool append(const MidiBytes& message);
    const std::string& path() const { return path_; }

private:
    struct Line {
        double seconds;
        MidiBytes message;
    };

    MidiLog(std::FILE* file, std::string path, Clock clock);
    void writeUntilStopped();
    bool write(const std::vector<Line>& lines);

    std::FILE* file_;
    std::string path_;
    Clock clock_;

    std::mutex mutex_; // guards waiting_, stopping_ and failed_; held only to swap
    std::condition_variable wake_;
    std::vector<Line> waiting_;
    bool stopping_ = false;
    bool failed_ = false;
    std::thread writer_; // last: starts once everything above exists
};

} // namespace kelvane::midi
