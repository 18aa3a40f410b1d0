#pragma once

#include "HelpViewer.h"
#include "Kelvane.h"
#include "LightDeskView.h"
#include "MainWindowView.h"
#include "MidiLearnWindow.h"
#include "MidiSetupDialog.h"
#include "PreferencesWindow.h"
#include "desktop/ModalViews.h"

namespace kelvane::views {

// Every window of the program, each showing its form of the assembly. The
// setup window is the one shown modally; the help viewer stays over the main
// window. Needs a QApplication.
class KelvaneViews {
public:
    KelvaneViews(Kelvane& kelvane, ModalViews& modals, HelpViewer& help);
    ~KelvaneViews();
    KelvaneViews(const KelvaneViews&) = delete;
    KelvaneViews& operator=(const KelvaneViews&) = delete;

    MainWindowView& mainWindow() { return mainWindow_; }
    LightDeskView& lightingDesk() { return lightingDesk_; }
    PreferencesWindow& preferences() { return preferences_; }
    MidiLearnWindow& midiLearn() { return midiLearn_; }
    MidiSetupDialog& midiSetup() { return midiSetup_; }

private:
    Kelvane& kelvane_;
    ModalViews& modals_;
    HelpViewer& help_;
    MidiSetupDialog midiSetup_;
    MainWindowView mainWindow_;
    PreferencesWindow preferences_;
    LightDeskView lightingDesk_;
    MidiLearnWindow midiLearn_;
};

} // namespace kelvane::views
