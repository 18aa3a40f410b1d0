#include "inputs/MidiBindings.h"

namespace kelvane {

namespace {
constexpr int kDataMax = 127;
constexpr int kChannelMax = 16;
// Foot switches send 127 when pressed and 0 when let go; pedals that sweep
// cross the middle.
constexpr int kControllerPressedFrom = 64;

bool channelMatches(const MidiTrigger& trigger, const MidiInputMessage& message)
{
    return trigger.channel == MidiTrigger::kAnyChannel || trigger.channel == message.channel();
}
} // namespace

MidiBindings defaultMidiBindings()
{
    MidiBindings bindings {};
    for (int n = 1; n <= kSwitchCount; ++n)
        bindings[static_cast<std::size_t>(n - 1)].trigger = MidiTrigger::note(kDefaultFirstNote + n - 1);
    return bindings;
}

MidiBindings clearedMidiBindings() { return MidiBindings {}; }

bool isValidTrigger(const MidiTrigger& trigger)
{
    if (trigger.kind == MidiTrigger::Kind::None)
        return true;
    return trigger.number >= 0 && trigger.number <= kDataMax && trigger.channel >= MidiTrigger::kAnyChannel
        && trigger.channel <= kChannelMax;
}

std::string describeTrigger(const MidiTrigger& trigger)
{
    std::string kind;
    switch (trigger.kind) {
    case MidiTrigger::Kind::None:
        return "(none)";
    case MidiTrigger::Kind::Note:
        kind = "Note ";
        break;
    case MidiTrigger::Kind::Controller:
        kind = "Controller ";
        break;
    case MidiTrigger::Kind::Program:
        kind = "Program ";
        break;
    }
    const std::string channel = trigger.channel == MidiTrigger::kAnyChannel
        ? std::string("any channel")
        : "channel " + std::to_string(trigger.channel);
    return kind + std::to_string(trigger.number) + ", " + channel;
}

MidiAction actionFor(const MidiTrigger& trigger, const MidiInputMessage& message)
{
    if (trigger.kind == MidiTrigger::Kind::None || message.data1 != trigger.number || !channelMatches(trigger, message))
        return MidiAction::None;
    switch (trigger.kind) {
    case MidiTrigger::Kind::Note:
        if (message.kind() == midi_in::kNoteOn)
            return message.data2 > 0 ? MidiAction::Press : MidiAction::Release;
        return message.kind() == midi_in::kNoteOff ? MidiAction::Release : MidiAction::None;
    case MidiTrigger::Kind::Controller:
        if (message.kind() != midi_in::kControlChange)
            return MidiAction::None;
        return message.data2 >= kControllerPressedFrom ? MidiAction::Press : MidiAction::Release;
    case MidiTrigger::Kind::Program:
        return message.kind() == midi_in::kProgramChange ? MidiAction::PressAndRelease : MidiAction::None;
    case MidiTrigger::Kind::None:
        break;
    }
    return MidiAction::None;
}

std::optional<int> padVelocityOf(const MidiInputMessage& message)
{
    if (message.kind() == midi_in::kNoteOn || message.kind() == midi_in::kControlChange)
        return message.data2;
    return std::nullopt;
}

std::optional<MidiTrigger> triggerTaughtBy(const MidiInputMessage& message, bool anyChannel)
{
    const int channel = anyChannel ? MidiTrigger::kAnyChannel : message.channel();
    switch (message.kind()) {
    case midi_in::kNoteOn:
        if (message.data2 == 0)
            return std::nullopt;
        return MidiTrigger {MidiTrigger::Kind::Note, message.data1, channel};
    case midi_in::kControlChange:
        return MidiTrigger {MidiTrigger::Kind::Controller, message.data1, channel};
    case midi_in::kProgramChange:
        return MidiTrigger {MidiTrigger::Kind::Program, message.data1, channel};
    default:
        return std::nullopt;
    }
}

bool triggersOverlap(const MidiTrigger& a, const MidiTrigger& b)
{
    if (a.kind == MidiTrigger::Kind::None || a.kind != b.kind || a.number != b.number)
        return false;
    return a.channel == b.channel || a.channel == MidiTrigger::kAnyChannel || b.channel == MidiTrigger::kAnyChannel;
}

} // namespace kelvane
