#include "stavik/RegistryFile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

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

bool startsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), s.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

} // namespace

std::filesystem::path defaultRegistryPath()
{
    if (const char* overridden = std::getenv("STAVIK_REGISTRY"); overridden != nullptr && *overridden != '\0') {
        return overridden;
    }
    std::filesystem::path dataHome;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        dataHome = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        dataHome = std::filesystem::path(home) / ".local" / "share";
    } else {
        dataHome = ".";
    }
    return dataHome / "kelvane" / "components.reg";
}

bool RegistryFile::NoCaseLess::operator()(std::string_view a, std::string_view b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

std::optional<RegistryFile> RegistryFile::load(const std::filesystem::path& path, std::string* error)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        RegistryFile empty;
        empty.path_ = path;
        return empty;
    }
    if (ec || status.type() != std::filesystem::file_type::regular) {
        if (error != nullptr) {
            *error = path.string() + " is not a readable file";
        }
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    if (!in) {
        if (error != nullptr) {
            *error = "cannot read " + path.string();
        }
        return std::nullopt;
    }
    auto parsed = parse(content.str(), error);
    if (parsed) {
        parsed->path_ = path;
    } else if (error != nullptr) {
        *error = path.string() + ": " + *error;
    }
    return parsed;
}

std::optional<RegistryFile> RegistryFile::parse(std::string_view text, std::string* error)
{
    RegistryFile registry;
    Values* section = nullptr;
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
        const std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view {} : text.substr(end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || !validKey(line.substr(1, line.size() - 2))) {
                return fail("malformed key");
            }
            section = &registry.keys_[std::string(line.substr(1, line.size() - 2))];
            continue;
        }
        const std::size_t equals = line.find('=');
        if (section == nullptr || equals == std::string_view::npos) {
            return fail("a value outside a key, or a line that is neither key nor value");
        }
        const std::string_view name = trim(line.substr(0, equals));
        const auto value = unquote(trim(line.substr(equals + 1)));
        if (name.empty() || !value) {
            return fail("malformed value");
        }
        (*section)[std::string(name)] = *value;
    }
    return registry;
}

std::string RegistryFile::text() const
{
    std::string out(kHeader);
    for (const auto& [key, values] : keys_) {
        out += "\n[" + key + "]\n";
        for (const auto& [name, value] : values) {
            out += name + " = " + quote(value) + "\n";
        }
    }
    return out;
}

bool RegistryFile::save(std::string* error) const
{
    const auto report = [&](const std::string& why) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    };
    std::error_code ec;
    if (path_.has_parent_path()) {
        std::filesystem::create_directories(path_.parent_path(), ec);
        if (ec) {
            return report("cannot create " + path_.parent_path().string() + ": " + ec.message());
        }
    }
    const std::filesystem::path temporary = path_.string() + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text();
        out.flush();
        if (!out) {
            std::filesystem::remove(temporary, ec);
            return report("cannot write " + temporary.string());
        }
    }
    std::filesystem::rename(temporary, path_, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return report("cannot replace " + path_.string());
    }
    return true;
}

void RegistryFile::createKey(std::string_view key)
{
    if (validKey(key)) {
        keys_.try_emplace(std::string(key));
    }
}

void RegistryFile::setValue(std::string_view key, std::string_view name, std::string_view value)
{
    if (validKey(key)) {
        keys_[std::string(key)][valueName(name)] = std::string(value);
    }
}

std::optional<std::string> RegistryFile::value(std::string_view key, std::string_view name) const
{
    const auto k = keys_.find(key);
    if (k == keys_.end()) {
        return std::nullopt;
    }
    const auto v = k->second.find(valueName(name));
    if (v == k->second.end()) {
        return std::nullopt;
    }
    return v->second;
}

bool RegistryFile::hasKey(std::string_view key) const { return keys_.find(key) != keys_.end(); }

void RegistryFile::removeTree(std::string_view key)
{
    const std::string below = std::string(key) + "\\";
    std::erase_if(keys_, [&](const auto& entry) {
        return NoCaseLess {}(entry.first, key) == NoCaseLess {}(key, entry.first) // same key
            || startsWithNoCase(entry.first, below);
    });
}

std::vector<std::string> RegistryFile::keys() const
{
    std::vector<std::string> out;
    out.reserve(keys_.size());
    for (const auto& entry : keys_) {
        out.push_back(entry.first);
    }
    return out;
}

} // namespace stavik
