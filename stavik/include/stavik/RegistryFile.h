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

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stavik {

// The registry file to use: $STAVIK_REGISTRY when set and not empty, else
// $XDG_DATA_HOME/kelvane/components.reg, else ~/.local/share/kelvane/components.reg.
std::filesystem::path defaultRegistryPath();

class RegistryFile {
public:
    static constexpr std::string_view kDefaultValueName = "@";

    // Reads path. A file that does not exist gives an empty registry; a file
    // that cannot be read or parsed gives nothing and a reason in error, so
    // that it is never overwritten with less than it held.
    static std::optional<RegistryFile> load(const std::filesystem::path& path, std::string* error = nullptr);

    // Writes the whole registry to the path it was loaded from: into a
    // temporary file beside it, then renamed over it. Creates the folder.
    bool save(std::string* error = nullptr) const;

    const std::filesystem::path& path() const { return path_; }

    void createKey(std::string_view key);
    // Creates the key when needed. name "" or "@" is the default value.
    void setValue(std::string_view key, std::string_view name, std::string_view value);
    std::optional<std::string> value(std::string_view key, std::string_view name = {}) const;
    bool hasKey(std::string_view key) const;
    // Removes key and every key below it.
    void removeTree(std::string_view key);
    // Every key, in the file's order (sorted, case-insensitively).
    std::vector<std::string> keys() const;
    bool empty() const { return keys_.empty(); }

    // The text form of the whole registry, as saved.
    std::string text() const;
    // Parses the text form; nothing on a malformed line (error names the line).
    static std::optional<RegistryFile> parse(std::string_view text, std::string* error = nullptr);

private:
    struct NoCaseLess {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using Values = std::map<std::string, std::string, NoCaseLess>;

    std::filesystem::path path_;
    std::map<std::string, Values, NoCaseLess> keys_;
};

} // namespace stavik
