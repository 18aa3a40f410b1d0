#include "desktop/InstallLayout.h"

#include <filesystem>

namespace kelvane::views {

namespace {
std::string besideProgram(const std::string& programFolder, const std::filesystem::path& relative)
{
    // lexically_normal turns "PREFIX/bin/../share" into "PREFIX/share", so that
    // the folder reads well in a message; a trailing "/" of programFolder would
    // otherwise leave an empty last element that ".." only steps out of.
    std::filesystem::path folder = std::filesystem::path(programFolder).lexically_normal();
    if (!folder.has_filename())
        folder = folder.parent_path();
    std::string text = (folder / relative).lexically_normal().string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}
} // namespace

std::string installedDataFolder(const std::string& programFolder)
{
    return besideProgram(programFolder, std::filesystem::path("..") / "share" / "kelvane");
}

std::string installedShareFolder(const std::string& programFolder)
{
    return besideProgram(programFolder, std::filesystem::path("..") / "share");
}

} // namespace kelvane::views
