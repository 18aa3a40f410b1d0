#include "inputs/KeyboardPerformance.h"

#include "inputs/PressFailure.h"
#include "waves/WaveFailure.h"

#include <array>

namespace kelvane {

int KeyboardPerformance::switchOfKey(int keyCode)
{
    for (int n = 1; n <= kSwitchCount; ++n) {
        if (keyCode == key_code::kTopRowDigit0 + n || keyCode == key_code::kKeypadDigit0 + n)
            return n;
    }
    return 0;
}

void KeyboardPerformance::keyDown(int keyCode)
{
    const int bank = keyCode - key_code::kF1 + 1;
    if (bank >= 1 && bank <= 4 && banks_.holdsData(bank))
        banks_.recall(bank);
    // Every key, auto-repeats included, and after a recall with the programs just recalled.
    sendAllPrograms();
    switches_.lockNoteAndChannel(true);

    const int n = switchOfKey(keyCode);
    if (n != 0 && flags_.keyHeld == 0)
        press(n);
}

void KeyboardPerformance::sendAllPrograms()
{
    for (int round = 0; round < 2; ++round) {
        for (int n = 1; n <= kSwitchCount; ++n) {
            const Switch& s = switches_.at(n);
            midi_.programChange(s.channel.value(), s.program.value());
        }
    }
}

void KeyboardPerformance::press(int n)
{
    Switch& s = switches_.at(n);
    try {
        const NoteAddress note {s.channel.value(), switches_.playedNote(n)};
        midi_.noteOn(note.channel, note.note, s.velocity.value());
        sounding_.sounded(note_source::kKeyboard, note);
        s.indicator.setFill(Shape::Fill::Solid);
        flags_.keyHeld = 1;
        slots_.playPress(n);
    } catch (const WaveFailure&) {
        // What was done stays: the note sounds and the flag holds until a key release.
        reportUnavailableWave(dialogs_, slots_, n);
    }
}

void KeyboardPerformance::keyUp(int keyCode)
{
    // N and P are also what slide control types into the focused window.
    if (keyCode == key_code::kN || keyCode == key_code::kP)
        return;
    bool waveFailed = false;
    if (const int n = switchOfKey(keyCode); n != 0) {
        try {
            slots_.playRelease(n);
        } catch (const WaveFailure&) {
            waveFailed = true; // the release goes on: its notes end whatever the wave does
        }
    }
    switches_.lockNoteAndChannel(false);
    flags_.keyHeld = 0;
    for (int n = 1; n <= kSwitchCount; ++n)
        switches_.at(n).indicator.setFill(Shape::Fill::Transparent);
    std::array<NoteAddress, kSwitchCount> sent;
    for (int n = 1; n <= kSwitchCount; ++n) {
        const NoteAddress note {switches_.at(n).channel.value(), switches_.playedNote(n)};
        midi_.noteOff(note.channel, note.note);
        sent[static_cast<std::size_t>(n - 1)] = note;
    }
    sounding_.endRest(note_source::kKeyboard, sent, midi_);
    if (waveFailed)
        reportUnstoppedWave(dialogs_);
}

} // namespace kelvane
