#include "audio/MixerWavePlayer.h"

#include "waves/WaveFailure.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace kelvane::audio {

namespace {

constexpr int kBytesPerFrame = 2 * static_cast<int>(sizeof(std::int16_t)); // the output is 16-bit stereo
constexpr int kSilentHundredths = 10000;

float gainOf(int hundredthsOfDecibel)
{
    if (hundredthsOfDecibel <= -kSilentHundredths)
        return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredthsOfDecibel / 2000.0));
}

} // namespace

// Runs on the cache's worker thread. SDL_mixer converts the file to the
// output's format and rate; the samples are copied out into a buffer of
// exactly their size (a converted chunk is several times larger: four times
// for 44.1 kHz stereo), so the chunk is freed here and the sound is plain
// memory that any thread may let go of. Freeing a chunk takes the audio
// device's lock, which a resting output holds: the output is kept awake
// meanwhile.
std::optional<DecodedWave> MixerWavePlayer::decode(const std::string& path, AudioOutput& output)
{
    const AudioOutput::KeptAwake awake(output);
    const int sampleRate = output.sampleRate();
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk)
        return std::nullopt;
    const std::size_t frames = chunk->alen / kBytesPerFrame;
    if (frames == 0) {
        Mix_FreeChunk(chunk);
        return std::nullopt;
    }
    auto samples = std::make_shared<std::vector<std::int16_t>>(2 * frames);
    std::copy_n(reinterpret_cast<const std::int16_t*>(chunk->abuf), samples->size(), samples->data());
    Mix_FreeChunk(chunk);
    DecodedWave wave;
    wave.samples = samples->data();
    wave.frames = frames;
    wave.bytes = frames * kBytesPerFrame;
    const auto ms = static_cast<std::int64_t>(frames) * 1000 / std::max(sampleRate, 1);
    wave.lengthMs = static_cast<std::int32_t>(std::min<std::int64_t>(ms, INT32_MAX));
    wave.owner = std::move(samples);
    return wave;
}

struct MixerWavePlayer::Impl {
    struct Buffer {
        std::shared_ptr<const WaveDecoding> decoding;
        std::optional<WaveMixer::Ticket> sound; // its latest start, until stopped
        int volume = 0;
        int pan = 0;
    };

    Impl(AudioOutput& output, std::size_t cacheBytes) :
        cache([&output](const std::string& path) { return decode(path, output); }, cacheBytes, {},
            // SDL keeps per-thread state (the last error) that only its own threads free.
            [] { SDL_TLSCleanup(); }),
        attachment(output.attach(mixer))
    {
        // A file cut short is refused rather than played as far as it goes.
        SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "verystrict");
    }

    Buffer* find(int number)
    {
        const auto it = buffers.find(number);
        return it == buffers.end() ? nullptr : &it->second;
    }
    const Buffer* find(int number) const
    {
        const auto it = buffers.find(number);
        return it == buffers.end() ? nullptr : &it->second;
    }

    void start(int number, bool looping)
    {
        Buffer* b = find(number);
        if (!b)
            return;
        if (b->sound)
            mixer.stop(*b->sound); // a buffer played again starts from its beginning
        b->sound.reset();
        const Gains gains = gainsFor(b->volume, b->pan);
        b->sound = mixer.start(b->decoding, looping, {gains.left, gains.right});
        if (!b->sound)
            throw WaveFailure("the mixer has no free voice for it (all are sounding, or the audio output has stalled)");
    }

    void changed(int number)
    {
        Buffer* b = find(number);
        if (b && b->sound) {
            const Gains gains = gainsFor(b->volume, b->pan);
            mixer.setGains(*b->sound, {gains.left, gains.right});
        }
    }

    // Declared in this order so that the output lets go of the mixer before
    // the mixer (which holds the voices' sounds) goes.
    WaveMixer mixer;
    DecodedWaveCache cache;
    AudioOutput::Attachment attachment;
    std::unordered_map<int, Buffer> buffers;
    // A press releases its slot's buffer before it loads the file again: the
    // sound is kept until that load, so that a file the cache has let go of
    // is taken back rather than decoded again.
    std::shared_ptr<const WaveDecoding> lastReleased;
    int nextNumber = 1;
};

MixerWavePlayer::MixerWavePlayer(AudioOutput& output, std::size_t cacheBytes) :
    impl_(std::make_unique<Impl>(output, cacheBytes))
{
}

MixerWavePlayer::~MixerWavePlayer() = default;

void MixerWavePlayer::prepareWaveFile(const std::string& path) { impl_->cache.prepare(path); }

int MixerWavePlayer::loadWaveFile(const std::string& path)
{
    std::shared_ptr<const WaveDecoding> decoding = impl_->cache.get(path);
    impl_->lastReleased.reset();
    if (!decoding)
        return -1;
    const int number = impl_->nextNumber++;
    impl_->buffers.emplace(number, Impl::Buffer {std::move(decoding), std::nullopt, 0, 0});
    return number;
}

void MixerWavePlayer::releaseBuffer(int buffer)
{
    stopBuffer(buffer);
    if (const Impl::Buffer* b = impl_->find(buffer))
        impl_->lastReleased = b->decoding;
    impl_->buffers.erase(buffer);
}

void MixerWavePlayer::playBuffer(int buffer) { impl_->start(buffer, false); }

void MixerWavePlayer::playLooping(int buffer) { impl_->start(buffer, true); }

void MixerWavePlayer::stopBuffer(int buffer)
{
    Impl::Buffer* b = impl_->find(buffer);
    if (!b || !b->sound)
        return;
    impl_->mixer.stop(*b->sound);
    b->sound.reset();
}

void MixerWavePlayer::stopAllBuffers()
{
    impl_->mixer.stopAll();
    for (auto& [number, b] : impl_->buffers)
        b.sound.reset();
}

int MixerWavePlayer::bufferLength(int buffer) const
{
    const Impl::Buffer* b = impl_->find(buffer);
    // The one call that waits for a decode: a looped play needs the length
    // at its start, and a file loaded a moment ago may still be decoding.
    if (!b || b->decoding->wait() != WaveDecoding::State::Decoded)
        return 0;
    return b->decoding->wave().lengthMs;
}

bool MixerWavePlayer::isBufferPlaying(int buffer) const
{
    const Impl::Buffer* b = impl_->find(buffer);
    return b && b->sound && impl_->mixer.sounding(*b->sound);
}

void MixerWavePlayer::setBufferVolume(int buffer, int volume)
{
    if (Impl::Buffer* b = impl_->find(buffer)) {
        b->volume = volume;
        impl_->changed(buffer);
    }
}

void MixerWavePlayer::setBufferPan(int buffer, int pan)
{
    if (Impl::Buffer* b = impl_->find(buffer)) {
        b->pan = pan;
        impl_->changed(buffer);
    }
}

const DecodedWaveCache& MixerWavePlayer::cache() const { return impl_->cache; }

int MixerWavePlayer::bufferCount() const { return static_cast<int>(impl_->buffers.size()); }

int MixerWavePlayer::channelCount() const { return static_cast<int>(WaveMixer::kVoices); }

MixerWavePlayer::Gains MixerWavePlayer::gainsFor(int volume, int pan)
{
    const float level = gainOf(std::min(volume, 0));
    const int attenuation = std::clamp(pan, -kSilentHundredths, kSilentHundredths);
    Gains gains {level, level};
    if (attenuation > 0)
        gains.left *= gainOf(-attenuation);
    else if (attenuation < 0)
        gains.right *= gainOf(attenuation);
    return gains;
}

} // namespace kelvane::audio
