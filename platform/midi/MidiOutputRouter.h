#pragma once

#include "midi/MidiLog.h"
#include "midi/MidiPorts.h"
#include "midi/MidiSynth.h"
#include "ports/MidiOutput.h"

#include <string>
#include <utility>
#include <vector>

namespace kelvane::midi {

// Report codes of this output beyond the shared ones.
namespace output_error {
// The MIDI log cannot be written; the program plays on without it.
constexpr int kLogUnwritable = 5;
// The built-in synthesizer could not take a message (the audio output has
// stalled and its queue is full); that message is lost and not logged.
constexpr int kSynthBehind = 6;
} // namespace output_error

// The program's MIDI output: device -1 is the built-in synthesizer (the
// mapper), devices 0..n-1 are the system ports listed when the router was
// built. Messages are checked before they go anywhere; each one that an open
// device takes is appended to the MIDI log, if there is one.
//
// What it reports (always on the calling, user-interface, thread):
//  - kMessageRefused for each message that fails the check; it is not sent.
//  - kNoSound once per run, when the mapper is opened or played while the
//    synthesizer cannot sound. The mapper still takes (and logs) messages.
//  - kDeviceUnavailable when a device cannot be opened (nothing is open
//    afterwards), and once per opening when a port stops taking messages.
//  - kLogUnwritable once, when the log cannot be written.
//  - kSynthBehind when the synthesizer refuses a message, once until it
//    takes one again (a stalled audio output refuses many in a row).
//  - Reports found while the output was being built (deferReport()) are
//    raised at the first open(), when the handler is surely in place.
//
// A message sent while nothing is open goes nowhere and is not logged.
// The synthesizer, ports and log must outlive the router.
//
// Ports that come and go (portsChanged()): a port that appears joins the
// device list at its end, so the numbers of listed devices never change; the
// open port's disappearance is reported once (kDeviceUnavailable), messages
// meanwhile go nowhere unreported, and when a port of its name is back it is
// opened again (kInformation).
class MidiOutputRouter final : public MidiOutput {
public:
    static constexpr const char* kMapperName = "Kelvane General MIDI Synth";
    static constexpr int kMapper = -1;

    MidiOutputRouter(MidiSynth& mapper, MidiPorts& ports, MidiLog* log);

    int deviceCount() const override;
    int selectedDevice() const override;
    void selectDevice(int device) override;
    std::string deviceName() const override;
    int openStatus() const override;
    void open() override;
    void close() override;
    void send(const ShortMessage& message) override;
    bool trySend(const ShortMessage& message) override;
    void setErrorHandler(ErrorHandler handler) override;

    void deferReport(int code, std::string text);

    // The system's ports may have come or gone; on the user-interface thread.
    void portsChanged();

private:
    static constexpr int kNothingOpen = -2;

    void report(int code, const std::string& text);
    void reportSilenceOnce();
    bool transmit(const MidiBytes& message);

    MidiSynth& mapper_;
    MidiPorts& ports_;
    MidiLog* log_;
    std::vector<std::string> portNames_;
    int selected_ = kMapper;
    int open_ = kNothingOpen;
    bool silenceReported_ = false;
    bool portFailureReported_ = false;
    bool openPortLost_ = false;
    bool logFailureReported_ = false;
    bool synthBehindReported_ = false;
    std::vector<std::pair<int, std::string>> deferred_;
    ErrorHandler onError_;
};

} // namespace kelvane::midi
