// The RtMidi adapters' pure parts: which ports the user is offered and by
// what names, and which bytes from a controller can play a switch.
#include "midi/RtMidiInputPort.h"
#include "midi/RtMidiSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvane::midi {
namespace {

std::vector<std::string> namesOf(const std::vector<ListedPort>& ports)
{
    std::vector<std::string> names;
    for (const ListedPort& port : ports)
        names.push_back(port.name + " @" + std::to_string(port.index));
    return names;
}

TEST(ListedPorts, AlsaAddressesGoTwinsAreNumberedAndTheProgramsOwnPortsAreLeftOut)
{
    const std::vector<std::string> alsa
        = {"Midi Through:Midi Through Port-0 14:0", "nanoPAD2:nanoPAD2 MIDI 1 24:0", "Kelvane:MIDI In 128:0",
            "nanoPAD2:nanoPAD2 MIDI 1 28:0", "", "Kelvanes:out 130:0", "Synth:port 1 2", "Synth:port x:2"};
    EXPECT_EQ(namesOf(listedPorts(MidiApi::AlsaSequencer, alsa, "Kelvane")),
        (std::vector<std::string> {"Midi Through:Midi Through Port-0 @0", "nanoPAD2:nanoPAD2 MIDI 1 @1",
            "nanoPAD2:nanoPAD2 MIDI 1 2 @3", "Kelvanes:out @5", "Synth:port 1 2 @6", "Synth:port x:2 @7"}));

    // JACK names carry no address; a second client of the program's name is "Kelvane-01".
    const std::vector<std::string> jack
        = {"pad:out", "Kelvane-01:Output", "Kelvane:MIDI In", "Kelvane-x:out", "system:midi_capture 1:2"};
    EXPECT_EQ(namesOf(listedPorts(MidiApi::Jack, jack, "Kelvane")),
        (std::vector<std::string> {"pad:out @0", "Kelvane-x:out @3", "system:midi_capture 1:2 @4"}));
}

TEST(ListedPorts, APortPluggedInAgainKeepsItsNameUnderANewAddress)
{
    const auto before = listedPorts(MidiApi::AlsaSequencer, {"nanoPAD2:nanoPAD2 MIDI 1 24:0"}, "Kelvane");
    const auto after = listedPorts(
        MidiApi::AlsaSequencer, {"Midi Through:Midi Through Port-0 14:0", "nanoPAD2:nanoPAD2 MIDI 1 32:0"}, "Kelvane");
    ASSERT_EQ(before.size(), 1u);
    const ListedPort* found = findListedPort(after, before.front().name);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->index, 1u);
    EXPECT_EQ(findListedPort(after, "nanoPAD2"), nullptr);
}

TEST(PlayableMessage, OnlyWholeNoteControllerAndProgramMessagesPlay)
{
    struct Case {
        std::vector<unsigned char> bytes;
        bool plays;
    };
    const std::vector<Case> cases = {
        {{0x99, 36, 100}, true},
        {{0x80, 36, 64}, true},
        {{0xBF, 64, 127}, true},
        {{0xC3, 5}, true},
        {{0x90, 36}, false}, // cut short
        {{0x90, 36, 100, 1}, false}, // too long
        {{0xC3, 5, 0}, false},
        {{0x90, 0x80, 100}, false}, // a status where data belongs
        {{0x90, 36, 0xFF}, false},
        {{0xA0, 36, 10}, false}, // key pressure
        {{0xD0, 10}, false}, // channel pressure
        {{0xE0, 0, 64}, false}, // pitch bend
        {{0xF8}, false}, // clock
        {{0xF0, 1, 2, 0xF7}, false},
        {{36, 100}, false}, // running status is resolved before this point
        {{}, false},
    };
    for (const Case& c : cases) {
        const auto message = playableMessage(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(message.has_value(), c.plays) << int {c.bytes.empty() ? -1 : c.bytes[0]};
    }
    const auto note = playableMessage(std::vector<unsigned char> {0x99, 36, 100}.data(), 3);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->kind(), midi_in::kNoteOn);
    EXPECT_EQ(note->channel(), 10);
    EXPECT_EQ(note->data1, 36);
    EXPECT_EQ(note->data2, 100);
    const auto program = playableMessage(std::vector<unsigned char> {0xC3, 5}.data(), 2);
    ASSERT_TRUE(program);
    EXPECT_EQ(program->data2, 0);
}

} // namespace
} // namespace kelvane::midi
