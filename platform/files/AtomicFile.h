#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelvane::files {

// Writes bytes to path so that the file is always either the old one or the
// new one, whole: the bytes go to a temporary file in the same folder, which
// is flushed to the disk and then renamed over path. An existing file keeps
// its permission bits (and its owner, where allowed); a new one gets the
// usual 0666 less the umask. A file that may not be written (read-only) is
// refused, although the rename could replace it. A path that is a symbolic link writes the file it
// points to and keeps the link. On any failure the old file is untouched, the
// temporary file is removed, and the returned sentence says what went wrong;
// on success the returned string is empty.
std::string writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

enum class ReadOutcome { Read, Missing, NotAFile, Unreadable };

struct FileBytes {
    ReadOutcome outcome = ReadOutcome::Missing;
    std::vector<std::uint8_t> bytes;
};

// Reads at most atMost bytes from the start of a regular file. Opens it for
// reading only, so read-only files read and nothing is ever created.
FileBytes readFileStart(const std::string& path, std::size_t atMost);

} // namespace kelvane::files
