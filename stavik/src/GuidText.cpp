#include "stavik/GuidText.h"

#include <cstdio>

namespace stavik {
namespace {

std::optional<unsigned> hexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned>(c - 'a' + 10);
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<unsigned>(c - 'A' + 10);
    }
    return std::nullopt;
}

} // namespace

std::string guidToString(const Guid& g)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.data1, g.data2, g.data3,
        g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

std::optional<Guid> guidFromString(std::string_view text)
{
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') {
        text = text.substr(1, 36);
    }
    if (text.size() != 36) {
        return std::nullopt;
    }
    // 8-4-4-4-12 hex digits; collect the 32 digits as 16 bytes.
    std::uint8_t bytes[16] = {};
    std::size_t digit = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool dashPlace = i == 8 || i == 13 || i == 18 || i == 23;
        if (dashPlace) {
            if (text[i] != '-') {
                return std::nullopt;
            }
            continue;
        }
        const auto value = hexDigit(text[i]);
        if (!value) {
            return std::nullopt;
        }
        bytes[digit / 2] = static_cast<std::uint8_t>(bytes[digit / 2] << 4 | *value);
        ++digit;
    }
    Guid g {};
    g.data1 = static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16
        | static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
    g.data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    g.data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i) {
        g.data4[i] = bytes[8 + i];
    }
    return g;
}

} // namespace stavik
