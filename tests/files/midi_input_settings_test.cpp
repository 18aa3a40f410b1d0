// midi-input.conf: the exact bytes written, every field read back, and what
// the decoder refuses (whole files only: a refused file gives nothing).

#include "files/MidiInputSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvane {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::string textOf(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// Every kind, channel form and velocity choice at least once, each switch
// different from its neighbours.
MidiInputSettings variedSettings()
{
    MidiInputSettings s;
    s.input = "nanoPAD2:nanoPAD2 MIDI 1 \xC3\xA4";
    s.bindings[0] = {MidiTrigger::note(0), false};
    s.bindings[1] = {MidiTrigger::note(127, 16), true};
    s.bindings[2] = {{MidiTrigger::Kind::Controller, 64, 1}, false};
    s.bindings[3] = {{MidiTrigger::Kind::Controller, 4, MidiTrigger::kAnyChannel}, true};
    s.bindings[4] = {{MidiTrigger::Kind::Program, 5, 10}, false};
    s.bindings[5] = {{}, true};
    s.bindings[6] = {{}, false};
    s.bindings[7] = {MidiTrigger::note(43, 2), false};
    return s;
}

constexpr const char* kVariedText = "# Kelvane MIDI input settings\n"
                                    "version=1\n"
                                    "input=nanoPAD2:nanoPAD2 MIDI 1 \xC3\xA4\n"
                                    "sw1=note 0 any switch-velocity\n"
                                    "sw2=note 127 16 pad-velocity\n"
                                    "sw3=controller 64 1 switch-velocity\n"
                                    "sw4=controller 4 any pad-velocity\n"
                                    "sw5=program 5 10 switch-velocity\n"
                                    "sw6=none pad-velocity\n"
                                    "sw7=none switch-velocity\n"
                                    "sw8=note 43 2 switch-velocity\n";

TEST(MidiInputSettingsFormat, WritesExactlyTheseBytes)
{
    EXPECT_EQ(textOf(encodeMidiInputSettings(variedSettings())), kVariedText);
    EXPECT_EQ(textOf(encodeMidiInputSettings(MidiInputSettings {})),
        "# Kelvane MIDI input settings\nversion=1\ninput=\n"
        "sw1=note 36 any switch-velocity\nsw2=note 37 any switch-velocity\nsw3=note 38 any switch-velocity\n"
        "sw4=note 39 any switch-velocity\nsw5=note 40 any switch-velocity\nsw6=note 41 any switch-velocity\n"
        "sw7=note 42 any switch-velocity\nsw8=note 43 any switch-velocity\n");
}

TEST(MidiInputSettingsFormat, EveryFieldReadsBack)
{
    const DecodedMidiInputSettings decoded = decodeMidiInputSettings(bytesOf(kVariedText));
    ASSERT_TRUE(decoded.settings) << decoded.problem;
    const MidiInputSettings expected = variedSettings();
    EXPECT_EQ(decoded.settings->input, expected.input);
    for (std::size_t i = 0; i < expected.bindings.size(); ++i) {
        EXPECT_EQ(decoded.settings->bindings[i].trigger, expected.bindings[i].trigger) << "sw" << i + 1;
        EXPECT_EQ(decoded.settings->bindings[i].padVelocity, expected.bindings[i].padVelocity) << "sw" << i + 1;
    }
}

TEST(MidiInputSettingsFormat, AHandEditedFileWithCommentsBlankLinesCrLfAndAnyOrderReads)
{
    const std::string text = "version=1\r\n\r\n# my pads\r\nsw8=none switch-velocity\r\ninput=\r\n"
                             "sw1=note 36 any switch-velocity\nsw2=note 37 any switch-velocity\n"
                             "sw3=note 38 any switch-velocity\nsw4=note 39 any switch-velocity\n"
                             "sw5=note 40 any switch-velocity\nsw6=note 41 any switch-velocity\n"
                             "sw7=note 42 any switch-velocity\n";
    const DecodedMidiInputSettings decoded = decodeMidiInputSettings(bytesOf(text));
    ASSERT_TRUE(decoded.settings) << decoded.problem;
    EXPECT_EQ(decoded.settings->input, "");
    EXPECT_EQ(decoded.settings->bindings[7].trigger, MidiTrigger {});
    EXPECT_EQ(decoded.settings->bindings[6].trigger, MidiTrigger::note(42));
}

TEST(MidiInputSettingsFormat, RefusesWholeFilesThatAreNotRightAndSaysWhere)
{
    const std::string good = kVariedText;
    const auto replaced = [&good](const std::string& line, const std::string& by) {
        std::string text = good;
        text.replace(text.find(line), line.size(), by);
        return text;
    };
    struct Case {
        std::string text;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {"", "the setting \"version\" is missing"},
        {good.substr(0, good.size() - 1), "the file is cut short: its last line does not end"},
        {replaced("version=1", "version=2"), "line 2: this Kelvane reads version 1 of the file, not \"2\""},
        {replaced("sw1=note 0 any", "sw1=note 128 any"), "line 4: the number must be 0 to 127, not \"128\""},
        {replaced("sw1=note 0 any", "sw1=note -1 any"), "line 4: the number must be 0 to 127, not \"-1\""},
        {replaced("sw2=note 127 16", "sw2=note 127 17"), "line 5: the channel must be 1 to 16 or any, not \"17\""},
        {replaced("sw2=note 127 16", "sw2=note 127 0"), "line 5: the channel must be 1 to 16 or any, not \"0\""},
        {replaced("sw3=controller", "sw3=pitchbend"),
            "line 6: a binding starts with note, controller, program or none, not \"pitchbend\""},
        {replaced("sw4=controller 4 any", "sw4=controller  4 any"),
            "line 7: a binding is its kind, number, channel and velocity, separated by single spaces"},
        {replaced("sw6=none pad-velocity", "sw6=none 3 pad-velocity"),
            "line 9: \"none\" is followed by the velocity only"},
        {replaced("sw7=none switch-velocity", "sw7=none loud"),
            "line 10: the velocity must be switch-velocity or pad-velocity, not \"loud\""},
        {replaced("sw8=", "sw9="), "line 11: there is no setting called \"sw9\""},
        {replaced("sw8=", "sw1="), "line 11: \"sw1\" is set twice"},
        {replaced("sw8=note 43 2 switch-velocity\n", ""), "the setting \"sw8\" is missing"},
        {replaced("input=nanoPAD2", "input=nano\x01PAD2"), "line 3: the input's name holds control characters"},
        {replaced("sw5=", "sw5 "), "line 8: a setting is a name, \"=\" and a value"},
        {std::string(kMidiInputSettingsLargest + 1, '#'), "the file is far larger than any MIDI input settings"},
    };
    for (const Case& c : cases) {
        const DecodedMidiInputSettings decoded = decodeMidiInputSettings(bytesOf(c.text));
        EXPECT_FALSE(decoded.settings) << c.problem;
        EXPECT_EQ(decoded.problem, c.problem);
    }
}

} // namespace
} // namespace kelvane
