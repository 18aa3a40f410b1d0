#pragma once

#include "ports/MidiOutput.h"

#include <string>
#include <utility>

namespace kelvane::fakes {

// An output that hands every call to another, so that a wrapper that watches
// one call (a benchmark's stamp, its record of reports) overrides that call
// alone.
class ForwardingMidiOutput : public MidiOutput {
public:
    explicit ForwardingMidiOutput(MidiOutput& inner) : inner_(inner) { }

    int deviceCount() const override { return inner_.deviceCount(); }
    int selectedDevice() const override { return inner_.selectedDevice(); }
    void selectDevice(int device) override { inner_.selectDevice(device); }
    std::string deviceName() const override { return inner_.deviceName(); }
    int openStatus() const override { return inner_.openStatus(); }
    void open() override { inner_.open(); }
    void close() override { inner_.close(); }
    void send(const ShortMessage& message) override { inner_.send(message); }
    bool trySend(const ShortMessage& message) override { return inner_.trySend(message); }
    void setErrorHandler(ErrorHandler handler) override { inner_.setErrorHandler(std::move(handler)); }

protected:
    MidiOutput& inner() { return inner_; }

private:
    MidiOutput& inner_;
};

} // namespace kelvane::fakes
