#pragma once

#include "fakes/ForwardingMidiOutput.h"

#include <string>
#include <utility>
#include <vector>

namespace kelvane::bench {

// The output between the program and the real router, keeping a copy of every
// report that is not informational so that a benchmark can print what went
// wrong during its run. The router keeps a single handler, so the copy is
// taken inside the one the program installs, which still gets every report.
class ReportRecordingOutput final : public fakes::ForwardingMidiOutput {
public:
    using ForwardingMidiOutput::ForwardingMidiOutput;

    void setErrorHandler(ErrorHandler handler) override
    {
        // No handler stays no handler: the router keeps what it finds while
        // nobody listens and reports it once somebody does.
        if (!handler) {
            inner().setErrorHandler(nullptr);
            return;
        }
        inner().setErrorHandler([this, handler = std::move(handler)](int code, const std::string& text) {
            if (code != midi_error::kNone && code != midi_error::kInformation)
                reports.push_back(text);
            handler(code, text);
        });
    }

    std::vector<std::string> reports;
};

} // namespace kelvane::bench
