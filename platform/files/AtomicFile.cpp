#include "files/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane::files {

namespace {

std::string reason(const std::string& what, int error) { return what + ": " + std::strerror(error) + "."; }

// Closes a descriptor and removes the temporary file unless released.
class TemporaryFile {
public:
    ~TemporaryFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    bool create(const std::string& folder, const std::string& name, int& error)
    {
        static std::atomic<unsigned> counter {0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string candidate = folder + "." + name + ".saving-" + std::to_string(::getpid()) + "-"
                + std::to_string(counter.fetch_add(1));
            // 0666 less the umask: a new document gets the usual permissions.
            fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) {
                path_ = candidate;
                return true;
            }
            if (errno != EEXIST) {
                error = errno;
                return false;
            }
        }
        error = EEXIST;
        return false;
    }
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }
    void release() { path_.clear(); }

private:
    int fd_ = -1;
    std::string path_;
};

bool writeAll(int fd, std::span<const std::uint8_t> bytes, int& error)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file a path finally names: symbolic links followed, so saving through a
// link replaces the linked file and keeps the link.
std::string resolvedTarget(const std::string& path)
{
    struct stat link { };
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return path;
    return resolved;
}

} // namespace

std::string writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes)
{
    if (path.empty())
        return "No file name was given.";
    const std::string target = resolvedTarget(path);
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty())
        return "\"" + path + "\" names a folder, not a file.";

    struct stat old { };
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return "\"" + path + "\" is not an ordinary file.";
    // A file the user made read-only stays as it is, although the rename
    // could replace it.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return reason("Cannot write " + path, errno);

    int error = 0;
    TemporaryFile temp;
    if (!temp.create(folder, name, error))
        return reason("Cannot create a file in the folder of " + path, error);
    if (exists) {
        // Owner first: changing it may clear the set-id bits that chmod restores.
        if (::fchown(temp.fd(), old.st_uid, old.st_gid) != 0) {
            // Not our file to give away: the copy stays ours, as any new file would.
        }
        if (::fchmod(temp.fd(), old.st_mode & 07777) != 0)
            return reason("Cannot give the new file the permissions of " + path, errno);
    }
    if (!writeAll(temp.fd(), bytes, error))
        return reason("Cannot write " + path, error);
    if (::fsync(temp.fd()) != 0)
        return reason("Cannot write " + path + " to the disk", errno);
    if (temp.close() != 0)
        return reason("Cannot write " + path, errno);
    if (::rename(temp.path().c_str(), target.c_str()) != 0)
        return reason("Cannot replace " + path, errno);
    temp.release();

    // The rename itself reaches the disk with the folder's entry.
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

FileBytes readFileStart(const std::string& path, std::size_t atMost)
{
    FileBytes result;
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0) {
        result.outcome = (errno == ENOENT || errno == ENOTDIR) ? ReadOutcome::Missing : ReadOutcome::Unreadable;
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.outcome = ReadOutcome::NotAFile;
        return result;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.outcome = ReadOutcome::Unreadable;
        return result;
    }
    const std::size_t expected = std::min(atMost, static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0) + 1);
    result.bytes.resize(expected);
    std::size_t done = 0;
    bool failed = false;
    while (done < atMost) {
        if (done == result.bytes.size())
            result.bytes.resize(std::min(atMost, done * 2 + 4096));
        const ssize_t n = ::read(fd, result.bytes.data() + done, result.bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failed = true;
            break;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    result.bytes.resize(done);
    result.outcome = failed ? ReadOutcome::Unreadable : ReadOutcome::Read;
    if (failed)
        result.bytes.clear();
    return result;
}

} // namespace kelvane::files
