#include "files/MidiInputSettings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace kelvane {

namespace {

constexpr std::string_view kHeader = "# Kelvane MIDI input settings\n";
constexpr int kVersion = 1;
constexpr std::string_view kAnyChannelWord = "any";
constexpr std::string_view kPadVelocityWord = "pad-velocity";
constexpr std::string_view kSwitchVelocityWord = "switch-velocity";

struct KindWord {
    MidiTrigger::Kind kind;
    std::string_view word;
};
constexpr std::array<KindWord, 4> kKindWords = {{{MidiTrigger::Kind::None, "none"}, {MidiTrigger::Kind::Note, "note"},
    {MidiTrigger::Kind::Controller, "controller"}, {MidiTrigger::Kind::Program, "program"}}};

std::string_view wordOf(MidiTrigger::Kind kind)
{
    for (const KindWord& k : kKindWords)
        if (k.kind == kind)
            return k.word;
    return "none";
}

std::string switchKey(int n) { return "sw" + std::to_string(n); }

std::string encodeBinding(const SwitchBinding& binding)
{
    std::string text(wordOf(binding.trigger.kind));
    if (binding.trigger.kind != MidiTrigger::Kind::None) {
        text += ' ' + std::to_string(binding.trigger.number) + ' ';
        text += binding.trigger.channel == MidiTrigger::kAnyChannel ? std::string(kAnyChannelWord)
                                                                    : std::to_string(binding.trigger.channel);
    }
    text += ' ';
    text += binding.padVelocity ? kPadVelocityWord : kSwitchVelocityWord;
    return text;
}

// A whole decimal number from lowest to highest, nothing else.
std::optional<int> number(std::string_view text, int lowest, int highest)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = text.find(' ', start);
        if (space == std::string_view::npos) {
            out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, space - start));
        start = space + 1;
    }
}

std::optional<SwitchBinding> decodeBinding(std::string_view text, std::string& why)
{
    const std::vector<std::string_view> parts = words(text);
    const auto kind = std::find_if(
        kKindWords.begin(), kKindWords.end(), [&parts](const KindWord& k) { return k.word == parts.front(); });
    if (kind == kKindWords.end()) {
        why = "a binding starts with note, controller, program or none, not \"" + std::string(parts.front()) + "\"";
        return std::nullopt;
    }
    const std::size_t expected = kind->kind == MidiTrigger::Kind::None ? 2 : 4;
    if (parts.size() != expected) {
        why = kind->kind == MidiTrigger::Kind::None
            ? "\"none\" is followed by the velocity only"
            : "a binding is its kind, number, channel and velocity, separated by single spaces";
        return std::nullopt;
    }
    SwitchBinding binding;
    binding.trigger.kind = kind->kind;
    if (kind->kind != MidiTrigger::Kind::None) {
        const std::optional<int> value = number(parts[1], 0, 127);
        if (!value) {
            why = "the number must be 0 to 127, not \"" + std::string(parts[1]) + "\"";
            return std::nullopt;
        }
        binding.trigger.number = *value;
        if (parts[2] != kAnyChannelWord) {
            const std::optional<int> channel = number(parts[2], 1, 16);
            if (!channel) {
                why = "the channel must be 1 to 16 or any, not \"" + std::string(parts[2]) + "\"";
                return std::nullopt;
            }
            binding.trigger.channel = *channel;
        }
    }
    const std::string_view velocity = parts.back();
    if (velocity != kPadVelocityWord && velocity != kSwitchVelocityWord) {
        why = "the velocity must be switch-velocity or pad-velocity, not \"" + std::string(velocity) + "\"";
        return std::nullopt;
    }
    binding.padVelocity = velocity == kPadVelocityWord;
    return binding;
}

// A port name is shown to the user and matched as it is: any text but
// control characters, which no port name holds.
bool isPortName(std::string_view text)
{
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

} // namespace

std::vector<std::uint8_t> encodeMidiInputSettings(const MidiInputSettings& settings)
{
    std::string text(kHeader);
    text += "version=" + std::to_string(kVersion) + "\n";
    text += "input=" + settings.input + "\n";
    for (int n = 1; n <= kSwitchCount; ++n)
        text += switchKey(n) + "=" + encodeBinding(settings.bindings[static_cast<std::size_t>(n - 1)]) + "\n";
    return {text.begin(), text.end()};
}

DecodedMidiInputSettings decodeMidiInputSettings(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > kMidiInputSettingsLargest)
        return {std::nullopt, "the file is far larger than any MIDI input settings"};
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!text.empty() && text.back() != '\n')
        return {std::nullopt, "the file is cut short: its last line does not end"};

    MidiInputSettings settings;
    // version, input, sw1..sw8
    std::array<bool, 2 + kSwitchCount> seen {};
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;

        const auto fail = [lineNumber](const std::string& why) {
            return DecodedMidiInputSettings {std::nullopt, "line " + std::to_string(lineNumber) + ": " + why};
        };
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return fail("a setting is a name, \"=\" and a value");
        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);

        std::size_t slot = seen.size();
        if (key == "version") {
            slot = 0;
            if (number(value, kVersion, kVersion) != kVersion)
                return fail("this Kelvane reads version " + std::to_string(kVersion) + " of the file, not \""
                    + std::string(value) + "\"");
        } else if (key == "input") {
            slot = 1;
            if (!isPortName(value))
                return fail("the input's name holds control characters");
            settings.input = std::string(value);
        } else {
            for (int n = 1; n <= kSwitchCount; ++n) {
                if (key != switchKey(n))
                    continue;
                slot = static_cast<std::size_t>(1 + n);
                std::string why;
                const std::optional<SwitchBinding> binding = decodeBinding(value, why);
                if (!binding)
                    return fail(why);
                settings.bindings[static_cast<std::size_t>(n - 1)] = *binding;
            }
            if (slot == seen.size())
                return fail("there is no setting called \"" + std::string(key) + "\"");
        }
        if (seen[slot])
            return fail("\"" + std::string(key) + "\" is set twice");
        seen[slot] = true;
    }
    const auto missing = std::find(seen.begin(), seen.end(), false);
    if (missing != seen.end()) {
        const auto index = missing - seen.begin();
        const std::string key = index == 0 ? "version" : index == 1 ? "input" : switchKey(static_cast<int>(index - 1));
        return {std::nullopt, "the setting \"" + key + "\" is missing"};
    }
    return {settings, {}};
}

} // namespace kelvane
