#include "Kelvane.h"

#include <utility>

namespace kelvane {

Kelvane::Kelvane(KelvanePorts ports, KelvaneDoubles doubles) :
    preferences_(ports.preferences, ports.dialogs),
    slideControl_(preferences_, ports.keystrokes, ports.dialogs),
    slots_(ports.waves, ports.dialogs, doubles.slideStep ? *doubles.slideStep : slideControl_),
    midiSetup_(ports.midi, ports.environment),
    mainForm_(MainFormPorts {ports.midi, ports.waves, ports.stavik1, ports.stavik2, ports.dialogs, ports.pause,
                  ports.environment},
        midiSetup_, doubles.slots ? *doubles.slots : slots_, doubles.banks ? *doubles.banks : banks_),
    slideMode_(mainForm_.menu().slideControl(), mainForm_, slideControl_),
    preferencesCommand_(mainForm_.menu().preferences(), preferences_),
    slotSettings_(slots_),
    wholeSetup_(mainForm_, doubles.slotSettings ? *doubles.slotSettings : slotSettings_, banks_,
        PerformanceFilePorts {ports.midi, ports.dialogs, ports.files}),
    lightForm_(LightFormPorts {ports.midi, ports.pause, ports.environment}, mainForm_),
    midiController_(MidiControllerPorts {ports.midiInput, ports.midiInputSettings, ports.dialogs}, mainForm_.trigger()),
    midiLearnCommand_(mainForm_.menu().midiLearn(), midiController_.learnForm())
{
    // The slots follow the switches from the first event on.
    slots_.attach(mainForm_.switches(), mainForm_.menu().exclusiveWaves());
    // Before the first preferences load, which reports the check's value.
    preferences_.onAdvancedAudio([this](bool shown) { slots_.showAdvancedSettings(shown); });
    mainForm_.attachLightingDesk(lightForm_);
    midiSetup_.attachInput(midiController_.connection());
}

void Kelvane::openWhenStarted(std::string path)
{
    mainForm_.onStartupDone([this, path = std::move(path)] { wholeSetup_.files().openNamedFile(path); });
}

void Kelvane::start()
{
    midiController_.start();
    // The main window's load begins by loading the preferences window (shown
    // and at once hidden), which reads kelvane.dat.
    preferences_.loadShownThenHidden();
}

} // namespace kelvane
