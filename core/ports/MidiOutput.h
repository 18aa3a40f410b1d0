#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kelvane {

// One MIDI short message as the core hands it over. Values are ints so that
// nothing is silently truncated on the way: the output checks them, and
// refuses (through the error report) a status outside 0x80..0xEF or a data
// value outside 0..127. A program change carries no second data byte.
struct ShortMessage {
    int status = 0;
    int data1 = 0;
    std::optional<int> data2;

    friend bool operator==(const ShortMessage&, const ShortMessage&) = default;
};

// The check every output makes at least: a channel status and data bytes that
// fit in seven bits.
constexpr bool fitsMidiRange(const ShortMessage& message)
{
    const auto isData = [](int value) { return value >= 0 && value <= 127; };
    return message.status >= 0x80 && message.status <= 0xEF && isData(message.data1)
        && (!message.data2 || isData(*message.data2));
}

// The program's single MIDI output: the device choice and the message send.
//
// Device numbers: -1 is the mapper (the built-in General MIDI synthesizer),
// 0 .. deviceCount()-1 are the system's MIDI ports. Every call happens on the
// user-interface thread. send() returns once the message is handed to the
// device; it never blocks on audio.
class MidiOutput {
public:
    virtual ~MidiOutput() = default;

    virtual int deviceCount() const = 0;
    virtual int selectedDevice() const = 0;
    virtual void selectDevice(int device) = 0;
    // The name of the selected device.
    virtual std::string deviceName() const = 0;
    // 1 or more while a device is open.
    virtual int openStatus() const = 0;
    // Opens the selected device (action value 1). Failures go to the error report.
    virtual void open() = 0;
    // Closes the open device, if any (action value 2).
    virtual void close() = 0;

    // Transmits one short message through the open device. With no device open
    // the message goes nowhere, silently.
    virtual void send(const ShortMessage& message) = 0;

    // Transmits like send(), but hands a refusal back to the caller instead of
    // the error report: returns false, and nothing is sent or reported, when
    // the output refuses the message. For callers that report refusals their
    // own way and end what they were doing on one (the lighting desk's fades).
    // An output whose check is finer than fitsMidiRange() overrides this.
    virtual bool trySend(const ShortMessage& message)
    {
        if (!fitsMidiRange(message))
            return false;
        send(message);
        return true;
    }

    // The error report: a code and a text for the user. Code 0 and 8 are
    // informational. The handler runs on the user-interface thread.
    using ErrorHandler = std::function<void(int code, const std::string& text)>;
    virtual void setErrorHandler(ErrorHandler handler) = 0;
};

// Codes of the error report.
namespace midi_error {
constexpr int kNone = 0;
constexpr int kDeviceUnavailable = 2;
constexpr int kMessageRefused = 3;
constexpr int kNoSound = 4;
constexpr int kInformation = 8;
} // namespace midi_error

} // namespace kelvane
