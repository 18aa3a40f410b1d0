#include "files/PreferencesFile.h"

#include "kelvane/files/SafeWrite.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane::files {

namespace {

// Far beyond any kelvane.dat (at most a few hundred bytes); a bigger file is
// not one of ours and is not read into memory.
constexpr off_t kLargestFile = 1 << 20;

std::string lastError() { return std::strerror(errno); }

// A descriptor closed on every path out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) { }
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

std::string preferencesFolder(const std::function<const char*(const char*)>& getenv)
{
    const auto set = [&getenv](const char* name) -> std::string {
        const char* value = getenv(name);
        return value ? std::string(value) : std::string();
    };
    if (std::string dir = set("KELVANE_CONFIG_DIR"); !dir.empty())
        return dir;
    if (std::string dir = set("XDG_CONFIG_HOME"); !dir.empty() && dir.front() == '/')
        return dir + "/kelvane";
    if (std::string home = set("HOME"); !home.empty())
        return home + "/.config/kelvane";
    return {};
}

PreferencesFile::PreferencesFile(std::string folder) :
    folder_(std::move(folder)), path_(folder_.empty() ? std::string() : folder_ + "/" + kPreferencesFileName)
{
}

PreferencesStore::Contents PreferencesFile::read()
{
    using Status = Contents::Status;
    if (path_.empty())
        return {Status::Missing, {}, {}};
    Descriptor fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {Status::Missing, {}, {}};
        return {Status::Unreadable, {}, "Cannot open " + path_ + ": " + lastError()};
    }
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0)
        return {Status::Unreadable, {}, "Cannot read " + path_ + ": " + lastError()};
    if (!S_ISREG(info.st_mode) || info.st_size > kLargestFile)
        return {Status::Unreadable, {}, path_ + " is not a preferences file"};

    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return {Status::Unreadable, {}, "Cannot read " + path_ + ": " + lastError()};
        }
        if (n == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > static_cast<std::size_t>(kLargestFile))
            return {Status::Unreadable, {}, path_ + " is not a preferences file"};
    }
    return {Status::Read, std::move(bytes), {}};
}

std::string PreferencesFile::write(const std::vector<std::uint8_t>& bytes)
{
    if (folder_.empty())
        return "There is no folder for settings: HOME is not set.";

    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec)
        return "Cannot create the folder " + folder_ + ": " + ec.message();

    const WriteResult result = writeFileSafely(path_, bytes);
    switch (result.failure) {
    case WriteFailure::None:
        return {};
    case WriteFailure::FolderNotWritable:
    case WriteFailure::CannotCreateTemporary:
        return "Cannot write in the folder " + result.folder + ": " + result.reason();
    case WriteFailure::IsAFolder:
    case WriteFailure::NotAFile:
    case WriteFailure::CannotReplace:
        return "Cannot replace " + path_ + ": " + result.reason();
    case WriteFailure::CannotKeepPermissions:
        return "Cannot set the permissions of " + path_ + ": " + result.reason();
    case WriteFailure::NoFileName:
    case WriteFailure::UnfollowableLink:
    case WriteFailure::ReadOnlyFile:
    case WriteFailure::FileNotWritable:
    case WriteFailure::CannotWrite:
    case WriteFailure::CannotFlush:
        break;
    }
    return "Cannot write " + path_ + ": " + result.reason();
}

} // namespace kelvane::files
