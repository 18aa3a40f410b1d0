#include "midi/MidiOutputRouter.h"

#include <algorithm>

namespace kelvane::midi {

MidiOutputRouter::MidiOutputRouter(MidiSynth& mapper, MidiPorts& ports, MidiLog* log) :
    mapper_(mapper), ports_(ports), log_(log), portNames_(ports.names())
{
}

int MidiOutputRouter::deviceCount() const { return static_cast<int>(portNames_.size()); }

int MidiOutputRouter::selectedDevice() const { return selected_; }

void MidiOutputRouter::selectDevice(int device) { selected_ = device; }

std::string MidiOutputRouter::deviceName() const
{
    if (selected_ == kMapper)
        return kMapperName;
    if (selected_ >= 0 && selected_ < deviceCount())
        return portNames_[static_cast<std::size_t>(selected_)];
    return {};
}

int MidiOutputRouter::openStatus() const { return open_ == kNothingOpen ? 0 : 1; }

void MidiOutputRouter::open()
{
    auto deferred = std::move(deferred_);
    deferred_.clear();
    for (const auto& [code, text] : deferred)
        report(code, text);

    // Opening over an open device replaces it rather than leaving it dangling.
    close();
    if (selected_ == kMapper) {
        open_ = kMapper;
        reportSilenceOnce();
        return;
    }
    if (selected_ < 0 || selected_ >= deviceCount()) {
        report(
            midi_error::kDeviceUnavailable, "There is no MIDI output device number " + std::to_string(selected_) + ".");
        return;
    }
    std::string problem;
    if (!ports_.open(portNames_[static_cast<std::size_t>(selected_)], problem)) {
        report(midi_error::kDeviceUnavailable, problem);
        return;
    }
    open_ = selected_;
    portFailureReported_ = false;
}

void MidiOutputRouter::portsChanged()
{
    const std::vector<std::string> present = ports_.names();
    const auto isPresent = [&present](const std::string& name) {
        return std::find(present.begin(), present.end(), name) != present.end();
    };
    for (const std::string& name : present) {
        if (std::find(portNames_.begin(), portNames_.end(), name) == portNames_.end())
            portNames_.push_back(name);
    }
    if (open_ < 0)
        return;
    const std::string name = portNames_[static_cast<std::size_t>(open_)];
    if (!openPortLost_ && !isPresent(name)) {
        // Flagged before the report: its box runs other events, which send.
        openPortLost_ = true;
        ports_.close();
        report(midi_error::kDeviceUnavailable,
            "The MIDI output " + name
                + " has been disconnected. Kelvane opens it again as soon as it is plugged back in.");
    } else if (openPortLost_ && isPresent(name)) {
        std::string problem;
        if (!ports_.open(name, problem))
            return; // tried again at the next change
        openPortLost_ = false;
        portFailureReported_ = false;
        report(midi_error::kInformation, "The MIDI output " + name + " is back.");
    }
}

void MidiOutputRouter::close()
{
    if (open_ == kMapper)
        mapper_.allNotesOff();
    else if (open_ != kNothingOpen)
        ports_.close();
    open_ = kNothingOpen;
    openPortLost_ = false;
}

void MidiOutputRouter::send(const ShortMessage& message)
{
    const Encoding encoding = encodeShortMessage(message);
    if (!encoding.message) {
        report(midi_error::kMessageRefused, encoding.refusal);
        return;
    }
    if (open_ == kNothingOpen || !transmit(*encoding.message))
        return;
    if (log_ && !log_->append(*encoding.message) && !logFailureReported_) {
        logFailureReported_ = true;
        report(output_error::kLogUnwritable,
            "The MIDI log " + log_->path() + " can no longer be written; later messages may be missing from it.");
    }
}

bool MidiOutputRouter::trySend(const ShortMessage& message)
{
    // The same check as send(), so that what one refuses the other refuses.
    if (!encodeShortMessage(message).message)
        return false;
    send(message);
    return true;
}

bool MidiOutputRouter::transmit(const MidiBytes& message)
{
    if (open_ == kMapper) {
        if (!mapper_.play(message)) {
            if (!synthBehindReported_) {
                synthBehindReported_ = true;
                report(output_error::kSynthBehind,
                    "The built-in synthesizer is not keeping up with the music: a MIDI message was lost. "
                    "Check that the sound device is still playing.");
            }
            return false;
        }
        synthBehindReported_ = false;
        reportSilenceOnce();
        return true;
    }
    if (openPortLost_)
        return false; // said once already, when it went
    std::string problem;
    if (ports_.transmit(message, problem))
        return true;
    if (!portFailureReported_) {
        portFailureReported_ = true;
        report(midi_error::kDeviceUnavailable, problem);
    }
    return false;
}

void MidiOutputRouter::setErrorHandler(ErrorHandler handler) { onError_ = std::move(handler); }

void MidiOutputRouter::deferReport(int code, std::string text) { deferred_.emplace_back(code, std::move(text)); }

void MidiOutputRouter::report(int code, const std::string& text)
{
    if (onError_)
        onError_(code, text);
}

void MidiOutputRouter::reportSilenceOnce()
{
    // Kept for later while nobody listens, so that the user does hear of it.
    if (silenceReported_ || !onError_)
        return;
    const std::string reason = mapper_.silenceReason();
    if (reason.empty())
        return;
    // Flagged before the handler runs: a message box may run nested events
    // that send more messages.
    silenceReported_ = true;
    // MIDI Setup is worth a word only when it offers something besides the
    // synthesizer that is silent.
    const std::string advice = deviceCount() > 0 ? "; choose another output in MIDI Setup to hear the music." : ".";
    report(
        midi_error::kNoSound, "The built-in synthesizer makes no sound: " + reason + ". The program plays on" + advice);
}

} // namespace kelvane::midi
