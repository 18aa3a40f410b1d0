#include "midi/MidiLog.h"

#include <cerrno>
#include <chrono>
#include <cstring>

namespace kelvane::midi {

std::string formatMidiLogLine(double seconds, const MidiBytes& message)
{
    // "4294967.295 90 3C 78" fits easily; the seconds field grows only after years.
    char line[64];
    int length = std::snprintf(line, sizeof line, "%.3f", seconds);
    for (std::size_t i = 0; i < message.size && length > 0; ++i)
        length += std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length), " %02X",
            static_cast<unsigned>(message.bytes[i]));
    return line;
}

MidiLog::Clock MidiLog::startingNow()
{
    const auto start = std::chrono::steady_clock::now();
    return [start] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
}

std::unique_ptr<MidiLog> MidiLog::open(const std::string& path, Clock clock, std::string& problem)
{
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (!file) {
        problem = "The MIDI log " + path + " cannot be written (" + std::strerror(errno) + "); nothing is logged.";
        return nullptr;
    }
    return std::unique_ptr<MidiLog>(new MidiLog(file, path, std::move(clock)));
}

MidiLog::MidiLog(std::FILE* file, std::string path, Clock clock) :
    file_(file), path_(std::move(path)), clock_(std::move(clock)), writer_([this] { writeUntilStopped(); })
{
}

MidiLog::~MidiLog()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
    std::fclose(file_);
}

bool MidiLog::append(const MidiBytes& message)
{
    const double seconds = clock_();
    // The writer only swaps the vector under the lock, so this never waits
    // for a write. No wake-up per line: the writer comes round by itself.
    std::lock_guard lock(mutex_);
    waiting_.push_back({seconds, message});
    return !failed_;
}

void MidiLog::writeUntilStopped()
{
    std::vector<Line> lines;
    for (;;) {
        bool last = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, kFlushInterval, [this] { return stopping_; });
            lines.swap(waiting_);
            last = stopping_;
        }
        const bool ok = lines.empty() || write(lines);
        lines.clear();
        if (!ok) {
            std::lock_guard lock(mutex_);
            failed_ = true;
        }
        if (last)
            return;
    }
}

bool MidiLog::write(const std::vector<Line>& lines)
{
    bool written = true;
    for (const Line& line : lines) {
        const std::string text = formatMidiLogLine(line.seconds, line.message) + '\n';
        written = std::fputs(text.c_str(), file_) >= 0 && written;
    }
    return std::fflush(file_) == 0 && written;
}

} // namespace kelvane::midi
