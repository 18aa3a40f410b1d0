// A wave slot's press, through the real wave player, to its buffer playing in
// the mixer: from the "Play Wave" button's mouse-down, through the slot's
// handling (release of the last buffer, load, volume, pan, start) and the
// player's decoded-file cache, until the player reports the new buffer
// playing on a mixer channel. The device's own latency (one audio period) is
// not included. Runs on SDL's dummy audio driver unless SDL_AUDIODRIVER says
// otherwise.
//
// WavePressWarmCache: the file was played before, so its decoding is cached.
// WavePressColdCache: a player without a cache, so every press decodes the
// file (from the operating system's page cache: the disk itself is not timed).
// Counters: p50_us, p99_us and max_us of the press alone, sampled one by one.
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

void pressToPlaying(benchmark::State& state, std::size_t cacheBytes)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string problem;
    const auto output = audio::AudioOutput::open({kRate, 256, {}}, problem);
    if (!output) {
        state.SkipWithError(problem.c_str());
        return;
    }
    audio::MixerWavePlayer player(*output, cacheBytes);
    const auto file = std::filesystem::temp_directory_path() / ("kelvane-bench-" + std::to_string(::getpid()) + ".wav");
    // One second of stereo sound, a typical one-shot sample.
    audio::testing::constantWave(file, kRate, kRate, 3000, 3000);

    fakes::EffectLog log;
    fakes::FakeDialogs dialogs(log);
    NoSlideStep slideStep;
    WaveSlots slots(player, dialogs, slideStep);
    dialogs.files.push_back(file.string());
    slots.slot(1).load.click();
    log.clear(); // from here on only a failure message would be logged
    const Button& play = slots.slot(1).play;
    play.mouseDown(MouseButton::Left); // the first press fills a warm cache

    std::vector<double> pressUs;
    pressUs.reserve(1 << 18);
    bool allPlaying = true;
    for (auto _ : state) {
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

void WavePressWarmCache(benchmark::State& state)
{
    pressToPlaying(state, audio::DecodedWaveCache::kDefaultCapacityBytes);
}
BENCHMARK(WavePressWarmCache)->Unit(benchmark::kMicrosecond);

void WavePressColdCache(benchmark::State& state) { pressToPlaying(state, 0); }
BENCHMARK(WavePressColdCache)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
