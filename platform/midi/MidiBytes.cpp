#include "midi/MidiBytes.h"

namespace kelvane::midi {

namespace {

bool isDataByte(int value) { return value >= 0 && value <= kMaxDataByte; }

std::string refused(const std::string& why) { return "The MIDI message was refused: " + why + "."; }

} // namespace

Encoding encodeShortMessage(const ShortMessage& message)
{
    if (message.status < kFirstChannelStatus || message.status > kLastChannelStatus)
        return {std::nullopt,
            refused("status " + std::to_string(message.status) + " is not a channel message (128 to 239)")};
    if (!isDataByte(message.data1))
        return {std::nullopt, refused("data byte 1 is " + std::to_string(message.data1) + ", outside 0 to 127")};

    MidiBytes bytes;
    bytes.bytes[0] = static_cast<std::uint8_t>(message.status);
    bytes.bytes[1] = static_cast<std::uint8_t>(message.data1);
    bytes.size = 2;
    if (dataByteCount(message.status) == 2) {
        if (!message.data2)
            return {std::nullopt, refused("status " + std::to_string(message.status) + " needs a second data byte")};
        if (!isDataByte(*message.data2))
            return {std::nullopt, refused("data byte 2 is " + std::to_string(*message.data2) + ", outside 0 to 127")};
        bytes.bytes[2] = static_cast<std::uint8_t>(*message.data2);
        bytes.size = 3;
    }
    return {bytes, {}};
}

} // namespace kelvane::midi
