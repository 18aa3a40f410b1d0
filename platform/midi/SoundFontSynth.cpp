#include "midi/SoundFontSynth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace kelvane::midi {

namespace {

constexpr int kMidiChannels = 16;
constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kKeyPressure = 0xA0;
constexpr int kPitchBend = 0xE0;

// Frames rendered per FluidSynth call; any device period is made of these.
constexpr int kRenderChunk = 512;

// Samples below this level pass unchanged; above it they bend smoothly towards
// full scale instead of clipping hard. Some General MIDI programs (string
// ensembles) are many times louder than others (pianos), so a gain that makes
// a piano audible drives a full string chord far past full scale.
constexpr float kKnee = 0.6f;

std::int16_t toSample(float value)
{
    const float magnitude = std::fabs(value);
    if (magnitude > kKnee) {
        const float bent = kKnee + (1.0f - kKnee) * std::tanh((magnitude - kKnee) / (1.0f - kKnee));
        value = std::copysign(bent, value);
    }
    return static_cast<std::int16_t>(std::lrint(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

void printFluidMessage(int, const char* message, void*) { std::fprintf(stderr, "kelvane: fluidsynth: %s\n", message); }

// FluidSynth keeps one process-wide table of log functions. Errors go to
// stderr; warnings, information and debug output are dropped, since a
// soundfont with small defects warns at every load and the user can do
// nothing about it. Setting the same entries again is harmless.
void routeFluidLog()
{
    fluid_set_log_function(FLUID_PANIC, printFluidMessage, nullptr);
    fluid_set_log_function(FLUID_ERR, printFluidMessage, nullptr);
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
}

// Hands a checked message to FluidSynth. Its API is thread-safe and takes its
// own short lock; the voices start at the audio thread's next render.
void dispatch(fluid_synth_t* synth, const MidiBytes& message)
{
    const int channel = message.status() & 0x0F;
    const int data1 = message.bytes[1];
    const int data2 = message.bytes[2];
    switch (message.status() & 0xF0) {
    case kNoteOff:
        fluid_synth_noteoff(synth, channel, data1);
        break;
    case kNoteOn: // velocity 0 is a note-off, which FluidSynth handles itself
        fluid_synth_noteon(synth, channel, data1, data2);
        break;
    case kKeyPressure:
        fluid_synth_key_pressure(synth, channel, data1, data2);
        break;
    case kControlChange:
        fluid_synth_cc(synth, channel, data1, data2);
        break;
    case kProgramChange:
        fluid_synth_program_change(synth, channel, data1);
        break;
    case kChannelPressure:
        fluid_synth_channel_pressure(synth, channel, data1);
        break;
    case kPitchBend:
        fluid_synth_pitch_bend(synth, channel, data1 | (data2 << 7));
        break;
    default:
        break;
    }
}

} // namespace

struct SoundFontSynth::Engine {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    std::thread loader;

    // Set once the soundfont is loaded and the pending messages played; from
    // then on play() and render() use the synth directly.
    std::atomic<bool> ready {false};
    mutable std::mutex mutex; // guards pending and reason while not ready
    std::vector<MidiBytes> pending;
    std::string reason;
    std::array<float, 2 * kRenderChunk> scratch {}; // audio thread only

    ~Engine()
    {
        if (loader.joinable())
            loader.join();
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }

    void load(const std::string& path)
    {
        const bool ok = fluid_synth_sfload(synth, path.c_str(), 1) != FLUID_FAILED;
        std::lock_guard lock(mutex);
        if (ok) {
            for (const MidiBytes& message : pending)
                dispatch(synth, message);
            ready.store(true, std::memory_order_release);
        } else {
            reason = "the soundfont " + path + " could not be loaded";
        }
        pending.clear();
        pending.shrink_to_fit();
    }
};

SoundFontSynth::SoundFontSynth(SoundFontSettings settings) : engine_(std::make_unique<Engine>())
{
    routeFluidLog();
    Engine& engine = *engine_;
    if (settings.path.empty()) {
        engine.reason = "no General MIDI soundfont was found";
        return;
    }
    if (!fluid_is_soundfont(settings.path.c_str())) {
        engine.reason = "the soundfont " + settings.path + " is missing or is not a soundfont";
        return;
    }
    engine.settings = new_fluid_settings();
    if (engine.settings) {
        fluid_settings_setnum(engine.settings, "synth.sample-rate", settings.sampleRate);
        fluid_settings_setnum(engine.settings, "synth.gain", settings.gain);
        engine.synth = new_fluid_synth(engine.settings);
    }
    if (!engine.synth) {
        engine.reason = "the synthesizer could not be started";
        return;
    }
    engine.pending.reserve(kMaxPendingMessages);
    engine.loader = std::thread([&engine, path = std::move(settings.path)] { engine.load(path); });
}

SoundFontSynth::~SoundFontSynth() = default;

void SoundFontSynth::play(const MidiBytes& message)
{
    Engine& engine = *engine_;
    if (engine.ready.load(std::memory_order_acquire)) {
        dispatch(engine.synth, message);
        return;
    }
    std::lock_guard lock(engine.mutex);
    if (engine.ready.load(std::memory_order_relaxed))
        dispatch(engine.synth, message);
    else if (engine.reason.empty() && engine.pending.size() < kMaxPendingMessages)
        engine.pending.push_back(message);
}

void SoundFontSynth::allNotesOff()
{
    // Through play() so that notes still waiting for the load are ended too.
    for (int channel = 0; channel < kMidiChannels; ++channel) {
        MidiBytes message;
        message.bytes = {static_cast<std::uint8_t>(kControlChange | channel), kAllNotesOffController, 0};
        message.size = 3;
        play(message);
    }
}

std::string SoundFontSynth::silenceReason() const
{
    std::lock_guard lock(engine_->mutex);
    return engine_->reason;
}

void SoundFontSynth::render(std::int16_t* interleavedStereo, int frames) noexcept
{
    Engine& engine = *engine_;
    if (!engine.ready.load(std::memory_order_acquire))
        return;
    float* scratch = engine.scratch.data();
    for (int done = 0; done < frames;) {
        const int chunk = std::min(kRenderChunk, frames - done);
        fluid_synth_write_float(engine.synth, chunk, scratch, 0, 2, scratch, 1, 2);
        std::int16_t* out = interleavedStereo + 2 * done;
        for (int i = 0; i < 2 * chunk; ++i)
            out[i] = toSample(scratch[i]);
        done += chunk;
    }
}

bool SoundFontSynth::waitUntilLoaded()
{
    if (engine_->loader.joinable())
        engine_->loader.join();
    return engine_->ready.load(std::memory_order_acquire);
}

} // namespace kelvane::midi
