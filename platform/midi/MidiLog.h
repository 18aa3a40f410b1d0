#pragma once

#include "midi/MidiBytes.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace kelvane::midi {

// One line of the MIDI log: seconds with three decimals, then the bytes as
// two upper-case hex digits each, separated by single spaces ("12.345 90 3C 78").
std::string formatMidiLogLine(double seconds, const MidiBytes& message);

// The --midi-log file: every message the output transmits, one flushed line
// each, appended to what the file already holds. User-interface thread only.
class MidiLog {
public:
    // Seconds since the program started.
    using Clock = std::function<double()>;

    // A clock that reads 0 now and counts real (monotonic) time from here.
    static Clock startingNow();

    // Opens `path` for appending. On failure returns null and puts a sentence
    // for the user into `problem`.
    static std::unique_ptr<MidiLog> open(const std::string& path, Clock clock, std::string& problem);

    ~MidiLog();
    MidiLog(const MidiLog&) = delete;
    MidiLog& operator=(const MidiLog&) = delete;

    // Writes and flushes one line; false when the line did not reach the file.
    bool append(const MidiBytes& message);
    const std::string& path() const { return path_; }

private:
    MidiLog(std::FILE* file, std::string path, Clock clock);

    std::FILE* file_;
    std::string path_;
    Clock clock_;
};

} // namespace kelvane::midi
