// The audio output under a sustained load, through the real adapters: the
// built-in synthesizer (FluidSynth) playing 16-voice chords (eight strings
// and eight pianos, a new chord every 250 ms) and the wave player mixing
// eight waves at once (1 s each, looping, restarted every 2 s), for a minute,
// on SDL's output (the dummy driver unless SDL_AUDIODRIVER or --audio-driver
// says otherwise).
//
// A listener attached after every source notes, for each period, when its
// render began and how long the sources took. A period is late when
//  - its render took longer than the period lasts: a device would have
//    needed the buffer before it was ready, or
//  - it began more than two periods after the one before: the thread was
//    kept from running so long that a device would have run dry.
// (The dummy driver sleeps whole milliseconds after each render instead of
// following a clock, so the gap between periods says when the thread ran,
// not when a device would have asked.)
//
// A late period is the program's own when the render used more of the
// thread's CPU time than the period lasts; otherwise the thread was kept
// off the CPU (other processes, or on a virtual machine the host: the
// "steal" time of /proc/stat, printed beside). The floor, run at the same
// time: a thread of the same priority that only wakes once per period, to
// absolute deadlines; its late wakes (over two periods after the one
// before) are what the machine does to any thread.
//
// Usage: kelvane_sustained_audio_bench [SECONDS] [--audio-buffer FRAMES] [--audio-driver NAME]
// Goal: no late period of the program's own at 128 frames, and no more
// periods begun late than the floor's late wakes (128 would then do as the
// default period).
#include "BenchStats.h"
#include "WaveFiles.h"
#include "audio/AudioOutput.h"
#include "audio/MixerWavePlayer.h"
#include "midi/SoundFontSynth.h"
#include "midi/SystemMidi.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace kelvane;
using namespace kelvane::bench;
namespace fs = std::filesystem;

audio::Stamp threadCpuNow() noexcept
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<audio::Stamp>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Attached before every other source: notes the audio thread's CPU time as
// each period's render begins.
class CpuAtStart final : public audio::AudioSource {
public:
    void render(std::int16_t*, const audio::AudioPeriod&) noexcept override { cpu = threadCpuNow(); }
    bool idle() const noexcept override { return true; }
    audio::Stamp cpu = 0; // the audio thread's alone
};

// Attached after every other source: notes each period's render on the
// audio thread, into room kept beforehand.
class PeriodRecorder final : public audio::AudioSource {
public:
    PeriodRecorder(std::size_t room, const CpuAtStart& atStart) :
        starts_(room), renders_(room), cpu_(room), atStart_(atStart)
    {
    }

    void render(std::int16_t*, const audio::AudioPeriod& period) noexcept override
    {
        const std::size_t at = count_.load(std::memory_order_relaxed);
        if (at < starts_.size()) {
            starts_[at] = period.start;
            renders_[at] = audio::stampNow() - period.start;
            cpu_[at] = threadCpuNow() - atStart_.cpu;
            frames_ = period.frames;
            count_.store(at + 1, std::memory_order_release);
        }
    }
    bool idle() const noexcept override { return true; }

    // Read once the recorder is detached.
    std::size_t count() const { return count_.load(std::memory_order_acquire); }
    const std::vector<audio::Stamp>& starts() const { return starts_; }
    const std::vector<audio::Stamp>& renders() const { return renders_; }
    const std::vector<audio::Stamp>& cpu() const { return cpu_; }
    int frames() const { return frames_; }

private:
    std::vector<audio::Stamp> starts_;
    std::vector<audio::Stamp> renders_;
    std::vector<audio::Stamp> cpu_;
    const CpuAtStart& atStart_;
    int frames_ = 0;
    std::atomic<std::size_t> count_ {0};
};

// The floor: wakes once per period at absolute deadlines, at the priority
// SDL gives its audio thread where it may (nice -20), and counts wakes that
// came over two periods after the one before.
class WakeFloor {
public:
    explicit WakeFloor(audio::Stamp periodNs) :
        thread_([this, periodNs] {
            setpriority(PRIO_PROCESS, 0, -20); // refused without the right: the floor then runs as the bench does
            timespec next {};
            clock_gettime(CLOCK_MONOTONIC, &next);
            audio::Stamp last = audio::stampNow();
            while (!stop_.load(std::memory_order_relaxed)) {
                next.tv_nsec += periodNs;
                while (next.tv_nsec >= 1000000000) {
                    next.tv_nsec -= 1000000000;
                    ++next.tv_sec;
                }
                clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
                const audio::Stamp now = audio::stampNow();
                ++wakes_;
                late_ += now - last > 2 * periodNs;
                last = now;
            }
        })
    {
    }
    ~WakeFloor() { stopAndJoin(); }
    void stopAndJoin()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    long wakes() const { return wakes_; }
    long late() const { return late_; }

private:
    std::atomic<bool> stop_ {false};
    long wakes_ = 0;
    long late_ = 0;
    std::thread thread_;
};

// The CPU time the host took from this virtual machine, in seconds (the
// "steal" column of /proc/stat; 0 on a machine of its own).
double stolenSeconds()
{
    std::ifstream stat("/proc/stat");
    std::string cpu;
    long long fields[8] = {};
    stat >> cpu;
    for (long long& field : fields)
        stat >> field;
    return static_cast<double>(fields[7]) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char** argv)
{
    double seconds = 60;
    audio::AudioSettings settings;
    settings.bufferFrames = 128;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--audio-buffer") == 0 && i + 1 < argc)
            settings.bufferFrames = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--audio-driver") == 0 && i + 1 < argc)
            settings.driver = argv[++i];
        else
            seconds = std::max(1.0, std::atof(argv[i]));
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string problem;
    auto output = audio::AudioOutput::open(settings, problem);
    if (!output) {
        std::fprintf(stderr, "kelvane_sustained_audio_bench: %s\n", problem.c_str());
        return EXIT_FAILURE;
    }
    midi::SoundFontSettings synthSettings;
    synthSettings.path = midi::chooseSoundFont({}, [](const std::string& path) {
        std::error_code ignored;
        return fs::exists(path, ignored);
    });
    synthSettings.sampleRate = output->sampleRate();
    midi::SoundFontSynth synth(synthSettings);
    if (!synth.waitUntilLoaded()) {
        std::fprintf(stderr, "kelvane_sustained_audio_bench: %s\n", synth.silenceReason().c_str());
        return EXIT_FAILURE;
    }
    CpuAtStart atStart;
    auto startHook = output->attach(atStart);
    const auto synthHook = output->attach(synth);
    audio::MixerWavePlayer waves(*output);
    // Room for every period of the run, at the smallest period there is.
    PeriodRecorder recorder(static_cast<std::size_t>(seconds * output->sampleRate() / 32) + 1000, atStart);
    auto recording = output->attach(recorder);

    const fs::path folder = fs::temp_directory_path() / ("kelvane-sustained-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::vector<int> buffers;
    for (int n = 0; n < 8; ++n) {
        const std::string path = audio::testing::constantWave(folder / ("wave-" + std::to_string(n) + ".wav"),
            output->sampleRate(), output->sampleRate(), static_cast<std::int16_t>(500 + 100 * n),
            static_cast<std::int16_t>(-500 - 100 * n));
        const int buffer = waves.loadWaveFile(path);
        waves.bufferLength(buffer); // decoded before the run
        waves.setBufferVolume(buffer, -600);
        waves.setBufferPan(buffer, 2500 * (n - 4));
        buffers.push_back(buffer);
    }
    auto play = [&synth](std::uint8_t status, std::uint8_t data1, std::uint8_t data2, std::size_t size) {
        if (!synth.play(midi::MidiBytes {{status, data1, data2}, size}))
            std::fprintf(stderr, "a message was refused\n");
    };
    play(0xC0, 48, 0, 2); // channel 1: string ensemble
    play(0xC1, 0, 0, 2); // channel 2: piano
    constexpr std::uint8_t kChords[2][8] = {{48, 52, 55, 60, 64, 67, 72, 76}, {50, 53, 57, 62, 65, 69, 74, 77}};

    const double stolenBefore = stolenSeconds();
    WakeFloor floor(static_cast<audio::Stamp>(1e9 * output->bufferFrames() / output->sampleRate()));
    const auto start = Clock::now();
    int chord = 0;
    for (int step = 0; Clock::now() - start < std::chrono::duration<double>(seconds); ++step) {
        for (std::uint8_t note : kChords[chord]) { // the chord before ends
            play(0x90, note, 0, 3);
            play(0x91, note, 0, 3);
        }
        chord = 1 - chord;
        for (std::uint8_t note : kChords[chord]) {
            play(0x90, note, 100, 3);
            play(0x91, note, 100, 3);
        }
        if (step % 8 == 0)
            for (int buffer : buffers)
                waves.playLooping(buffer);
        std::this_thread::sleep_until(start + std::chrono::milliseconds(250) * (step + 1));
    }
    recording = {};
    floor.stopAndJoin();
    const double stolen = stolenSeconds() - stolenBefore;
    waves.stopAllBuffers();
    synth.allNotesOff();

    const std::size_t periods = recorder.count();
    const double periodUs = 1e6 * recorder.frames() / output->sampleRate();
    std::vector<double> renders;
    std::vector<double> cpu;
    std::vector<double> gaps;
    int slowRenders = 0;
    int ownSlowRenders = 0;
    int longGaps = 0;
    for (std::size_t i = 0; i < periods; ++i) {
        const double render = static_cast<double>(recorder.renders()[i]) / 1000;
        const double cpuUs = static_cast<double>(recorder.cpu()[i]) / 1000;
        renders.push_back(render);
        cpu.push_back(cpuUs);
        slowRenders += render > periodUs;
        ownSlowRenders += cpuUs > periodUs;
        if (i > 0) {
            const double gap = static_cast<double>(recorder.starts()[i] - recorder.starts()[i - 1]) / 1000;
            gaps.push_back(gap);
            longGaps += gap > 2 * periodUs;
        }
    }
    std::printf("sustained load for %.0f s: 16-voice chords every 250 ms and eight looping waves (%s driver)\n",
        seconds, output->driver().c_str());
    std::printf("  audio output: %s; %zu periods\n", output->describePeriod().c_str(), periods);
    std::printf("  render of a period: %s\n", summary(renders).c_str());
    std::printf("  its CPU time:       %s\n", summary(cpu).c_str());
    std::printf("  from one period's start to the next: %s\n", summary(gaps).c_str());
    std::printf("  late periods: %d rendered slower than the period (%.0f us), of which %d by their own CPU time; "
                "%d begun over two periods after the one before\n",
        slowRenders, periodUs, ownSlowRenders, longGaps);
    std::printf("  floor: %ld wakes once per period asked for, %ld over two periods after the one before; "
                "CPU time the host took from this machine meanwhile: %.2f s\n",
        floor.wakes(), floor.late(), stolen);
    const bool met = ownSlowRenders == 0 && longGaps <= floor.late();
    std::printf("  goal: no late period of its own, and no more begun late than the floor's late wakes: %s\n",
        met ? "met" : "NOT met");
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return EXIT_SUCCESS;
}
