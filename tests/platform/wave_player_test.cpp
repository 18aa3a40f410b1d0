// The wave player on a real SDL_mixer output. SDL's disk driver writes what
// the device would play into a file, in real time, so these tests listen to
// it: a press is heard at its volume and pan, a loop repeats, a stop silences.
#include "WaveFiles.h"
#include "audio/AudioOutput.h"
#include "audio/DecodedWaveCache.h"
#include "audio/MixerWavePlayer.h"

#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <malloc.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
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
        output_ = AudioOutput::open({kRate, 512}, problem);
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
    // What was already mixed drains within a few periods; after that, silence.
    const std::size_t stoppedAt = heard().size();
    ASSERT_TRUE(deviceMoves(kRate / 2));
    EXPECT_EQ(soundingFrames(heard(), stoppedAt + kRate / 5), 0U);
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

    for (const char* name : {"empty.wav", "truncated.wav", "header-only.wav", "corrupt.wav", "text.mp3", "absent.wav"})
        EXPECT_EQ(player_->loadWaveFile(file(name)), -1) << name;
    EXPECT_EQ(player_->loadWaveFile(""), -1);
    EXPECT_EQ(player_->loadWaveFile(folder_.string()), -1); // a folder

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

// A CD-rate file is converted to the output's rate. The sound keeps only its
// own bytes, not the buffer it was converted in (four times as large), so the
// memory a slot holds is what the cache counts: eight 50 MB files at 44.1 kHz
// took 1656 MB before, 478 MB since.
TEST_F(DiskOutput, AConvertedSoundHoldsNoMoreMemoryThanItsBytes)
{
    const std::string path = constantWave(file("cd.wav"), 44100, 441000, 1000, -1000);
    const std::optional<DecodedWave> wave = MixerWavePlayer::decode(path, output_->sampleRate());
    ASSERT_TRUE(wave);
    const auto* chunk = static_cast<const Mix_Chunk*>(wave->audio.get());
    EXPECT_EQ(chunk->alen, wave->bytes);
    EXPECT_NEAR(static_cast<double>(wave->bytes), kRate * 10 * 4, 64 * 4) << "ten seconds at the output's rate";
    EXPECT_LE(::malloc_usable_size(chunk->abuf), wave->bytes + 4096);
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

// The cache on its own, with a counting decoder and stamps the test controls.
class Cache : public ::testing::Test {
protected:
    DecodedWaveCache make(std::size_t capacity)
    {
        return DecodedWaveCache(
            [this](const std::string& path) -> std::optional<DecodedWave> {
                decoded.push_back(path);
                if (path == "bad")
                    return std::nullopt;
                return DecodedWave {std::make_shared<int>(0), sizes.at(path), 10};
            },
            capacity,
            [this](const std::string& path) -> std::optional<FileStamp> {
                if (!stamps.contains(path))
                    return std::nullopt;
                return stamps.at(path);
            });
    }
    std::vector<std::string> decoded;
    std::map<std::string, std::size_t> sizes {{"a", 40}, {"b", 40}, {"c", 40}, {"huge", 500}, {"bad", 1}};
    std::map<std::string, FileStamp> stamps {
        {"a", {1, 1}}, {"b", {1, 1}}, {"c", {1, 1}}, {"huge", {1, 1}}, {"bad", {1, 1}}};
};

TEST_F(Cache, KeepsTheRecentlyUsedWithinItsBoundAndDecodesAChangedFileAgain)
{
    DecodedWaveCache cache = make(100);
    cache.get("a");
    cache.get("b");
    cache.get("a"); // a is now the most recent
    cache.get("c"); // 120 bytes: b, the least recent, goes
    EXPECT_EQ(decoded, (std::vector<std::string> {"a", "b", "c"}));
    EXPECT_EQ(cache.bytes(), 80U);
    cache.get("a");
    cache.get("b");
    EXPECT_EQ(decoded.back(), "b");
    EXPECT_EQ(decoded.size(), 4U);

    stamps["a"].modified = 2; // saved again
    cache.get("a");
    EXPECT_EQ(decoded.size(), 5U);
    EXPECT_EQ(cache.entries(), 2U);

    // Too big to keep, undecodable or missing: answered, never kept.
    EXPECT_TRUE(cache.get("huge"));
    EXPECT_FALSE(cache.get("bad"));
    EXPECT_FALSE(cache.get("missing"));
    EXPECT_EQ(cache.entries(), 2U);
    EXPECT_LE(cache.bytes(), 100U);
}

} // namespace
} // namespace kelvane::audio
