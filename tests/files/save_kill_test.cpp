// Saves killed at random moments, for every kind of file the program saves
// (a performance file, kelvane.dat, the component registry), each through its
// own code and the one writer: the file is always one version or the other,
// whole; a save removes the temporary files that killed saves left; and after
// one further normal save none remains.

#include "DiskTestKit.h"
#include "KillDuringSave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <thread>

namespace kelvane::testing {
namespace {

// What one lane of kills saw.
struct KillTally {
    int kills = 0;
    std::array<int, 2> versionsSeen {};
    int leftovers = 0; // temporary files found after kills
    std::string fault; // empty while every kill left what it should
};

// A victim that has made its first save, and how long that save took.
struct Victim {
    pid_t pid = -1; // -1 when it did not get that far
    long saveMicroseconds = 0;
};

// Starts the victim on path and waits until its first save is on disk.
Victim startVictim(const SavedFile& file, const std::string& path)
{
    // Closed in every other lane's victims, so that only this one holds the
    // writing end and its death ends the read.
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0)
        return {};
    const pid_t child = ::fork();
    if (child < 0)
        return {};
    if (child == 0) {
        ::dup2(ready[1], STDOUT_FILENO);
        ::close(ready[0]);
        ::close(ready[1]);
        ::execl(KELVANE_SAVE_VICTIM, KELVANE_SAVE_VICTIM, file.kind, path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ready[1]);
    // One short write of the victim's: it comes whole.
    char line[64] = {};
    const ssize_t got = ::read(ready[0], line, sizeof line - 1);
    ::close(ready[0]);
    long microseconds = 0;
    if (got <= 0 || std::sscanf(line, "ready %ld", &microseconds) != 1) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        return {};
    }
    return {child, microseconds};
}

// The victim's one normal save; true when it succeeded.
bool saveOnce(const SavedFile& file, const std::string& path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl(
            KELVANE_SAVE_VICTIM, KELVANE_SAVE_VICTIM, file.kind, path.c_str(), "--once", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Kills the victim kills times in a folder of its own, each time at a random
// moment of its saves, and checks the folder after each kill and after a last
// normal save. The moments spread over about four of the victim's saves, as
// long as its own first save took: under a sanitizer on a loaded machine a
// save takes many times longer than it does in a release build, and moments
// within the first save alone would never catch the file after its next one.
KillTally killDuringSaves(const SavedFile& file, const FileVersions& versions, int kills, unsigned seed)
{
    KillTally tally;
    TempFolder dir;
    const std::string path = dir / file.fileName;
    put(path, versions[0]);
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> saves(0.0, 4.0);
    for (; tally.kills < kills && tally.fault.empty(); ++tally.kills) {
        const Victim victim = startVictim(file, path);
        if (victim.pid < 0) {
            tally.fault = "the victim did not finish its first save";
            break;
        }
        const double saveMicroseconds = static_cast<double>(std::max(victim.saveMicroseconds, 750L));
        ::usleep(static_cast<useconds_t>(saves(random) * saveMicroseconds));
        ::kill(victim.pid, SIGKILL);
        int status = 0;
        ::waitpid(victim.pid, &status, 0);
        if (!WIFSIGNALED(status)) {
            tally.fault = "the victim stopped by itself: a save failed";
            break;
        }
        const Bytes now = contents(path);
        if (now == versions[0] || now == versions[1])
            ++tally.versionsSeen[now == versions[0] ? 0 : 1];
        else
            tally.fault = "a kill left a file of " + std::to_string(now.size()) + " bytes that is neither version";
        // The kill may leave the temporary file of the save it cut short;
        // the victim's first save has removed those of the earlier kills.
        const std::size_t others = dir.names().size() - 1;
        tally.leftovers += static_cast<int>(others);
        if (others > 1)
            tally.fault = std::to_string(others) + " temporary files after a kill: earlier ones stayed";
    }
    if (tally.fault.empty() && !saveOnce(file, path))
        tally.fault = "the last normal save failed";
    if (tally.fault.empty() && dir.names() != std::vector<std::string> {file.fileName})
        tally.fault = "a temporary file stayed after the last normal save";
    if (tally.fault.empty() && contents(path) != versions[1])
        tally.fault = "the last normal save did not write the file";
    return tally;
}

class SaveKills : public ::testing::TestWithParam<SavedFile> { };

// KELVANE_SAVE_KILLS kills per kind of file, in lanes side by side (each lane
// a folder of its own). Both versions must be caught on disk, so the kills
// landed before and after renames.
TEST_P(SaveKills, TheFileIsAlwaysOneVersionWholeAndTheNextSaveLeavesNoTemporaryFile)
{
    const SavedFile file = GetParam();
    const FileVersions versions = killVersions(file.kind);
    ASSERT_NE(versions[0], versions[1]);
    constexpr int kLanes = 8;
    std::vector<KillTally> tallies(kLanes);
    std::vector<std::thread> lanes;
    for (int lane = 0; lane < kLanes; ++lane)
        lanes.emplace_back([&, lane] {
            const int kills = KELVANE_SAVE_KILLS / kLanes + (lane < KELVANE_SAVE_KILLS % kLanes ? 1 : 0);
            tallies[static_cast<std::size_t>(lane)]
                = killDuringSaves(file, versions, kills, 20261207u + static_cast<unsigned>(lane));
        });
    for (std::thread& lane : lanes)
        lane.join();
    KillTally total;
    for (const KillTally& t : tallies) {
        EXPECT_EQ(t.fault, "");
        total.kills += t.kills;
        total.versionsSeen[0] += t.versionsSeen[0];
        total.versionsSeen[1] += t.versionsSeen[1];
        total.leftovers += t.leftovers;
    }
    EXPECT_EQ(total.kills, KELVANE_SAVE_KILLS);
    EXPECT_GT(total.versionsSeen[0], 0);
    EXPECT_GT(total.versionsSeen[1], 0);
    std::printf("%s: %d kills: version 0 on disk %d times, version 1 %d times; %d unfinished copies found, each "
                "removed by the next save\n",
        file.kind, total.kills, total.versionsSeen[0], total.versionsSeen[1], total.leftovers);
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfFile, SaveKills, ::testing::ValuesIn(kSavedFiles),
    [](const ::testing::TestParamInfo<SavedFile>& each) { return std::string(each.param.kind); });

} // namespace
} // namespace kelvane::testing
