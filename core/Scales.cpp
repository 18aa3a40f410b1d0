#include "Scales.h"

namespace kelvane {

void applyNoteTable(const NoteTable& table, SwitchSet& switches, Window& window)
{
    for (int n = 1; n <= kSwitchCount; ++n)
        switches.at(n).note.setValue(table.notes[static_cast<std::size_t>(n - 1)]);
    window.setCaption(std::string(table.windowCaption));
}

bool shiftNotes(SwitchSet& switches, int step)
{
    for (int n = 1; n <= kSwitchCount; ++n) {
        const int note = switches.at(n).note.value();
        if (step > 0 ? note > kHighestNoteBeforeShiftUp : note < kLowestNoteBeforeShiftDown)
            return false;
    }
    for (int n = 1; n <= kSwitchCount; ++n) {
        ScrollBar& note = switches.at(n).note;
        note.setValue(note.value() + step);
    }
    return true;
}

void shiftVelocities(SwitchSet& switches, int step)
{
    for (int n = 1; n <= kSwitchCount; ++n) {
        ScrollBar& velocity = switches.at(n).velocity;
        const int v = velocity.value();
        if (step > 0 ? v < 117 : v > 9)
            velocity.setValue(v + step);
    }
}

} // namespace kelvane
