#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kelvane {

// The tags of kelvane.dat's entries: the variant type numbers of OLE
// Automation. The program writes Empty, Integer and Boolean; the others are
// the fixed-size kinds a foreign file may hold, kept byte for byte.
enum class PreferenceTag : std::uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 2, // 16-bit signed
    Long = 3, // 32-bit signed
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    Error = 10,
    Boolean = 11, // 0xFFFF true, 0x0000 false
    Byte = 17,
};

// The number of value bytes after a tag, or nothing for a kind whose value
// cannot be read (strings, objects, arrays, unknown numbers).
std::optional<std::size_t> preferenceValueSize(std::uint16_t tag);

// One tagged entry: the tag and its value bytes as they stand in the file.
struct PreferenceEntry {
    std::uint16_t tag = static_cast<std::uint16_t>(PreferenceTag::Empty);
    std::vector<std::uint8_t> value;

    static PreferenceEntry empty() { return {}; }
    static PreferenceEntry integer(std::int16_t v);
    static PreferenceEntry boolean(bool v);

    // The entry as a whole number: Empty is 0, a Boolean is -1 or 0, the
    // integer kinds their value. Nothing for a kind that does not convert
    // (Null, Error, the floating and money kinds).
    std::optional<std::int32_t> toInteger() const;
    // Any whole number other than 0 is true; nothing where toInteger() fails.
    std::optional<bool> toBoolean() const;

    bool operator==(const PreferenceEntry&) const = default;
};

inline constexpr std::size_t kPreferenceEntryCount = 40;
using PreferenceRecord = std::array<PreferenceEntry, kPreferenceEntryCount>;

// Where each setting lives in the record (n is the switch, 1..8).
constexpr std::size_t nextEntry(int n) { return static_cast<std::size_t>(10 + n); }
constexpr std::size_t previousEntry(int n) { return static_cast<std::size_t>(20 + n); }
constexpr std::size_t offEntry(int n) { return static_cast<std::size_t>(30 + n); }
inline constexpr std::size_t kAdvancedAudioEntry = 19;

// A record as decoded from bytes. complete is false when an entry could not
// be read (a tag of a kind without a known size, or a tag or value cut off by
// the end of the bytes); record is then all empty and nothing of it may be
// used. Entries wholly beyond the end of the bytes read as empty.
struct DecodedPreferences {
    PreferenceRecord record;
    bool complete = true;
    // The index of the entry that could not be read, when !complete.
    std::size_t brokenEntry = 0;
};

DecodedPreferences decodePreferences(std::span<const std::uint8_t> bytes);

// The 40 entries back to back, each a 2-byte little-endian tag and its value.
std::vector<std::uint8_t> encodePreferences(const PreferenceRecord& record);

// The bytes a write leaves on disk: the encoded record from the first byte;
// an older, longer file keeps its bytes beyond them (the file is not
// shortened).
std::vector<std::uint8_t> overlayPreferences(
    std::span<const std::uint8_t> previous, std::span<const std::uint8_t> encoded);

} // namespace kelvane
