#include "waves/WaveSlots.h"

#include "SwitchSet.h"
#include "waves/LoopTiming.h"
#include "waves/WaveFailure.h"

#include <filesystem>
#include <fstream>

namespace kelvane {

namespace {

constexpr int kClearedVelocity = 120;
constexpr const char* kLoadTitle = "Load Wave";
// Wave files first: the dialog opens on the first entry.
constexpr const char* kLoadFilter = "Wave files (*.wav *.ogg *.flac *.mp3);;All Files (*)";
constexpr const char* kCannotOpen = "Cannot open ";
constexpr const char* kNoAudioOutput = "The audio output is unavailable, so no wave can play: ";

// The file can be opened for reading. Nothing is created and no write access
// is needed, so samples on read-only media load.
bool readable(const std::string& path)
{
    std::error_code ignored;
    if (path.empty() || !std::filesystem::is_regular_file(path, ignored))
        return false;
    std::ifstream probe(path, std::ios::binary);
    return probe.is_open();
}

std::string loopCountText(int passes) { return " " + std::to_string(passes); }

} // namespace

WaveSlot::WaveSlot(int n) :
    number(n),
    play("Waveplay" + std::to_string(n), "Play Wave"),
    load("Waveload" + std::to_string(n), "Load Wave"),
    stop("Wavestop" + std::to_string(n), "Stop"),
    clear("Clr" + std::to_string(n), "Clr"),
    name("Wavetext" + std::to_string(n), slot_colour::kEmpty),
    volume("HscrWavVol", Orientation::Horizontal, kWaveVolumeMin, kWaveVolumeMax, kWaveVolumeStart),
    volumeLabel("lblWavVol", "Vol"),
    // Slot 2 starts slightly right of centre.
    pan("HScrWavPan", Orientation::Horizontal, kWavePanMin, kWavePanMax, n == 2 ? 150 : 0),
    panLabel("lblPan", "Pan"),
    gateLoopLabel("lblGateLoop", "Gate Loop"),
    loop("chkwavloop", ""),
    loopCount("cmbLoopNo"),
    // Slot 7's label was drawn with two spaces; every restore writes one.
    lengthLabel("lblLoopNo", n == 7 ? "X  loop" : kLengthLabelIdle),
    // Each tick counts as 55 ms of the loop, so the timer runs at 55 ms.
    loopTimer("Timer" + std::to_string(n + 1), kLoopTickMs, false)
{
    // Slot 2's volume moves by 1 per arrow click and per page, the others by 10 and 100.
    volume.setSmallChange(n == 2 ? 1 : 10);
    volume.setLargeChange(n == 2 ? 1 : 100);
    pan.setSmallChange(100);
    pan.setLargeChange(1000);
    // Dragging acts at once, like a change.
    volume.setTracksThumb(true);
    pan.setTracksThumb(true);
    for (int k = 0; k < kLoopCountEntries; ++k)
        loopCount.addItem(loopCountText(passesFor(k)));
    loopCount.setListIndex(0);
}

WaveSlots::WaveSlots(WavePlayer& player, Dialogs& dialogs, SlideStep& slideStep) :
    player_(player), dialogs_(dialogs), slideStep_(slideStep)
{
    for (int n = 1; n <= kWaveSlotCount; ++n) {
        slots_[static_cast<std::size_t>(n - 1)] = std::make_unique<WaveSlot>(n);
        wire(slot(n));
    }
    timer1_.onTimer([this] { reporting([this] { statusTick(); }); });
}

template <typename Operation> void WaveSlots::reporting(Operation operation)
{
    try {
        operation();
    } catch (const std::exception& failure) {
        dialogs_.showMessage(failureText(failure.what()), MessageIcon::Warning, MessageButtons::Ok, "");
    }
}

void WaveSlots::attach(SwitchSet& switches, const MenuItem& exclusiveWaves)
{
    switches_ = &switches;
    exclusiveWaves_ = &exclusiveWaves;
}

void WaveSlots::wire(WaveSlot& s)
{
    const int n = s.number;
    s.play.onMouseDown([this, n](MouseButton) { reporting([this, n] { playPress(n); }); });
    s.play.onMouseUp([this, n](MouseButton) { reporting([this, n] { playRelease(n); }); });
    s.load.onClick([this, n] { reporting([this, n] { load(n); }); });
    s.stop.onClick([this, n] { reporting([this, n] { stop(n); }); });
    s.clear.onClick([this, n] { reporting([this, n] { clear(n); }); });
    // Volume and pan reach the player even for an empty slot or a buffer
    // that has stopped: the player ignores numbers it does not hold.
    s.volume.onChange([this, &s] { reporting([this, &s] { player_.setBufferVolume(s.buffer_, s.volume.value()); }); });
    s.pan.onChange([this, &s] { reporting([this, &s] { player_.setBufferPan(s.buffer_, s.pan.value()); }); });
    s.lengthLabel.onMouseDown([this, &s](MouseButton b) { reporting([this, &s, b] { peekLength(s, b); }); });
    s.lengthLabel.onMouseUp([&s](MouseButton) { s.lengthLabel.setText(kLengthLabelIdle); });
    s.loopTimer.onTimer([this, n] { reporting([this, n] { loopTick(n); }); });
}

std::vector<Control*> WaveSlots::controls()
{
    std::vector<Control*> all;
    for (auto& s : slots_) {
        for (Control* c : std::initializer_list<Control*> {&s->play, &s->load, &s->stop, &s->clear, &s->name,
                 &s->volume, &s->volumeLabel, &s->pan, &s->panLabel, &s->gateLoopLabel, &s->loop, &s->loopCount,
                 &s->lengthLabel, &s->loopTimer})
            all.push_back(c);
    }
    all.push_back(&timer1_);
    return all;
}

void WaveSlots::showAdvancedSettings(bool shown)
{
    for (auto& s : slots_) {
        for (Control* c : std::initializer_list<Control*> {&s->volume, &s->volumeLabel, &s->gateLoopLabel, &s->loop,
                 &s->pan, &s->panLabel, &s->lengthLabel, &s->loopCount})
            c->setVisible(shown);
    }
    if (switches_) {
        for (int n = 1; n <= kWaveSlotCount; ++n)
            switches_->at(n).gate.setVisible(shown);
    }
}

WaveSlot& WaveSlots::checked(int n)
{
    if (n < 1 || n > kWaveSlotCount)
        throw WaveFailure("there is no wave slot " + std::to_string(n));
    return slot(n);
}

void WaveSlots::playPress(int n)
{
    WaveSlot& s = checked(n);
    slideStep_.send(n);
    if (s.path_.empty())
        return;
    player_.releaseBuffer(s.buffer_);
    const int buffer = player_.loadWaveFile(s.path_);
    if (buffer == -1) {
        // The slot keeps its file and the number of the buffer just released.
        // Without a sound output the file is not to blame: say what is.
        const std::string noOutput = player_.outputProblem();
        dialogs_.showMessage(noOutput.empty() ? kCannotOpen + s.path_ : kNoAudioOutput + noOutput + ".",
            MessageIcon::None, MessageButtons::Ok, "");
        return;
    }
    s.buffer_ = buffer;
    if (exclusiveWaves_ && exclusiveWaves_->checked())
        player_.stopAllBuffers();
    s.loopTimer.setEnabled(false);
    player_.setBufferVolume(buffer, s.volume.value());
    player_.setBufferPan(buffer, s.pan.value());
    if (s.loop.checked()) {
        const int length = player_.bufferLength(buffer);
        const auto duration = loopDurationMs(length, s.loopCount.listIndex());
        if (!duration)
            throw WaveFailure("the loop of " + s.path_ + " is too long to time (" + std::to_string(length) + " ms x "
                + std::to_string(passesFor(s.loopCount.listIndex())) + " passes)");
        s.loopDurationMs_ = *duration;
        s.loopTicks_ = 0;
        player_.playLooping(buffer);
        s.loopTimer.setEnabled(true);
    } else {
        player_.playBuffer(buffer);
    }
    s.name.setBackColour(slot_colour::kSounding);
}

void WaveSlots::playRelease(int n)
{
    WaveSlot& s = checked(n);
    // The loop timer goes on; its later stop finds the sound already stopped.
    if (switches_ && switches_->at(n).gate.checked())
        player_.stopBuffer(s.buffer_);
}

void WaveSlots::resetLoopCounts()
{
    for (auto& s : slots_)
        s->loopCount.setListIndex(0);
}

void WaveSlots::emptySlot(int n)
{
    WaveSlot& s = checked(n);
    s.path_.clear();
    s.name.setText({});
    s.name.setBackColour(slot_colour::kEmpty);
}

void WaveSlots::load(int n)
{
    WaveSlot& s = checked(n);
    const std::optional<std::string> chosen = dialogs_.chooseFileToOpen(kLoadTitle, kLoadFilter);
    // A cancelled dialog or a file that cannot be read leaves the slot as it was.
    if (!chosen || !readable(*chosen))
        return;
    s.path_ = *chosen;
    s.name.setText(std::filesystem::path(*chosen).filename().string());
    if (switches_)
        switches_->at(n).velocity.setValue(0);
    // Nothing is loaded now: a sound of this slot still playing goes on.
    s.name.setBackColour(slot_colour::kChosen);
    prepareWave(n);
}

void WaveSlots::prepareWave(int n)
{
    const WaveSlot& s = checked(n);
    if (!s.path_.empty())
        player_.prepareWaveFile(s.path_);
}

void WaveSlots::stop(int n)
{
    // The loop timer goes on, as after a gated release.
    player_.stopBuffer(checked(n).buffer_);
}

void WaveSlots::clear(int n)
{
    WaveSlot& s = checked(n);
    player_.stopBuffer(s.buffer_);
    player_.releaseBuffer(s.buffer_);
    s.name.setText({});
    s.path_.clear();
    s.name.setBackColour(slot_colour::kEmpty);
    if (switches_)
        switches_->at(n).velocity.setValue(kClearedVelocity);
}

void WaveSlots::statusTick()
{
    for (auto& s : slots_)
        s->name.setBackColour(player_.isBufferPlaying(s->buffer_) ? slot_colour::kSounding : slot_colour::kChosen);
    for (auto& s : slots_) {
        if (s->name.text().empty())
            s->name.setBackColour(slot_colour::kEmpty);
    }
}

void WaveSlots::loopTick(int n)
{
    WaveSlot& s = checked(n);
    ++s.loopTicks_;
    if (loopElapsed(s.loopDurationMs_, s.loopTicks_)) {
        player_.stopBuffer(s.buffer_);
        s.loopTimer.setEnabled(false);
    }
}

void WaveSlots::peekLength(WaveSlot& s, MouseButton button)
{
    if (button != MouseButton::Right)
        return;
    const int passes = s.loop.checked() ? passesFor(s.loopCount.listIndex()) : 1;
    const int buffer = player_.loadWaveFile(s.path_);
    const int length = player_.bufferLength(buffer);
    // The peek's buffer is only measured: give it back at once.
    player_.releaseBuffer(buffer);
    const std::optional<int> seconds = peekSeconds(length, passes);
    if (!seconds)
        throw WaveFailure("the length of " + s.path_ + " is too long to show");
    s.lengthLabel.setText(std::to_string(*seconds));
}

std::string WaveSlots::failureText(const std::string& what) { return "This Wave cannot be played: " + what + "."; }

} // namespace kelvane
