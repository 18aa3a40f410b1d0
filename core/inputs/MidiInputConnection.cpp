#include "inputs/MidiInputConnection.h"

#include <algorithm>

namespace kelvane {

namespace {
constexpr const char* kTitle = "MIDI Input";
} // namespace

MidiInputConnection::MidiInputConnection(
    MidiInput& input, MidiInputSettingsFile& settings, Dialogs& dialogs, MidiInputSink& sink) :
    input_(input), settings_(settings), dialogs_(dialogs), sink_(sink)
{
    input_.setEvents(this);
}

MidiInputConnection::~MidiInputConnection()
{
    input_.setEvents(nullptr);
    if (open_)
        input_.close();
}

void MidiInputConnection::start() { connect(); }

std::vector<MidiInputEntry> MidiInputConnection::inputEntries() const
{
    std::vector<MidiInputEntry> entries;
    const std::vector<std::string> names = input_.portNames();
    for (const std::string& name : names)
        entries.push_back({name, true});
    if (!chosenInput().empty() && !present(names))
        entries.push_back({chosenInput(), false});
    return entries;
}

bool MidiInputConnection::present(const std::vector<std::string>& names) const
{
    return std::find(names.begin(), names.end(), chosenInput()) != names.end();
}

void MidiInputConnection::chooseInput(const std::string& name)
{
    if (name == chosenInput() && (open_ || name.empty()))
        return;
    disconnect();
    lossTold_ = false;
    failureTold_ = false;
    // Remembered first: the choice stands even when the port cannot open now.
    settings_.setInput(name);
    connect();
}

void MidiInputConnection::connect()
{
    if (open_ || chosenInput().empty() || !present(input_.portNames()))
        return;
    // A copy: a box below runs other events, which may choose another port.
    const std::string name = chosenInput();
    std::string problem;
    if (input_.open(name, problem)) {
        open_ = true;
        lossTold_ = false;
        failureTold_ = false;
        return;
    }
    if (failureTold_)
        return;
    failureTold_ = true;
    tell("The MIDI input " + name + " cannot be opened: " + problem
        + "\nKelvane tries again whenever MIDI ports come or go.");
}

void MidiInputConnection::disconnect()
{
    if (!open_)
        return;
    open_ = false;
    input_.close();
    sink_.inputLost();
}

void MidiInputConnection::message(const MidiInputMessage& message)
{
    if (open_)
        sink_.message(message);
}

void MidiInputConnection::portsChanged()
{
    if (open_ && !present(input_.portNames())) {
        const std::string name = chosenInput();
        disconnect();
        if (!lossTold_) {
            lossTold_ = true;
            tell("The MIDI input " + name + " has been disconnected; the switches it held are released.\n"
                + "Kelvane takes it again as soon as it is plugged back in.");
        }
    }
    connect();
    entriesChanged_.emit();
}

void MidiInputConnection::tell(const std::string& text)
{
    // One box at a time: a cable that comes and goes while it is up adds none.
    if (telling_)
        return;
    telling_ = true;
    dialogs_.showMessage(text, MessageIcon::Warning, MessageButtons::Ok, kTitle);
    telling_ = false;
}

} // namespace kelvane
