#include "audio/AudioOutput.h"

#include "audio/AudioSource.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>

namespace kelvane::audio {

namespace {

constexpr int kStereo = 2;
constexpr int kBytesPerFrame = kStereo * static_cast<int>(sizeof(std::int16_t));

// SDL_mixer's music hook: runs on the audio thread with the device locked.
void SDLCALL renderMusic(void* source, Uint8* stream, int bytes)
{
    // SDL hands out buffers aligned for any sample format.
    static_cast<AudioSource*>(source)->render(reinterpret_cast<std::int16_t*>(stream), bytes / kBytesPerFrame);
}

} // namespace

std::unique_ptr<AudioOutput> AudioOutput::open(const AudioSettings& settings, std::string& problem)
{
    // Without this hint SDL turns Ctrl+C into a quit event that nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        problem = std::string("no audio output is available (") + SDL_GetError() + ")";
        return nullptr;
    }
    const int frames
        = std::clamp(settings.bufferFrames, AudioSettings::kMinBufferFrames, AudioSettings::kMaxBufferFrames);
    // The rate and the period may differ from the request: the sources write
    // 16-bit stereo and SDL converts to whatever the hardware wants. Taking
    // the device's own period spares a second buffer (and its latency) inside
    // SDL; obtainedPeriodFrames() tells what was granted.
    if (Mix_OpenAudioDevice(settings.sampleRate, AUDIO_S16SYS, kStereo, frames, nullptr,
            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE)
        != 0) {
        problem = std::string("the audio device cannot be opened (") + Mix_GetError() + ")";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    Mix_AllocateChannels(kMixChannels);
    std::unique_ptr<AudioOutput> output(new AudioOutput(rate, frames));
    // Runs after every period's mix, on the audio thread.
    Mix_SetPostMix(notePeriod, output.get());
    return output;
}

AudioOutput::AudioOutput(int sampleRate, int bufferFrames) : sampleRate_(sampleRate), bufferFrames_(bufferFrames) { }

void AudioOutput::notePeriod(void* output, unsigned char*, int bytes)
{
    static_cast<AudioOutput*>(output)->obtainedFrames_.store(bytes / kBytesPerFrame, std::memory_order_relaxed);
}

std::string AudioOutput::describePeriod() const
{
    const int frames = obtainedPeriodFrames();
    char text[160];
    if (frames > 0)
        std::snprintf(text, sizeof text, "%d Hz, %d frames per period (%.1f ms), asked for %d", sampleRate_, frames,
            1000.0 * frames / sampleRate_, bufferFrames_);
    else
        std::snprintf(
            text, sizeof text, "%d Hz, no period has run yet, asked for %d frames", sampleRate_, bufferFrames_);
    return text;
}

AudioOutput::~AudioOutput()
{
    Mix_SetPostMix(nullptr, nullptr);
    Mix_HookMusic(nullptr, nullptr);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

AudioOutput::MusicHook AudioOutput::attachMusic(AudioSource& source)
{
    // Mix_HookMusic takes the device lock, so the source is never half-installed.
    Mix_HookMusic(renderMusic, &source);
    return MusicHook(true);
}

AudioOutput::MusicHook::~MusicHook() { detach(); }

AudioOutput::MusicHook::MusicHook(MusicHook&& other) noexcept : attached_(other.attached_) { other.attached_ = false; }

AudioOutput::MusicHook& AudioOutput::MusicHook::operator=(MusicHook&& other) noexcept
{
    if (this != &other) {
        detach();
        attached_ = other.attached_;
        other.attached_ = false;
    }
    return *this;
}

void AudioOutput::MusicHook::detach() noexcept
{
    if (attached_) {
        // Returns only once no render is running (the mixer locks the device).
        Mix_HookMusic(nullptr, nullptr);
        attached_ = false;
    }
}

} // namespace kelvane::audio
