#include "audio/AudioOutput.h"

#include "audio/AudioSource.h"
#include "audio/IdleParking.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace kelvane::audio {

namespace {

constexpr int kStereo = 2;
constexpr int kBytesPerFrame = kStereo * static_cast<int>(sizeof(std::int16_t));

// SDL_mixer does not tell which device it opened. It is the only one this
// process has open, and SDL numbers devices from 1 (SDL_OpenAudio's) and 2
// (SDL_OpenAudioDevice's): the one that does not answer "stopped".
SDL_AudioDeviceID openedDevice()
{
    constexpr SDL_AudioDeviceID kHighestLooked = 16;
    for (SDL_AudioDeviceID id = 1; id <= kHighestLooked; ++id)
        if (SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED)
            return id;
    return 0;
}

} // namespace

void AudioSource::wakeOutput() const noexcept
{
    if (IdleParking* parking = parking_.load(std::memory_order_acquire))
        parking->wake();
}

std::vector<std::string> AudioOutput::availableDrivers()
{
    std::vector<std::string> names;
    const int count = SDL_GetNumAudioDrivers();
    for (int i = 0; i < count; ++i)
        if (const char* name = SDL_GetAudioDriver(i))
            names.emplace_back(name);
    return names;
}

std::unique_ptr<AudioOutput> AudioOutput::open(const AudioSettings& settings, std::string& problem)
{
    // Without this hint SDL turns Ctrl+C into a quit event that nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The driver asked for on the command line wins over SDL_AUDIODRIVER;
    // without one, SDL_AUDIODRIVER (or SDL's own order) holds again.
    if (!settings.driver.empty())
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, settings.driver.c_str(), SDL_HINT_OVERRIDE);
    else
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
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
    // The sources mix everything themselves: SDL_mixer's channels stay unused.
    Mix_AllocateChannels(0);
    const char* driver = SDL_GetCurrentAudioDriver();
    std::unique_ptr<AudioOutput> output(new AudioOutput(rate, frames, driver ? driver : "", openedDevice()));
    // The music hook is the first thing SDL_mixer runs in a period, on the
    // silence it has just written.
    Mix_HookMusic(renderPeriod, output.get());
    return output;
}

AudioOutput::AudioOutput(int sampleRate, int bufferFrames, std::string driver, std::uint32_t device) :
    sampleRate_(sampleRate), bufferFrames_(bufferFrames), driver_(std::move(driver)), device_(device)
{
    // Without the device's identifier there is no lock to rest on: the
    // audio thread then runs every period, as a device does. SDL's PipeWire
    // driver renders in PipeWire's own processing thread, which must never
    // be held up: with it, the output never rests.
    if (device_ != 0 && driver_ != "pipewire")
        parking_ = std::make_unique<IdleParking>([this] { SDL_LockAudioDevice(device_); },
            [this] { SDL_UnlockAudioDevice(device_); }, [this] { return allSourcesIdle(); });
}

bool AudioOutput::allSourcesIdle() const noexcept
{
    for (const auto& slot : sources_)
        if (const AudioSource* source = slot.load(std::memory_order_acquire); source && !source->idle())
            return false;
    return true;
}

void AudioOutput::renderPeriod(void* opaque, Uint8* stream, int bytes)
{
    auto& output = *static_cast<AudioOutput*>(opaque);
    // SDL hands out buffers aligned for any sample format.
    auto* mix = reinterpret_cast<std::int16_t*>(stream);
    const AudioPeriod period {stampNow(), bytes / kBytesPerFrame, output.sampleRate_};
    output.obtainedFrames_.store(period.frames, std::memory_order_relaxed);
    for (auto& slot : output.sources_)
        if (AudioSource* source = slot.load(std::memory_order_acquire))
            source->render(mix, period);
    if (output.parking_)
        output.parking_->periodRendered(output.allSourcesIdle(), period.frames, period.sampleRate);
}

std::uint64_t AudioOutput::rests() const { return parking_ ? parking_->rests() : 0; }

AudioOutput::KeptAwake::KeptAwake(AudioOutput& output) : parking_(output.parking_.get())
{
    if (parking_)
        parking_->hold();
}

AudioOutput::KeptAwake::~KeptAwake()
{
    if (parking_)
        parking_->release();
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
    // The audio thread must run for the device to close, and no period may
    // still look at the parking when it goes.
    if (parking_)
        parking_->hold();
    Mix_HookMusic(nullptr, nullptr);
    parking_.reset();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioOutput::waitForRender() noexcept
{
    // Setting the hook takes the device's lock, which every render holds
    // from start to end: once it returns, no render that read the sources
    // before the change is still running. A resting device holds that lock
    // elsewhere: it runs meanwhile.
    const KeptAwake awake(*this);
    Mix_HookMusic(renderPeriod, this);
}

AudioOutput::Attachment AudioOutput::attach(AudioSource& source)
{
    for (std::size_t slot = 0; slot < sources_.size(); ++slot) {
        AudioSource* empty = nullptr;
        if (sources_[slot].compare_exchange_strong(empty, &source, std::memory_order_acq_rel)) {
            source.parking_.store(parking_.get(), std::memory_order_release);
            source.wakeOutput(); // it may have something to play already
            return Attachment(*this, slot);
        }
    }
    throw std::length_error("the audio output takes no more sources");
}

AudioOutput::Attachment::~Attachment() { detach(); }

AudioOutput::Attachment::Attachment(Attachment&& other) noexcept : output_(other.output_), slot_(other.slot_)
{
    other.output_ = nullptr;
}

AudioOutput::Attachment& AudioOutput::Attachment::operator=(Attachment&& other) noexcept
{
    if (this != &other) {
        detach();
        output_ = other.output_;
        slot_ = other.slot_;
        other.output_ = nullptr;
    }
    return *this;
}

void AudioOutput::Attachment::detach() noexcept
{
    if (output_) {
        AudioSource* source = output_->sources_[slot_].exchange(nullptr, std::memory_order_acq_rel);
        output_->waitForRender();
        if (source)
            source->parking_.store(nullptr, std::memory_order_release);
        output_ = nullptr;
    }
}

} // namespace kelvane::audio
