#pragma once

#include "audio/AudioOutput.h"
#include "midi/MidiApi.h"
#include "ports/MidiInput.h"
#include "ports/MidiOutput.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvane::midi {

struct SystemMidiOptions {
    // --soundfont PATH: the General MIDI soundfont; empty for the system's own.
    std::string soundFont;
    // --midi-log FILE: where every transmitted message is appended; empty for none.
    std::string midiLog;
    // --audio-buffer FRAMES: frames per audio device period.
    int audioBufferFrames = audio::AudioSettings::kDefaultBufferFrames;
    // --audio-driver NAME: SDL's audio driver; empty for SDL's own choice.
    std::string audioDriver;
    // Not options of the program, which plays on the ALSA sequencer: tests
    // and benchmarks use JACK, whose ports are compared every portRescanMs.
    MidiApi api = MidiApi::AlsaSequencer;
    int portRescanMs = 1000;
};

// Picks this layer's options out of the program's arguments (argv[1..]):
// "--soundfont PATH", "--midi-log FILE", "--audio-buffer FRAMES",
// "--audio-driver NAME" (one of AudioOutput::availableDrivers()), each also as
// "--name=value". Other arguments are left for the rest of the program. A bad
// or missing value leaves the default in place and adds a sentence to `problems`.
SystemMidiOptions parseSystemMidiOptions(const std::vector<std::string>& arguments, std::vector<std::string>& problems);

// The soundfont to load: the override when given (even if it is missing, so
// that the user hears of it), else the first that `exists` of
// kDefaultSoundFontNames in installedShareFolder's sounds/sf2 (when given),
// then of kDefaultSoundFonts, else empty.
inline constexpr const char* kDefaultSoundFontNames[] = {"default-GM.sf2", "TimGM6mb.sf2"};
inline constexpr const char* kDefaultSoundFonts[]
    = {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"};
std::string chooseSoundFont(const std::string& override, const std::function<bool(const std::string&)>& exists,
    const std::string& installedShareFolder = {});

// The MIDI and audio side of the program, built once by main() on the
// user-interface thread: the sound device, the built-in synthesizer (its
// soundfont loading in the background), the ALSA sequencer's ports as client
// "Kelvane", the MIDI log and the output that routes between them, the MIDI
// input, and the watch that has both follow ports that come and go.
//
// Construction never fails and never waits for the soundfont. A missing sound
// device, soundfont or log file is told to the user through output()'s error
// report when the output is first opened or played; a missing sequencer just
// leaves the mapper as the only device.
class SystemMidi {
public:
    static constexpr const char* kClientName = "Kelvane";

    // installedShareFolder: the share folder of the installation the program
    // runs from (PREFIX/share/), found from the program's own folder; its
    // sounds/sf2 is searched for a soundfont before the system's (see
    // chooseSoundFont). Empty: only the system's.
    explicit SystemMidi(const SystemMidiOptions& options, const std::string& installedShareFolder = {});
    ~SystemMidi();
    SystemMidi(const SystemMidi&) = delete;
    SystemMidi& operator=(const SystemMidi&) = delete;

    MidiOutput& output();
    // The controller input; its messages and news arrive on the thread that built this.
    MidiInput& input();
    // The sound device that the wave slots share; null when there is none.
    audio::AudioOutput* audioOutput();
    // Why there is no sound device, as SDL said it; empty when there is one.
    const std::string& audioProblem() const;
    // Blocks until the soundfont has loaded or failed; true when it loaded.
    bool waitForSoundFont();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace kelvane::midi
