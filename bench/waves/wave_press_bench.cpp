// A wave slot's press, through the real wave player, until the player says
// the new buffer plays: from the "Play Wave" button's mouse-down, through the
// slot's handling (release of the last buffer, load, volume, pan, start) and
// the player's decoded-file cache, to the start handed to the wave mixer
// (isBufferPlaying). The sound itself follows one audio period later; that is
// kelvane_press_to_sound_bench's. Runs on SDL's dummy audio driver unless
// SDL_AUDIODRIVER says otherwise.
//
// WavePressWarmCache: the same file pressed again and again, 3 ms apart.
// WavePressFirstAfterLoad: each press is the first after a new file was
// chosen with Load Wave (which has it decoded on the player's worker), 300 ms
// before. The file comes from the operating system's page cache: the disk
// itself is not timed.
// Counters: p50_us, p99_us and max_us of the press alone, sampled one by one;
// decodes, the files the player decoded.
#include "WaveFiles.h"
#include "audio/AudioOutput.h"
#include "audio/MixerWavePlayer.h"
#include "fakes/FakeDesktop.h"
#include "slides/SlideStep.h"
#include "waves/WaveSlots.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace kelvane;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 48000;

double percentile(std::vector<double>& sorted, double fraction)
{
    const auto rank = static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(rank, sorted.size() - 1)];
}

// Presses slot 1's "Play Wave" once per iteration; `chooseFirst` runs before
// each press, untimed, and gives the file the slot is to play.
template <typename Choose> void pressToPlaying(benchmark::State& state, Choose chooseFirst)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string problem;
    const auto output = audio::AudioOutput::open({kRate, 256, {}}, problem);
    if (!output) {
        state.SkipWithError(problem.c_str());
        return;
    }
    audio::MixerWavePlayer player(*output);
    fakes::EffectLog log;
    fakes::FakeDialogs dialogs(log);
    NoSlideStep slideStep;
    WaveSlots slots(player, dialogs, slideStep);
    const Button& play = slots.slot(1).play;

    std::vector<double> pressUs;
    pressUs.reserve(1 << 18);
    bool allPlaying = true;
    std::vector<std::filesystem::path> files;
    for (auto _ : state) {
        state.PauseTiming();
        if (const auto file = chooseFirst(files.size()); file) {
            files.push_back(*file);
            dialogs.files.push_back(file->string());
            slots.slot(1).load.click(); // readies the file, as Load Wave does
            // The performer's moment between choosing the file and the press.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            log.clear(); // from here on only a failure message would be logged
        } else {
            // Presses a few milliseconds apart, as fast as a drummer's roll:
            // the mixer takes a stopped voice back at its next period.
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
        state.ResumeTiming();
        const auto start = Clock::now();
        play.mouseDown(MouseButton::Left);
        const bool playing = player.isBufferPlaying(slots.slot(1).buffer());
        const auto done = Clock::now();
        allPlaying = allPlaying && playing;
        if (pressUs.size() < pressUs.capacity())
            pressUs.push_back(
                static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(done - start).count())
                / 1000.0);
    }
    player.stopAllBuffers();
    for (const auto& file : files)
        std::filesystem::remove(file);

    if (!allPlaying || !log.entries().empty()) {
        state.SkipWithError("a press did not start its buffer");
        return;
    }
    std::sort(pressUs.begin(), pressUs.end());
    state.counters["p50_us"] = percentile(pressUs, 0.50);
    state.counters["p99_us"] = percentile(pressUs, 0.99);
    state.counters["max_us"] = pressUs.back();
    state.counters["decodes"] = static_cast<double>(player.cache().decodes());
}

// One second of stereo sound, a typical one-shot sample: 192 KB.
std::filesystem::path sample(std::size_t n)
{
    const auto file = std::filesystem::temp_directory_path()
        / ("kelvane-bench-" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".wav");
    audio::testing::constantWave(file, kRate, kRate, 3000, 3000);
    return file;
}

void WavePressWarmCache(benchmark::State& state)
{
    pressToPlaying(state, [](std::size_t chosen) -> std::optional<std::filesystem::path> {
        if (chosen > 0)
            return std::nullopt; // one file, played again and again
        return sample(0);
    });
}
BENCHMARK(WavePressWarmCache)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void WavePressFirstAfterLoad(benchmark::State& state)
{
    pressToPlaying(state, [](std::size_t chosen) -> std::optional<std::filesystem::path> { return sample(chosen); });
}
BENCHMARK(WavePressFirstAfterLoad)->Iterations(60)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
