#include "audio/DecodedWaveCache.h"

#include <sys/stat.h>

namespace kelvane::audio {

WaveDecoding::State WaveDecoding::wait() const
{
    state_.wait(State::Decoding, std::memory_order_acquire);
    return state();
}

void WaveDecoding::finish(std::optional<DecodedWave> wave)
{
    if (wave)
        wave_ = std::move(*wave);
    state_.store(wave ? State::Decoded : State::Failed, std::memory_order_release);
    state_.notify_all();
}

DecodedWaveCache::DecodedWaveCache(
    Decoder decoder, std::size_t capacityBytes, Stamper stamper, std::function<void()> atWorkerEnd) :
    decoder_(std::move(decoder)),
    stamper_(stamper ? std::move(stamper) : Stamper(&DecodedWaveCache::stampOf)),
    capacity_(capacityBytes),
    worker_("wave decoding", std::move(atWorkerEnd))
{
}

std::optional<FileStamp> DecodedWaveCache::stampOf(const std::string& path)
{
    // One stat: this runs at every press.
    struct stat status { };
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    FileStamp stamp;
    stamp.size = static_cast<std::uintmax_t>(status.st_size);
    stamp.modified = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return stamp;
}

void DecodedWaveCache::prepare(const std::string& path) { find(path, false); }

std::shared_ptr<const WaveDecoding> DecodedWaveCache::get(const std::string& path)
{
    const auto entry = find(path, true);
    if (entry == recent_.end() || entry->decoding->state() == WaveDecoding::State::Failed)
        return nullptr;
    return entry->decoding;
}

DecodedWaveCache::Entries::iterator DecodedWaveCache::find(const std::string& path, bool urgent)
{
    settle();
    const std::optional<FileStamp> stamp = stamper_(path);
    if (!stamp)
        return recent_.end();

    if (auto found = index_.find(path); found != index_.end()) {
        if (found->second->stamp == *stamp) {
            recent_.splice(recent_.begin(), recent_, found->second);
            return recent_.begin();
        }
        // The file changed on disk: its old decoding is stale.
        bytes_ -= found->second->bytes;
        recent_.erase(found->second);
        index_.erase(found);
    }

    if (auto kept = letGo_.find(path); kept != letGo_.end()) {
        std::shared_ptr<WaveDecoding> held = kept->second.decoding.lock();
        const bool same = kept->second.stamp == *stamp;
        letGo_.erase(kept);
        if (held && same) {
            // Counted again, as a decode that has just ended, at the next look.
            recent_.push_front(Entry {path, *stamp, std::move(held)});
            index_[path] = recent_.begin();
            return recent_.begin();
        }
    }

    ++decodes_;
    auto decoding = std::make_shared<WaveDecoding>();
    recent_.push_front(Entry {path, *stamp, decoding});
    index_[path] = recent_.begin();
    worker_.post(
        [this, path, decoding](bool run) {
            // decoder_ outlives the worker (see the members' order).
            decoding->finish(run ? decoder_(path) : std::nullopt);
        },
        urgent);
    return recent_.begin();
}

void DecodedWaveCache::settle()
{
    for (auto entry = recent_.begin(); entry != recent_.end();) {
        const WaveDecoding::State state = entry->decoding->state();
        if (entry->settled || state == WaveDecoding::State::Decoding) {
            ++entry;
            continue;
        }
        entry->settled = true;
        if (state == WaveDecoding::State::Decoded) {
            entry->bytes = entry->decoding->wave().bytes;
            if (entry->bytes > capacity_) {
                // Never kept; whoever holds the decoding still plays it.
                entry = letGoOf(entry);
                continue;
            }
            bytes_ += entry->bytes;
        }
        ++entry;
    }
    evictToFit();
}

void DecodedWaveCache::evictToFit()
{
    bool evicted = false;
    while (bytes_ > capacity_ && !recent_.empty()) {
        bytes_ -= recent_.back().bytes;
        letGoOf(std::prev(recent_.end()));
        evicted = true;
    }
    if (evicted)
        std::erase_if(letGo_, [](const auto& kept) { return kept.second.decoding.expired(); });
}

DecodedWaveCache::Entries::iterator DecodedWaveCache::letGoOf(Entries::iterator entry)
{
    // Beyond the entry's own reference, someone holds the sound.
    if (entry->decoding.use_count() > 1 && entry->decoding->state() == WaveDecoding::State::Decoded)
        letGo_[entry->path] = LetGo {entry->stamp, entry->decoding};
    index_.erase(entry->path);
    return recent_.erase(entry);
}

} // namespace kelvane::audio
