#pragma once

#include "Kelvane.h"
#include "PreferencesRig.h"
#include "ProgramStart.h"
#include "fakes/FakePorts.h"

namespace kelvane::testing {

// The program as it is wired, every port faked onto one log, with nothing
// recorded in place of a real part.
struct PressRig : fakes::FakePorts {
    PressRig() :
        fakes::FakePorts(fakes::FakeSetting {.midiPorts = {"Port A"}}),
        kelvane(ports()),
        store(preferencesStore),
        preferences(kelvane.preferences()),
        slides(kelvane.slideControl()),
        slots(kelvane.slots()),
        setup(kelvane.midiSetup()),
        form(kelvane.mainForm())
    {
        midi.logSelections(false);
        environment.whileModal = [this](Window&) { setup.okButton.click(); };
    }

    // The program's start: preferences loaded (shown and hidden), the main
    // window loaded and activated; the log starts empty.
    PressRig& started()
    {
        startWithoutViews(kelvane);
        log.clear();
        return *this;
    }

    Switch& sw(int n) { return form.switches().at(n); }

    // The preferences file holding these entries (the rest empty).
    void fileWith(const std::map<std::size_t, PreferenceEntry>& entries) { storePreferences(store, entries); }
    // "N", "P", "O" or "-" (none) for switches 1..8.
    std::string choices() { return slideChoices(preferences); }

    Kelvane kelvane;
    fakes::FakePreferencesStore& store;
    PreferencesForm& preferences;
    SlideControl& slides;
    WaveSlots& slots;
    MidiSetupForm& setup;
    MainForm& form;
};

} // namespace kelvane::testing
