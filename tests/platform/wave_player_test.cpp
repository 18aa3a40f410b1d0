// The wave player on a real SDL_mixer output. SDL's disk driver writes what
// the device would play into a file, in real time, so these tests listen to
// it: a press is heard at its volume and pan, a loop repeats, a stop silences.
#include "WaveFiles.h"
#include "audio/AudioOutput.h"
#include "audio/DecodedWaveCache.h"
#include "audio/MixerWavePlayer.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace kelvane::audio {
namespace {

using namespace std::chrono_literals;
using testing::constantWave;
namespace fs = std::filesystem;

constexpr int kRate = 48000;

struct Frame {
    int left;
    int right;
};

// An output whose device is a file, and a player on it.
class DiskOutput : public ::testing::Test {
protected:
    DiskOutput() :
        folder_(fs::temp_directory_path() / ("kelvane-waves-" + std::to_string(::getpid()))),
        device_(folder_ / "device.raw")
    {
        fs::create_directories(folder_);
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", device_.c_str(), 1);
        std::string problem;
        output_ = AudioOutput::open({kRate, 512, {}}, problem);
        if (output_)
            player_ = std::make_unique<MixerWavePlayer>(*output_);
        else
            ADD_FAILURE() << problem;
    }
    ~DiskOutput() override
    {
        player_.reset();
        output_.reset();
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::string file(const std::string& name) const { return (folder_ / name).string(); }

    // Everything the device has played so far.
    std::vector<Frame> heard() const
    {
        std::ifstream in(device_, std::ios::binary);
        std::vector<Frame> frames;
        std::int16_t pair[2];
        while (in.read(reinterpret_cast<char*>(pair), sizeof pair))
            frames.push_back({pair[0], pair[1]});
        return frames;
    }

    // The device runs in real time on a machine that may be busy: wait for
    // what it must do, within a bound, rather than a fixed time.
    static bool within(std::chrono::milliseconds bound, const std::function<bool()>& done)
    {
        const auto until = std::chrono::steady_clock::now() + bound;
        while (!done()) {
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }
    // Waits until the device has played `frames` more frames than now.
    bool deviceMoves(std::size_t frames) const
    {
        const std::size_t from = heard().size();
        return within(3s, [&] { return heard().size() >= from + frames; });
    }

    static std::size_t soundingFrames(const std::vector<Frame>& frames, std::size_t from = 0)
    {
        std::size_t count = 0;
        for (std::size_t i = from; i < frames.size(); ++i)
            count += frames[i].left != 0 || frames[i].right != 0;
        return count;
    }

    fs::path folder_;
    fs::path device_;
    std::unique_ptr<AudioOutput> output_;
    std::unique_ptr<MixerWavePlayer> player_;
};

TEST_F(DiskOutput, APressIsHeardAtItsVolumeAndPan)
{
    ASSERT_TRUE(player_);
    const std::string wave = constantWave(file("tone.wav"), kRate, kRate / 5, 10000, 10000);
    const int buffer = player_->loadWaveFile(wave);
    ASSERT_GT(buffer, 0);
    EXPECT_EQ(player_->bufferLength(buffer), 200);
    player_->setBufferVolume(buffer, -600); // -6 dB: half
    player_->setBufferPan(buffer, 600); // the left 6 dB further down
    player_->playBuffer(buffer);
    EXPECT_TRUE(player_->isBufferPlaying(buffer));
    // A single play ends by itself.
    EXPECT_TRUE(within(3s, [&] { return !player_->isBufferPlaying(buffer); }));
    ASSERT_TRUE(deviceMoves(kRate / 10));

    const std::vector<Frame> frames = heard();
    std::size_t sounding = 0;
    for (const Frame& f : frames) {
        if (f.left == 0 && f.right == 0)
            continue;
        ++sounding;
        EXPECT_NEAR(f.left, 10000 * 0.251, 40);
        EXPECT_NEAR(f.right, 10000 * 0.501, 40);
        if (::testing::Test::HasFailure())
            break;
    }
    // The whole wave and nothing more.
    EXPECT_NEAR(static_cast<double>(sounding), kRate / 5.0, 2.0);
}

TEST_F(DiskOutput, LoopingRepeatsUntilStoppedAndStopSilences)
{
    ASSERT_TRUE(player_);
    const std::string wave = constantWave(file("short.wav"), kRate, kRate / 20, 8000, -8000);
    const int buffer = player_->loadWaveFile(wave);
    player_->setBufferVolume(buffer, 0);
    player_->playLooping(buffer);
    // Far more than the wave's 50 ms sound.
    EXPECT_TRUE(within(3s, [&] { return soundingFrames(heard()) > static_cast<std::size_t>(kRate / 20 * 3); }));
    EXPECT_TRUE(player_->isBufferPlaying(buffer));

    player_->stopBuffer(buffer);
    EXPECT_FALSE(player_->isBufferPlaying(buffer));
    // What was already mixed drains within a few periods; after that,
    // silence, until the device rests with nothing left to play.
    const std::size_t stoppedAt = heard().size();
    const std::uint64_t rests = output_->rests();
    ASSERT_TRUE(within(3s, [&] { return output_->rests() > rests; }));
    ASSERT_GT(heard().size(), stoppedAt + kRate / 5);
    EXPECT_EQ(soundingFrames(heard(), stoppedAt + kRate / 10), 0U);
}

TEST_F(DiskOutput, ManySoundsAtOnceEachGetAChannelAndStopAllEndsThemAll)
{
    ASSERT_TRUE(player_);
    const std::string wave = constantWave(file("many.wav"), kRate, kRate, 100, 100);
    std::vector<int> buffers;
    for (int i = 0; i < 40; ++i) {
        buffers.push_back(player_->loadWaveFile(wave));
        player_->playLooping(buffers.back());
    }
    EXPECT_GE(player_->channelCount(), 40);
    for (int b : buffers)
        EXPECT_TRUE(player_->isBufferPlaying(b)) << b;
    EXPECT_EQ(player_->cache().decodes(), 1U); // one decoding, forty buffers

    player_->stopAllBuffers();
    for (int b : buffers)
        EXPECT_FALSE(player_->isBufferPlaying(b)) << b;
    // Released buffers are gone; their numbers are never handed out again.
    player_->releaseBuffer(buffers[0]);
    EXPECT_EQ(player_->bufferLength(buffers[0]), 0);
    EXPECT_GT(player_->loadWaveFile(wave), buffers.back());
}

TEST_F(DiskOutput, UnreadableFilesGiveMinusOneAndUnknownNumbersDoNothing)
{
    ASSERT_TRUE(player_);
    const std::string good = constantWave(file("good.wav"), kRate, 4800, 1000, 1000);
    std::string bytes;
    {
        std::ifstream in(good, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::ofstream(file("empty.wav"), std::ios::binary).flush();
    std::ofstream(file("truncated.wav"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    std::ofstream(file("header-only.wav"), std::ios::binary) << bytes.substr(0, 30);
    std::string corrupt = bytes;
    corrupt.replace(8, 4, "JUNK");
    std::ofstream(file("corrupt.wav"), std::ios::binary) << corrupt;
    std::ofstream(file("text.mp3"), std::ios::binary) << "this is not a sound";

    for (const char* name : {"empty.wav", "truncated.wav", "header-only.wav", "corrupt.wav", "text.mp3"}) {
        // Not known until decoded: the first load makes a buffer at once,
        // which never sounds; from then on the file is refused at once.
        const int first = player_->loadWaveFile(file(name));
        if (first != -1) {
            EXPECT_EQ(player_->bufferLength(first), 0) << name;
            player_->playBuffer(first);
            EXPECT_TRUE(within(3s, [&] { return !player_->isBufferPlaying(first); })) << name;
            player_->releaseBuffer(first);
        }
        EXPECT_EQ(player_->loadWaveFile(file(name)), -1) << name;
    }
    EXPECT_EQ(player_->loadWaveFile(file("absent.wav")), -1);
    EXPECT_EQ(player_->loadWaveFile(""), -1);
    EXPECT_EQ(player_->loadWaveFile(folder_.string()), -1); // a folder
    EXPECT_EQ(soundingFrames(heard()), 0U);

    for (int unknown : {0, -1, 12345}) {
        player_->playBuffer(unknown);
        player_->playLooping(unknown);
        player_->setBufferVolume(unknown, -100);
        player_->setBufferPan(unknown, 100);
        player_->stopBuffer(unknown);
        player_->releaseBuffer(unknown);
        EXPECT_FALSE(player_->isBufferPlaying(unknown));
        EXPECT_EQ(player_->bufferLength(unknown), 0);
    }
    EXPECT_EQ(player_->bufferCount(), 0);
}

TEST_F(DiskOutput, AFileReadiedWhenChosenIsDecodedOnceAndAPressDuringTheDecodeSoundsWhenItEnds)
{
    ASSERT_TRUE(player_);
    // Twenty seconds of sound: its decode takes a while.
    const std::string wave = constantWave(file("long.wav"), kRate, 20 * kRate, 2000, 2000);
    player_->prepareWaveFile(wave);
    const auto asked = std::chrono::steady_clock::now();
    const int buffer = player_->loadWaveFile(wave); // at once, decoded or not
    player_->playBuffer(buffer);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 50ms);
    EXPECT_TRUE(player_->isBufferPlaying(buffer));
    EXPECT_TRUE(within(5s, [&] { return soundingFrames(heard()) > 0; }));
    EXPECT_EQ(player_->bufferLength(buffer), 20000);
    player_->stopBuffer(buffer);
    EXPECT_EQ(player_->cache().decodes(), 1U);
    // Readying it again, or a press after it is decoded, decodes nothing more.
    player_->prepareWaveFile(wave);
    player_->releaseBuffer(player_->loadWaveFile(wave));
    EXPECT_EQ(player_->cache().decodes(), 1U);
}

TEST_F(DiskOutput, AFileChosenWhileTheOutputRestsIsDecodedWithoutWaitingForAPress)
{
    ASSERT_TRUE(player_);
    const std::uint64_t rests = output_->rests();
    ASSERT_TRUE(within(3s, [&] { return output_->rests() > rests; })) << "the silent output never rested";
    // SDL_mixer takes the device's lock while it decodes, which the resting
    // output holds: the decode must not wait for the next press to wake it.
    const std::string wave = constantWave(file("chosen.wav"), kRate, kRate, 1000, 1000);
    player_->prepareWaveFile(wave);
    const int buffer = player_->loadWaveFile(wave);
    auto length = std::async(std::launch::async, [&] { return player_->bufferLength(buffer); });
    const bool decoded = length.wait_for(3s) == std::future_status::ready;
    if (!decoded)
        player_->playBuffer(buffer); // wakes the output, so that the test can end
    EXPECT_TRUE(decoded) << "the decode waited for the output to wake";
    EXPECT_EQ(length.get(), 1000);
}

// A CD-rate file is converted to the output's rate. The sound keeps only its
// own bytes, not the buffer it was converted in (four times as large), so the
// memory a slot holds is what the cache counts: eight 50 MB files at 44.1 kHz
// took 1656 MB before, 478 MB since.
TEST_F(DiskOutput, AConvertedSoundHoldsNoMoreMemoryThanItsBytes)
{
    const std::string path = constantWave(file("cd.wav"), 44100, 441000, 1000, -1000);
    const std::optional<DecodedWave> wave = MixerWavePlayer::decode(path, *output_);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->frames * 4, wave->bytes);
    EXPECT_NEAR(static_cast<double>(wave->bytes), kRate * 10 * 4, 64 * 4) << "ten seconds at the output's rate";
    EXPECT_LE(::malloc_usable_size(const_cast<std::int16_t*>(wave->samples)), wave->bytes + 4096);
}

// A slot's press releases its buffer, then loads the file again: with files
// that pass the cache's bound, the sound it played is taken back, not decoded
// again; a file never pressed since it was let go of is decoded again.
TEST_F(DiskOutput, APressTakesBackTheSoundItsSlotPlayedWhenTheCacheHasLetGoOfIt)
{
    ASSERT_TRUE(output_);
    player_.reset();
    const std::size_t oneSecond = std::size_t {kRate} * 4;
    MixerWavePlayer small(*output_, oneSecond + oneSecond / 2);
    const std::string first = constantWave(file("first.wav"), kRate, kRate, 1000, 1000);
    const std::string second = constantWave(file("second.wav"), kRate, kRate, 2000, 2000);
    const std::string third = constantWave(file("third.wav"), kRate, kRate, 3000, 3000);
    int slot = small.loadWaveFile(first);
    ASSERT_EQ(small.bufferLength(slot), 1000);
    for (const std::string& other : {second, third}) // first is let go of
        small.bufferLength(small.loadWaveFile(other));
    small.bufferLength(small.loadWaveFile(second));
    ASSERT_EQ(small.cache().decodes(), 3U);
    small.releaseBuffer(slot);
    slot = small.loadWaveFile(first);
    EXPECT_EQ(small.bufferLength(slot), 1000);
    EXPECT_EQ(small.cache().decodes(), 3U) << "the slot's own sound was decoded again";
    small.releaseBuffer(slot);
    small.bufferLength(small.loadWaveFile(third)); // nobody holds first any more
    small.bufferLength(small.loadWaveFile(second));
    small.bufferLength(small.loadWaveFile(first));
    EXPECT_EQ(small.cache().decodes(), 4U);
}

TEST(WaveGains, VolumeIsHundredthsOfADecibelAndPanAttenuatesTheOtherSide)
{
    const auto centre = MixerWavePlayer::gainsFor(0, 0);
    EXPECT_FLOAT_EQ(centre.left, 1.0f);
    EXPECT_FLOAT_EQ(centre.right, 1.0f);
    const auto quiet = MixerWavePlayer::gainsFor(-4000, 0);
    EXPECT_NEAR(quiet.left, 0.01, 1e-6);
    const auto right = MixerWavePlayer::gainsFor(0, 10000);
    EXPECT_FLOAT_EQ(right.left, 0.0f);
    EXPECT_FLOAT_EQ(right.right, 1.0f);
    const auto left = MixerWavePlayer::gainsFor(-2000, -2000);
    EXPECT_NEAR(left.left, 0.1, 1e-6);
    EXPECT_NEAR(left.right, 0.01, 1e-6);
    EXPECT_FLOAT_EQ(MixerWavePlayer::gainsFor(500, 0).left, 1.0f); // never louder than the file
}

// The cache on its own, with a counting decoder and stamps the test
// controls. The decoder may be held back, to see what happens while a decode
// is under way.
class Cache : public ::testing::Test {
protected:
    DecodedWaveCache make(std::size_t capacity)
    {
        return DecodedWaveCache(
            [this](const std::string& path) -> std::optional<DecodedWave> {
                {
                    std::unique_lock lock(mutex);
                    decodedPaths.push_back(path);
                    decoderThread = std::this_thread::get_id();
                    released.wait(lock, [this] { return !heldBack; });
                }
                if (path == "bad")
                    return std::nullopt;
                return DecodedWave {std::make_shared<int>(0), nullptr, 1, sizes.at(path), 10};
            },
            capacity,
            [this](const std::string& path) -> std::optional<FileStamp> {
                if (!stamps.contains(path))
                    return std::nullopt;
                return stamps.at(path);
            });
    }
    // Gets the file and waits for its decode: what a use that finds it decoded sees.
    static std::shared_ptr<const WaveDecoding> decoded(DecodedWaveCache& cache, const std::string& path)
    {
        auto decoding = cache.get(path);
        if (decoding)
            decoding->wait();
        return decoding;
    }
    void holdBack()
    {
        std::lock_guard lock(mutex);
        heldBack = true;
    }
    void release()
    {
        {
            std::lock_guard lock(mutex);
            heldBack = false;
        }
        released.notify_all();
    }
    std::vector<std::string> decodedSoFar()
    {
        std::lock_guard lock(mutex);
        return decodedPaths;
    }

    std::mutex mutex;
    std::condition_variable released;
    bool heldBack = false;
    std::vector<std::string> decodedPaths;
    std::thread::id decoderThread;
    std::map<std::string, std::size_t> sizes {{"a", 40}, {"b", 40}, {"c", 40}, {"d", 40}, {"huge", 500}, {"bad", 1}};
    std::map<std::string, FileStamp> stamps {
        {"a", {1, 1}}, {"b", {1, 1}}, {"c", {1, 1}}, {"d", {1, 1}}, {"huge", {1, 1}}, {"bad", {1, 1}}};
};

TEST_F(Cache, KeepsTheRecentlyUsedWithinItsBoundAndDecodesAChangedFileAgain)
{
    DecodedWaveCache cache = make(100);
    decoded(cache, "a");
    decoded(cache, "b");
    decoded(cache, "a"); // a is now the most recent
    decoded(cache, "c"); // 120 bytes: b, the least recent, goes
    decoded(cache, "c");
    EXPECT_EQ(decodedSoFar(), (std::vector<std::string> {"a", "b", "c"}));
    EXPECT_EQ(cache.bytes(), 80U);
    decoded(cache, "a");
    decoded(cache, "b");
    EXPECT_EQ(decodedSoFar().back(), "b");
    EXPECT_EQ(decodedSoFar().size(), 4U);

    stamps["a"].modified = 2; // saved again
    decoded(cache, "a");
    EXPECT_EQ(decodedSoFar().size(), 5U);
    decoded(cache, "a");
    EXPECT_EQ(cache.entries(), 2U);

    // Too big to keep: answered, never kept. Missing: not answered.
    EXPECT_TRUE(decoded(cache, "huge"));
    EXPECT_FALSE(cache.get("missing"));
    decoded(cache, "a");
    EXPECT_EQ(cache.entries(), 2U);
    EXPECT_LE(cache.bytes(), 100U);
    EXPECT_EQ(cache.decodes(), decodedSoFar().size());
}

// Eight long files in the slots pass the bound: a sound that a slot still
// holds is taken back when its file is asked for again, not decoded again.
TEST_F(Cache, ASoundLetGoOfWhileStillHeldIsTakenBackUnlessItsFileChanged)
{
    DecodedWaveCache cache = make(100);
    auto held = decoded(cache, "a");
    auto heldHuge = decoded(cache, "huge"); // never kept, but held
    decoded(cache, "b");
    decoded(cache, "c");
    decoded(cache, "d"); // past the bound: a (held) and then b (not held) are let go
    ASSERT_EQ(decodedSoFar().size(), 5U);
    EXPECT_EQ(cache.get("a"), held);
    EXPECT_EQ(cache.get("huge"), heldHuge);
    EXPECT_EQ(decodedSoFar().size(), 5U);
    decoded(cache, "b");
    EXPECT_EQ(decodedSoFar().size(), 6U);
    EXPECT_LE(cache.bytes(), 100U);

    // Changed on disk while let go of: decoded afresh.
    decoded(cache, "c");
    decoded(cache, "d"); // a is let go of again
    stamps["a"].modified = 2;
    EXPECT_NE(decoded(cache, "a"), held);
    EXPECT_EQ(decodedSoFar().back(), "a");
    // No longer held: decoded again too.
    heldHuge.reset();
    decoded(cache, "huge");
    EXPECT_EQ(decodedSoFar().back(), "huge");
    EXPECT_EQ(cache.decodes(), decodedSoFar().size());
}

TEST_F(Cache, DecodesOnItsOwnThreadAndAUseDuringTheDecodeDoesNotWaitForIt)
{
    DecodedWaveCache cache = make(1000);
    holdBack();
    cache.prepare("a");
    // The decode is held back on the worker, and still every call returns.
    const auto during = cache.get("a");
    ASSERT_TRUE(during);
    EXPECT_EQ(during->state(), WaveDecoding::State::Decoding);
    cache.prepare("a");
    EXPECT_EQ(cache.decodes(), 1U); // one decode, however often it is asked for
    release();
    EXPECT_EQ(during->wait(), WaveDecoding::State::Decoded);
    EXPECT_EQ(cache.get("a"), during);
    EXPECT_NE(decoderThread, std::this_thread::get_id());
}

TEST_F(Cache, AFileThatDoesNotDecodeIsRefusedAtOnceUntilItChanges)
{
    DecodedWaveCache cache = make(1000);
    holdBack();
    cache.prepare("bad");
    const auto first = cache.get("bad"); // still decoding: not yet known to be bad
    ASSERT_TRUE(first);
    release();
    EXPECT_EQ(first->wait(), WaveDecoding::State::Failed);
    EXPECT_FALSE(cache.get("bad"));
    EXPECT_FALSE(cache.get("bad"));
    EXPECT_EQ(cache.decodes(), 1U);
    stamps["bad"].size = 2; // replaced on disk: decoded afresh
    holdBack();
    EXPECT_TRUE(cache.get("bad"));
    release();
    EXPECT_EQ(cache.decodes(), 2U);
}

TEST_F(Cache, AFileAskedForNowIsDecodedBeforeTheOnesReadiedAhead)
{
    DecodedWaveCache cache = make(1000);
    holdBack();
    cache.prepare("a"); // the worker takes it and is held back
    while (decodedSoFar().empty())
        std::this_thread::yield();
    cache.prepare("b");
    cache.prepare("c");
    const auto pressed = cache.get("d");
    release();
    pressed->wait();
    decoded(cache, "c");
    EXPECT_EQ(decodedSoFar(), (std::vector<std::string> {"a", "d", "b", "c"}));
}

} // namespace
} // namespace kelvane::audio
