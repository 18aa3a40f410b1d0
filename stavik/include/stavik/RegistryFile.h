#pragma once

// The per-user component registry: a small hierarchical store of keys and
// named string values, kept in a text file a person can read and edit.
//
//   # comment
//   [CLSID\{F6B70DC0-165C-4F04-8340-04FE9981BF85}\InprocServer32]
//   @ = "/usr/lib/kelvane/libstavik32.so"
//   ThreadingModel = "Apartment"
//
// A section is a key (its path parts joined by backslashes); "@" names the
// key's default value; values are double-quoted with \" and \\ escaped. Key
// and value names compare without regard to case. A key exists when it has a
// section of its own; its parents need none.
//
// Changes keep the file as a person left it: comment and blank lines stay
// where they stand, lines that were not changed keep their spelling, a new
// key goes in before the first key that sorts after it, a new value before the
// first value of its key that sorts after it. Removing keys never removes a
// comment.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stavik {

// The registry file to use: $STAVIK_REGISTRY when set and not empty, else
// $XDG_DATA_HOME/kelvane/components.reg, else ~/.local/share/kelvane/components.reg,
// else ./kelvane/components.reg. getenv answers nullptr for an unset variable.
std::filesystem::path defaultRegistryPath(const std::function<const char*(const char*)>& getenv);

class RegistryFile {
public:
    static constexpr std::string_view kDefaultValueName = "@";

    // Reads path. A file that does not exist gives an empty registry (with a
    // comment that says what the file is); a file that cannot be read or
    // parsed gives nothing and the reason in error (a folder, permission
    // denied, malformed at line N), so that it is never overwritten with less
    // than it held.
    static std::optional<RegistryFile> load(const std::filesystem::path& path, std::string* error = nullptr);

    // Writes the whole registry to the path it was loaded from, creating its
    // folder when needed, through the program's one file writer
    // (kelvane/files/SafeWrite.h): a reader sees the old file or the new one
    // and never a part, the file keeps its permissions and its owner and
    // group where this process may set them, a symbolic link stays and the
    // file it names is written. Refused, with the file untouched and the
    // reason in error: a read-only file (even for the superuser), a file this
    // user may not write, a folder that cannot be created or written in.
    bool save(std::string* error = nullptr) const;

    const std::filesystem::path& path() const { return path_; }

    void createKey(std::string_view key);
    // Creates the key when needed. name "" or "@" is the default value.
    void setValue(std::string_view key, std::string_view name, std::string_view value);
    std::optional<std::string> value(std::string_view key, std::string_view name = {}) const;
    bool hasKey(std::string_view key) const;
    // Removes key and every key below it, with their values; comments stay.
    void removeTree(std::string_view key);
    // Every key once, sorted without regard to case.
    std::vector<std::string> keys() const;
    bool empty() const;

    // The text form of the whole registry, as saved.
    std::string text() const;
    // Parses the text form; nothing on a malformed line (error names the line).
    static std::optional<RegistryFile> parse(std::string_view text, std::string* error = nullptr);

private:
    enum class LineKind { Text, Key, Value }; // Text: a comment or a blank line
    struct Line {
        LineKind kind;
        std::string name; // Key: the key; Value: the value's name
        std::string value; // Value: the value
        std::string written; // the line as it stands in the file; empty for a line not written yet
    };

    static Line keyLine(std::string_view key);
    static Line valueLine(std::string_view name, std::string_view value);
    // Where the section that begins at line header ends (the next key's line, or the end).
    std::size_t sectionEnd(std::size_t header) const;
    void insertKey(std::string_view key, std::vector<Line> values);

    std::filesystem::path path_;
    std::vector<Line> lines_;
};

// Keeps other processes from changing a registry file while held: a change
// loads, edits and saves under it, so two registrations at the same time
// cannot both start from the same old file and one lose the other's entries.
// The lock is on the file's folder, so it leaves nothing behind.
class RegistryLock {
public:
    // Creates the registry's folder when needed and waits until no other
    // process holds the lock. Nothing, with the reason in error, when the
    // folder cannot be created or opened.
    static std::optional<RegistryLock> acquire(const std::filesystem::path& registryPath, std::string* error = nullptr);
    ~RegistryLock();
    RegistryLock(RegistryLock&& other) noexcept;
    RegistryLock& operator=(RegistryLock&&) = delete;
    RegistryLock(const RegistryLock&) = delete;
    RegistryLock& operator=(const RegistryLock&) = delete;

private:
    explicit RegistryLock(int folder) : folder_(folder) { }
    int folder_;
};

} // namespace stavik
