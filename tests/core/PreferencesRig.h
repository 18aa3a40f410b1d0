#pragma once

#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeKeystrokes.h"
#include "fakes/FakePreferencesStore.h"
#include "files/PreferencesForm.h"
#include "slides/SlideControl.h"

#include <map>
#include <string>
#include <vector>

namespace kelvane::testing {

// The store holding these entries (the rest empty).
inline void storePreferences(fakes::FakePreferencesStore& store, const std::map<std::size_t, PreferenceEntry>& entries)
{
    PreferenceRecord record {};
    for (const auto& [index, entry] : entries)
        record[index] = entry;
    store.bytes = encodePreferences(record);
}

// "N", "P", "O" or "-" (none) for switches 1..8.
inline std::string slideChoices(PreferencesForm& preferences)
{
    std::string out;
    for (int n = 1; n <= kPreferenceSwitchCount; ++n) {
        const int selected = preferences.nextOption(n).value() + preferences.previousOption(n).value()
            + preferences.offOption(n).value();
        if (selected > 1)
            out += '?';
        else if (preferences.nextOption(n).value())
            out += 'N';
        else if (preferences.previousOption(n).value())
            out += 'P';
        else if (preferences.offOption(n).value())
            out += 'O';
        else
            out += '-';
    }
    return out;
}

// The preferences window and slide control over a file in memory; the
// advanced-audio click action logs "advanced audio shown|hidden".
struct PreferencesRig {
    PreferencesRig() :
        store(log), dialogs(log), keys(log), preferences(store, dialogs), slides(preferences, keys, dialogs)
    {
        preferences.onAdvancedAudio(
            [this](bool shown) { log.add(shown ? "advanced audio shown" : "advanced audio hidden"); });
    }

    void fileWith(const std::map<std::size_t, PreferenceEntry>& entries) { storePreferences(store, entries); }
    std::string choices() { return slideChoices(preferences); }

    fakes::EffectLog log;
    fakes::FakePreferencesStore store;
    fakes::FakeDialogs dialogs;
    fakes::FakeKeystrokes keys;
    PreferencesForm preferences;
    SlideControl slides;
};

} // namespace kelvane::testing
