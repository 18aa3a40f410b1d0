#pragma once

#include "files/PerformanceRecord.h"
#include "files/PerformanceSetup.h"

#include <string>

namespace kelvane::testing {

// The two setups the save victim writes in turn. The first carries a long
// wave name so that its file takes many writes to reach the disk.
constexpr std::size_t kLongName = 60000;

// The main window's setup at start: Major Strings, slots empty.
inline PerformanceSetup startSetup()
{
    PerformanceSetup s;
    const int notes[] = {60, 62, 64, 65, 67, 69, 71, 72};
    for (std::size_t i = 0; i < 8; ++i)
        s.switches[i].note = notes[i];
    return s;
}

inline PerformanceSetup killSetupLong()
{
    PerformanceSetup s = startSetup();
    s.switches[0].note = 60;
    s.slots[0].path = "/w/" + std::string(kLongName, 'a') + ".wav";
    s.slots[0].name = std::string(kLongName, 'a') + ".wav";
    return s;
}

inline PerformanceSetup killSetupShort()
{
    PerformanceSetup s = startSetup();
    s.switches[0].note = 61;
    return s;
}

} // namespace kelvane::testing
