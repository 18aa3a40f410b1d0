#include "files/SettingsFile.h"

#include "files/AtomicFile.h"

#include <filesystem>
#include <system_error>

namespace kelvane::files {

SettingsFile::SettingsFile(const std::string& folder, const std::string& fileName, std::size_t largest) :
    folder_(folder), path_(folder.empty() ? std::string() : folder + "/" + fileName), largest_(largest)
{
}

PreferencesStore::Contents SettingsFile::read()
{
    using Status = Contents::Status;
    if (path_.empty())
        return {Status::Missing, {}, {}};
    FileBytes file = readFileStart(path_, largest_ + 1);
    switch (file.outcome) {
    case ReadOutcome::Read:
        return {Status::Read, std::move(file.bytes), {}};
    case ReadOutcome::Missing:
        return {Status::Missing, {}, {}};
    case ReadOutcome::NotAFile:
        return {Status::Unreadable, {}, path_ + " is not a file"};
    case ReadOutcome::Unreadable:
        break;
    }
    return {Status::Unreadable, {}, path_ + " cannot be read (its permissions, or the disk)"};
}

std::string SettingsFile::write(const std::vector<std::uint8_t>& bytes)
{
    if (folder_.empty())
        return "There is no folder for settings: HOME is not set.";
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec)
        return "Cannot create the folder " + folder_ + ": " + ec.message();
    // The one place this file is written, through the one safe writer.
    return writeFileAtomically(path_, bytes);
}

std::string SettingsFile::setAside(std::string& problem)
{
    const std::string aside = path_ + ".bad";
    std::error_code ec;
    std::filesystem::rename(path_, aside, ec);
    if (ec) {
        problem = ec.message();
        return {};
    }
    return aside;
}

} // namespace kelvane::files
