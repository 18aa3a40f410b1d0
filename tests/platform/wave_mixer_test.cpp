// The period clock and the wave mixer on their own, rendered period by period
// by the test itself: where a start or a stop lands, what a period holds, and
// that an idle mixer leaves the output alone.
#include "AudioClock.h"
#include "audio/AudioPeriod.h"
#include "audio/WaveMixer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kelvane::audio {
namespace {

using testing::periodFromNow;
using testing::periodPlacing;

TEST(AudioPeriod, AnEventStartsOnePeriodAfterItsHandOverAndLateOrEarlyOnesAtTheEdges)
{
    constexpr Stamp kStart = 1000000000000;
    const AudioPeriod period {kStart, 128, 48000};
    const Stamp length = period.lengthNs(); // 2.667 ms
    EXPECT_EQ(length, 2666666);
    const Stamp frame = 1000000000 / 48000 + 1; // a little over one frame
    struct Row {
        Stamp stamp;
        int frame;
    };
    for (const Row& row : {
             Row {kStart - length, 0}, // handed over exactly one period before: the first frame
             Row {kStart - length + frame, 1},
             Row {kStart - length / 2, 64},
             Row {kStart - frame, 126},
             Row {kStart - 1, 127},
             Row {kStart - length - 1, 0}, // older than a period: the period came late
             Row {kStart - 5 * length, 0},
             Row {kStart, 127}, // handed over as the period began: its last frame
             Row {kStart + length, 127},
         })
        EXPECT_EQ(period.frameFor(row.stamp), row.frame) << row.stamp - kStart;
    EXPECT_EQ((AudioPeriod {kStart, 0, 48000}).frameFor(kStart), 0);
}

// A wave whose frame i is (i + 1, -(i + 1)): every sample says where it came from.
std::shared_ptr<WaveDecoding> countingWave(std::size_t frames)
{
    auto samples = std::make_shared<std::vector<std::int16_t>>();
    for (std::size_t i = 0; i < frames; ++i) {
        samples->push_back(static_cast<std::int16_t>(i + 1));
        samples->push_back(static_cast<std::int16_t>(-static_cast<int>(i + 1)));
    }
    DecodedWave wave;
    wave.samples = samples->data();
    wave.frames = frames;
    wave.bytes = 4 * frames;
    wave.owner = samples;
    auto decoding = std::make_shared<WaveDecoding>();
    decoding->finish(wave);
    return decoding;
}

class Mixer : public ::testing::Test {
protected:
    static constexpr int kFrames = 128;

    // Starts `wave` and renders the period in which the start falls on `frame`.
    WaveMixer::Ticket startAt(
        std::shared_ptr<const WaveDecoding> wave, bool looping, int frame, WaveMixer::Gains gains = {})
    {
        const Stamp before = stampNow();
        const auto ticket = mixer.start(std::move(wave), looping, gains);
        EXPECT_TRUE(ticket);
        uncertainty = static_cast<int>((stampNow() - before) / testing::kHalfFrameNs / 2);
        render(periodPlacing(before, frame, kFrames));
        return ticket.value_or(WaveMixer::Ticket {});
    }
    void stopAt(const WaveMixer::Ticket& ticket, int frame)
    {
        const Stamp before = stampNow();
        mixer.stop(ticket);
        uncertainty = static_cast<int>((stampNow() - before) / testing::kHalfFrameNs / 2);
        render(periodPlacing(before, frame, kFrames));
    }
    void render(const AudioPeriod& period)
    {
        mix.assign(2 * static_cast<std::size_t>(period.frames), 0);
        mixer.render(mix.data(), period);
    }
    void next() { render(periodFromNow(kFrames)); }
    int left(int frame) const { return mix[2 * static_cast<std::size_t>(frame)]; }
    int right(int frame) const { return mix[2 * static_cast<std::size_t>(frame) + 1]; }
    int firstSounding() const
    {
        for (int frame = 0; frame < kFrames; ++frame)
            if (left(frame) != 0 || right(frame) != 0)
                return frame;
        return -1;
    }

    WaveMixer mixer;
    std::vector<std::int16_t> mix;
    int uncertainty = 0;
};

TEST_F(Mixer, AStartSoundsFromItsFrameOnePeriodLaterAndASinglePlayEndsWithTheWave)
{
    for (int frame : {0, 1, 50, 127}) {
        const WaveMixer::Ticket ticket = startAt(countingWave(300), false, frame);
        ASSERT_NEAR(firstSounding(), frame, uncertainty) << frame;
        const int first = firstSounding();
        for (int f = first; f < kFrames; ++f) {
            ASSERT_EQ(left(f), f - first + 1) << f;
            ASSERT_EQ(right(f), -(f - first + 1)) << f;
        }
        EXPECT_TRUE(mixer.sounding(ticket));
        next();
        EXPECT_EQ(left(0), kFrames - first + 1); // on without a gap
        int played = 2 * kFrames - first;
        while (played < 300) {
            EXPECT_TRUE(mixer.sounding(ticket));
            next();
            played += kFrames;
        }
        EXPECT_EQ(left(kFrames - (played - 300) - 1), 300); // the last frame, in the period that ends it
        EXPECT_FALSE(mixer.sounding(ticket));
        next();
        EXPECT_EQ(firstSounding(), -1);
    }
}

TEST_F(Mixer, AStopSilencesAtItsFrameALoopRepeatsAndGainsScaleEachSide)
{
    const WaveMixer::Ticket loop = startAt(countingWave(10), true, 0, {0.5f, 2.0f});
    ASSERT_NEAR(firstSounding(), 0, uncertainty);
    const int first = firstSounding();
    EXPECT_EQ(left(first + 9), 5); // 10 / 2
    EXPECT_EQ(right(first + 9), -20);
    EXPECT_EQ(left(first + 10), 0); // frame 1 of the wave again: 1 / 2 rounds to 0
    EXPECT_EQ(right(first + 12), -6);
    stopAt(loop, 64);
    EXPECT_NEAR(firstSounding(), 0, 1);
    int last = -1;
    for (int f = 0; f < kFrames; ++f)
        if (right(f) != 0)
            last = f;
    EXPECT_NEAR(last, 63, uncertainty + 1); // right is never 0 while the loop sounds
    EXPECT_FALSE(mixer.sounding(loop));
    next();
    EXPECT_EQ(firstSounding(), -1);
}

TEST_F(Mixer, StopAllEndsEverySoundAndAVoiceIsFreeOnlyOnceTheAudioThreadHasEndedIt)
{
    std::vector<WaveMixer::Ticket> tickets;
    for (std::size_t i = 0; i < WaveMixer::kVoices; ++i) {
        const auto ticket = mixer.start(countingWave(1000), true, {});
        ASSERT_TRUE(ticket) << i;
        tickets.push_back(*ticket);
    }
    // Every voice is claimed; nothing has ended yet.
    EXPECT_FALSE(mixer.start(countingWave(10), false, {}));
    next();
    EXPECT_NE(firstSounding(), -1);
    mixer.stopAll();
    EXPECT_FALSE(mixer.start(countingWave(10), false, {})); // the audio thread has not ended them yet
    next();
    for (const WaveMixer::Ticket& ticket : tickets)
        ASSERT_FALSE(mixer.sounding(ticket));
    const auto again = mixer.start(countingWave(10), false, {});
    ASSERT_TRUE(again);
    EXPECT_FALSE(mixer.sounding(tickets[again->voice])); // an old ticket of the voice stays ended
    EXPECT_TRUE(mixer.sounding(*again));
}

TEST_F(Mixer, AWaveStillDecodingWaitsAndStartsFromItsBeginningOrNeverIfItFails)
{
    auto decoding = std::make_shared<WaveDecoding>();
    const auto ticket = mixer.start(decoding, false, {});
    ASSERT_TRUE(ticket);
    next();
    next();
    EXPECT_EQ(firstSounding(), -1);
    EXPECT_TRUE(mixer.sounding(*ticket));

    const auto done = countingWave(50);
    decoding->finish(done->wave());
    next();
    EXPECT_EQ(left(0), 1);
    EXPECT_EQ(left(49), 50);
    EXPECT_FALSE(mixer.sounding(*ticket));

    auto failing = std::make_shared<WaveDecoding>();
    const auto never = mixer.start(failing, false, {});
    next();
    failing->finish(std::nullopt);
    next();
    EXPECT_EQ(firstSounding(), -1);
    EXPECT_FALSE(mixer.sounding(*never));
}

TEST_F(Mixer, AnIdleMixerLeavesTheOutputAsItFindsItAndAddsToWhatIsThere)
{
    std::vector<std::int16_t> before(2 * kFrames, 1234);
    mix = before;
    mixer.render(mix.data(), periodFromNow(kFrames));
    EXPECT_EQ(mix, before);

    const auto ticket = mixer.start(countingWave(kFrames * 4), false, {});
    mix.assign(2 * kFrames, 32000);
    mixer.render(mix.data(), periodFromNow(kFrames));
    EXPECT_EQ(left(kFrames - 1), 32000 + kFrames); // added below full scale
    mix.assign(2 * kFrames, 32700);
    mixer.render(mix.data(), periodFromNow(kFrames));
    EXPECT_EQ(left(kFrames - 1), 32767); // and held at full scale beyond it
    EXPECT_EQ(right(kFrames - 1), 32700 - 2 * kFrames);
    mixer.stop(*ticket);
    next();
    next();
    mix = before;
    mixer.render(mix.data(), periodFromNow(kFrames));
    EXPECT_EQ(mix, before);
}

} // namespace
} // namespace kelvane::audio
