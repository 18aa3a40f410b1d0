// Writing documents so that the old file survives anything, and reading them
// without ever changing the disk.

#include "KillDuringSave.h"
#include "files/AtomicFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kelvane::files {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "kelvane-files-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }
    // Every name in the folder, so leftovers show.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(path_))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::string path_;
};

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void put(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

unsigned modeOf(const std::string& path)
{
    struct stat st { };
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

bool runningAsRoot() { return ::geteuid() == 0; }

TEST(AtomicFile, ANewFileGetsTheUsualPermissionsAndAnOldOneKeepsItsOwn)
{
    TempFolder dir;
    const mode_t mask = ::umask(022);
    EXPECT_EQ(writeFileAtomically(dir / "new.dnc", bytesOf("one")), "");
    EXPECT_EQ(contents(dir / "new.dnc"), bytesOf("one"));
    EXPECT_EQ(modeOf(dir / "new.dnc"), 0644u);
    ::umask(mask);

    ::chmod((dir / "new.dnc").c_str(), 0640);
    EXPECT_EQ(writeFileAtomically(dir / "new.dnc", bytesOf("a longer second text")), "");
    EXPECT_EQ(contents(dir / "new.dnc"), bytesOf("a longer second text"));
    EXPECT_EQ(modeOf(dir / "new.dnc"), 0640u);
    EXPECT_EQ(writeFileAtomically(dir / "new.dnc", bytesOf("3")), ""); // a shorter file is cut to size
    EXPECT_EQ(contents(dir / "new.dnc"), bytesOf("3"));
    EXPECT_EQ(dir.names(), std::vector<std::string> {"new.dnc"});
}

TEST(AtomicFile, SavingThroughALinkReplacesTheLinkedFileAndKeepsTheLink)
{
    TempFolder dir;
    put(dir / "real.dnc", bytesOf("old"));
    fs::create_symlink(dir / "real.dnc", dir / "link.dnc");
    EXPECT_EQ(writeFileAtomically(dir / "link.dnc", bytesOf("new")), "");
    EXPECT_TRUE(fs::is_symlink(dir / "link.dnc"));
    EXPECT_EQ(contents(dir / "real.dnc"), bytesOf("new"));
}

TEST(AtomicFile, RefusalsLeaveTheDiskAsItWas)
{
    TempFolder dir;
    fs::create_directory(dir / "folder");
    EXPECT_NE(writeFileAtomically(dir / "folder", bytesOf("x")), "");
    EXPECT_NE(writeFileAtomically(dir / "missing/x.dnc", bytesOf("x")), "");
    EXPECT_NE(writeFileAtomically("", bytesOf("x")), "");
    EXPECT_EQ(dir.names(), std::vector<std::string> {"folder"});
}

TEST(AtomicFile, AReadOnlyFileIsNotReplaced)
{
    if (runningAsRoot())
        GTEST_SKIP() << "the superuser may write any file";
    TempFolder dir;
    put(dir / "kept.dnc", bytesOf("keep me"));
    ::chmod((dir / "kept.dnc").c_str(), 0444);
    const std::string failure = writeFileAtomically(dir / "kept.dnc", bytesOf("lost?"));
    EXPECT_NE(failure.find("Permission denied"), std::string::npos) << failure;
    EXPECT_EQ(contents(dir / "kept.dnc"), bytesOf("keep me"));
}

// A disk that fills up half-way: the write fails, the old file is whole and
// no half-written copy is left behind.
TEST(AtomicFile, AFullDiskKeepsTheOldFile)
{
    TempFolder dir;
    put(dir / "show.dnc", bytesOf("the old show"));
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string failure = writeFileAtomically(dir / "show.dnc", Bytes(100000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_NE(failure.find("File too large"), std::string::npos) << failure;
    EXPECT_EQ(contents(dir / "show.dnc"), bytesOf("the old show"));
    EXPECT_EQ(dir.names(), std::vector<std::string> {"show.dnc"});
}

TEST(AtomicFile, ReadingSaysWhatIsThereAndNeverCreatesAnything)
{
    TempFolder dir;
    EXPECT_EQ(readFileStart(dir / "none.dnc", 100).outcome, ReadOutcome::Missing);
    EXPECT_EQ(readFileStart(dir / "none/x.dnc", 100).outcome, ReadOutcome::Missing);
    EXPECT_EQ(readFileStart(dir.path(), 100).outcome, ReadOutcome::NotAFile);
    EXPECT_TRUE(dir.names().empty());

    put(dir / "ro.dnc", bytesOf("0123456789"));
    ::chmod((dir / "ro.dnc").c_str(), 0444);
    const FileBytes whole = readFileStart(dir / "ro.dnc", 100);
    EXPECT_EQ(whole.outcome, ReadOutcome::Read);
    EXPECT_EQ(whole.bytes, bytesOf("0123456789"));
    EXPECT_EQ(readFileStart(dir / "ro.dnc", 4).bytes, bytesOf("0123"));
    put(dir / "empty.dnc", {});
    EXPECT_EQ(readFileStart(dir / "empty.dnc", 100).outcome, ReadOutcome::Read);
    EXPECT_TRUE(readFileStart(dir / "empty.dnc", 100).bytes.empty());

    if (!runningAsRoot()) {
        ::chmod((dir / "ro.dnc").c_str(), 0);
        EXPECT_EQ(readFileStart(dir / "ro.dnc", 100).outcome, ReadOutcome::Unreadable);
    }
}

// What one lane of kills saw.
struct KillTally {
    int old = 0;
    int saved = 0;
    int leftovers = 0;
    std::string fault; // empty while every kill left a whole file
};

// Runs the save victim in its own folder and kills it at random moments.
KillTally killDuringSaves(int kills, unsigned seed, const Bytes& oldFile, const Bytes& newFile)
{
    KillTally tally;
    TempFolder dir;
    const std::string path = dir / "show.dnc";
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMicroseconds(0, 3000);
    for (int i = 0; i < kills && tally.fault.empty(); ++i) {
        put(path, oldFile);
        int ready[2];
        if (::pipe(ready) != 0)
            return {0, 0, 0, "no pipe"};
        const pid_t child = ::fork();
        if (child < 0)
            return {0, 0, 0, "no fork"};
        if (child == 0) {
            ::dup2(ready[1], STDOUT_FILENO);
            ::close(ready[0]);
            ::close(ready[1]);
            ::execl(KELVANE_SAVE_VICTIM, KELVANE_SAVE_VICTIM, path.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(ready[1]);
        char line[6] = {};
        const bool started = ::read(ready[0], line, sizeof line) == static_cast<ssize_t>(sizeof line);
        ::close(ready[0]);
        if (started)
            ::usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!started || !WIFSIGNALED(status)) {
            tally.fault = "the victim did not start or stopped by itself: a save failed";
            break;
        }
        const Bytes now = contents(path);
        if (now == oldFile)
            ++tally.old;
        else if (now == newFile)
            ++tally.saved;
        else
            tally.fault = "a kill left a file of " + std::to_string(now.size()) + " bytes that is neither setup";
        // A kill between creating and renaming the copy leaves the copy; it
        // never takes the document's name.
        for (const std::string& name : dir.names())
            if (name != "show.dnc") {
                ++tally.leftovers;
                fs::remove(dir / name);
            }
    }
    return tally;
}

// The save victim saves two setups in turn, over and over; it is killed at
// random moments, KELVANE_SAVE_KILLS times (1000 in the ordinary build) in
// eight lanes side by side. Whenever it dies,
// the file must be one of the two, whole.
TEST(AtomicFile, KillingTheProgramDuringSaveNeverLeavesAHalfFile)
{
    using namespace kelvane::testing;
    const Bytes longFile = encodePerformanceRecord(recordOf(killSetupLong()));
    const Bytes shortFile = encodePerformanceRecord(recordOf(killSetupShort()));
    constexpr int kLanes = 8;
    constexpr int kKillsPerLane = KELVANE_SAVE_KILLS / kLanes;
    std::vector<KillTally> tallies(kLanes);
    std::vector<std::thread> lanes;
    for (int lane = 0; lane < kLanes; ++lane)
        lanes.emplace_back([&, lane] {
            tallies[static_cast<std::size_t>(lane)]
                = killDuringSaves(kKillsPerLane, 20261207u + static_cast<unsigned>(lane), longFile, shortFile);
        });
    for (std::thread& lane : lanes)
        lane.join();
    KillTally total;
    for (const KillTally& t : tallies) {
        EXPECT_EQ(t.fault, "");
        total.old += t.old;
        total.saved += t.saved;
        total.leftovers += t.leftovers;
    }
    EXPECT_EQ(total.old + total.saved, kLanes * kKillsPerLane);
    // Both outcomes happened, so the kills landed before and after renames.
    EXPECT_GT(total.old, 0);
    EXPECT_GT(total.saved, 0);
    std::printf("%d kills: %d old, %d new, %d unfinished copies left\n", kLanes * kKillsPerLane, total.old, total.saved,
        total.leftovers);
}

} // namespace
} // namespace kelvane::files
