#include "stavik/RegistryFile.h"

#include "kelvane/files/SafeWrite.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace stavik {
namespace {

constexpr std::string_view kHeader
    = "# Kelvane component registry: classes, program identifiers and type libraries\n"
      "# of the component modules registered for this user. Written by stavik-register.\n";

std::string_view trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) {
        s.remove_prefix(1);
    }
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) {
        s.remove_suffix(1);
    }
    return s;
}

std::string quote(std::string_view value)
{
    std::string out = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::optional<std::string> unquote(std::string_view text)
{
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
        return std::nullopt;
    }
    text = text.substr(1, text.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            return std::nullopt;
        }
        if (c == '\\') {
            if (++i == text.size()) {
                return std::nullopt;
            }
            c = text[i] == 'n' ? '\n' : text[i];
        }
        out += c;
    }
    return out;
}

std::string valueName(std::string_view name)
{
    return name.empty() ? std::string(RegistryFile::kDefaultValueName) : std::string(name);
}

bool validKey(std::string_view key) { return !key.empty() && key.find_first_of("[]\n") == std::string_view::npos; }

// A name that reads back as itself: not empty, no '=' or line break, no
// spaces around it, and not the start of a key or a comment.
bool validName(std::string_view name)
{
    return !name.empty() && name.find_first_of("=\n\r") == std::string_view::npos && trim(name) == name
        && name.front() != '[' && name.front() != '#';
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

bool lessNoCase(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

std::string systemError(int error) { return std::strerror(error); }

// The file a registry path stands for: a symbolic link is followed, as the
// writer follows it, so that saving writes the file it names and leaves the
// link in place.
std::filesystem::path resolved(const std::filesystem::path& path, std::string* error)
{
    const kelvane::files::LinkTarget target = kelvane::files::followLinks(path.string());
    if (target.error != 0) {
        if (error != nullptr) {
            *error = "cannot follow the link " + path.string() + ": " + systemError(target.error);
        }
        return {};
    }
    return target.path;
}

std::filesystem::path folderOf(const std::filesystem::path& file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

bool makeFolder(const std::filesystem::path& folder, std::string* error)
{
    const auto refuse = [&](const std::string& why) {
        if (error != nullptr) {
            *error = "cannot create the folder " + folder.string() + ": " + why;
        }
        return false;
    };
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) {
        return true;
    }
    // A file where the folder or one of its parents should be.
    for (auto part = folder; !part.empty() && part != part.parent_path(); part = part.parent_path()) {
        if (std::filesystem::exists(part, ec) && !std::filesystem::is_directory(part, ec)) {
            return refuse(part.string() + " is a file, not a folder");
        }
    }
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        return refuse(ec.message());
    }
    return true;
}

// A file descriptor closed at the end.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) { }
    ~Descriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool startsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && equalNoCase(s.substr(0, prefix.size()), prefix);
}

bool isBlank(std::string_view line) { return trim(line).empty(); }

// Why a save failed, in the registration's words.
std::string saveFailure(const kelvane::files::WriteResult& result)
{
    using kelvane::files::WriteFailure;
    const std::string& target = result.target;
    switch (result.failure) {
    case WriteFailure::IsAFolder:
        return target + " is a folder, not a registry file";
    case WriteFailure::NotAFile:
        return target + " is not a regular file";
    case WriteFailure::ReadOnlyFile:
        return "cannot write " + target + ": permission denied (the file is read-only)";
    case WriteFailure::FolderNotWritable:
    case WriteFailure::CannotCreateTemporary:
        return "cannot write in the folder " + result.folder + ": " + result.reason();
    case WriteFailure::CannotKeepPermissions:
        return "cannot keep the permissions of " + target + ": " + result.reason();
    case WriteFailure::CannotReplace:
        return "cannot replace " + target + ": " + result.reason();
    case WriteFailure::UnfollowableLink:
        return "cannot follow the link " + result.path + ": " + result.reason();
    case WriteFailure::None:
    case WriteFailure::NoFileName:
    case WriteFailure::FileNotWritable:
    case WriteFailure::CannotWrite:
    case WriteFailure::CannotFlush:
        break;
    }
    return "cannot write " + (target.empty() ? result.path : target) + ": " + result.reason();
}

} // namespace

std::filesystem::path defaultRegistryPath(const std::function<const char*(const char*)>& getenv)
{
    if (const char* overridden = getenv("STAVIK_REGISTRY"); overridden != nullptr && *overridden != '\0') {
        return overridden;
    }
    std::filesystem::path dataHome;
    if (const char* xdg = getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        dataHome = xdg;
    } else if (const char* home = getenv("HOME"); home != nullptr && *home != '\0') {
        dataHome = std::filesystem::path(home) / ".local" / "share";
    } else {
        dataHome = ".";
    }
    return dataHome / "kelvane" / "components.reg";
}

std::optional<RegistryFile> RegistryFile::load(const std::filesystem::path& path, std::string* error)
{
    const auto fail = [&](const std::string& why) -> std::optional<RegistryFile> {
        if (error != nullptr) {
            *error = why;
        }
        return std::nullopt;
    };
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) { // not there, or cannot be: saving will say why
            auto fresh = *parse(kHeader);
            fresh.path_ = path;
            return fresh;
        }
        return fail("cannot read " + path.string() + ": " + systemError(errno));
    }
    if (S_ISDIR(status.st_mode)) {
        return fail(path.string() + " is a folder, not a registry file");
    }
    if (!S_ISREG(status.st_mode)) {
        return fail(path.string() + " is not a regular file");
    }
    const Descriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        return fail("cannot read " + path.string() + ": " + systemError(errno));
    }
    std::string content;
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(in.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return fail("cannot read " + path.string() + ": " + systemError(errno));
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    std::string why;
    auto parsed = parse(content, &why);
    if (!parsed) {
        return fail(path.string() + ": " + why);
    }
    parsed->path_ = path;
    return parsed;
}

std::optional<RegistryFile> RegistryFile::parse(std::string_view text, std::string* error)
{
    RegistryFile registry;
    bool inSection = false;
    int lineNumber = 0;
    const auto fail = [&](const char* why) -> std::optional<RegistryFile> {
        if (error != nullptr) {
            *error = "line " + std::to_string(lineNumber) + ": " + why;
        }
        return std::nullopt;
    };
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        const std::string_view written = text.substr(0, end);
        const std::string_view line = trim(written);
        text = end == std::string_view::npos ? std::string_view {} : text.substr(end + 1);
        if (line.empty() || line.front() == '#') {
            registry.lines_.push_back({LineKind::Text, {}, {}, std::string(written)});
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || !validKey(line.substr(1, line.size() - 2))) {
                return fail("malformed key");
            }
            registry.lines_.push_back(
                {LineKind::Key, std::string(line.substr(1, line.size() - 2)), {}, std::string(written)});
            inSection = true;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            return fail("malformed line (neither a key, a value nor a comment)");
        }
        if (!inSection) {
            return fail("a value outside a key");
        }
        const std::string_view name = trim(line.substr(0, equals));
        const auto value = unquote(trim(line.substr(equals + 1)));
        if (name.empty() || !value) {
            return fail("malformed value");
        }
        registry.lines_.push_back({LineKind::Value, std::string(name), *value, std::string(written)});
    }
    return registry;
}

std::string RegistryFile::text() const
{
    std::string out;
    for (const Line& line : lines_) {
        out += line.written;
        out += '\n';
    }
    return out;
}

RegistryFile::Line RegistryFile::keyLine(std::string_view key)
{
    return {LineKind::Key, std::string(key), {}, "[" + std::string(key) + "]"};
}

RegistryFile::Line RegistryFile::valueLine(std::string_view name, std::string_view value)
{
    return {LineKind::Value, std::string(name), std::string(value), std::string(name) + " = " + quote(value)};
}

std::size_t RegistryFile::sectionEnd(std::size_t header) const
{
    std::size_t end = header + 1;
    while (end < lines_.size() && lines_[end].kind != LineKind::Key) {
        ++end;
    }
    return end;
}

void RegistryFile::insertKey(std::string_view key, std::vector<Line> values)
{
    const Line blank {LineKind::Text, {}, {}, {}};
    std::vector<Line> section;
    section.push_back(keyLine(key));
    std::move(values.begin(), values.end(), std::back_inserter(section));

    const auto later = std::find_if(lines_.begin(), lines_.end(),
        [&](const Line& line) { return line.kind == LineKind::Key && lessNoCase(key, line.name); });
    if (later == lines_.end()) {
        // Last: parted from what is above by a blank line.
        if (!lines_.empty() && !isBlank(lines_.back().written)) {
            section.insert(section.begin(), blank);
        }
        lines_.insert(lines_.end(), std::make_move_iterator(section.begin()), std::make_move_iterator(section.end()));
        return;
    }
    // Comment lines right above a key speak of that key: go above them. The
    // blank line that parts the new key from them belongs to the new key, so
    // removing it again leaves the file as it was.
    auto at = later;
    while (at != lines_.begin() && std::prev(at)->kind == LineKind::Text && !isBlank(std::prev(at)->written)) {
        --at;
    }
    section.push_back(blank);
    lines_.insert(at, std::make_move_iterator(section.begin()), std::make_move_iterator(section.end()));
}

void RegistryFile::createKey(std::string_view key)
{
    if (validKey(key) && !hasKey(key)) {
        insertKey(key, {});
    }
}

void RegistryFile::setValue(std::string_view key, std::string_view name, std::string_view value)
{
    const std::string wanted = valueName(name);
    if (!validKey(key) || !validName(wanted)) {
        return;
    }
    std::size_t lastSection = lines_.size();
    bool found = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != LineKind::Key || !equalNoCase(lines_[i].name, key)) {
            continue;
        }
        lastSection = i;
        for (std::size_t v = i + 1; v < sectionEnd(i); ++v) {
            Line& line = lines_[v];
            if (line.kind == LineKind::Value && equalNoCase(line.name, wanted)) {
                found = true;
                if (line.value != value) {
                    line = valueLine(line.name, value);
                }
            }
        }
    }
    if (found) {
        return;
    }
    if (lastSection == lines_.size()) {
        std::vector<Line> values;
        values.push_back(valueLine(wanted, value));
        insertKey(key, std::move(values));
        return;
    }
    // Before the first value that sorts after it, else after the key's last value.
    const std::size_t end = sectionEnd(lastSection);
    std::size_t at = lastSection + 1;
    for (std::size_t v = lastSection + 1; v < end; ++v) {
        if (lines_[v].kind != LineKind::Value) {
            continue;
        }
        if (lessNoCase(wanted, lines_[v].name)) {
            at = v;
            break;
        }
        at = v + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), valueLine(wanted, value));
}

std::optional<std::string> RegistryFile::value(std::string_view key, std::string_view name) const
{
    const std::string wanted = valueName(name);
    std::optional<std::string> found;
    bool inKey = false;
    for (const Line& line : lines_) {
        if (line.kind == LineKind::Key) {
            inKey = equalNoCase(line.name, key);
        } else if (inKey && line.kind == LineKind::Value && equalNoCase(line.name, wanted)) {
            found = line.value; // a later line of the same name wins, as when it was read
        }
    }
    return found;
}

bool RegistryFile::hasKey(std::string_view key) const
{
    return std::any_of(lines_.begin(), lines_.end(),
        [&](const Line& line) { return line.kind == LineKind::Key && equalNoCase(line.name, key); });
}

bool RegistryFile::empty() const
{
    return std::none_of(lines_.begin(), lines_.end(), [](const Line& line) { return line.kind == LineKind::Key; });
}

void RegistryFile::removeTree(std::string_view key)
{
    const std::string below = std::string(key) + "\\";
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    bool removing = false;
    for (Line& line : lines_) {
        if (line.kind == LineKind::Key) {
            removing = equalNoCase(line.name, key) || startsWithNoCase(line.name, below);
        }
        // A removed key takes its values and blank lines; a comment stays where it stood.
        const bool comment = line.kind == LineKind::Text && !isBlank(line.written);
        if (!removing || comment) {
            kept.push_back(std::move(line));
        }
    }
    // A key removed from the end leaves no blank line after the last one kept.
    if (removing && !kept.empty() && kept.back().kind == LineKind::Text && isBlank(kept.back().written)) {
        kept.pop_back();
    }
    lines_ = std::move(kept);
}

std::vector<std::string> RegistryFile::keys() const
{
    std::vector<std::string> out;
    for (const Line& line : lines_) {
        if (line.kind == LineKind::Key
            && std::none_of(out.begin(), out.end(), [&](const std::string& k) { return equalNoCase(k, line.name); })) {
            out.push_back(line.name);
        }
    }
    std::sort(out.begin(), out.end(), lessNoCase);
    return out;
}

bool RegistryFile::save(std::string* error) const
{
    const std::filesystem::path target = resolved(path_, error);
    if (target.empty()) {
        return false;
    }
    if (!makeFolder(folderOf(target), error)) {
        return false;
    }
    const kelvane::files::WriteResult result = kelvane::files::writeFileSafely(target.string(), text());
    if (result.ok()) {
        return true;
    }
    if (error != nullptr) {
        *error = saveFailure(result);
    }
    return false;
}

std::optional<RegistryLock> RegistryLock::acquire(const std::filesystem::path& registryPath, std::string* error)
{
    const std::filesystem::path target = resolved(registryPath, error);
    if (target.empty()) {
        return std::nullopt;
    }
    const std::filesystem::path folder = folderOf(target);
    if (!makeFolder(folder, error)) {
        return std::nullopt;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (error != nullptr) {
            *error = "cannot open the folder " + folder.string() + ": " + systemError(errno);
        }
        return std::nullopt;
    }
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            if (error != nullptr) {
                *error = "cannot lock the folder " + folder.string() + ": " + systemError(errno);
            }
            ::close(fd);
            return std::nullopt;
        }
    }
    return RegistryLock(fd);
}

RegistryLock::RegistryLock(RegistryLock&& other) noexcept : folder_(std::exchange(other.folder_, -1)) { }

RegistryLock::~RegistryLock()
{
    if (folder_ >= 0) {
        ::close(folder_); // closing the last descriptor lets the lock go
    }
}

} // namespace stavik
