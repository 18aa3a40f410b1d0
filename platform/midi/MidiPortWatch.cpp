#include "midi/MidiPortWatch.h"

#include <QObject>
#include <QTimer>

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <exception>
#include <iostream>
#include <thread>
#include <vector>

namespace kelvane::midi {

namespace {

constexpr const char* kNoSequencer = "no ALSA sequencer";

bool announcesPorts(int type)
{
    switch (type) {
    case SND_SEQ_EVENT_CLIENT_START:
    case SND_SEQ_EVENT_CLIENT_EXIT:
    case SND_SEQ_EVENT_CLIENT_CHANGE:
    case SND_SEQ_EVENT_PORT_START:
    case SND_SEQ_EVENT_PORT_EXIT:
    case SND_SEQ_EVENT_PORT_CHANGE:
        return true;
    default:
        return false;
    }
}

void tellReporting(const std::function<void()>& changed)
{
    try {
        changed();
    } catch (const std::exception& failure) {
        std::cerr << "kelvane: following the MIDI ports failed: " << failure.what() << '\n';
    }
}

} // namespace

// The sequencer's announcement port (client 0, port 1), read on a thread of
// its own that blocks in poll() until an announcement or the stop signal.
struct MidiPortWatch::Announcements {
    std::function<void()> changed;
    snd_seq_t* seq = nullptr;
    int stopFd = -1;
    std::atomic<bool> pending {false};
    QObject deliveryContext; // on the owning thread; its queued calls die with it
    std::thread thread;

    // Empty when it watches, else why not.
    std::string start()
    {
        if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) {
            seq = nullptr;
            return kNoSequencer;
        }
        snd_seq_set_client_name(seq, "Kelvane port watch");
        const int port = snd_seq_create_simple_port(
            seq, "announcements", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT, SND_SEQ_PORT_TYPE_APPLICATION);
        if (port < 0 || snd_seq_connect_from(seq, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0)
            return "the sequencer's announcements cannot be read";
        stopFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (stopFd < 0)
            return "no event descriptor";
        thread = std::thread([this] { run(); });
        return {};
    }

    ~Announcements()
    {
        if (thread.joinable()) {
            const std::uint64_t one = 1;
            if (::write(stopFd, &one, sizeof one) != static_cast<ssize_t>(sizeof one))
                std::cerr << "kelvane: the MIDI port watch could not be stopped cleanly\n";
            thread.join();
        }
        if (stopFd >= 0)
            ::close(stopFd);
        if (seq != nullptr)
            snd_seq_close(seq);
    }

    void run()
    {
        const int count = snd_seq_poll_descriptors_count(seq, POLLIN);
        std::vector<pollfd> fds(static_cast<std::size_t>(count) + 1);
        fds[0] = pollfd {stopFd, POLLIN, 0};
        snd_seq_poll_descriptors(seq, fds.data() + 1, static_cast<unsigned>(count), POLLIN);
        for (;;) {
            if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
                return;
            if (fds[0].revents != 0)
                return;
            bool moved = false;
            snd_seq_event_t* event = nullptr;
            for (;;) {
                const int got = snd_seq_event_input(seq, &event);
                if (got == -ENOSPC) {
                    moved = true; // announcements were lost: look again anyway
                    continue;
                }
                if (got < 0)
                    break;
                moved = moved || (event != nullptr && announcesPorts(event->type));
            }
            if (moved && !pending.exchange(true)) {
                QMetaObject::invokeMethod(
                    &deliveryContext,
                    [this] {
                        pending = false;
                        tellReporting(changed);
                    },
                    Qt::QueuedConnection);
            }
        }
    }
};

// Compares the port lists now and then, on the owning thread.
struct MidiPortWatch::Rescan {
    Rescan(int intervalMs, std::function<std::vector<std::string>()> list, std::function<void()> told) :
        listPorts(std::move(list)), changed(std::move(told)), last(listPorts())
    {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            std::vector<std::string> now = listPorts();
            if (now == last)
                return;
            last = std::move(now);
            // Told from a call of its own, not from the timer's: a box that
            // the news opens runs a nested loop, in which Qt fires no timer
            // whose handler is still running, and this one must go on.
            QMetaObject::invokeMethod(
                &timer, [this] { tellReporting(changed); }, Qt::QueuedConnection);
        });
        timer.start(intervalMs);
    }

    std::function<std::vector<std::string>()> listPorts;
    std::function<void()> changed;
    std::vector<std::string> last;
    QTimer timer;
};

MidiPortWatch::MidiPortWatch(
    MidiApi api, int rescanMs, std::function<std::vector<std::string>()> listPorts, std::function<void()> changed)
{
    if (api == MidiApi::Jack) {
        rescan_ = std::make_unique<Rescan>(rescanMs, std::move(listPorts), std::move(changed));
        how_ = "a rescan every " + std::to_string(rescanMs) + " ms";
        return;
    }
    announcements_ = std::make_unique<Announcements>();
    announcements_->changed = changed;
    const std::string why = announcements_->start();
    if (why.empty()) {
        how_ = "sequencer announcements";
        return;
    }
    announcements_.reset();
    if (why == kNoSequencer) {
        how_ = "not watched: no ALSA sequencer";
        return;
    }
    rescan_ = std::make_unique<Rescan>(rescanMs, std::move(listPorts), std::move(changed));
    how_ = "a rescan every " + std::to_string(rescanMs) + " ms (" + why + ")";
}

MidiPortWatch::~MidiPortWatch() = default;

const std::string& MidiPortWatch::how() const { return how_; }

} // namespace kelvane::midi
