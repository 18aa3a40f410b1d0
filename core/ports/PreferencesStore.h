#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

// Where the preferences file's bytes are kept. Reads and writes are whole:
// a write replaces the stored bytes entirely or not at all, so a crash or a
// full disk never leaves half a file.
class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;

    struct Contents {
        enum class Status { Missing, Read, Unreadable };
        Status status = Status::Missing;
        std::vector<std::uint8_t> bytes; // when Read
        std::string problem; // when Unreadable: what went wrong, for people
    };

    virtual Contents read() = 0;

    // Replaces the stored bytes. Returns an empty text on success, else what
    // went wrong, in words a user can act on; the old bytes are then intact.
    virtual std::string write(const std::vector<std::uint8_t>& bytes) = 0;

    // Where the bytes live, for messages.
    virtual std::string location() const = 0;
};

} // namespace kelvane
