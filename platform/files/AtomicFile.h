#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelvane::files {

// Saves a performance file through writeFileSafely (kelvane/files/SafeWrite.h,
// which says what happens on the disk) and puts a failure in the words of the
// File menu's messages: "Cannot write PATH: Permission denied." Empty on
// success.
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
