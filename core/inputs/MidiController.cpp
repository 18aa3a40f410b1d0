#include "inputs/MidiController.h"

namespace kelvane {

MidiController::MidiController(MidiControllerPorts ports, SwitchTrigger& trigger) :
    settings_(ports.settings, ports.dialogs),
    performance_(trigger, settings_, ports.dialogs),
    learnForm_(settings_, performance_),
    connection_(ports.input, settings_, ports.dialogs, *this)
{
}

void MidiController::start()
{
    settings_.load();
    learnForm_.showBindings();
    connection_.start();
}

void MidiController::message(const MidiInputMessage& message)
{
    if (!learnForm_.take(message))
        performance_.message(message);
}

} // namespace kelvane
