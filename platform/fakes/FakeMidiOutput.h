#pragma once

#include "fakes/EffectLog.h"
#include "ports/MidiOutput.h"

#include <string>
#include <vector>

namespace kelvane::fakes {

// A MIDI output with a fixed list of devices that records every call.
// Messages are logged as "midi 90 3C 78" (upper-case hex, as on the wire).
class FakeMidiOutput : public MidiOutput {
public:
    explicit FakeMidiOutput(EffectLog& log, std::vector<std::string> ports = {});

    int deviceCount() const override;
    int selectedDevice() const override;
    void selectDevice(int device) override;
    std::string deviceName() const override;
    int openStatus() const override;
    void open() override;
    void close() override;
    void send(const ShortMessage& message) override;
    // Refuses what fitsMidiRange() refuses, logging "midi refused 97 80 64".
    bool trySend(const ShortMessage& message) override;
    void setErrorHandler(ErrorHandler handler) override;

    // Raises the error report as the real output would.
    void reportError(int code, const std::string& text) const;
    int openDevice() const { return openDevice_; }
    // Whether device selections are logged (the setup window selects a device
    // before each name query; most tests only care about open and close).
    void logSelections(bool on) { logSelections_ = on; }

    static std::string format(const ShortMessage& message);

private:
    EffectLog& log_;
    std::vector<std::string> ports_;
    int selected_ = -1;
    int openDevice_ = -2; // -2: nothing open
    bool logSelections_ = true;
    ErrorHandler onError_;
};

} // namespace kelvane::fakes
