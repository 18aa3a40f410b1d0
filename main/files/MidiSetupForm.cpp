#include "files/MidiSetupForm.h"

#include <algorithm>

namespace kelvane {

namespace {
constexpr int kWidth = 360;
constexpr int kHeight = 190;
constexpr int kMapper = -1;
} // namespace

MidiSetupForm::MidiSetupForm(MidiOutput& midi, Environment& environment) :
    Window("MIDISetupForm", "MIDI Setup"), midi_(midi), environment_(environment)
{
    setSize(kWidth, kHeight);
    adopt(comboMidiOut);
    adopt(outLabel);
    adopt(inLabel);
    adopt(okButton);
    adopt(cancelButton);
    okButton.onClick([this] { ok(); });
    cancelButton.onClick([this] { cancel(); });
}

void MidiSetupForm::showModal()
{
    if (!loaded_)
        load();
    environment_.showModal(*this);
}

void MidiSetupForm::load()
{
    loaded_ = true;
    move((environment_.screenWidth() - width()) / 2, (environment_.screenHeight() - height()) / 2);
    const int count = midi_.deviceCount();
    for (int device = kMapper; device < count; ++device) {
        midi_.selectDevice(device);
        comboMidiOut.addItem(midi_.deviceName());
    }
    comboMidiOut.setListIndex(0);
    midi_.selectDevice(kMapper);
    applyMidiOutDevice();
}

void MidiSetupForm::applyMidiOutDevice()
{
    if (midi_.openStatus() >= 1 || midi_.selectedDevice() == kMapper)
        midi_.close();
    // List position p stands for device p - 1: position 0 is the mapper.
    midi_.selectDevice(std::max(0, comboMidiOut.listIndex()) - 1);
    midi_.open();
}

void MidiSetupForm::ok()
{
    applyMidiOutDevice();
    setVisible(false);
}

void MidiSetupForm::cancel()
{
    loaded_ = false;
    comboMidiOut.clear();
    setVisible(false);
}

} // namespace kelvane
