// kelvane.dat on disk: where it lives, whole-file replacement with the old
// permissions, failures in words, and saves killed at random moments.
#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakePreferencesStore.h"
#include "files/PreferencesFile.h"
#include "files/PreferencesForm.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelvane;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

namespace {

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "kelvane-prefs-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

Bytes fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

mode_t permissionsOf(const std::string& path)
{
    struct stat info { };
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

std::size_t entriesIn(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// The program's save, again and again, switching sw1 between "Next" and
// "Off" each time; says "ready" once the first save is on disk. Runs in a
// child process until it is killed.
[[noreturn]] void saveUntilKilled(const std::string& folder, int readyPipe)
{
    fakes::EffectLog log;
    fakes::FakeDialogs dialogs(log);
    files::PreferencesFile file(folder);
    PreferencesForm form(file, dialogs);
    form.load();
    form.saveButton.click();
    if (::write(readyPipe, "ready\n", 6) != 6 || !log.entries().empty())
        ::_exit(1);
    for (bool off = true;; off = !off) {
        (off ? form.offOption(1) : form.nextOption(1)).click();
        form.saveButton.click();
        if (!log.entries().empty())
            ::_exit(1); // a failed save: the parent sees the early end
    }
}

} // namespace

TEST(PreferencesFolder, OverrideThenXdgThenHomeThenNone)
{
    const auto from = [](std::map<std::string, std::string> vars) {
        return files::preferencesFolder([&vars](const char* name) -> const char* {
            const auto it = vars.find(name);
            return it == vars.end() ? nullptr : it->second.c_str();
        });
    };
    EXPECT_EQ(from({{"KELVANE_CONFIG_DIR", "/tmp/k"}, {"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}}), "/tmp/k");
    EXPECT_EQ(from({{"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}}), "/x/kelvane");
    EXPECT_EQ(from({{"XDG_CONFIG_HOME", "relative"}, {"HOME", "/h"}}), "/h/.config/kelvane");
    EXPECT_EQ(from({{"KELVANE_CONFIG_DIR", ""}, {"HOME", "/h"}}), "/h/.config/kelvane");
    EXPECT_EQ(from({}), "");

    files::PreferencesFile nowhere("");
    EXPECT_EQ(nowhere.read().status, PreferencesStore::Contents::Status::Missing);
    EXPECT_EQ(nowhere.write({1, 2}), "There is no folder for settings: HOME is not set.");
}

TEST(PreferencesFile, WritesWholeIntoANewFolderAndReadsBack)
{
    TempFolder temp;
    files::PreferencesFile file(temp / "config/kelvane");
    EXPECT_EQ(file.read().status, PreferencesStore::Contents::Status::Missing);
    EXPECT_FALSE(fs::exists(temp / "config")) << "reading creates nothing";

    const Bytes first(130, 0xAB);
    ASSERT_EQ(file.write(first), "");
    const Bytes second {1, 2, 3};
    ASSERT_EQ(file.write(second), "");
    EXPECT_EQ(fileBytes(temp / "config/kelvane/kelvane.dat"), second);
    const PreferencesStore::Contents back = file.read();
    EXPECT_EQ(back.status, PreferencesStore::Contents::Status::Read);
    EXPECT_EQ(back.bytes, second);
    EXPECT_EQ(entriesIn(temp / "config/kelvane"), 1u) << "no temporary file is left behind";

    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(permissionsOf(file.location()), 0666 & ~mask);
}

TEST(PreferencesFile, KeepsTheOldFilesPermissions)
{
    TempFolder temp;
    files::PreferencesFile file(temp.path().string());
    ASSERT_EQ(file.write({1}), "");
    ::chmod(file.location().c_str(), 0604);
    ASSERT_EQ(file.write({2}), "");
    EXPECT_EQ(permissionsOf(file.location()), 0604u);
}

TEST(PreferencesFile, FailuresAreReportedAndLeaveTheOldFileWhole)
{
    TempFolder temp;
    std::ofstream(temp / "plain").close();
    files::PreferencesFile underAFile(temp / "plain/kelvane");
    EXPECT_EQ(underAFile.write({1}).rfind("Cannot create the folder " + (temp / "plain/kelvane") + ": ", 0), 0u);

    // A folder in the file's place cannot be replaced; it stays, and the
    // temporary file is gone again.
    files::PreferencesFile file(temp.path().string());
    fs::create_directories(temp / "kelvane.dat/inside");
    EXPECT_EQ(file.read().status, PreferencesStore::Contents::Status::Unreadable);
    EXPECT_EQ(file.write({1}).rfind("Cannot replace " + file.location() + ": ", 0), 0u);
    EXPECT_TRUE(fs::is_directory(temp / "kelvane.dat/inside"));
    EXPECT_EQ(entriesIn(temp.path()), 2u);
    fs::remove_all(temp / "kelvane.dat");

    ASSERT_EQ(file.write({7, 7, 7}), "");
    if (::geteuid() == 0)
        return; // permissions do not stop root
    ::chmod(temp.path().c_str(), 0500);
    const std::string problem = file.write({8});
    ::chmod(temp.path().c_str(), 0700);
    EXPECT_EQ(problem, "Cannot write in the folder " + temp.path().string() + ": Permission denied");
    EXPECT_EQ(fileBytes(file.location()), (Bytes {7, 7, 7}));

    ::chmod(file.location().c_str(), 0);
    const PreferencesStore::Contents unreadable = file.read();
    EXPECT_EQ(unreadable.status, PreferencesStore::Contents::Status::Unreadable);
    EXPECT_EQ(unreadable.problem, "Cannot open " + file.location() + ": Permission denied");
}

TEST(PreferencesFile, AHugeFileInItsPlaceIsNoPreferencesFile)
{
    TempFolder temp;
    files::PreferencesFile file(temp.path().string());
    std::ofstream(temp / "kelvane.dat").close();
    fs::resize_file(temp / "kelvane.dat", 2 << 20);
    EXPECT_EQ(file.read().status, PreferencesStore::Contents::Status::Unreadable);
}

// The program is killed at random moments while it saves, again and again:
// the file on disk is always the previous save or the next one, whole.
TEST(PreferencesFile, SavesKilledAtRandomMomentsLeaveTheOldOrTheNewFile)
{
    // The two files the loop alternates between, as the form writes them.
    fakes::EffectLog log;
    fakes::FakeDialogs dialogs(log);
    fakes::FakePreferencesStore memory(log);
    PreferencesForm form(memory, dialogs);
    form.load();
    form.saveButton.click();
    const Bytes next = *memory.bytes;
    form.offOption(1).click();
    form.saveButton.click();
    const Bytes off = *memory.bytes;
    ASSERT_NE(next, off);

    TempFolder temp;
    const std::string path = temp / "kelvane.dat";
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delayMicroseconds(0, 4000);
    constexpr int kKills = 220;
    std::map<std::string, int> seen;
    for (int kill = 0; kill < kKills; ++kill) {
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(out[0]);
            saveUntilKilled(temp.path().string(), out[1]);
        }
        ::close(out[1]);
        char ready[6] = {};
        const ssize_t got = ::read(out[0], ready, sizeof ready);
        ::close(out[0]);
        ASSERT_EQ(got, 6) << "the save loop did not start";
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the save loop ended by itself: " << status;

        const Bytes onDisk = fileBytes(path);
        ASSERT_TRUE(onDisk == next || onDisk == off) << "after kill " << kill << ": " << onDisk.size() << " bytes";
        ++seen[onDisk == next ? "next" : "off"];
    }
    // Both files were caught on disk: the kills landed among the saves.
    EXPECT_GT(seen["next"], 0);
    EXPECT_GT(seen["off"], 0);
}
