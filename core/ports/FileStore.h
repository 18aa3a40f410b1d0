#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelvane {

enum class ReadStatus {
    Read, // bytes hold the file's first bytes
    Missing, // nothing exists at the path
    NotAFile, // the path names a folder or another non-file
    Unreadable, // the file exists but could not be read (permissions, I/O)
};

struct FileRead {
    ReadStatus status = ReadStatus::Missing;
    std::vector<std::uint8_t> bytes;
};

// Whole files on disk, as the program's documents need them.
class FileStore {
public:
    virtual ~FileStore() = default;

    // Reads at most atMost bytes from the start of the file; never creates or
    // changes anything.
    virtual FileRead read(const std::string& path, std::size_t atMost) = 0;

    // Replaces the file's contents with bytes, all at once: afterwards the
    // file holds either its old contents or the new ones, whole, even when the
    // program dies half-way or the disk fills up. An existing file keeps its
    // permissions. Returns an empty string on success, otherwise a sentence
    // saying why nothing was written.
    virtual std::string replace(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
};

} // namespace kelvane
