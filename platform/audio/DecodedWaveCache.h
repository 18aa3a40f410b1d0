#pragma once

#include "audio/BackgroundWorker.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace kelvane::audio {

// A decoded sound, ready for the mixer: `frames` interleaved stereo frames of
// signed 16-bit samples at the output's rate. `owner` holds the memory
// `samples` points into (whatever the decoder made); it stays alive for as
// long as anyone holds the DecodedWave, even after the cache has dropped it.
struct DecodedWave {
    std::shared_ptr<void> owner;
    const std::int16_t* samples = nullptr;
    std::size_t frames = 0;
    std::size_t bytes = 0;
    std::int32_t lengthMs = 0;
};

// What identifies a file's contents without reading it.
struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t modified = 0; // nanoseconds since the epoch
    bool operator==(const FileStamp&) const = default;
};

// One file's decoding, done on the cache's worker thread. The cache, every
// buffer made of the file and the audio thread share it; the audio thread
// reads it through a plain pointer that a buffer's reference keeps valid.
class WaveDecoding {
public:
    enum class State : int { Decoding, Decoded, Failed };

    // Any thread, the audio thread included (one atomic load).
    State state() const noexcept { return state_.load(std::memory_order_acquire); }
    // The sound; valid once state() is Decoded.
    const DecodedWave& wave() const noexcept { return wave_; }
    // Blocks until the decoding has ended, and says how. Never on the audio thread.
    State wait() const;

    // The worker's side: the sound, or nothing when the file does not decode.
    void finish(std::optional<DecodedWave> wave);

private:
    std::atomic<State> state_ {State::Decoding};
    DecodedWave wave_;
};

// Decoded files kept by path, size and modification time, so that a file is
// decoded once and played again and again without touching the disk beyond
// its stamp. Decoding happens on a worker thread of the cache's own: the
// user-interface thread asks for a file ahead of its use (prepare) and later
// takes its decoding, finished or still under way (get); it never waits for a
// decode.
//
// Bounded by the total of decoded bytes: the least recently used files go
// first (a file larger than the whole bound is not kept). A file let go of
// while a buffer or a voice still holds its sound is not decoded again: the
// next use takes that sound back, for as long as someone holds it and the
// file is unchanged. Files that do not decode are remembered too, so that
// they are refused at once until they change.
//
// Used on one thread (the user-interface thread); only the decoder runs on
// the worker. Destruction waits for a decode under way to end.
class DecodedWaveCache {
public:
    // Runs on the worker thread, one file at a time.
    using Decoder = std::function<std::optional<DecodedWave>(const std::string& path)>;
    // The file's stamp, or nothing when it does not exist or is not a file.
    using Stamper = std::function<std::optional<FileStamp>(const std::string& path)>;

    static constexpr std::size_t kDefaultCapacityBytes = std::size_t {256} << 20;

    // atWorkerEnd: see BackgroundWorker.
    DecodedWaveCache(Decoder decoder, std::size_t capacityBytes = kDefaultCapacityBytes, Stamper stamper = {},
        std::function<void()> atWorkerEnd = {});
    DecodedWaveCache(const DecodedWaveCache&) = delete;
    DecodedWaveCache& operator=(const DecodedWaveCache&) = delete;

    // Begins decoding the file on the worker, behind any decodes already
    // asked for, unless it is decoded or being decoded as it is now on disk.
    // Returns at once; a file that does not exist is ignored.
    void prepare(const std::string& path);

    // The file's decoding, finished or still under way: when nothing is known
    // of the file as it is now, its decoding begins, before any other waiting
    // decode. Null when the file does not exist or is known not to decode.
    // Returns at once.
    std::shared_ptr<const WaveDecoding> get(const std::string& path);

    std::size_t bytes() const { return bytes_; }
    std::size_t entries() const { return index_.size(); }
    // How many decodes were begun (a measure for tests and benchmarks).
    std::size_t decodes() const { return decodes_; }

    static std::optional<FileStamp> stampOf(const std::string& path);

private:
    struct Entry {
        std::string path;
        FileStamp stamp;
        std::shared_ptr<WaveDecoding> decoding;
        std::size_t bytes = 0; // counted once the decoding has ended
        bool settled = false;
    };
    using Entries = std::list<Entry>;

    // A sound let go of by the cache while others still held it.
    struct LetGo {
        FileStamp stamp;
        std::weak_ptr<WaveDecoding> decoding;
    };

    // The entry for the file as it is now (begun if needed), moved to the front.
    Entries::iterator find(const std::string& path, bool urgent);
    // Drops the entry; a sound that someone still holds is remembered in letGo_.
    Entries::iterator letGoOf(Entries::iterator entry);
    // Counts the bytes of decodes that have ended since the last look.
    void settle();
    void evictToFit();

    Decoder decoder_;
    Stamper stamper_;
    std::size_t capacity_;
    std::size_t bytes_ = 0;
    std::size_t decodes_ = 0;
    Entries recent_; // most recently used first
    std::unordered_map<std::string, Entries::iterator> index_;
    std::unordered_map<std::string, LetGo> letGo_;
    // Last: destroyed first, so no decode runs once the rest is gone.
    BackgroundWorker worker_;
};

} // namespace kelvane::audio
