#include "SwitchSet.h"

#include "InstrumentNames.h"

namespace kelvane {

namespace {

// The names of each switch's controls, as the window was designed. They skip
// numbers and cross over (Shape7 does not exist; switch 7's note bar is
// HScroll14), so they are listed rather than computed.
struct SwitchControlNames {
    const char* button;
    const char* indicator;
    const char* note;
    const char* noteBox;
    const char* velocity;
    const char* velocityBox;
    const char* channel;
    const char* channelBox;
    const char* program;
    const char* programBox;
    const char* nameBox;
    const char* gate;
};

// clang-format off
constexpr std::array<SwitchControlNames, kSwitchCount> kNames = {{
    {"Command19", "Shape1", "HScroll1", "L1txt", "HScroll8", "Text19", "VScroll2", "MIDICha", "VScroll1", "prgchngetext", "Text1", "Check2"},
    {"Command20", "Shape2", "HScroll2", "L2txt", "HScroll9", "Text20", "VScroll6", "Text4", "VScroll7", "Text5", "Text14", "Check3"},
    {"Command21", "Shape3", "HScroll3", "L3txt", "HScroll10", "Text21", "VScroll9", "Text7", "VScroll8", "Text6", "Text15", "Check4"},
    {"Command22", "Shape4", "HScroll4", "L4txt", "HScroll11", "Text22", "VScroll10", "Text8", "VScroll11", "Text9", "Text16", "Check5"},
    {"Command23", "Shape5", "HScroll5", "L5txt", "HScroll12", "Text23", "VScroll13", "Text11", "VScroll12", "Text10", "Text17", "Check6"},
    {"Command24", "Shape6", "HScroll6", "L6txt", "HScroll13", "Text24", "VScroll14", "Text12", "VScroll15", "Text13", "Text18", "Check7"},
    {"Command25", "Shape8", "HScroll14", "Text25", "HScroll15", "Text26", "VScroll16", "Text27", "VScroll17", "Text28", "Text29", "Check8"},
    {"Command26", "Shape9", "HScroll17", "Text34", "HScroll16", "Text33", "VScroll19", "Text32", "VScroll18", "Text31", "Text30", "Check9"},
}};
// clang-format on

constexpr std::array<int, kSwitchCount> kStartNotes = {60, 62, 64, 65, 67, 69, 71, 72};
constexpr int kStartVelocity = 120;
constexpr int kStartChannel = 1;
constexpr int kStartProgram = 48;

// Each indicator is lit in a colour of its own, so a performer can tell the
// switches apart at a glance from across a stage.
constexpr std::array<std::uint32_t, kSwitchCount> kIndicatorColours
    = {0xE53935, 0xFB8C00, 0xFDD835, 0x43A047, 0x00ACC1, 0x1E88E5, 0x8E24AA, 0xD81B60};

const SwitchControlNames& namesOf(int n) { return kNames[static_cast<std::size_t>(n - 1)]; }

// Switch 2 alone can play note 0.
int lowestNote(int n) { return n == 2 ? 0 : 1; }

} // namespace

Switch::Switch(int n) :
    number(n),
    button(namesOf(n).button, "sw" + std::to_string(n)),
    indicator(namesOf(n).indicator, kIndicatorColours[static_cast<std::size_t>(n - 1)]),
    note(namesOf(n).note, Orientation::Horizontal, lowestNote(n), 127, kStartNotes[static_cast<std::size_t>(n - 1)]),
    noteBox(namesOf(n).noteBox, std::to_string(kStartNotes[static_cast<std::size_t>(n - 1)])),
    velocity(namesOf(n).velocity, Orientation::Horizontal, 0, 127, kStartVelocity),
    velocityBox(namesOf(n).velocityBox, std::to_string(kStartVelocity)),
    channel(namesOf(n).channel, Orientation::Vertical, 16, 1, kStartChannel),
    channelBox(namesOf(n).channelBox, std::to_string(kStartChannel)),
    program(namesOf(n).program, Orientation::Vertical, 128, -1, kStartProgram),
    programBox(namesOf(n).programBox, std::to_string(kStartProgram)),
    nameBox(namesOf(n).nameBox, std::string(kInstrumentNames[kStartProgram])),
    gate(namesOf(n).gate, "")
{
    if (n == 1)
        velocity.setLargeChange(10);
    // Dragging the thumb of the first six program bars changes the program at
    // every step; the last two change it when the thumb is let go.
    program.setTracksThumb(n <= 6);
}

SwitchSet::SwitchSet(PadMidi& midi) : midi_(midi)
{
    for (int n = 1; n <= kSwitchCount; ++n)
        switches_[static_cast<std::size_t>(n - 1)] = std::make_unique<Switch>(n);
    for (auto& s : switches_)
        wire(*s);
    resetNoteCopy();
}

void SwitchSet::wire(Switch& s)
{
    s.note.onChange([this, &s] { noteChanged(s); });
    s.velocity.onChange([&s] { s.velocityBox.setText(std::to_string(s.velocity.value())); });
    s.channel.onChange([this, &s] { channelChanged(s); });
    s.program.onChange([this, &s] { programChanged(s); });
    // Whatever is written into a name box, it settles on its switch's name.
    s.nameBox.onChange([this, &s] { refreshName(s); });
    if (s.number == 1) {
        // Typing into switch 1's channel box has no lasting effect.
        s.channelBox.onChange([&s] { s.channelBox.setText(std::to_string(s.channel.value())); });
    }
}

void SwitchSet::noteChanged(Switch& s)
{
    s.noteBox.setText(std::to_string(s.note.value()));
    if (s.number <= 6)
        noteCopy_[static_cast<std::size_t>(s.number - 1)] = s.note.value();
}

void SwitchSet::channelChanged(Switch& s)
{
    s.channelBox.setText(std::to_string(s.channel.value()));
    refreshName(s);
}

void SwitchSet::programChanged(Switch& s)
{
    // 128 and -1 are the bar's wrap markers. Each wrap runs this handling again
    // for the wrapped value; this run then goes on with the bar's value.
    if (s.program.value() == 128)
        s.program.setValue(0);
    if (s.program.value() < 0)
        s.program.setValue(127);

    const int channel = s.channel.value();
    const int program = s.program.value();
    for (auto& other : switches_) {
        if (other.get() != &s && other->channel.value() == channel)
            other->program.setValue(program);
    }
    midi_.programChange(channel, program);

    // The program number written into the name box is replaced at once by the name.
    const std::string number = std::to_string(program);
    if (s.number == 1) {
        s.programBox.setText(number);
        s.nameBox.setText(number);
    } else {
        s.nameBox.setText(number);
        s.programBox.setText(number);
    }
}

int SwitchSet::playedNote(int n) const
{
    return n <= 6 ? noteCopy_[static_cast<std::size_t>(n - 1)] : at(n).note.value();
}

void SwitchSet::resetNoteCopy()
{
    for (int n = 1; n <= 6; ++n)
        noteCopy_[static_cast<std::size_t>(n - 1)] = kStartNotes[static_cast<std::size_t>(n - 1)];
}

void SwitchSet::lockNoteAndChannel(bool locked)
{
    for (auto& s : switches_) {
        s->note.setEnabled(!locked);
        s->channel.setEnabled(!locked);
    }
}

void SwitchSet::programBarKey(int n, char key)
{
    if (n < 1 || n > 6)
        return;
    ScrollBar& bar = at(n).program;
    if (key == '+')
        bar.setValue(bar.value() + 1);
    else if (key == '-')
        bar.setValue(bar.value() - 1);
}

std::string SwitchSet::instrumentName(int n) const
{
    const Switch& s = at(n);
    if (s.channel.value() == kPercussionChannel)
        return std::string(kDrumKitName);
    const int program = s.program.value();
    if (program < 0 || program > 127)
        return {}; // only while a wrap marker is being replaced
    return std::string(kInstrumentNames[static_cast<std::size_t>(program)]);
}

} // namespace kelvane
