#pragma once

#include "fakes/EffectLog.h"
#include "ports/FileStore.h"

#include <algorithm>
#include <map>
#include <set>

namespace kelvane::fakes {

// Files in memory. Logs "file read PATH" and "file replace PATH (N bytes)";
// folders, unreadable files and a failing disk are scripted.
class FakeFileStore : public FileStore {
public:
    explicit FakeFileStore(EffectLog& log) : log_(log) { }

    FileRead read(const std::string& path, std::size_t atMost) override
    {
        log_.add("file read " + path);
        if (folders.contains(path))
            return {ReadStatus::NotAFile, {}};
        if (unreadable.contains(path))
            return {ReadStatus::Unreadable, {}};
        const auto found = files.find(path);
        if (found == files.end())
            return {ReadStatus::Missing, {}};
        const auto& bytes = found->second;
        return {ReadStatus::Read, {bytes.begin(), bytes.begin() + static_cast<long>(std::min(atMost, bytes.size()))}};
    }

    std::string replace(const std::string& path, std::span<const std::uint8_t> bytes) override
    {
        log_.add("file replace " + path + " (" + std::to_string(bytes.size()) + " bytes)");
        if (!failure.empty())
            return failure;
        files[path].assign(bytes.begin(), bytes.end());
        return {};
    }

    std::map<std::string, std::vector<std::uint8_t>> files;
    std::set<std::string> folders;
    std::set<std::string> unreadable;
    // When set, every replace fails with this sentence and changes nothing.
    std::string failure;

private:
    EffectLog& log_;
};

} // namespace kelvane::fakes
