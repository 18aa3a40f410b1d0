#include "audio/MixerWavePlayer.h"

#include "waves/WaveFailure.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace kelvane::audio {

namespace {

constexpr int kBytesPerFrame = 2 * static_cast<int>(sizeof(std::int16_t)); // the output is 16-bit stereo
constexpr int kSilentHundredths = 10000;

// One mixer channel. The user-interface thread claims it for a buffer and
// starts it; the audio thread applies its gains and, through the effect's done
// callback, marks it silent when the sound ends or is halted.
struct Voice {
    int channel = -1;
    int owner = 0; // buffer number; read and written on the user-interface thread only
    std::atomic<bool> sounding {false};
    std::atomic<float> left {1.0f};
    std::atomic<float> right {1.0f};
};

std::int16_t scaled(std::int16_t sample, float gain)
{
    const float value = static_cast<float>(sample) * gain;
    return static_cast<std::int16_t>(std::clamp(value, -32768.0f, 32767.0f));
}

// Runs on the audio thread with the device locked.
void SDLCALL mixWithGains(int, void* stream, int bytes, void* voiceData)
{
    const auto& voice = *static_cast<const Voice*>(voiceData);
    const float left = voice.left.load(std::memory_order_relaxed);
    const float right = voice.right.load(std::memory_order_relaxed);
    auto* samples = static_cast<std::int16_t*>(stream);
    const int frames = bytes / kBytesPerFrame;
    for (int f = 0; f < frames; ++f) {
        samples[2 * f] = scaled(samples[2 * f], left);
        samples[2 * f + 1] = scaled(samples[2 * f + 1], right);
    }
}

// Runs when the channel's sound ends (audio thread) or is halted (caller).
void SDLCALL voiceDone(int, void* voiceData) { static_cast<Voice*>(voiceData)->sounding.store(false); }

float gainOf(int hundredthsOfDecibel)
{
    if (hundredthsOfDecibel <= -kSilentHundredths)
        return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredthsOfDecibel / 2000.0));
}

} // namespace

std::optional<DecodedWave> MixerWavePlayer::decode(const std::string& path, int sampleRate)
{
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk)
        return std::nullopt;
    if (chunk->alen < static_cast<Uint32>(kBytesPerFrame)) {
        Mix_FreeChunk(chunk);
        return std::nullopt;
    }
    // A sound the mixer converted (another rate than the output's, mono, 8-bit)
    // stays in the buffer it was converted in, several times its size (four
    // times for 44.1 kHz stereo): give the rest back, so that the sound takes
    // what the cache counts. An owned buffer is the mixer's to free with SDL_free.
    if (chunk->allocated != 0) {
        if (auto* fitted = static_cast<Uint8*>(SDL_realloc(chunk->abuf, chunk->alen)))
            chunk->abuf = fitted;
    }
    DecodedWave wave;
    wave.audio = std::shared_ptr<void>(chunk, [](void* c) { Mix_FreeChunk(static_cast<Mix_Chunk*>(c)); });
    wave.bytes = chunk->alen;
    const std::int64_t frames = chunk->alen / kBytesPerFrame;
    const std::int64_t ms = frames * 1000 / std::max(sampleRate, 1);
    wave.lengthMs = static_cast<std::int32_t>(std::min<std::int64_t>(ms, INT32_MAX));
    return wave;
}

struct MixerWavePlayer::Impl {
    struct Buffer {
        DecodedWave wave;
        Voice* voice = nullptr; // the channel it last played on, while that channel is still its own
        int volume = 0;
        int pan = 0;
    };

    explicit Impl(AudioOutput& output, std::size_t cacheBytes) :
        sampleRate(output.sampleRate()),
        cache([rate = output.sampleRate()](const std::string& path) { return decode(path, rate); }, cacheBytes)
    {
        // A file cut short is refused rather than played as far as it goes.
        SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "verystrict");
        addVoices(Mix_AllocateChannels(-1));
    }

    void addVoices(int total)
    {
        for (int ch = static_cast<int>(voices.size()); ch < total; ++ch) {
            voices.push_back(std::make_unique<Voice>());
            voices.back()->channel = ch;
        }
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

    // The voice still playing this buffer's sound, or null.
    static Voice* soundingVoice(const Buffer& b, int number)
    {
        if (b.voice && b.voice->owner == number && b.voice->sounding.load())
            return b.voice;
        return nullptr;
    }

    void halt(Voice& voice)
    {
        // Halting calls the done callback; marking it here too keeps the
        // voice free even if the mixer had already let it go.
        Mix_HaltChannel(voice.channel);
        voice.sounding.store(false);
    }

    Voice& freeVoice()
    {
        for (auto& v : voices)
            if (!v->sounding.load())
                return *v;
        // Every channel sounds: double them. The mixer locks the device while
        // it reallocates.
        const int grown = Mix_AllocateChannels(static_cast<int>(voices.size()) * 2);
        addVoices(grown);
        for (auto& v : voices)
            if (!v->sounding.load())
                return *v;
        throw WaveFailure("the mixer has no free channel");
    }

    void start(int number, bool looping)
    {
        Buffer* b = find(number);
        if (!b)
            return;
        if (Voice* playing = soundingVoice(*b, number))
            halt(*playing); // a buffer played again starts from its beginning
        Voice& voice = freeVoice();
        voice.owner = number;
        setGains(voice, *b);
        voice.sounding.store(true);
        b->voice = &voice;
        if (Mix_RegisterEffect(voice.channel, mixWithGains, voiceDone, &voice) == 0
            || Mix_PlayChannel(voice.channel, static_cast<Mix_Chunk*>(b->wave.audio.get()), looping ? -1 : 0) == -1) {
            const std::string why = Mix_GetError();
            Mix_UnregisterAllEffects(voice.channel);
            voice.sounding.store(false);
            b->voice = nullptr;
            throw WaveFailure("the mixer refused to play it (" + why + ")");
        }
    }

    static void setGains(Voice& voice, const Buffer& b)
    {
        const Gains gains = gainsFor(b.volume, b.pan);
        voice.left.store(gains.left, std::memory_order_relaxed);
        voice.right.store(gains.right, std::memory_order_relaxed);
    }

    void changed(int number)
    {
        Buffer* b = find(number);
        if (!b)
            return;
        if (Voice* playing = soundingVoice(*b, number))
            setGains(*playing, *b);
    }

    int sampleRate;
    DecodedWaveCache cache;
    std::vector<std::unique_ptr<Voice>> voices;
    std::unordered_map<int, Buffer> buffers;
    int nextNumber = 1;
};

MixerWavePlayer::MixerWavePlayer(AudioOutput& output, std::size_t cacheBytes) :
    impl_(std::make_unique<Impl>(output, cacheBytes))
{
}

MixerWavePlayer::~MixerWavePlayer()
{
    // No effect may run on a voice after it is gone.
    Mix_HaltChannel(-1);
}

int MixerWavePlayer::loadWaveFile(const std::string& path)
{
    std::optional<DecodedWave> wave = impl_->cache.get(path);
    if (!wave)
        return -1;
    const int number = impl_->nextNumber++;
    impl_->buffers.emplace(number, Impl::Buffer {std::move(*wave)});
    return number;
}

void MixerWavePlayer::releaseBuffer(int buffer)
{
    stopBuffer(buffer);
    impl_->buffers.erase(buffer);
}

void MixerWavePlayer::playBuffer(int buffer) { impl_->start(buffer, false); }

void MixerWavePlayer::playLooping(int buffer) { impl_->start(buffer, true); }

void MixerWavePlayer::stopBuffer(int buffer)
{
    Impl::Buffer* b = impl_->find(buffer);
    if (!b)
        return;
    if (Voice* playing = Impl::soundingVoice(*b, buffer))
        impl_->halt(*playing);
    b->voice = nullptr;
}

void MixerWavePlayer::stopAllBuffers()
{
    Mix_HaltChannel(-1);
    for (auto& v : impl_->voices)
        v->sounding.store(false);
}

int MixerWavePlayer::bufferLength(int buffer) const
{
    const Impl::Buffer* b = impl_->find(buffer);
    return b ? b->wave.lengthMs : 0;
}

bool MixerWavePlayer::isBufferPlaying(int buffer) const
{
    const Impl::Buffer* b = impl_->find(buffer);
    return b && Impl::soundingVoice(*b, buffer) != nullptr;
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

int MixerWavePlayer::channelCount() const { return static_cast<int>(impl_->voices.size()); }

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
