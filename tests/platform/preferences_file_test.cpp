// kelvane.dat on disk: where it lives, whole-file replacement with the old
// permissions, and failures in words. (Saves killed at random moments are in
// safe_write_tests, with the other files the program saves.)
#include "../files/DiskTestKit.h"
#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakePreferencesStore.h"
#include "files/PreferencesFile.h"
#include "files/PreferencesForm.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

using namespace kelvane;
using kelvane::testing::Bytes;
using kelvane::testing::contents;
using kelvane::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

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
    EXPECT_EQ(contents(temp / "config/kelvane/kelvane.dat"), second);
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
    files::PreferencesFile file(temp.path());
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
    files::PreferencesFile file(temp.path());
    fs::create_directories(temp / "kelvane.dat/inside");
    EXPECT_EQ(file.read().status, PreferencesStore::Contents::Status::Unreadable);
    EXPECT_EQ(file.write({1}).rfind("Cannot replace " + file.location() + ": ", 0), 0u);
    EXPECT_TRUE(fs::is_directory(temp / "kelvane.dat/inside"));
    EXPECT_EQ(entriesIn(temp.path()), 2u);
    fs::remove_all(temp / "kelvane.dat");

    ASSERT_EQ(file.write({7, 7, 7}), "");
    const kelvane::testing::AsOrdinaryUser ordinary;
    ::chmod(temp.path().c_str(), 0500);
    const std::string problem = file.write({8});
    ::chmod(temp.path().c_str(), 0700);
    EXPECT_EQ(problem, "Cannot write in the folder " + temp.path() + ": Permission denied");
    EXPECT_EQ(contents(file.location()), (Bytes {7, 7, 7}));

    ::chmod(file.location().c_str(), 0);
    const PreferencesStore::Contents unreadable = file.read();
    EXPECT_EQ(unreadable.status, PreferencesStore::Contents::Status::Unreadable);
    EXPECT_EQ(unreadable.problem, "Cannot open " + file.location() + ": Permission denied");
}

TEST(PreferencesFile, AHugeFileInItsPlaceIsNoPreferencesFile)
{
    TempFolder temp;
    files::PreferencesFile file(temp.path());
    std::ofstream(temp / "kelvane.dat").close();
    fs::resize_file(temp / "kelvane.dat", 2 << 20);
    EXPECT_EQ(file.read().status, PreferencesStore::Contents::Status::Unreadable);
}

// A performer made kelvane.dat read-only to lock the slide settings: the
// window's save says so, stays open with the settings, and the file stays.
TEST(PreferencesFile, AReadOnlyFileIsRefusedAndTheWindowStaysOpen)
{
    TempFolder temp;
    files::PreferencesFile file(temp.path());
    fakes::EffectLog log;
    fakes::FakeDialogs dialogs(log);
    PreferencesForm form(file, dialogs);
    form.load();
    form.saveButton.click();
    const Bytes locked = contents(file.location());
    ::chmod(file.location().c_str(), 0444);

    form.show();
    form.offOption(1).click();
    form.saveButton.click();
    EXPECT_EQ(log.startingWith("message"),
        std::vector<std::string> {"message The preferences could not be saved to " + file.location()
            + ".\nCannot write " + file.location()
            + ": Permission denied (the file is read-only)\nThe settings stay in effect until " + "Kelvane ends."});
    EXPECT_TRUE(form.visible());
    EXPECT_TRUE(form.offOption(1).value());
    EXPECT_EQ(contents(file.location()), locked);
    EXPECT_EQ(permissionsOf(file.location()), 0444u);
    EXPECT_EQ(entriesIn(temp.path()), 1u);
}
