#include "MainMenu.h"

#include "Presets.h"
#include "Scales.h"

#include <string>
#include <tuple>

namespace kelvane {

MainMenu::MainMenu()
{
    MenuItem& file = bar_.add("mnuFile", "&File");
    file.addSeparator("mnuFileSep1");
    fileNew_ = &file.add("New", "&New", "Ctrl+N");
    open_ = &file.add("Load", "&Open", "Ctrl+O");
    save_ = &file.add("Saveonly", "&Save", "Ctrl+S");
    saveAs_ = &file.add("Save", "Save As ....");
    preferences_ = &file.add("mnuPreferences", "Preferences");
    exit_ = &file.add("mnuFileExit", "E&xit");

    MenuItem& midi = bar_.add("mnuMidi", "&MIDI");
    midiSetup_ = &midi.add("mnuMidiSetup", "&Setup");
    midiLearn_ = &midi.add("mnuMidiLearn", "MIDI Learn");

    MenuItem& scales = bar_.add("mnuScalesChords", "&Scales/Chords");
    static_assert(kNoteTables.size() == std::tuple_size_v<decltype(noteTables_)>);
    for (std::size_t i = 0; i < kNoteTables.size(); ++i) {
        if (i == kScaleCount)
            scales.addSeparator("mnuScalesSep1");
        noteTables_[i] = &scales.add(std::string(kNoteTables[i].menuItem), std::string(kNoteTables[i].menuCaption));
    }

    MenuItem& presets = bar_.add("mnuPresets", " &GM Presets");
    static_assert(kPresets.size() == std::tuple_size_v<decltype(presets_)>);
    for (std::size_t i = 0; i < kPresets.size(); ++i)
        presets_[i] = &presets.add(std::string(kPresets[i].menuItem), std::string(kPresets[i].menuCaption));

    MenuItem& options = bar_.add("mnuOptions", "Op&tions");
    octaveUp_ = &options.add("Octaveup", "Octave Up", "Ctrl+U");
    octaveDown_ = &options.add("Octavedn", "Octave Down", "Ctrl+D");
    semitoneUp_ = &options.add("Semiup", "Semitone Up", "Ctrl+I");
    semitoneDown_ = &options.add("Semidn", "Semitone Down", "Ctrl+F");
    velocityUp_ = &options.add("mnuVelUp", "Velocity +10", "Ctrl+B");
    velocityDown_ = &options.add("mnuVelDown", "Velocity -10", "Ctrl+V");
    options.addSeparator("mnuOptionsSep1");
    generalMidi_ = &options.add("GM", "General Midi");
    generalMidi_->setChecked(true);
    multimode_ = &options.add("Mmode", "Multimode");
    slideControl_ = &options.add("mnuPowerpnt", "Control PowerPoint");
    lightingDesk_ = &options.add("mnuLightDesk", "Lighting Desk", "Ctrl+L");
    expertUser_ = &options.add("mnuExpert", "Expert User");
    options.addSeparator("mnuOptionsSep2");
    exclusiveWaves_ = &options.add("mnuExclusive", "Exclusive Waves");

    MenuItem& panicMenu = bar_.add("mnuPanic", "Pa&nic !");
    panic_ = &panicMenu.add("Panic2", "&Panic - all notes off", "Ctrl+P");
    allWavesOff_ = &panicMenu.add("mnuallwavoff", "All &waves off", "Ctrl+W");

    // The first bank's names differ from the others'.
    bankMenus_[0] = &bar_.add("F1", "F1");
    bankAdds_[0] = &bankMenus_[0]->add("mnuAdd", "Add");
    for (int bank = 2; bank <= kBanks; ++bank) {
        const std::string number = std::to_string(bank);
        MenuItem& menu = bar_.add("mnuF" + number, "F" + number);
        bankMenus_[static_cast<std::size_t>(bank - 1)] = &menu;
        bankAdds_[static_cast<std::size_t>(bank - 1)] = &menu.add("mnuAddF" + number, "Add");
    }

    MenuItem& help = bar_.add("mnuHelp", "&Help");
    helpContents_ = &help.add("mnbuHelpTxt", "Kelvane Online Help");
    help.addSeparator("mnuHelpSep1");
    about_ = &help.add("mnuAbout", "About Kelvane Software");
}

} // namespace kelvane
