#include "files/MidiInputSettingsFile.h"

namespace kelvane {

namespace {
constexpr const char* kTitle = "MIDI Input";
constexpr const char* kDefaultsUsed = "Kelvane starts with no MIDI input and the default binding "
                                      "(notes 36 to 43 play sw1 to sw8).";
} // namespace

void MidiInputSettingsFile::load()
{
    using Status = PreferencesStore::Contents::Status;
    const PreferencesStore::Contents contents = store_.read();
    if (contents.status == Status::Missing)
        return;
    if (contents.status == Status::Unreadable) {
        mayWrite_ = false;
        tell("The MIDI input settings could not be read: " + contents.problem + ".\n" + kDefaultsUsed
            + " Settings changed now are not written over the file.");
        return;
    }
    DecodedMidiInputSettings decoded = decodeMidiInputSettings(contents.bytes);
    if (decoded.settings) {
        settings_ = std::move(*decoded.settings);
        return;
    }
    std::string problem;
    const std::string keptAt = store_.setAside(problem);
    if (keptAt.empty()) {
        mayWrite_ = false;
        tell("The MIDI input settings in " + store_.location() + " cannot be used (" + decoded.problem + ").\n"
            + kDefaultsUsed + " The file could not be set aside (" + problem
            + "), so settings changed now are not written over it.");
        return;
    }
    tell("The MIDI input settings in " + store_.location() + " cannot be used (" + decoded.problem
        + "). The file is kept as " + keptAt + ".\n" + kDefaultsUsed);
}

void MidiInputSettingsFile::setInput(const std::string& input)
{
    if (input == settings_.input)
        return;
    settings_.input = input;
    save();
}

void MidiInputSettingsFile::setBindings(const MidiBindings& bindings)
{
    if (bindings == settings_.bindings)
        return;
    settings_.bindings = bindings;
    save();
}

void MidiInputSettingsFile::save()
{
    if (!mayWrite_)
        return;
    const std::string problem = store_.write(encodeMidiInputSettings(settings_));
    if (problem.empty()) {
        writeFailureTold_ = false;
        return;
    }
    if (writeFailureTold_)
        return;
    // Flagged before the box: it runs other events, which may save again.
    writeFailureTold_ = true;
    tell("The MIDI input settings could not be saved to " + store_.location() + ".\n" + problem
        + "\nThey stay in effect until Kelvane ends.");
}

void MidiInputSettingsFile::tell(const std::string& text)
{
    dialogs_.showMessage(text, MessageIcon::Warning, MessageButtons::Ok, kTitle);
}

} // namespace kelvane
