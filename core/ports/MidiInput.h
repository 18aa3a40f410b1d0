#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace kelvane {

// One channel message from a MIDI controller: a note-off (0x8n), a note-on
// (0x9n), a control change (0xBn) or a program change (0xCn); n is the
// channel, 0..15. Data bytes are 0..127; a program change has no second one
// and carries 0 there.
struct MidiInputMessage {
    int status = 0;
    int data1 = 0;
    int data2 = 0;
    // When the input took the message off its port; for latency figures only.
    std::chrono::steady_clock::time_point received {};

    int kind() const { return status & 0xF0; }
    // 1..16, as the pad's channel bars count.
    int channel() const { return (status & 0x0F) + 1; }
};

// MIDI status kinds the input delivers.
namespace midi_in {
constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kControlChange = 0xB0;
constexpr int kProgramChange = 0xC0;
} // namespace midi_in

// What the MIDI input tells the program. Called on the user-interface
// thread, one call at a time and in the order the port received the
// messages, also inside modal boxes and the lighting desk's fades; a handler
// may itself open a box, inside which later calls arrive.
class MidiInputEvents {
public:
    // A message from the open port. Only messages of the kinds above arrive,
    // and only from the port open now: none from a port closed since.
    virtual void message(const MidiInputMessage& message) = 0;
    // The system's ports may have come or gone: portNames() may differ.
    virtual void portsChanged() = 0;

protected:
    ~MidiInputEvents() = default;
};

// The system's MIDI input ports, of which one at a time is open. Every call
// happens on the user-interface thread and none waits for a device.
class MidiInput {
public:
    virtual ~MidiInput() = default;

    // The ports present now, by the names the user sees; the program's own
    // ports are not among them.
    virtual std::vector<std::string> portNames() const = 0;
    // Opens the port called `name` now, closing any open one first. On
    // failure nothing is open and `problem` holds a sentence for the user.
    virtual bool open(const std::string& name, std::string& problem) = 0;
    // Closes the open port, if any; messages it sent and not yet delivered
    // are dropped.
    virtual void close() = 0;
    // Null stops the calls. The handler must outlive the input or be reset first.
    virtual void setEvents(MidiInputEvents* events) = 0;
};

} // namespace kelvane
