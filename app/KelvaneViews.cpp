#include "KelvaneViews.h"

namespace kelvane::views {

KelvaneViews::KelvaneViews(Kelvane& kelvane, ModalViews& modals, HelpViewer& help) :
    kelvane_(kelvane),
    modals_(modals),
    help_(help),
    midiSetup_(kelvane.midiSetup()),
    mainWindow_(kelvane.mainForm()),
    preferences_(kelvane.preferences(), &mainWindow_),
    lightingDesk_(kelvane.lightingDesk()),
    midiLearn_(kelvane.midiController().learnForm())
{
    modals_.add(kelvane_.midiSetup(), midiSetup_);
    mainWindow_.addWaveSlots(kelvane_.slots());
    help_.setOwner(&mainWindow_);
}

KelvaneViews::~KelvaneViews()
{
    help_.setOwner(nullptr);
    modals_.remove(kelvane_.midiSetup());
}

} // namespace kelvane::views
