#include "files/PerformanceSetup.h"

#include <charconv>

namespace kelvane {

namespace {

constexpr int kSwitches = 8;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::size_t at(int n) { return static_cast<std::size_t>(n - 1); }

// Reads one integer entry into target; false when it is invalid.
bool readInteger(const PerformanceRecord& record, std::size_t index, EntryRange range, int& target)
{
    const std::optional<int> value = parseEntryInteger(record[index]);
    if (!value || !range.holds(*value))
        return false;
    target = *value;
    return true;
}

} // namespace

std::optional<int> parseEntryInteger(std::string_view text)
{
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9')
            return std::nullopt;
    // Leading zeros are fine; a long run of digits is out of range anyway.
    while (text.size() > 1 && text.front() == '0')
        text.remove_prefix(1);
    if (text.size() > 6)
        return std::nullopt;
    int magnitude = 0;
    std::from_chars(text.data(), text.data() + text.size(), magnitude);
    const int value = negative ? -magnitude : magnitude;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return value;
}

PerformanceRecord recordOf(const PerformanceSetup& setup)
{
    PerformanceRecord record;
    for (int n = 1; n <= kSwitches; ++n) {
        const SwitchSetup& s = setup.switches[at(n)];
        record[entry::note(n)] = std::to_string(s.note);
        record[entry::velocity(n)] = std::to_string(s.velocity);
        record[entry::channel(n)] = std::to_string(s.channel);
        record[entry::program(n)] = std::to_string(s.program);
        const SlotSetup& w = setup.slots[at(n)];
        record[entry::wavePath(n)] = w.path;
        record[entry::waveName(n)] = w.name;
        record[entry::gate(n)] = std::to_string(w.gate);
        record[entry::volume(n)] = std::to_string(w.volume);
        record[entry::loop(n)] = std::to_string(w.loop);
        record[entry::pan(n)] = std::to_string(w.pan);
        record[entry::loopCount(n)] = std::to_string(w.loopCount);
    }
    record[entry::kExclusive] = std::string(setup.exclusive ? kTrueText : kFalseText);
    return record;
}

std::optional<PerformanceSetup> setupOf(const PerformanceRecord& record)
{
    PerformanceSetup setup;
    for (int n = 1; n <= kSwitches; ++n) {
        SwitchSetup& s = setup.switches[at(n)];
        SlotSetup& w = setup.slots[at(n)];
        w.path = record[entry::wavePath(n)];
        w.name = record[entry::waveName(n)];
        if (!readInteger(record, entry::note(n), entry_range::note(n), s.note)
            || !readInteger(record, entry::velocity(n), entry_range::kVelocity, s.velocity)
            || !readInteger(record, entry::channel(n), entry_range::kChannel, s.channel)
            || !readInteger(record, entry::program(n), entry_range::kProgram, s.program)
            || !readInteger(record, entry::gate(n), entry_range::kFlag, w.gate)
            || !readInteger(record, entry::volume(n), entry_range::kVolume, w.volume)
            || !readInteger(record, entry::loop(n), entry_range::kFlag, w.loop)
            || !readInteger(record, entry::pan(n), entry_range::kPan, w.pan)
            || !readInteger(record, entry::loopCount(n), entry_range::kLoopCount, w.loopCount))
            return std::nullopt;
    }
    const std::string& exclusive = record[entry::kExclusive];
    if (exclusive == kTrueText)
        setup.exclusive = true;
    else if (exclusive == kFalseText)
        setup.exclusive = false;
    else
        return std::nullopt;
    return setup;
}

} // namespace kelvane
