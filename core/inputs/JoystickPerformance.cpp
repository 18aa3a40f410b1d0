#include "inputs/JoystickPerformance.h"

#include "inputs/PressFailure.h"
#include "waves/WaveFailure.h"

namespace kelvane {

int JoystickPerformance::switchOfButton(int joystick, int button)
{
    if (button != 1 && button != 2)
        return 0;
    return joystick == 1 ? 2 + button : 4 + button;
}

void JoystickPerformance::buttonDown(int joystick, int button)
{
    const int n = switchOfButton(joystick, button);
    if (n == 0)
        return;
    Switch& s = switches_.at(n);
    try {
        s.indicator.setFill(Shape::Fill::Solid);
        const NoteAddress note = noteOf(n);
        midi_.noteOn(note.channel, note.note, s.velocity.value());
        sounding_.sounded(note_source::joystickButton(joystick, button), note);
        slots_.playPress(n);
    } catch (const WaveFailure&) {
        reportUnavailableWave(dialogs_, slots_, n);
    }
}

bool JoystickPerformance::releaseGatedWave(int n)
{
    if (!switches_.at(n).gate.checked())
        return false;
    try {
        slots_.playRelease(n);
    } catch (const WaveFailure&) {
        return true; // the release goes on: its note ends whatever the wave does
    }
    return false;
}

void JoystickPerformance::buttonUp(int joystick, int button)
{
    if (joystick == 1)
        switches_.lockNoteAndChannel(false);
    bool waveFailed = false;
    if (const int n = switchOfButton(joystick, button); n != 0) {
        waveFailed = releaseGatedWave(n);
        switches_.at(n).indicator.setFill(Shape::Fill::Transparent);
        const NoteAddress note = noteOf(n);
        midi_.noteOff(note.channel, note.note);
        sounding_.endRest(note_source::joystickButton(joystick, button), note, midi_);
    } else if (joystick == 1 && (button == 3 || button == 4)) {
        // Joystick 1's buttons 3 and 4 end switches 5 and 6, whoever holds them.
        const int ended = button == 3 ? 5 : 6;
        switches_.at(ended).indicator.setFill(Shape::Fill::Transparent);
        const NoteAddress note = noteOf(ended);
        midi_.noteOff(note.channel, note.note);
    }
    if (waveFailed)
        reportUnstoppedWave(dialogs_);
}

void JoystickPerformance::move(int joystick, int x, int y)
{
    const int values[2] = {x, y};
    bool waveFailed = false;
    for (int axis = 0; axis < 2; ++axis) {
        const int value = values[axis];
        if (value < kPressBelow && axisHeld(joystick, axis) == 0 && !pressAxis(joystick, axis))
            return; // a failed wave abandons the rest of the event
        if (value > kReleaseAbove && axisHeld(joystick, axis) == 1)
            waveFailed = releaseAxis(joystick, axis) || waveFailed;
    }
    // Told once both axes are done: the box runs other events before it returns.
    if (waveFailed)
        reportUnstoppedWave(dialogs_);
}

bool JoystickPerformance::pressAxis(int joystick, int axis)
{
    const int n = switchOfAxis(joystick, axis);
    Switch& s = switches_.at(n);
    try {
        switches_.lockNoteAndChannel(true);
        const NoteAddress note = noteOf(n);
        midi_.noteOn(note.channel, note.note, s.velocity.value());
        sounding_.sounded(note_source::joystickAxis(joystick, axis), note);
        s.indicator.setFill(Shape::Fill::Solid);
        held_[flagIndex(joystick, axis)] = 1;
        slots_.playPress(n);
    } catch (const WaveFailure&) {
        reportUnavailableWave(dialogs_, slots_, n);
        return false;
    }
    return true;
}

bool JoystickPerformance::releaseAxis(int joystick, int axis)
{
    const int n = switchOfAxis(joystick, axis);
    const bool waveFailed = releaseGatedWave(n);
    switches_.lockNoteAndChannel(false);
    const NoteAddress note = noteOf(n);
    midi_.noteOff(note.channel, note.note);
    sounding_.endRest(note_source::joystickAxis(joystick, axis), note, midi_);
    switches_.at(n).indicator.setFill(Shape::Fill::Transparent);
    held_[flagIndex(joystick, axis)] = 0;
    return waveFailed;
}

} // namespace kelvane
