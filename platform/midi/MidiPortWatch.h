#pragma once

#include "midi/MidiApi.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvane::midi {

// Tells the user-interface thread when the system's MIDI ports may have come
// or gone, so that lists follow and lost ports are taken back.
//
// On the ALSA sequencer it subscribes to the sequencer's announcements and
// waits for them on a thread of its own, which sleeps until one comes: no
// wake-ups while nothing changes. JACK gives RtMidi no such news, so there it
// compares listPorts() every rescanMs on the user-interface thread. Without
// the system (no sequencer) there is nothing to watch and nothing runs.
//
// changed() runs on the thread that built the watch, within its event loop;
// announcements that come together are told once. Build and destroy the
// watch on that thread.
class MidiPortWatch {
public:
    MidiPortWatch(
        MidiApi api, int rescanMs, std::function<std::vector<std::string>()> listPorts, std::function<void()> changed);
    ~MidiPortWatch();
    MidiPortWatch(const MidiPortWatch&) = delete;
    MidiPortWatch& operator=(const MidiPortWatch&) = delete;

    // How it watches ("sequencer announcements", "a rescan every N ms"), or
    // why it does not.
    const std::string& how() const;

private:
    struct Announcements;
    struct Rescan;
    std::string how_;
    std::unique_ptr<Announcements> announcements_;
    std::unique_ptr<Rescan> rescan_;
};

} // namespace kelvane::midi
