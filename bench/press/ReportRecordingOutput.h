#pragma once

#include "ports/MidiOutput.h"

#include <string>
#include <utility>
#include <vector>

namespace kelvane::bench {

// The output between the program and the real router, keeping a copy of every
// report that is not informational so that a benchmark can print what went
// wrong during its run. The router keeps a single handler, so the copy is
// taken inside the one the program installs, which still gets every report.
class ReportRecordingOutput final : public MidiOutput {
public:
    explicit ReportRecordingOutput(MidiOutput& inner) : inner_(inner) { }

    int deviceCount() const override { return inner_.deviceCount(); }
    int selectedDevice() const override { return inner_.selectedDevice(); }
    void selectDevice(int device) override { inner_.selectDevice(device); }
    std::string deviceName() const override { return inner_.deviceName(); }
    int openStatus() const override { return inner_.openStatus(); }
    void open() override { inner_.open(); }
    void close() override { inner_.close(); }
    void send(const ShortMessage& message) override { inner_.send(message); }
    bool trySend(const ShortMessage& message) override { return inner_.trySend(message); }
    void setErrorHandler(ErrorHandler handler) override
    {
        // No handler stays no handler: the router keeps what it finds while
        // nobody listens and reports it once somebody does.
        if (!handler) {
            inner_.setErrorHandler(nullptr);
            return;
        }
        inner_.setErrorHandler([this, handler = std::move(handler)](int code, const std::string& text) {
            if (code != midi_error::kNone && code != midi_error::kInformation)
                reports.push_back(text);
            handler(code, text);
        });
    }

    std::vector<std::string> reports;

private:
    MidiOutput& inner_;
};

} // namespace kelvane::bench
