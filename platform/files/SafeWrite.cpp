#include "kelvane/files/SafeWrite.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane::files {

namespace {

// As many links as the kernel itself follows in one path.
constexpr int kMostLinks = 40;
constexpr std::string_view kSavingMark = ".saving-";

// The part of a path before its last component, with the slash ("" for a bare name).
std::string leadingFolder(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The folder to open and flush: the leading folder without its trailing
// slashes ("/" stays "/", a bare name is in ".").
std::string folderToOpen(const std::string& path)
{
    std::string folder = leadingFolder(path);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder.empty() ? std::string(".") : folder;
}

std::string temporaryPrefix(const std::string& name) { return "." + name + std::string(kSavingMark); }

// The temporary file of one save: closed, and removed again unless it was
// renamed into place. Holds a lock on the file while open, which tells other
// saves that it is alive.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    // Creates a new file beside the target; errno tells why on failure.
    bool create(const std::string& leading, const std::string& name)
    {
        static std::atomic<unsigned> counter {0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string candidate = leading + temporaryPrefix(name) + std::to_string(::getpid()) + "-"
                + std::to_string(counter.fetch_add(1));
            // 0666 less the umask: a new file gets the usual permissions.
            fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
            if (fd_ >= 0) {
                path_ = std::move(candidate);
                // A file system without locks still saves; only the clean-up
                // of another host's live file is then left to its process check.
                ::flock(fd_, LOCK_EX | LOCK_NB);
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        errno = EEXIST;
        return false;
    }
    int fd() const { return fd_; }
    // Closes now; false when the close reports a delayed write error.
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }
    bool renameTo(const std::string& target)
    {
        if (::rename(path_.c_str(), target.c_str()) != 0)
            return false;
        path_.clear();
        return true;
    }

private:
    int fd_ = -1;
    std::string path_;
};

bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

// The process number in a temporary file's name, when the name is one of
// ours for this target: ".NAME.saving-PID-N".
std::optional<pid_t> saverOf(std::string_view entry, const std::string& prefix)
{
    if (entry.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    entry.remove_prefix(prefix.size());
    const std::size_t dash = entry.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == entry.size())
        return std::nullopt;
    for (const char c : entry.substr(dash + 1))
        if (c < '0' || c > '9')
            return std::nullopt;
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(entry.data(), entry.data() + dash, pid);
    if (error != std::errc() || end != entry.data() + dash || pid <= 0)
        return std::nullopt;
    return pid;
}

bool processIsGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// Whether a temporary file of an ended process may go: a plain file that no
// process holds locked. One this process cannot open is judged by its kind
// alone.
bool mayRemove(int folder, const std::string& entry)
{
    const int fd = ::openat(folder, entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat info { };
    if (fd < 0)
        return ::fstatat(folder, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
    // Locked: a live save in a process this one cannot see (another PID
    // namespace, another host). The lock, if taken, goes with the close.
    const bool removable = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)
        && !(::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK);
    ::close(fd);
    return removable;
}

// Removes the temporary files that killed saves of this target left in its
// folder. A file is left alone while anyone may still be writing it: its
// process exists (or the number belongs to an unrelated process now), or a
// process holds its lock. Failures only leave a file for a later save.
void removeAbandonedTemporaries(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    const std::string prefix = temporaryPrefix(name);
    const pid_t self = ::getpid();
    std::vector<std::string> abandoned;
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<pid_t> saver = saverOf(entry->d_name, prefix);
        if (saver && *saver != self && processIsGone(*saver))
            abandoned.emplace_back(entry->d_name);
    }
    const int at = ::dirfd(dir);
    for (const std::string& entry : abandoned)
        if (mayRemove(at, entry))
            ::unlinkat(at, entry.c_str(), 0);
    ::closedir(dir);
}

WriteResult failed(WriteResult result, WriteFailure failure, int error)
{
    result.failure = failure;
    result.error = error;
    return result;
}

// May this process write here? The kernel's check with the effective user,
// as opening and renaming will be checked.
bool mayWrite(const std::string& path, int mode) { return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0; }

} // namespace

LinkTarget followLinks(const std::string& path)
{
    std::string current = path;
    for (int hop = 0; hop <= kMostLinks; ++hop) {
        struct stat info { };
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return {current, 0}; // the file itself, or nothing yet: what the write will meet there
        std::string to(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        for (;;) {
            const ssize_t n = ::readlink(current.c_str(), to.data(), to.size());
            if (n < 0)
                return {{}, errno};
            if (static_cast<std::size_t>(n) < to.size()) {
                to.resize(static_cast<std::size_t>(n));
                break;
            }
            to.resize(to.size() * 2); // the link grew since lstat
        }
        current = !to.empty() && to.front() == '/' ? to : leadingFolder(current) + to;
    }
    return {{}, ELOOP};
}

WriteResult writeFileSafely(const std::string& path, std::span<const std::uint8_t> bytes)
{
    WriteResult result;
    result.path = path;
    if (path.empty())
        return failed(result, WriteFailure::NoFileName, ENOENT);
    const LinkTarget link = followLinks(path);
    if (link.error != 0)
        return failed(result, WriteFailure::UnfollowableLink, link.error);
    result.target = link.path;
    result.folder = folderToOpen(result.target);
    const std::string leading = leadingFolder(result.target);
    const std::string name = result.target.substr(leading.size());
    if (name.empty())
        return failed(result, WriteFailure::IsAFolder, EISDIR);

    struct stat old { };
    const bool exists = ::stat(result.target.c_str(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode))
            return failed(result, WriteFailure::IsAFolder, EISDIR);
        if (!S_ISREG(old.st_mode))
            return failed(result, WriteFailure::NotAFile, EINVAL);
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return failed(result, WriteFailure::ReadOnlyFile, EACCES);
        if (!mayWrite(result.target, W_OK))
            return failed(result, WriteFailure::FileNotWritable, errno);
    }
    struct stat folder { };
    if (::stat(result.folder.c_str(), &folder) != 0)
        return failed(result, WriteFailure::FolderNotWritable, errno);
    if (!S_ISDIR(folder.st_mode))
        return failed(result, WriteFailure::FolderNotWritable, ENOTDIR);
    if (!mayWrite(result.folder, W_OK | X_OK))
        return failed(result, WriteFailure::FolderNotWritable, errno);

    removeAbandonedTemporaries(result.folder, name);

    TemporaryFile temporary;
    if (!temporary.create(leading, name))
        return failed(result, WriteFailure::CannotCreateTemporary, errno);
    if (exists) {
        // Owner first: changing it clears set-id bits, which the mode then
        // sets again. Whoever may not give the file away keeps what it may.
        if (::fchown(temporary.fd(), old.st_uid, old.st_gid) != 0 && ::fchown(temporary.fd(), -1, old.st_gid) != 0) {
            // Neither: the new file is this user's, as any new file would be.
        }
        if (::fchmod(temporary.fd(), old.st_mode & 07777) != 0)
            return failed(result, WriteFailure::CannotKeepPermissions, errno);
    }
    if (!writeAll(temporary.fd(), bytes))
        return failed(result, WriteFailure::CannotWrite, errno);
    if (::fsync(temporary.fd()) != 0 || !temporary.close())
        return failed(result, WriteFailure::CannotFlush, errno);
    if (!temporary.renameTo(result.target))
        return failed(result, WriteFailure::CannotReplace, errno);

    const int flushed = ::open(result.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (flushed >= 0) {
        ::fsync(flushed);
        ::close(flushed);
    }
    return result;
}

WriteResult writeFileSafely(const std::string& path, std::string_view text)
{
    return writeFileSafely(
        path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::string WriteResult::reason() const
{
    if (failure == WriteFailure::None)
        return {};
    if (failure == WriteFailure::NotAFile)
        return "Not an ordinary file";
    const std::string words = std::generic_category().message(error);
    return failure == WriteFailure::ReadOnlyFile ? words + " (the file is read-only)" : words;
}

std::string WriteResult::message() const
{
    const std::string why = ": " + reason() + ".";
    switch (failure) {
    case WriteFailure::None:
        return {};
    case WriteFailure::NoFileName:
        return "No file name was given.";
    case WriteFailure::UnfollowableLink:
        return "Cannot follow the link " + path + why;
    case WriteFailure::IsAFolder:
        return path + " is a folder, not a file.";
    case WriteFailure::NotAFile:
        return path + " is not an ordinary file.";
    case WriteFailure::FolderNotWritable:
    case WriteFailure::CannotCreateTemporary:
        return "Cannot write in the folder " + folder + why;
    case WriteFailure::CannotKeepPermissions:
        return "Cannot keep the permissions of " + path + why;
    case WriteFailure::CannotFlush:
        return "Cannot write " + path + " to the disk" + why;
    case WriteFailure::CannotReplace:
        return "Cannot replace " + path + why;
    case WriteFailure::ReadOnlyFile:
    case WriteFailure::FileNotWritable:
    case WriteFailure::CannotWrite:
        break;
    }
    return "Cannot write " + path + why;
}

} // namespace kelvane::files
