#include "files/SetupControls.h"

namespace kelvane {

namespace {
std::size_t at(int n) { return static_cast<std::size_t>(n - 1); }
} // namespace

PerformanceSetup SetupControls::capture() const
{
    PerformanceSetup setup;
    for (int n = 1; n <= kSwitchCount; ++n) {
        const Switch& s = switches_.at(n);
        setup.switches[at(n)] = SwitchSetup {s.note.value(), s.velocity.value(), s.channel.value(), s.program.value()};
        SlotSetup& w = setup.slots[at(n)];
        w.path = slots_.wavePath(n);
        w.name = slots_.waveName(n);
        w.gate = s.gate.value();
        w.volume = slots_.volume(n);
        w.loop = slots_.loop(n);
        w.pan = slots_.pan(n);
        w.loopCount = slots_.loopCount(n);
    }
    setup.exclusive = exclusiveWaves_.checked();
    return setup;
}

void SetupControls::applySwitch(int n, const SwitchSetup& s)
{
    Switch& target = switches_.at(n);
    target.note.setValue(s.note);
    target.velocity.setValue(s.velocity);
    target.channel.setValue(s.channel);
    target.program.setValue(s.program);
}

void SetupControls::applyPathAndName(int n, const SlotSetup& w)
{
    slots_.setWavePath(n, w.path);
    slots_.setWaveName(n, w.name);
}

void SetupControls::applySlotSound(int n, const SlotSetup& w)
{
    slots_.setVolume(n, w.volume);
    slots_.setLoop(n, w.loop);
    slots_.setPan(n, w.pan);
    slots_.setLoopCount(n, w.loopCount);
}

void SetupControls::settleSlots()
{
    for (int n = 1; n <= kSwitchCount; ++n)
        slots_.settleChosenOrEmpty(n);
}

void SetupControls::applyInFileOrder(const PerformanceSetup& setup)
{
    for (int n = 1; n <= kSwitchCount; ++n) {
        applySwitch(n, setup.switches[at(n)]);
        applyPathAndName(n, setup.slots[at(n)]);
        switches_.at(n).gate.setValue(setup.slots[at(n)].gate);
    }
    for (int n = 1; n <= kSwitchCount; ++n)
        applySlotSound(n, setup.slots[at(n)]);
    exclusiveWaves_.setChecked(setup.exclusive);
    settleSlots();
}

void SetupControls::applyInBankOrder(const PerformanceSetup& setup)
{
    for (int n = 1; n <= kSwitchCount; ++n) {
        const SlotSetup& w = setup.slots[at(n)];
        applySwitch(n, setup.switches[at(n)]);
        applyPathAndName(n, w);
        switches_.at(n).gate.setValue(w.gate);
        // Volume and pan go on to the slot's current sound, which keeps playing.
        applySlotSound(n, w);
    }
    exclusiveWaves_.setChecked(setup.exclusive);
    settleSlots();
}

} // namespace kelvane
