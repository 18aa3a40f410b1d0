#include "audio/DecodedWaveCache.h"

#include <chrono>
#include <filesystem>

namespace kelvane::audio {

DecodedWaveCache::DecodedWaveCache(Decoder decoder, std::size_t capacityBytes, Stamper stamper) :
    decoder_(std::move(decoder)),
    stamper_(stamper ? std::move(stamper) : Stamper(&DecodedWaveCache::stampOf)),
    capacity_(capacityBytes)
{
}

std::optional<FileStamp> DecodedWaveCache::stampOf(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path file(path);
    if (!std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(file, error);
    if (error)
        return std::nullopt;
    const auto modified = std::filesystem::last_write_time(file, error);
    if (error)
        return std::nullopt;
    stamp.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
    return stamp;
}

std::optional<DecodedWave> DecodedWaveCache::get(const std::string& path)
{
    const std::optional<FileStamp> stamp = stamper_(path);
    if (!stamp)
        return std::nullopt;

    if (auto found = index_.find(path); found != index_.end()) {
        if (found->second->stamp == *stamp) {
            recent_.splice(recent_.begin(), recent_, found->second);
            return found->second->wave;
        }
        // The file changed on disk: its old decoding is stale.
        bytes_ -= found->second->wave.bytes;
        recent_.erase(found->second);
        index_.erase(found);
    }

    ++decodes_;
    std::optional<DecodedWave> wave = decoder_(path);
    if (!wave || wave->bytes > capacity_)
        return wave;
    recent_.push_front(Entry {path, *stamp, *wave});
    index_[path] = recent_.begin();
    bytes_ += wave->bytes;
    evictToFit();
    return wave;
}

void DecodedWaveCache::evictToFit()
{
    while (bytes_ > capacity_ && !recent_.empty()) {
        const Entry& oldest = recent_.back();
        bytes_ -= oldest.wave.bytes;
        index_.erase(oldest.path);
        recent_.pop_back();
    }
}

} // namespace kelvane::audio
