// Looped waves play every pass they were given: a press on a wave slot with
// its loop box checked, through the real wave player on SDL's disk audio
// driver and the loop timer run by the view's timer binding on the event
// loop, as in the program. The stop must not come before LoopTicks x 55 ms
// of real time have passed since the press, nor more than one tick after
// the first tick that reaches the loop's length.
#include "SlotRig.h"
#include "WaveFiles.h"
#include "audio/AudioOutput.h"
#include "audio/MixerWavePlayer.h"
#include "bindings/TimerBinding.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace kelvane {
namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kRate = 48000;

// The real player, noting when a buffer is asked to stop.
class StopWatchingPlayer : public WavePlayer {
public:
    explicit StopWatchingPlayer(WavePlayer& player) : player_(player) { }

    void prepareWaveFile(const std::string& path) override { player_.prepareWaveFile(path); }
    int loadWaveFile(const std::string& path) override { return player_.loadWaveFile(path); }
    void releaseBuffer(int buffer) override { player_.releaseBuffer(buffer); }
    void playBuffer(int buffer) override { player_.playBuffer(buffer); }
    void playLooping(int buffer) override { player_.playLooping(buffer); }
    void stopBuffer(int buffer) override
    {
        player_.stopBuffer(buffer);
        stoppedAt = Clock::now();
    }
    void stopAllBuffers() override { player_.stopAllBuffers(); }
    int bufferLength(int buffer) const override { return player_.bufferLength(buffer); }
    bool isBufferPlaying(int buffer) const override { return player_.isBufferPlaying(buffer); }
    void setBufferVolume(int buffer, int volume) override { player_.setBufferVolume(buffer, volume); }
    void setBufferPan(int buffer, int pan) override { player_.setBufferPan(buffer, pan); }

    std::optional<Clock::time_point> stoppedAt;

private:
    WavePlayer& player_;
};

// The program's sound output on SDL's disk driver, whose device writes each
// period when its time has come, as a sound card would take it. The period
// is exactly 1 ms, so the driver keeps close to real time; what is heard is
// timed on the audio thread, period by period, by the steady clock: each
// period's start and the first and last frame that sound in it.
class TimedDevice : public audio::AudioSource {
public:
    static constexpr int kPeriodFrames = 48;

    TimedDevice() : folder_(fs::temp_directory_path() / ("kelvane-loops-" + std::to_string(::getpid())))
    {
        fs::create_directories(folder_);
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
        output_ = audio::AudioOutput::open(audio::AudioSettings {kRate, kPeriodFrames, {}}, problem_);
        periods_.resize(kMostPeriods);
    }
    ~TimedDevice() override
    {
        listening_ = {};
        output_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    TimedDevice(const TimedDevice&) = delete;
    TimedDevice& operator=(const TimedDevice&) = delete;

    audio::AudioOutput* output() const { return output_.get(); }
    const std::string& problem() const { return problem_; }
    fs::path file(const std::string& name) const { return folder_ / name; }
    // Listens after the sources attached so far (the wave player's mixer).
    void listen() { listening_ = output_->attach(*this); }

    // How long the device sounded without a break, from the first frame heard
    // after `from` to the last one before a silent frame; nothing while
    // nothing was heard. The output rests once every source is idle, so no
    // silent period need follow the last sound.
    std::optional<Clock::duration> soundedAfter(Clock::time_point from) const
    {
        const std::size_t rendered = count_.load(std::memory_order_acquire);
        std::optional<Clock::time_point> began;
        Clock::time_point ended;
        for (std::size_t i = 0; i < rendered; ++i) {
            const Period& p = periods_[i];
            if (p.start < from)
                continue;
            if (began && p.firstSounding != 0)
                break; // silence after the sound began
            if (p.firstSounding < 0)
                continue;
            if (!began)
                began = p.start + frameTime(p.firstSounding);
            ended = p.start + frameTime(p.lastSounding + 1);
            if (p.lastSounding != kPeriodFrames - 1)
                break;
        }
        if (!began)
            return std::nullopt;
        return ended - *began;
    }

private:
    struct Period {
        Clock::time_point start;
        int firstSounding; // -1 when the period is silent
        int lastSounding;
    };
    static constexpr std::size_t kMostPeriods = 60 * kRate / kPeriodFrames; // a minute

    static Clock::duration frameTime(int frames)
    {
        return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(double(frames) / kRate));
    }

    // Runs on the audio thread after the sources have rendered the period.
    void render(std::int16_t* mix, const audio::AudioPeriod& period) noexcept override
    {
        const std::size_t i = count_.load(std::memory_order_relaxed);
        if (i == periods_.size())
            return;
        Period p {Clock::time_point(std::chrono::nanoseconds(period.start)), -1, -1};
        for (int frame = 0; frame < period.frames; ++frame) {
            if (mix[2 * frame] != 0 || mix[2 * frame + 1] != 0) {
                if (p.firstSounding < 0)
                    p.firstSounding = frame;
                p.lastSounding = frame;
            }
        }
        periods_[i] = p;
        count_.store(i + 1, std::memory_order_release);
    }
    bool idle() const noexcept override { return true; }

    fs::path folder_;
    std::string problem_;
    std::vector<Period> periods_;
    std::atomic<std::size_t> count_ {0};
    std::unique_ptr<audio::AudioOutput> output_;
    audio::AudioOutput::Attachment listening_;
};

// Runs the event loop as the program does, waiting in it for the next event
// (QTest's waits sleep between turns, which would hold a tick up), until
// `done` or the bound passes.
template <typename Predicate> bool runEventLoopUntil(Predicate done, int boundMs)
{
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(5);
    QTimer::singleShot(boundMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

struct LoopCase {
    int waveMs;
    const char* loopCount; // the list's text
    int heardAtLeastMs;
    int stopsFromMs; // LoopTicks x 55 ms at the first tick reaching the loop's length
};

} // namespace

TEST(LoopedWaves, EveryPassIsHeardAndTheStopComesWithinOneTickOfItsPoint)
{
    TimedDevice device;
    ASSERT_NE(device.output(), nullptr) << device.problem();
    audio::MixerWavePlayer mixer(*device.output());
    device.listen();
    StopWatchingPlayer player(mixer);
    fakes::EffectLog log;
    fakes::FakeDialogs dialogs(log);
    testing::RecordingSlideStep slideStep(log);
    WaveSlots slots(player, dialogs, slideStep);
    WaveSlot& slot = slots.slot(1);
    views::TimerBinding loopTimer(slot.loopTimer, nullptr);
    slot.loop.setValue(1);

    for (const LoopCase& c :
        {LoopCase {1500, " 2", 3000, 3025}, LoopCase {1500, " 3", 4500, 4510}, LoopCase {200, " 36", 7200, 7205}}) {
        SCOPED_TRACE(std::to_string(c.waveMs) + " ms x \"" + c.loopCount + "\"");
        const int frames = kRate / 1000 * c.waveMs;
        slot.setPath(audio::testing::constantWave(device.file("loop.wav"), kRate, frames, 6000, 6000));
        const auto& counts = slot.loopCount.items();
        slot.loopCount.setListIndex(
            static_cast<int>(std::find(counts.begin(), counts.end(), c.loopCount) - counts.begin()));
        player.stoppedAt.reset();

        const Clock::time_point pressed = Clock::now();
        slots.playPress(1);
        // The event loop runs the loop timer until the stop, and a little
        // longer, until the device has played the stop.
        ASSERT_TRUE(runEventLoopUntil(
            [&] { return player.stoppedAt && Clock::now() > *player.stoppedAt + std::chrono::milliseconds(100); },
            c.stopsFromMs + 5000))
            << "the loop never stopped";
        const std::optional<Clock::duration> heard = device.soundedAfter(pressed);
        ASSERT_TRUE(heard.has_value()) << "nothing was heard";
        ASSERT_TRUE(player.stoppedAt.has_value());
        const auto stoppedAfterMs
            = std::chrono::duration_cast<std::chrono::milliseconds>(*player.stoppedAt - pressed).count();
        const double heardMs = std::chrono::duration<double, std::milli>(*heard).count();
        EXPECT_GE(stoppedAfterMs, c.stopsFromMs);
        EXPECT_LE(stoppedAfterMs, c.stopsFromMs + kLoopTickMs);
        EXPECT_GE(heardMs, c.heardAtLeastMs);
        EXPECT_FALSE(slot.loopTimer.enabled());
        std::printf("%d ms x \"%s\": stopped %lld ms after the press, heard for %.1f ms\n", c.waveMs, c.loopCount,
            static_cast<long long>(stoppedAfterMs), heardMs);
    }
}

} // namespace kelvane

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
