// Performance files on disk: saved through the one writer with the File
// menu's messages, and read without ever changing the disk. (The writer's own
// cases and the saves killed at random moments are in safe_write_tests.)

#include "DiskTestKit.h"
#include "files/AtomicFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace kelvane::files {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::bytesOf;
using testing::contents;
using testing::put;
using testing::TempFolder;

unsigned modeOf(const std::string& path)
{
    struct stat st { };
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

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

// Read-only for everyone, the superuser included; and a file of which this
// user may read but not write, as an ordinary user.
TEST(AtomicFile, AReadOnlyFileIsNotReplaced)
{
    TempFolder dir;
    put(dir / "kept.dnc", bytesOf("keep me"));
    ::chmod((dir / "kept.dnc").c_str(), 0444);
    const std::string failure = writeFileAtomically(dir / "kept.dnc", bytesOf("lost?"));
    EXPECT_EQ(failure, "Cannot write " + (dir / "kept.dnc") + ": Permission denied.");
    EXPECT_EQ(contents(dir / "kept.dnc"), bytesOf("keep me"));

    ::chmod((dir / "kept.dnc").c_str(), 0464);
    const testing::AsOrdinaryUser ordinary;
    EXPECT_NE(writeFileAtomically(dir / "kept.dnc", bytesOf("lost?")).find("Permission denied"), std::string::npos);
    EXPECT_EQ(contents(dir / "kept.dnc"), bytesOf("keep me"));
    EXPECT_EQ(dir.names(), std::vector<std::string> {"kept.dnc"});
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

    ::chmod((dir / "ro.dnc").c_str(), 0);
    const testing::AsOrdinaryUser ordinary;
    EXPECT_EQ(readFileStart(dir / "ro.dnc", 100).outcome, ReadOutcome::Unreadable);
}

} // namespace
} // namespace kelvane::files
