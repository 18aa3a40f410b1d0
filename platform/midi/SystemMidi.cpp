#include "midi/SystemMidi.h"

#include "midi/MidiLog.h"
#include "midi/MidiOutputRouter.h"
#include "midi/MidiPortWatch.h"
#include "midi/RtMidiInputPort.h"
#include "midi/RtMidiOutputPorts.h"
#include "midi/SoundFontSynth.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

namespace kelvane::midi {

namespace {

struct NamedOption {
    const char* name;
    std::string SystemMidiOptions::*text; // null for --audio-buffer
};

constexpr NamedOption kOptions[]
    = {{"--soundfont", &SystemMidiOptions::soundFont}, {"--midi-log", &SystemMidiOptions::midiLog},
        {"--audio-buffer", nullptr}, {"--audio-driver", &SystemMidiOptions::audioDriver}};

// One of the drivers this SDL offers, named as SDL names them.
bool knownDriver(const std::string& name, std::string& known)
{
    const std::vector<std::string> drivers = audio::AudioOutput::availableDrivers();
    for (const std::string& driver : drivers)
        known += (known.empty() ? "" : ", ") + driver;
    return std::find(drivers.begin(), drivers.end(), name) != drivers.end();
}

bool setOption(
    SystemMidiOptions& options, const NamedOption& option, const std::string& value, std::vector<std::string>& problems)
{
    if (option.text == &SystemMidiOptions::audioDriver) {
        std::string known;
        if (!knownDriver(value, known)) {
            problems.push_back(
                std::string(option.name) + " needs one of the audio drivers " + known + ", not \"" + value + "\".");
            return false;
        }
    }
    if (option.text) {
        if (value.empty()) {
            problems.push_back(std::string(option.name) + " needs a file name.");
            return false;
        }
        options.*option.text = value;
        return true;
    }
    int frames = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, frames);
    if (error != std::errc() || stop != end || frames < audio::AudioSettings::kMinBufferFrames
        || frames > audio::AudioSettings::kMaxBufferFrames) {
        problems.push_back(std::string(option.name) + " needs a number of frames from "
            + std::to_string(audio::AudioSettings::kMinBufferFrames) + " to "
            + std::to_string(audio::AudioSettings::kMaxBufferFrames) + ", not \"" + value + "\".");
        return false;
    }
    options.audioBufferFrames = frames;
    return true;
}

} // namespace

SystemMidiOptions parseSystemMidiOptions(const std::vector<std::string>& arguments, std::vector<std::string>& problems)
{
    SystemMidiOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        for (const NamedOption& option : kOptions) {
            const std::string name = option.name;
            if (argument == name) {
                if (i + 1 < arguments.size())
                    setOption(options, option, arguments[++i], problems);
                else
                    problems.push_back(name + " needs a value.");
            } else if (argument.starts_with(name + "=")) {
                setOption(options, option, argument.substr(name.size() + 1), problems);
            }
        }
    }
    return options;
}

std::string chooseSoundFont(const std::string& override, const std::function<bool(const std::string&)>& exists,
    const std::string& installedShareFolder)
{
    if (!override.empty())
        return override;
    if (!installedShareFolder.empty()) {
        const std::filesystem::path folder = std::filesystem::path(installedShareFolder) / "sounds" / "sf2";
        for (const char* name : kDefaultSoundFontNames) {
            const std::string path = (folder / name).lexically_normal().string();
            if (exists(path))
                return path;
        }
    }
    for (const char* path : kDefaultSoundFonts)
        if (exists(path))
            return path;
    return {};
}

struct SystemMidi::Parts {
    explicit Parts(MidiApi api) : ports(api, kClientName), input(api, kClientName) { }

    // Destroyed bottom-up: the watch and the router first, the hook before
    // the synthesizer it renders, the sound device last.
    std::unique_ptr<audio::AudioOutput> audio;
    std::string audioProblem;
    std::unique_ptr<MidiLog> log;
    RtMidiOutputPorts ports;
    RtMidiInputPort input;
    std::unique_ptr<SoundFontSynth> soundFont;
    std::unique_ptr<SilentSynth> silent;
    audio::AudioOutput::Attachment hook;
    std::unique_ptr<MidiOutputRouter> router;
    std::unique_ptr<MidiPortWatch> watch;
};

SystemMidi::SystemMidi(const SystemMidiOptions& options, const std::string& installedShareFolder) :
    parts_(std::make_unique<Parts>(options.api))
{
    Parts& parts = *parts_;
    audio::AudioSettings audioSettings;
    audioSettings.bufferFrames = options.audioBufferFrames;
    audioSettings.driver = options.audioDriver;
    parts.audio = audio::AudioOutput::open(audioSettings, parts.audioProblem);

    MidiSynth* mapper = nullptr;
    if (parts.audio) {
        SoundFontSettings synthSettings;
        synthSettings.path = chooseSoundFont(
            options.soundFont,
            [](const std::string& path) {
                std::error_code ignored;
                return std::filesystem::exists(path, ignored);
            },
            installedShareFolder);
        synthSettings.sampleRate = parts.audio->sampleRate();
        parts.soundFont = std::make_unique<SoundFontSynth>(std::move(synthSettings));
        parts.hook = parts.audio->attach(*parts.soundFont);
        mapper = parts.soundFont.get();
    } else {
        parts.silent = std::make_unique<SilentSynth>(parts.audioProblem);
        mapper = parts.silent.get();
    }

    std::string logProblem;
    if (!options.midiLog.empty())
        parts.log = MidiLog::open(options.midiLog, MidiLog::startingNow(), logProblem);

    parts.router = std::make_unique<MidiOutputRouter>(*mapper, parts.ports, parts.log.get());
    if (!logProblem.empty())
        parts.router->deferReport(output_error::kLogUnwritable, logProblem);

    // Without the MIDI system there are no ports to follow.
    if (!parts.ports.unavailableReason().empty() && !parts.input.unavailableReason().empty())
        return;
    parts.watch = std::make_unique<MidiPortWatch>(
        options.api, options.portRescanMs,
        [&parts] {
            std::vector<std::string> names = parts.ports.names();
            const std::vector<std::string> inputs = parts.input.portNames();
            names.insert(names.end(), inputs.begin(), inputs.end());
            return names;
        },
        [&parts] {
            parts.router->portsChanged();
            parts.input.portsChanged();
        });
}

SystemMidi::~SystemMidi() = default;

MidiOutput& SystemMidi::output() { return *parts_->router; }

MidiInput& SystemMidi::input() { return parts_->input; }

audio::AudioOutput* SystemMidi::audioOutput() { return parts_->audio.get(); }

const std::string& SystemMidi::audioProblem() const { return parts_->audioProblem; }

bool SystemMidi::waitForSoundFont() { return parts_->soundFont && parts_->soundFont->waitUntilLoaded(); }

} // namespace kelvane::midi
