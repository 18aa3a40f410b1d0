#include "MainMenu.h"

#include "Presets.h"
#include "Scales.h"

#include <stdexcept>

namespace kelvane {

MainMenu::MainMenu()
{
    MenuItem& file = bar_.add("mnuFile", "&File");
    file.addSeparator("mnuFileSep1");
    file.add("New", "&New", "Ctrl+N");
    file.add("Load", "&Open", "Ctrl+O");
    file.add("Saveonly", "&Save", "Ctrl+S");
    file.add("Save", "Save As ....");
    file.add("mnuPreferences", "Preferences");
    file.add("mnuFileExit", "E&xit");

    MenuItem& midi = bar_.add("mnuMidi", "&MIDI");
    midi.add("mnuMidiSetup", "&Setup");
    midi.add("mnuMidiLearn", "MIDI Learn");

    MenuItem& scales = bar_.add("mnuScalesChords", "&Scales/Chords");
    for (std::size_t i = 0; i < kNoteTables.size(); ++i) {
        if (i == kScaleCount)
            scales.addSeparator("mnuScalesSep1");
        scales.add(std::string(kNoteTables[i].menuItem), std::string(kNoteTables[i].menuCaption));
    }

    MenuItem& presets = bar_.add("mnuPresets", " &GM Presets");
    for (const Preset& p : kPresets)
        presets.add(std::string(p.menuItem), std::string(p.menuCaption));

    MenuItem& options = bar_.add("mnuOptions", "Op&tions");
    options.add("Octaveup", "Octave Up", "Ctrl+U");
    options.add("Octavedn", "Octave Down", "Ctrl+D");
    options.add("Semiup", "Semitone Up", "Ctrl+I");
    options.add("Semidn", "Semitone Down", "Ctrl+F");
    options.add("mnuVelUp", "Velocity +10", "Ctrl+B");
    options.add("mnuVelDown", "Velocity -10", "Ctrl+V");
    options.addSeparator("mnuOptionsSep1");
    options.add("GM", "General Midi").setChecked(true);
    options.add("Mmode", "Multimode");
    options.add("mnuPowerpnt", "Control PowerPoint");
    options.add("mnuLightDesk", "Lighting Desk", "Ctrl+L");
    options.add("mnuExpert", "Expert User");
    options.addSeparator("mnuOptionsSep2");
    options.add("mnuExclusive", "Exclusive Waves");

    MenuItem& panic = bar_.add("mnuPanic", "Pa&nic !");
    panic.add("Panic2", "&Panic - all notes off", "Ctrl+P");
    panic.add("mnuallwavoff", "All &waves off", "Ctrl+W");

    bar_.add("F1", "F1").add("mnuAdd", "Add");
    bar_.add("mnuF2", "F2").add("mnuAddF2", "Add");
    bar_.add("mnuF3", "F3").add("mnuAddF3", "Add");
    bar_.add("mnuF4", "F4").add("mnuAddF4", "Add");

    MenuItem& help = bar_.add("mnuHelp", "&Help");
    help.add("mnbuHelpTxt", "Kelvane Online Help");
    help.addSeparator("mnuHelpSep1");
    help.add("mnuAbout", "About Kelvane Software");
}

namespace {
MenuItem* findIn(const MenuItem& menu, const std::string& name)
{
    for (const auto& child : menu.children()) {
        if (child->name() == name)
            return child.get();
        if (MenuItem* found = findIn(*child, name))
            return found;
    }
    return nullptr;
}
} // namespace

MenuItem& MainMenu::item(const std::string& name)
{
    if (MenuItem* found = findIn(bar_, name))
        return *found;
    throw std::logic_error("no menu item named " + name);
}

} // namespace kelvane
