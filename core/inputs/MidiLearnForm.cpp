#include "inputs/MidiLearnForm.h"

namespace kelvane {

namespace {
constexpr const char* kIdleHint = "Press Learn beside a switch, then hit a pad or press a pedal.";
constexpr const char* kWaiting = "Hit a pad or press a pedal ...";
constexpr int kWidth = 520;
constexpr int kHeight = 380;
} // namespace

MidiLearnRow::MidiLearnRow(int n) :
    switchName("lblSwitch" + std::to_string(n), "sw" + std::to_string(n)),
    binding("lblBinding" + std::to_string(n)),
    learn("cmdLearn" + std::to_string(n), "Learn"),
    padVelocity("chkPadVelocity" + std::to_string(n), "Pad velocity")
{
}

MidiLearnForm::MidiLearnForm(MidiInputSettingsFile& settings, MidiPerformance& performance) :
    Window("frmMidiLearn", "MIDI Learn"), settings_(settings), performance_(performance)
{
    setSize(kWidth, kHeight);
    for (int n = 1; n <= kSwitchCount; ++n) {
        rows_[static_cast<std::size_t>(n - 1)] = std::make_unique<MidiLearnRow>(n);
        MidiLearnRow& r = row(n);
        for (Control* c : std::initializer_list<Control*> {&r.switchName, &r.binding, &r.learn, &r.padVelocity})
            adopt(*c);
        r.learn.onClick([this, n] { learnClicked(n); });
        r.padVelocity.onChange([this, n] { padVelocityClicked(n); });
    }
    channelGroup_.add(anyChannel);
    channelGroup_.add(channelAsSent);
    anyChannel.setValue(true);
    for (Control* c : std::initializer_list<Control*> {
             &hint, &anyChannel, &channelAsSent, &clearButton, &defaultButton, &closeButton})
        adopt(*c);
    clearButton.onClick([this] { setTriggers(clearedMidiBindings()); });
    defaultButton.onClick([this] { setTriggers(defaultMidiBindings()); });
    closeButton.onClick([this] { close(); });
    showBindings();
}

void MidiLearnForm::show()
{
    showBindings();
    bringToFront();
}

void MidiLearnForm::close()
{
    learning_ = 0;
    showBindings();
    setVisible(false);
}

void MidiLearnForm::learnClicked(int n)
{
    learning_ = learning_ == n ? 0 : n;
    showBindings();
}

bool MidiLearnForm::take(const MidiInputMessage& message)
{
    if (learning_ == 0)
        return false;
    const std::optional<MidiTrigger> taught = triggerTaughtBy(message, anyChannel.value());
    if (!taught)
        return false;
    const int n = learning_;
    learning_ = 0;
    MidiBindings bindings = settings_.current().bindings;
    for (SwitchBinding& other : bindings) {
        if (triggersOverlap(other.trigger, *taught))
            other.trigger = MidiTrigger {};
    }
    bindings[static_cast<std::size_t>(n - 1)].trigger = *taught;
    change(bindings);
    return true;
}

void MidiLearnForm::padVelocityClicked(int n)
{
    if (showing_)
        return;
    MidiBindings bindings = settings_.current().bindings;
    bindings[static_cast<std::size_t>(n - 1)].padVelocity = row(n).padVelocity.checked();
    change(bindings);
}

void MidiLearnForm::setTriggers(const MidiBindings& triggers)
{
    learning_ = 0;
    MidiBindings bindings = settings_.current().bindings;
    for (std::size_t i = 0; i < bindings.size(); ++i)
        bindings[i].trigger = triggers[i].trigger;
    change(bindings);
}

void MidiLearnForm::change(const MidiBindings& bindings)
{
    std::array<bool, kSwitchCount> moved {};
    for (int n = 1; n <= kSwitchCount; ++n)
        moved[static_cast<std::size_t>(n - 1)]
            = bindings[static_cast<std::size_t>(n - 1)].trigger != settings_.binding(n).trigger;
    // Stored before the releases: a box one of them opens runs other events,
    // which must find the new bindings in place.
    settings_.setBindings(bindings);
    showBindings();
    for (int n = 1; n <= kSwitchCount; ++n) {
        if (moved[static_cast<std::size_t>(n - 1)])
            performance_.releaseSwitch(n);
    }
}

void MidiLearnForm::showBindings()
{
    showing_ = true;
    for (int n = 1; n <= kSwitchCount; ++n) {
        const SwitchBinding& binding = settings_.binding(n);
        row(n).binding.setText(learning_ == n ? std::string(kWaiting) : describeTrigger(binding.trigger));
        row(n).padVelocity.setValue(binding.padVelocity ? 1 : 0);
    }
    showing_ = false;
    hint.setText(learning_ == 0 ? std::string(kIdleHint)
                                : "sw" + std::to_string(learning_)
                + " is learning: hit a pad or press a pedal (press Learn again to stop).");
}

} // namespace kelvane
