// The one file writer: what it refuses before writing, what it keeps of the
// old file, links, a full disk, a rename that fails, and the temporary files
// that killed saves leave behind. Cases that need permission bits to bind run
// as an ordinary user (the superuser without its privileges over files).

#include "DiskTestKit.h"
#include "kelvane/files/SafeWrite.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <sys/file.h>
#include <sys/resource.h>

namespace kelvane::files {
namespace {

namespace fs = std::filesystem;
using testing::AsOrdinaryUser;
using testing::Bytes;
using testing::bytesOf;
using testing::contents;
using testing::inChildProcess;
using testing::put;
using testing::runningAsRoot;
using testing::TempFolder;

constexpr uid_t kNobody = 65534;

// Each refusal of a path the writer must not or cannot write: the disk is as
// it was (every file's bytes, mode and owner; no temporary file), and the
// message names what was to be written and why.
TEST(SafeWrite, RefusalsComeBeforeAnythingIsWrittenAndLeaveTheDiskAsItWas)
{
    TempFolder dir;
    const Bytes old = bytesOf("the old show");
    put(dir / "read-only.dnc", old);
    ::chmod((dir / "read-only.dnc").c_str(), 0444);
    // Write bits for the group, none for its owner: this user may not write it.
    put(dir / "owners-may-not.dnc", old);
    ::chmod((dir / "owners-may-not.dnc").c_str(), 0464);
    fs::create_directory(dir / "locked");
    put(dir / "locked/show.dnc", old);
    ::chmod((dir / "locked").c_str(), 0555);
    fs::create_directories(dir / "folder.dnc/inside");
    put(dir / "plain", old);
    ::mkfifo((dir / "pipe.dnc").c_str(), 0644);
    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");

    struct Refusal {
        std::string path;
        WriteFailure failure;
        int error;
        std::string named; // what the message names
    };
    const Refusal refusals[] = {
        {dir / "read-only.dnc", WriteFailure::ReadOnlyFile, EACCES, dir / "read-only.dnc"},
        {dir / "owners-may-not.dnc", WriteFailure::FileNotWritable, EACCES, dir / "owners-may-not.dnc"},
        {dir / "locked/show.dnc", WriteFailure::FolderNotWritable, EACCES, dir / "locked"},
        {dir / "locked/new.dnc", WriteFailure::FolderNotWritable, EACCES, dir / "locked"},
        {dir / "folder.dnc", WriteFailure::IsAFolder, EISDIR, dir / "folder.dnc"},
        {dir / "folder.dnc/", WriteFailure::IsAFolder, EISDIR, dir / "folder.dnc/"},
        {dir / "pipe.dnc", WriteFailure::NotAFile, EINVAL, dir / "pipe.dnc"},
        {dir / "missing/show.dnc", WriteFailure::FolderNotWritable, ENOENT, dir / "missing"},
        {dir / "plain/show.dnc", WriteFailure::FolderNotWritable, ENOTDIR, dir / "plain"},
        {dir / "loop-a", WriteFailure::UnfollowableLink, ELOOP, dir / "loop-a"},
        {"", WriteFailure::NoFileName, ENOENT, ""},
    };
    const auto before = dir.snapshot();
    for (const Refusal& refusal : refusals) {
        WriteResult result;
        {
            const AsOrdinaryUser ordinary;
            result = writeFileSafely(refusal.path, bytesOf("the new show"));
        }
        EXPECT_EQ(result.failure, refusal.failure) << refusal.path;
        EXPECT_EQ(result.error, refusal.error) << refusal.path;
        EXPECT_NE(result.message().find(refusal.named), std::string::npos) << result.message();
        EXPECT_EQ(dir.snapshot(), before) << refusal.path;
    }
    // Made read-only by someone: refused to the superuser too, with its privileges.
    const WriteResult readOnly = writeFileSafely(dir / "read-only.dnc", bytesOf("the new show"));
    EXPECT_EQ(
        readOnly.message(), "Cannot write " + (dir / "read-only.dnc") + ": Permission denied (the file is read-only).");
    EXPECT_EQ(dir.snapshot(), before);
}

TEST(SafeWrite, ALinkIsFollowedToTheFileItNamesAndStays)
{
    TempFolder dir;
    fs::create_directory(dir / "real");
    put(dir / "real/show.dnc", bytesOf("old"));
    ::chmod((dir / "real/show.dnc").c_str(), 0640);
    // A relative link to a relative link in another folder.
    fs::create_symlink("real/hop", dir / "link.dnc");
    fs::create_symlink("show.dnc", dir / "real/hop");
    const WriteResult result = writeFileSafely(dir / "link.dnc", bytesOf("new"));
    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(result.target, dir / "real/show.dnc");
    EXPECT_EQ(fs::read_symlink(dir / "link.dnc"), "real/hop");
    EXPECT_EQ(fs::read_symlink(dir / "real/hop"), "show.dnc");
    EXPECT_EQ(contents(dir / "real/show.dnc"), bytesOf("new"));
    EXPECT_EQ(fs::status(dir / "real/show.dnc").permissions(), fs::perms(0640));

    // A link to a file not there yet makes that file.
    fs::create_symlink(dir / "real/later.dnc", dir / "ahead.dnc");
    ASSERT_TRUE(writeFileSafely(dir / "ahead.dnc", bytesOf("first")).ok());
    EXPECT_TRUE(fs::is_symlink(dir / "ahead.dnc"));
    EXPECT_EQ(contents(dir / "real/later.dnc"), bytesOf("first"));
    EXPECT_EQ(dir.names(), (std::vector<std::string> {"ahead.dnc", "link.dnc", "real"}));
}

// The superuser keeps another user's file theirs; a user who may not give a
// file away still saves it, and the copy is its own.
TEST(SafeWrite, TheOwnerIsKeptWhereTheProcessMaySetIt)
{
    if (!runningAsRoot())
        GTEST_SKIP() << "only the superuser can make a file of another user to save over";
    TempFolder dir;
    put(dir / "theirs.dnc", bytesOf("old"));
    ::chown((dir / "theirs.dnc").c_str(), kNobody, kNobody);
    ::chmod((dir / "theirs.dnc").c_str(), 0606);
    ASSERT_TRUE(writeFileSafely(dir / "theirs.dnc", bytesOf("kept theirs")).ok());
    struct stat after { };
    ::stat((dir / "theirs.dnc").c_str(), &after);
    EXPECT_EQ(after.st_uid, kNobody);
    EXPECT_EQ(after.st_gid, kNobody);
    EXPECT_EQ(after.st_mode & 07777, 0606u);

    WriteResult result;
    {
        const AsOrdinaryUser ordinary;
        result = writeFileSafely(dir / "theirs.dnc", bytesOf("now mine"));
    }
    ASSERT_TRUE(result.ok()) << result.message();
    ::stat((dir / "theirs.dnc").c_str(), &after);
    EXPECT_EQ(after.st_uid, ::geteuid());
    EXPECT_EQ(after.st_mode & 07777, 0606u);
    EXPECT_EQ(contents(dir / "theirs.dnc"), bytesOf("now mine"));
}

// A disk that fills up half-way: on a small tmpfs where this test may mount
// one, else under a file size limit. Each in a child process, so the mount and
// the limit end with it.
TEST(SafeWrite, AFullDiskIsReportedAndKeepsTheOldFile)
{
    TempFolder dir;
    fs::create_directory(dir / "small");
    const std::string path = dir / "small/show.dnc";
    const std::string fault = inChildProcess([&]() -> std::string {
        int expectedError = ENOSPC;
        if (testing::ownMountTable()
            && ::mount("tmpfs", (dir / "small").c_str(), "tmpfs", 0, "size=64k,mode=0700") == 0) {
            std::puts("a full disk: a tmpfs of 64 KiB");
        } else {
            std::puts("a full disk: no mount here, a file size limit of 64 KiB");
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small {64 << 10, 64 << 10};
            ::setrlimit(RLIMIT_FSIZE, &small);
            expectedError = EFBIG;
        }
        std::fflush(stdout);
        if (!writeFileSafely(path, Bytes(20000, 'o')).ok())
            return "the old file could not be written";
        const WriteResult result = writeFileSafely(path, Bytes(100000, 'n'));
        if (result.failure != WriteFailure::CannotWrite || result.error != expectedError)
            return "the write answered: " + result.message();
        if (contents(path) != Bytes(20000, 'o'))
            return "the old file changed";
        if (std::distance(fs::directory_iterator(dir / "small"), fs::directory_iterator()) != 1)
            return "a temporary file was left";
        return {};
    });
    EXPECT_EQ(fault, "");
}

// A save into a shared folder with the sticky bit (like /tmp) over a file of
// another user that everyone may write: every check passes, and the kernel
// refuses the rename itself.
TEST(SafeWrite, AFailingRenameIsReportedAndKeepsTheOldFile)
{
    if (!runningAsRoot())
        GTEST_SKIP() << "only the superuser can make a folder and a file of another user";
    TempFolder dir;
    fs::create_directory(dir / "shared");
    ::chown((dir / "shared").c_str(), kNobody, kNobody);
    ::chmod((dir / "shared").c_str(), 01777);
    put(dir / "shared/show.dnc", bytesOf("theirs"));
    ::chown((dir / "shared/show.dnc").c_str(), kNobody, kNobody);
    ::chmod((dir / "shared/show.dnc").c_str(), 0666);
    const auto before = dir.snapshot();
    WriteResult result;
    {
        const AsOrdinaryUser ordinary;
        result = writeFileSafely(dir / "shared/show.dnc", bytesOf("mine"));
    }
    EXPECT_EQ(result.failure, WriteFailure::CannotReplace);
    EXPECT_EQ(result.message(), "Cannot replace " + (dir / "shared/show.dnc") + ": Operation not permitted.");
    EXPECT_EQ(dir.snapshot(), before);
}

// A process that has ended: its number is free.
pid_t endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// The next save of a target removes the temporary files that killed saves of
// that target left, and nothing else: not another target's, not a live
// process's, not one a process holds locked, not what only resembles one.
TEST(SafeWrite, TheNextSaveRemovesWhatKilledSavesOfTheSameTargetLeft)
{
    TempFolder dir;
    const std::string dead = std::to_string(endedProcess());
    const std::string alive = std::to_string(::getppid());
    put(dir / "show.dnc", bytesOf("old"));
    const std::vector<std::string> abandoned {".show.dnc.saving-" + dead + "-0", ".show.dnc.saving-" + dead + "-17"};
    put(dir / abandoned[0], Bytes(5000, 'x'));
    put(dir / abandoned[1], {});
    const std::string othersTarget = ".other.dnc.saving-" + dead + "-0";
    const std::string liveProcesses = ".show.dnc.saving-" + alive + "-0";
    const std::string lockedByALiveSave = ".show.dnc.saving-" + dead + "-2";
    const std::string notThePattern = ".show.dnc.saving-" + dead + "-x";
    const std::string aLink = ".show.dnc.saving-" + dead + "-3";
    for (const std::string& name : {othersTarget, liveProcesses, lockedByALiveSave, notThePattern})
        put(dir / name, bytesOf("left"));
    fs::create_symlink("show.dnc", dir / aLink);
    // As a save in a process this one cannot see (another PID namespace) holds it.
    const int held = ::open((dir / lockedByALiveSave).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    const WriteResult result = writeFileSafely(dir / "show.dnc", bytesOf("saved"));
    ::close(held);
    ASSERT_TRUE(result.ok()) << result.message();
    std::vector<std::string> kept {"show.dnc", othersTarget, liveProcesses, lockedByALiveSave, notThePattern, aLink};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(dir.names(), kept);
    EXPECT_EQ(contents(dir / "show.dnc"), bytesOf("saved"));
}

} // namespace
} // namespace kelvane::files
