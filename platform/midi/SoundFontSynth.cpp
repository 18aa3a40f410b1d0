#include "midi/SoundFontSynth.h"

#include "audio/MessageQueue.h"

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

// FluidSynth renders in blocks of this many frames (its FLUID_BUFSIZE, fixed
// when the library is built) and starts a voice only at a block's start.
constexpr int kFluidBlock = 64;

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

// Hands a checked message to FluidSynth. Audio thread only: the voices it
// starts sound from the render that follows.
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

// The queue's item that ends every note on every channel: no real message is empty.
constexpr MidiBytes kAllNotesOff {};

// A message with the moment it was handed over.
struct StampedMessage {
    MidiBytes message;
    audio::Stamp stamp = 0;
};

// A note-on with a velocity: the one message that makes a silent synthesizer sound.
bool startsSound(const MidiBytes& message)
{
    return message.size == 3 && (message.status() & 0xF0) == kNoteOn && message.bytes[2] > 0;
}

} // namespace

struct SoundFontSynth::Engine {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    std::thread loader;
    std::function<void(const MidiBytes&)> taken;

    // Set once the soundfont is loaded: from then on the audio thread alone
    // uses the synth. Failed once it is known that it cannot sound.
    std::atomic<bool> ready {false};
    std::atomic<bool> failed {false};
    mutable std::mutex mutex; // guards reason
    std::string reason;

    // User-interface thread to audio thread.
    audio::MessageQueue<StampedMessage, kQueueCapacity> queue;
    // An all-notes-off that did not fit into the queue; the audio thread
    // applies it after the queued messages.
    std::atomic<bool> allNotesOffOverdue {false};
    std::atomic<std::uint64_t> synthesized {0};

    // Audio thread only.
    std::array<float, 2 * kRenderChunk> scratch {};
    // No voice sounds and the last output was silent: nothing to render.
    bool idle = true;
    // Frames of FluidSynth's current block already rendered (0: a block
    // begins at the next frame).
    int blockPhase = 0;

    ~Engine()
    {
        if (loader.joinable())
            loader.join();
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }

    void fail(std::string why)
    {
        std::lock_guard lock(mutex);
        reason = std::move(why);
        failed.store(true, std::memory_order_release);
    }

    void load(const std::string& path)
    {
        if (fluid_synth_sfload(synth, path.c_str(), 1) == FLUID_FAILED)
            fail("the soundfont " + path + " could not be loaded");
        else
            ready.store(true, std::memory_order_release);
    }

    void take(const MidiBytes& message) noexcept
    {
        if (message.size == 0)
            fluid_synth_all_notes_off(synth, -1);
        else
            dispatch(synth, message);
        if (taken)
            taken(message);
    }

    // Renders frames from..to of the period and adds them to the mix; true
    // when any of them sounds.
    bool synthesize(std::int16_t* mix, int from, int to) noexcept
    {
        bool sounded = false;
        float* buffer = scratch.data();
        for (int done = from; done < to;) {
            const int chunk = std::min(kRenderChunk, to - done);
            fluid_synth_write_float(synth, chunk, buffer, 0, 2, buffer, 1, 2);
            std::int16_t* out = mix + 2 * done;
            for (int i = 0; i < 2 * chunk; ++i) {
                const std::int16_t sample = toSample(buffer[i]);
                sounded = sounded || sample != 0;
                out[i] = audio::mixSample(out[i], sample);
            }
            blockPhase = (blockPhase + chunk) % kFluidBlock;
            done += chunk;
        }
        synthesized.fetch_add(static_cast<std::uint64_t>(to - from), std::memory_order_relaxed);
        return sounded;
    }

    // From silence: drops what is left of FluidSynth's current block (it is
    // silent: nothing sounds), so that the next block, and a note handed over
    // just now, begins at the next frame of the output.
    void beginBlockHere() noexcept
    {
        if (blockPhase == 0)
            return;
        float* buffer = scratch.data();
        fluid_synth_write_float(synth, kFluidBlock - blockPhase, buffer, 0, 2, buffer, 1, 2);
        blockPhase = 0;
    }

    // While voices sound: the frame, not before `done`, at which to hand over
    // a message meant for frame `at` so that FluidSynth's block start nearest
    // to `at` is where it takes effect.
    int handOverFrame(int done, int at) const noexcept
    {
        const int toBlockStart = (kFluidBlock - (blockPhase + at - done) % kFluidBlock) % kFluidBlock;
        const int earlier = at + toBlockStart - kFluidBlock;
        if (toBlockStart > kFluidBlock / 2 && earlier >= done)
            return earlier;
        return at;
    }

    // Nothing sounds and nothing waits in the queue (see AudioSource::idle).
    bool resting() const noexcept
    {
        return idle && queue.size() == 0 && !allNotesOffOverdue.load(std::memory_order_acquire);
    }

    // Audio thread: one period, with every message queued before it at its frame.
    void render(std::int16_t* mix, const audio::AudioPeriod& period) noexcept
    {
        if (resting())
            return;
        bool synthesizing = !idle;
        bool sounded = false;
        int done = 0;
        queue.drain([&](const StampedMessage& item) noexcept {
            const int at = period.frameFor(item.stamp);
            if (synthesizing) {
                const int handOver = handOverFrame(done, at);
                if (handOver > done) {
                    sounded = synthesize(mix, done, handOver) || sounded;
                    done = handOver;
                }
            } else {
                done = std::max(done, at);
            }
            take(item.message);
            if (!synthesizing && startsSound(item.message)) {
                beginBlockHere();
                synthesizing = true;
            }
        });
        if (allNotesOffOverdue.exchange(false, std::memory_order_acq_rel))
            fluid_synth_all_notes_off(synth, -1);
        if (synthesizing)
            sounded = synthesize(mix, done, period.frames) || sounded;
        idle = !sounded && fluid_synth_get_active_voice_count(synth) == 0;
    }
};

SoundFontSynth::SoundFontSynth(SoundFontSettings settings, TakenObserver taken) : engine_(std::make_unique<Engine>())
{
    routeFluidLog();
    Engine& engine = *engine_;
    engine.taken = std::move(taken);
    if (settings.path.empty()) {
        engine.fail("no General MIDI soundfont was found");
        return;
    }
    if (!fluid_is_soundfont(settings.path.c_str())) {
        engine.fail("the soundfont " + settings.path + " is missing or is not a soundfont");
        return;
    }
    engine.settings = new_fluid_settings();
    if (engine.settings) {
        fluid_settings_setnum(engine.settings, "synth.sample-rate", settings.sampleRate);
        fluid_settings_setnum(engine.settings, "synth.gain", settings.gain);
        // One thread at a time uses the synth (the loader, then the audio
        // thread), so FluidSynth's per-call lock would only cost time.
        fluid_settings_setint(engine.settings, "synth.threadsafe-api", 0);
        engine.synth = new_fluid_synth(engine.settings);
    }
    if (!engine.synth) {
        engine.fail("the synthesizer could not be started");
        return;
    }
    engine.loader = std::thread([this, &engine, path = std::move(settings.path)] {
        engine.load(path);
        wakeOutput(); // messages may have waited for the load
    });
}

SoundFontSynth::~SoundFontSynth() = default;

bool SoundFontSynth::play(const MidiBytes& message)
{
    Engine& engine = *engine_;
    // A synth that cannot sound takes everything; the silence is told once
    // by the output, not per message.
    if (engine.failed.load(std::memory_order_acquire))
        return true;
    if (!engine.queue.push({message, audio::stampNow()}))
        return false;
    wakeOutput();
    return true;
}

void SoundFontSynth::allNotesOff()
{
    Engine& engine = *engine_;
    if (!engine.queue.push({kAllNotesOff, audio::stampNow()}))
        engine.allNotesOffOverdue.store(true, std::memory_order_release);
    wakeOutput();
}

std::string SoundFontSynth::silenceReason() const
{
    std::lock_guard lock(engine_->mutex);
    return engine_->reason;
}

void SoundFontSynth::render(std::int16_t* mix, const audio::AudioPeriod& period) noexcept
{
    if (engine_->ready.load(std::memory_order_acquire))
        engine_->render(mix, period);
}

bool SoundFontSynth::idle() const noexcept
{
    // Messages played while the soundfont loads wait for the load: the
    // loader wakes the output once it is done.
    return !engine_->ready.load(std::memory_order_acquire) || engine_->resting();
}

bool SoundFontSynth::waitUntilLoaded()
{
    if (engine_->loader.joinable())
        engine_->loader.join();
    return engine_->ready.load(std::memory_order_acquire);
}

std::size_t SoundFontSynth::queuedMessages() const { return engine_->queue.size(); }

std::uint64_t SoundFontSynth::synthesizedFrames() const { return engine_->synthesized.load(std::memory_order_relaxed); }

} // namespace kelvane::midi
