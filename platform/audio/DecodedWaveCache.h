#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace kelvane::audio {

// A decoded sound, ready for the mixer. `audio` owns the decoded samples
// (whatever the decoder made of them); it stays alive for as long as anyone
// holds the pointer, even after the cache has dropped it.
struct DecodedWave {
    std::shared_ptr<void> audio;
    std::size_t bytes = 0;
    std::int32_t lengthMs = 0;
};

// What identifies a file's contents without reading it.
struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t modified = 0; // nanoseconds since the file clock's epoch
    bool operator==(const FileStamp&) const = default;
};

// Decoded files kept by path, size and modification time, so that playing a
// file again never decodes it from disk while it is unchanged. Bounded by the
// total of decoded bytes: the least recently used files go first (a file
// larger than the whole bound is decoded for each use and not kept).
//
// Used on one thread (the user-interface thread); not synchronised.
class DecodedWaveCache {
public:
    using Decoder = std::function<std::optional<DecodedWave>(const std::string& path)>;
    // The file's stamp, or nothing when it does not exist or is not a file.
    using Stamper = std::function<std::optional<FileStamp>(const std::string& path)>;

    static constexpr std::size_t kDefaultCapacityBytes = std::size_t {256} << 20;

    DecodedWaveCache(Decoder decoder, std::size_t capacityBytes = kDefaultCapacityBytes, Stamper stamper = {});

    // The decoded file, from the cache when its stamp is unchanged; nothing
    // when the file cannot be read or decoded.
    std::optional<DecodedWave> get(const std::string& path);

    std::size_t bytes() const { return bytes_; }
    std::size_t entries() const { return index_.size(); }
    // How many times the decoder ran (a measure for tests and benchmarks).
    std::size_t decodes() const { return decodes_; }

    static std::optional<FileStamp> stampOf(const std::string& path);

private:
    struct Entry {
        std::string path;
        FileStamp stamp;
        DecodedWave wave;
    };
    void evictToFit();

    Decoder decoder_;
    Stamper stamper_;
    std::size_t capacity_;
    std::size_t bytes_ = 0;
    std::size_t decodes_ = 0;
    std::list<Entry> recent_; // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
};

} // namespace kelvane::audio
