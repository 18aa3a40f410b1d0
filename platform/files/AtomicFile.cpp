#include "files/AtomicFile.h"

#include "kelvane/files/SafeWrite.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kelvane::files {

namespace {

// "WHAT: the system's words for the error."
std::string sentence(const std::string& what, const WriteResult& result)
{
    return what + ": " + std::generic_category().message(result.error) + ".";
}

} // namespace

std::string writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes)
{
    const WriteResult result = writeFileSafely(path, bytes);
    switch (result.failure) {
    case WriteFailure::None:
        return {};
    case WriteFailure::NoFileName:
        return "No file name was given.";
    case WriteFailure::IsAFolder:
        if (path.back() == '/')
            return "\"" + path + "\" names a folder, not a file.";
        return "\"" + path + "\" is not an ordinary file.";
    case WriteFailure::NotAFile:
        return "\"" + path + "\" is not an ordinary file.";
    case WriteFailure::FolderNotWritable:
    case WriteFailure::CannotCreateTemporary:
        return sentence("Cannot create a file in the folder of " + path, result);
    case WriteFailure::CannotKeepPermissions:
        return sentence("Cannot give the new file the permissions of " + path, result);
    case WriteFailure::CannotFlush:
        return sentence("Cannot write " + path + " to the disk", result);
    case WriteFailure::CannotReplace:
        return sentence("Cannot replace " + path, result);
    case WriteFailure::UnfollowableLink:
    case WriteFailure::ReadOnlyFile:
    case WriteFailure::FileNotWritable:
    case WriteFailure::CannotWrite:
        break;
    }
    return sentence("Cannot write " + path, result);
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
