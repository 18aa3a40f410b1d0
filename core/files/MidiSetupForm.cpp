#include "files/MidiSetupForm.h"

#include <algorithm>

namespace kelvane {

namespace {
constexpr int kWidth = 360;
constexpr int kHeight = 230; // with the input list
constexpr int kMapper = -1;
} // namespace

MidiSetupForm::MidiSetupForm(MidiOutput& midi, Environment& environment) :
    Window("MIDISetupForm", "MIDI Setup"), midi_(midi), environment_(environment)
{
    setSize(kWidth, kHeight);
    adopt(comboMidiOut);
    adopt(outLabel);
    adopt(inLabel);
    adopt(comboMidiIn);
    adopt(okButton);
    adopt(cancelButton);
    okButton.onClick([this] { ok(); });
    cancelButton.onClick([this] { cancel(); });
}

void MidiSetupForm::attachInput(MidiInputChoice& input)
{
    input_ = &input;
    input.entriesChanged().connect([this] {
        if (loaded_)
            listInputs(selectedInput());
    });
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
    listInputs(input_ ? input_->chosenInput() : std::string());
}

void MidiSetupForm::listInputs(const std::string& selected)
{
    comboMidiIn.clear();
    inputNames_.assign(1, std::string());
    comboMidiIn.addItem(kNoInput);
    if (input_) {
        for (const MidiInputEntry& entry : input_->inputEntries()) {
            inputNames_.push_back(entry.name);
            comboMidiIn.addItem(entry.present ? entry.name : entry.name + kNotConnected);
        }
    }
    // A selected port that was just unplugged gives way to the remembered
    // choice, which is always listed: Ok must not forget it.
    auto found = std::find(inputNames_.begin(), inputNames_.end(), selected);
    if (found == inputNames_.end() && input_)
        found = std::find(inputNames_.begin(), inputNames_.end(), input_->chosenInput());
    comboMidiIn.setListIndex(found == inputNames_.end() ? 0 : static_cast<int>(found - inputNames_.begin()));
}

std::string MidiSetupForm::selectedInput() const
{
    const int index = comboMidiIn.listIndex();
    return index > 0 && index < static_cast<int>(inputNames_.size()) ? inputNames_[static_cast<std::size_t>(index)]
                                                                     : std::string();
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
    if (input_)
        input_->chooseInput(selectedInput());
    setVisible(false);
}

void MidiSetupForm::cancel()
{
    loaded_ = false;
    comboMidiOut.clear();
    comboMidiIn.clear();
    setVisible(false);
}

} // namespace kelvane
