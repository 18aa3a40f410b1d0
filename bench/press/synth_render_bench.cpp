// The built-in synthesizer's work per audio period: render() of SoundFontSynth
// (taking the queued messages, FluidSynth rendering, conversion to 16-bit) for
// 256-frame periods at 48 kHz, called back to back on this thread. The music
// is a busy pad: every 40 periods an eight-note string chord and an
// eight-note piano chord start, and each ends 30 periods later.
//
// Two clocks: wall time (what the audio callback waits), and the thread's own
// CPU time, which leaves out the time this thread was not running (on a busy
// shared machine the wall-time tail is mostly other processes).
//
// Usage: kelvane_synth_render_bench [PERIODS] [FRAMES]
#include "BenchStats.h"
#include "midi/SoundFontSynth.h"
#include "midi/SystemMidi.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace {

double threadCpuMicroseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace kelvane;
    using namespace kelvane::bench;
    const int periods = argc > 1 ? std::max(100, std::atoi(argv[1])) : 20000;
    const int frames = argc > 2 ? std::clamp(std::atoi(argv[2]), 32, 8192) : 256;
    constexpr int kRate = 48000;

    midi::SoundFontSettings settings;
    settings.path = midi::chooseSoundFont({}, [](const std::string& path) {
        std::error_code ignored;
        return std::filesystem::exists(path, ignored);
    });
    settings.sampleRate = kRate;
    midi::SoundFontSynth synth(settings);
    if (!synth.waitUntilLoaded()) {
        std::fprintf(stderr, "kelvane_synth_render_bench: %s\n", synth.silenceReason().c_str());
        return EXIT_FAILURE;
    }
    auto play = [&synth](std::uint8_t status, std::uint8_t data1, std::uint8_t data2, std::size_t size) {
        if (!synth.play(midi::MidiBytes {{status, data1, data2}, size}))
            std::fprintf(stderr, "a message was refused\n");
    };
    play(0xC0, 48, 0, 2); // channel 1: string ensemble
    play(0xC1, 0, 0, 2); // channel 2: piano
    constexpr std::uint8_t kChord[] = {48, 52, 55, 60, 64, 67, 72, 76};

    std::vector<std::int16_t> buffer(2 * static_cast<std::size_t>(frames));
    std::vector<double> all;
    std::vector<double> sounding;
    std::vector<double> cpu;
    all.reserve(static_cast<std::size_t>(periods));
    cpu.reserve(static_cast<std::size_t>(periods));
    for (int period = 0; period < periods; ++period) {
        if (period % 40 == 0)
            for (std::uint8_t note : kChord) {
                play(0x90, note, 100, 3);
                play(0x91, note, 100, 3);
            }
        if (period % 40 == 30)
            for (std::uint8_t note : kChord) {
                play(0x90, note, 0, 3);
                play(0x91, note, 0, 3);
            }
        std::fill(buffer.begin(), buffer.end(), std::int16_t {0});
        const double cpuStart = threadCpuMicroseconds();
        const auto start = Clock::now();
        synth.render(buffer.data(), {audio::stampNow(), frames, kRate});
        const double took = microseconds(Clock::now() - start);
        cpu.push_back(threadCpuMicroseconds() - cpuStart);
        all.push_back(took);
        if (period % 40 < 30)
            sounding.push_back(took);
    }
    std::printf("built-in synthesizer render per period (%d frames at %d Hz, %.2f ms of sound)\n", frames, kRate,
        1000.0 * frames / kRate);
    std::printf("  every period, wall time:       %s\n", summary(all).c_str());
    std::printf("  while chords sound, wall time: %s\n", summary(sounding).c_str());
    std::printf("  every period, thread CPU time: %s\n", summary(cpu).c_str());
    return EXIT_SUCCESS;
}
