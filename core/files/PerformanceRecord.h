#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kelvane {

// One whole setup of the main window as 96 text entries, numbered 0 to 95:
// the layout of a ".dnc" performance file and the in-memory form of a wave
// bank. Entries hold bytes, not characters: paths keep the bytes of the file
// name (UTF-8 on Linux).
constexpr std::size_t kPerformanceEntryCount = 96;
using PerformanceRecord = std::array<std::string, kPerformanceEntryCount>;

// Where each setting lives in the record. Groups of eight belong to switches
// or slots 1..8 in order.
namespace entry {
constexpr std::size_t note(int n) { return static_cast<std::size_t>(n - 1); }
constexpr std::size_t velocity(int n) { return static_cast<std::size_t>(7 + n); }
constexpr std::size_t channel(int n) { return static_cast<std::size_t>(15 + n); }
constexpr std::size_t program(int n) { return static_cast<std::size_t>(23 + n); }
constexpr std::size_t wavePath(int n) { return static_cast<std::size_t>(31 + n); }
constexpr std::size_t waveName(int n) { return static_cast<std::size_t>(39 + n); }
constexpr std::size_t gate(int n) { return static_cast<std::size_t>(47 + n); }
constexpr std::size_t kExclusive = 56;
// 57..63 are reserved: written empty, never read.
constexpr std::size_t kFirstReserved = 57;
constexpr std::size_t kLastReserved = 63;
constexpr std::size_t volume(int n) { return static_cast<std::size_t>(63 + n); }
constexpr std::size_t loop(int n) { return static_cast<std::size_t>(71 + n); }
constexpr std::size_t pan(int n) { return static_cast<std::size_t>(79 + n); }
constexpr std::size_t loopCount(int n) { return static_cast<std::size_t>(87 + n); }
} // namespace entry

// An entry's length travels in two bytes, so no entry may be longer.
constexpr std::size_t kLongestEntry = 0xFFFF;

// The first entry too long for the file layout, if any.
std::optional<std::size_t> firstOverlongEntry(const PerformanceRecord& record);

// The file's bytes: each entry as a two-byte little-endian length followed by
// its bytes, entries 0 to 95 from the first byte, nothing else. Throws
// std::length_error when an entry is longer than kLongestEntry (callers check
// firstOverlongEntry first and tell the user).
std::vector<std::uint8_t> encodePerformanceRecord(const PerformanceRecord& record);

// The record from a file's bytes, or nothing when the bytes end before entry
// 95 is complete (an empty or cut-off file). Bytes after entry 95 are ignored.
std::optional<PerformanceRecord> decodePerformanceRecord(std::span<const std::uint8_t> bytes);

} // namespace kelvane
