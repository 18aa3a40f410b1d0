// The benchmarks' report-keeping output between the program and its MIDI
// output: every report still reaches the program's own handler.
#include "Kelvane.h"
#include "ReportRecordingOutput.h"
#include "fakes/FakePorts.h"

#include <gtest/gtest.h>

namespace kelvane::bench {
namespace {

using Lines = std::vector<std::string>;

// The program built on the pass-through, as the press benchmarks build it.
struct ReportRig : fakes::FakePorts {
    ReportRecordingOutput output {midi};
    Kelvane kelvane {KelvanePorts {output, midiInput, waves, stavik1, stavik2, dialogs, pause, environment, keys,
        preferencesStore, midiInputStore, files}};
};

TEST(ReportRecordingOutput, AFailureIsKeptAndStillToldToTheUser)
{
    ReportRig rig;
    rig.midi.reportError(midi_error::kDeviceUnavailable, "Port A cannot be opened.");
    rig.midi.reportError(midi_error::kInformation, "Port A is back.");
    EXPECT_EQ(rig.output.reports, Lines {"Port A cannot be opened."});
    EXPECT_EQ(rig.log.startingWith("message "), Lines {"message Port A cannot be opened."});
}

TEST(ReportRecordingOutput, PassesEveryReportOnAndLeavesNoHandlerAsNone)
{
    fakes::EffectLog log;
    fakes::FakeMidiOutput inner(log);
    ReportRecordingOutput output(inner);
    std::vector<int> codes;
    output.setErrorHandler([&codes](int code, const std::string&) { codes.push_back(code); });
    inner.reportError(midi_error::kNone, "nothing");
    inner.reportError(midi_error::kInformation, "opened again");
    inner.reportError(midi_error::kMessageRefused, "refused");
    EXPECT_EQ(codes, (std::vector<int> {midi_error::kNone, midi_error::kInformation, midi_error::kMessageRefused}));
    EXPECT_EQ(output.reports, Lines {"refused"});

    // The router keeps what it finds while nobody listens: nobody must stay nobody.
    output.setErrorHandler(nullptr);
    inner.reportError(midi_error::kNoSound, "silent");
    EXPECT_EQ(output.reports, Lines {"refused"});
    EXPECT_EQ(codes.size(), 3U);
}

} // namespace
} // namespace kelvane::bench
