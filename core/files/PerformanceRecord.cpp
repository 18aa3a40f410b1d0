#include "files/PerformanceRecord.h"

#include <stdexcept>

namespace kelvane {

std::optional<std::size_t> firstOverlongEntry(const PerformanceRecord& record)
{
    for (std::size_t i = 0; i < record.size(); ++i)
        if (record[i].size() > kLongestEntry)
            return i;
    return std::nullopt;
}

std::vector<std::uint8_t> encodePerformanceRecord(const PerformanceRecord& record)
{
    if (const auto overlong = firstOverlongEntry(record))
        throw std::length_error("performance entry " + std::to_string(*overlong) + " is longer than 65535 bytes");
    std::size_t total = 0;
    for (const std::string& text : record)
        total += 2 + text.size();
    std::vector<std::uint8_t> bytes;
    bytes.reserve(total);
    for (const std::string& text : record) {
        const std::size_t length = text.size();
        bytes.push_back(static_cast<std::uint8_t>(length & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(length >> 8));
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    return bytes;
}

std::optional<PerformanceRecord> decodePerformanceRecord(std::span<const std::uint8_t> bytes)
{
    PerformanceRecord record;
    std::size_t at = 0;
    for (std::string& text : record) {
        if (bytes.size() - at < 2)
            return std::nullopt;
        const std::size_t length = static_cast<std::size_t>(bytes[at]) | (static_cast<std::size_t>(bytes[at + 1]) << 8);
        at += 2;
        if (bytes.size() - at < length)
            return std::nullopt;
        const auto* first = reinterpret_cast<const char*>(bytes.data() + at);
        text.assign(first, length);
        at += length;
    }
    return record;
}

} // namespace kelvane
