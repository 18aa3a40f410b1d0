#pragma once

// For tests of files on disk: a temporary folder and what it holds, whole-file
// reads and writes, the superuser acting as an ordinary user, and work done in
// a child process (so that a mount or a resource limit ends with it).

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelvane::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline Bytes contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void put(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder under the system's temporary folder, removed with all it
// holds at the end (folders made read-only inside it too).
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelvane-disk-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        walk(path_, [](const std::string& path, const struct stat& info) {
            if (S_ISDIR(info.st_mode))
                ::chmod(path.c_str(), (info.st_mode & 07777) | S_IRWXU);
        });
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }
    // The names in the folder itself, sorted, so leftovers show.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    // Everything below the folder: each path with its kind, permission bits,
    // owner and contents (a link's target), to compare before and after.
    std::map<std::string, std::string> snapshot() const
    {
        std::map<std::string, std::string> out;
        walk(path_, [&](const std::string& path, const struct stat& info) {
            std::string state = std::to_string(info.st_mode) + " " + std::to_string(info.st_uid) + ":"
                + std::to_string(info.st_gid) + " ";
            if (S_ISLNK(info.st_mode))
                state += std::filesystem::read_symlink(path).string();
            if (S_ISREG(info.st_mode)) {
                const Bytes bytes = contents(path);
                state += std::string(bytes.begin(), bytes.end());
            }
            out[path.substr(path_.size())] = state;
        });
        return out;
    }

private:
    // Visits path and everything below it, folders before what they hold. By
    // lstat: links (even looping ones) are visited, not followed.
    static void walk(const std::string& path, const std::function<void(const std::string&, const struct stat&)>& visit)
    {
        struct stat info { };
        if (::lstat(path.c_str(), &info) != 0)
            return;
        visit(path, info);
        if (!S_ISDIR(info.st_mode))
            return;
        std::error_code ec;
        for (auto it = std::filesystem::directory_iterator(path, ec);
             !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
            walk(it->path().string(), visit);
    }

    std::string path_;
};

// While it lives, the calling thread holds none of the privileges that let
// the superuser pass over permission bits and ownership (reading, writing and
// searching anything, acting as any file's owner, giving files away), so
// permission checks bind as they do for an ordinary user. Without those
// privileges (an ordinary user) it changes nothing. Capabilities belong to a
// thread: other threads keep theirs.
class AsOrdinaryUser {
public:
    AsOrdinaryUser()
    {
        ::syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER, CAP_CHOWN})
            lowered[capability / 32].effective &= ~(1u << (capability % 32));
        ::syscall(SYS_capset, &header_, lowered);
    }
    ~AsOrdinaryUser() { ::syscall(SYS_capset, &header_, saved_); }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    __user_cap_header_struct header_ {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2] {};
};

inline bool runningAsRoot() { return ::geteuid() == 0; }

// Runs work in a child process and answers what it answered: empty when all
// was well, else what went wrong. A child that dies says so.
inline std::string inChildProcess(const std::function<std::string()>& work)
{
    int report[2];
    if (::pipe(report) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child < 0)
        return "no fork";
    if (child == 0) {
        ::close(report[0]);
        const std::string answer = work();
        const bool sent = ::write(report[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(report[1]);
    std::string answer;
    char buffer[512];
    for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "the child process died (" + std::to_string(status) + ") after saying: " + answer;
    return answer;
}

// In a child process: gives it a mount table of its own, so that whatever it
// mounts is gone when it ends. False where the system allows none (no
// privilege to mount).
inline bool ownMountTable()
{
    return ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

} // namespace kelvane::testing
