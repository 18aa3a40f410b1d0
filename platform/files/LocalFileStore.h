#pragma once

#include "files/AtomicFile.h"
#include "ports/FileStore.h"

namespace kelvane::files {

// The program's documents on the local disk.
class LocalFileStore : public FileStore {
public:
    FileRead read(const std::string& path, std::size_t atMost) override
    {
        FileBytes file = readFileStart(path, atMost);
        return FileRead {statusOf(file.outcome), std::move(file.bytes)};
    }
    std::string replace(const std::string& path, std::span<const std::uint8_t> bytes) override
    {
        return writeFileAtomically(path, bytes);
    }

private:
    static ReadStatus statusOf(ReadOutcome outcome)
    {
        switch (outcome) {
        case ReadOutcome::Read:
            return ReadStatus::Read;
        case ReadOutcome::Missing:
            return ReadStatus::Missing;
        case ReadOutcome::NotAFile:
            return ReadStatus::NotAFile;
        case ReadOutcome::Unreadable:
            break;
        }
        return ReadStatus::Unreadable;
    }
};

} // namespace kelvane::files
