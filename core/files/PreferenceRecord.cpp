#include "files/PreferenceRecord.h"

namespace kelvane {

namespace {

std::uint16_t littleEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t littleEndian32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

std::optional<std::size_t> preferenceValueSize(std::uint16_t tag)
{
    switch (static_cast<PreferenceTag>(tag)) {
    case PreferenceTag::Empty:
    case PreferenceTag::Null:
        return 0;
    case PreferenceTag::Byte:
        return 1;
    case PreferenceTag::Integer:
    case PreferenceTag::Boolean:
        return 2;
    case PreferenceTag::Long:
    case PreferenceTag::Single:
    case PreferenceTag::Error:
        return 4;
    case PreferenceTag::Double:
    case PreferenceTag::Currency:
    case PreferenceTag::Date:
        return 8;
    }
    return std::nullopt;
}

PreferenceEntry PreferenceEntry::integer(std::int16_t v)
{
    const auto u = static_cast<std::uint16_t>(v);
    return {static_cast<std::uint16_t>(PreferenceTag::Integer),
        {static_cast<std::uint8_t>(u & 0xFF), static_cast<std::uint8_t>(u >> 8)}};
}

PreferenceEntry PreferenceEntry::boolean(bool v)
{
    const std::uint8_t b = v ? 0xFF : 0x00;
    return {static_cast<std::uint16_t>(PreferenceTag::Boolean), {b, b}};
}

std::optional<std::int32_t> PreferenceEntry::toInteger() const
{
    const std::optional<std::size_t> size = preferenceValueSize(tag);
    if (!size || value.size() != *size)
        return std::nullopt;
    switch (static_cast<PreferenceTag>(tag)) {
    case PreferenceTag::Empty:
        return 0;
    case PreferenceTag::Byte:
        return value[0];
    case PreferenceTag::Integer:
        return static_cast<std::int16_t>(littleEndian16(value.data()));
    case PreferenceTag::Boolean:
        return littleEndian16(value.data()) != 0 ? -1 : 0;
    case PreferenceTag::Long:
        return static_cast<std::int32_t>(littleEndian32(value.data()));
    default:
        return std::nullopt;
    }
}

std::optional<bool> PreferenceEntry::toBoolean() const
{
    const std::optional<std::int32_t> n = toInteger();
    if (!n)
        return std::nullopt;
    return *n != 0;
}

DecodedPreferences decodePreferences(std::span<const std::uint8_t> bytes)
{
    DecodedPreferences out;
    std::size_t at = 0;
    for (std::size_t i = 0; i < kPreferenceEntryCount; ++i) {
        if (at == bytes.size())
            break; // the rest read as empty
        if (bytes.size() - at < 2)
            return {PreferenceRecord {}, false, i};
        const std::uint16_t tag = littleEndian16(bytes.data() + at);
        const std::optional<std::size_t> size = preferenceValueSize(tag);
        if (!size || bytes.size() - at - 2 < *size)
            return {PreferenceRecord {}, false, i};
        PreferenceEntry& entry = out.record[i];
        entry.tag = tag;
        entry.value.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at + 2),
            bytes.begin() + static_cast<std::ptrdiff_t>(at + 2 + *size));
        at += 2 + *size;
    }
    return out;
}

std::vector<std::uint8_t> encodePreferences(const PreferenceRecord& record)
{
    std::vector<std::uint8_t> out;
    out.reserve(kPreferenceEntryCount * 4);
    for (const PreferenceEntry& entry : record) {
        out.push_back(static_cast<std::uint8_t>(entry.tag & 0xFF));
        out.push_back(static_cast<std::uint8_t>(entry.tag >> 8));
        out.insert(out.end(), entry.value.begin(), entry.value.end());
    }
    return out;
}

std::vector<std::uint8_t> overlayPreferences(
    std::span<const std::uint8_t> previous, std::span<const std::uint8_t> encoded)
{
    std::vector<std::uint8_t> out(encoded.begin(), encoded.end());
    if (previous.size() > encoded.size())
        out.insert(out.end(), previous.begin() + static_cast<std::ptrdiff_t>(encoded.size()), previous.end());
    return out;
}

} // namespace kelvane
