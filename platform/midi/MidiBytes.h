#pragma once

#include "ports/MidiOutput.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kelvane::midi {

// A channel message as it goes on the wire: a status byte 0x80..0xEF and one
// or two data bytes 0..127. Only encodeShortMessage() makes them.
struct MidiBytes {
    std::array<std::uint8_t, 3> bytes {};
    std::size_t size = 0;

    const std::uint8_t* data() const { return bytes.data(); }
    std::uint8_t status() const { return bytes[0]; }
    friend bool operator==(const MidiBytes&, const MidiBytes&) = default;
};

constexpr int kFirstChannelStatus = 0x80;
constexpr int kLastChannelStatus = 0xEF;
constexpr int kMaxDataByte = 0x7F;
constexpr std::uint8_t kProgramChange = 0xC0;
constexpr std::uint8_t kChannelPressure = 0xD0;
constexpr std::uint8_t kControlChange = 0xB0;
constexpr std::uint8_t kAllNotesOffController = 123;

// Data bytes that follow `status`: one for a program change or channel
// pressure, two for every other channel message.
constexpr int dataByteCount(int status)
{
    const int kind = status & 0xF0;
    return kind == kProgramChange || kind == kChannelPressure ? 1 : 2;
}

// The outcome of checking a message: the wire bytes, or why it was refused.
struct Encoding {
    std::optional<MidiBytes> message;
    std::string refusal;
};

// Checks one message from the core and builds its wire bytes. Refused: a
// status outside 0x80..0xEF, a data byte the message uses outside 0..127, a
// three-byte message without its second data byte. A second data byte given
// with a two-byte message (program change, channel pressure) is not part of
// that message and is left out, unchecked, as a MIDI device would.
Encoding encodeShortMessage(const ShortMessage& message);

} // namespace kelvane::midi
