#pragma once

#include "files/PerformanceRecord.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kelvane {

// The settings of one switch as its four bars hold them.
struct SwitchSetup {
    int note = 60;
    int velocity = 120;
    int channel = 1;
    int program = 48;
    bool operator==(const SwitchSetup&) const = default;
};

// The settings of one wave slot. path is the full path of the chosen wave
// file (empty: no file); name is the text of the slot's name box.
struct SlotSetup {
    std::string path;
    std::string name;
    int gate = 0; // 0 or 1
    int volume = -400; // -4000..0
    int loop = 0; // 0 or 1
    int pan = 0; // -10000..10000
    int loopCount = 0; // list position 0..34: position k plays k + 2 passes
    bool operator==(const SlotSetup&) const = default;
};

// Everything a performance file or a wave bank holds, in typed form.
struct PerformanceSetup {
    std::array<SwitchSetup, 8> switches {};
    std::array<SlotSetup, 8> slots {};
    bool exclusive = false; // "Exclusive Waves"
    bool operator==(const PerformanceSetup&) const = default;
};

// The span of values an integer entry may hold: the span of the control it
// feeds, so a setup that passes never meets a control that refuses a value.
struct EntryRange {
    int lowest;
    int highest;
    constexpr bool holds(int v) const { return v >= lowest && v <= highest; }
};

namespace entry_range {
// Switch 2 alone can play note 0.
constexpr EntryRange note(int n) { return {n == 2 ? 0 : 1, 127}; }
constexpr EntryRange kVelocity {0, 127};
constexpr EntryRange kChannel {1, 16};
// The program bar itself runs from -1 to 128: those two wrap at once to 127
// and 0, so the bar never holds them for long and a stored file never does.
constexpr EntryRange kProgram {-1, 128};
constexpr EntryRange kFlag {0, 1};
constexpr EntryRange kVolume {-4000, 0};
constexpr EntryRange kPan {-10000, 10000};
constexpr EntryRange kLoopCount {0, 34};
} // namespace entry_range

inline constexpr std::string_view kTrueText = "True";
inline constexpr std::string_view kFalseText = "False";

// An integer entry's text: optional blanks, an optional sign, decimal digits,
// optional blanks. Anything else (empty, fractions, other notations, values
// outside -32768..32767) is not a number.
std::optional<int> parseEntryInteger(std::string_view text);

// The record a setup is saved as: numbers as decimal text, the exclusive mark
// as True or False, entries 57..63 empty.
PerformanceRecord recordOf(const PerformanceSetup& setup);

// The setup a record holds, or nothing when any entry that is read is invalid:
// a number that does not convert or lies outside its control's span, a mark
// other than True or False. Entries 57..63 are not read.
std::optional<PerformanceSetup> setupOf(const PerformanceRecord& record);

} // namespace kelvane
