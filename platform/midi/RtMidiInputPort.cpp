#include "midi/RtMidiInputPort.h"

#include "midi/RtMidiSystem.h"

#include <QObject>

#include <deque>
#include <exception>
#include <iostream>
#include <mutex>
#include <vector>

namespace kelvane::midi {

namespace {

// Far beyond what a performer plays between two turns of the event loop; a
// flood (a runaway controller while the program is stalled) beyond it is
// dropped rather than kept without bound, and said on standard error.
constexpr std::size_t kMostQueued = 1 << 16;

constexpr const char* kPortName = "MIDI In";

bool isData(unsigned char byte) { return byte < 0x80; }

} // namespace

std::optional<MidiInputMessage> playableMessage(const unsigned char* bytes, std::size_t size)
{
    if (size == 0)
        return std::nullopt;
    const int kind = bytes[0] & 0xF0;
    std::size_t expected = 0;
    switch (kind) {
    case midi_in::kNoteOff:
    case midi_in::kNoteOn:
    case midi_in::kControlChange:
        expected = 3;
        break;
    case midi_in::kProgramChange:
        expected = 2;
        break;
    default:
        return std::nullopt;
    }
    if (size != expected || !isData(bytes[1]) || (expected == 3 && !isData(bytes[2])))
        return std::nullopt;
    return MidiInputMessage {bytes[0], bytes[1], expected == 3 ? bytes[2] : 0, {}};
}

struct RtMidiInputPort::Reader {
    Reader(MidiApi api, const std::string& clientName) : in(api, clientName) { }

    MidiInputEvents* events = nullptr;

    // Shared with RtMidi's thread.
    std::mutex mutex;
    std::deque<MidiInputMessage> queue;
    bool accepting = false; // false while no port is open: late messages are dropped
    std::size_t dropped = 0;

    QObject deliveryContext; // on the owning thread; its queued calls die with it
    // Last, so it goes first: its thread has stopped before the rest goes.
    RtMidiClient<RtMidiIn> in;

    // On RtMidi's thread.
    static void onMessage(double, std::vector<unsigned char>* bytes, void* self)
    {
        const auto received = std::chrono::steady_clock::now();
        if (bytes == nullptr)
            return;
        std::optional<MidiInputMessage> message = playableMessage(bytes->data(), bytes->size());
        if (!message)
            return;
        message->received = received;
        auto* reader = static_cast<Reader*>(self);
        {
            const std::lock_guard<std::mutex> lock(reader->mutex);
            if (!reader->accepting)
                return;
            if (reader->queue.size() >= kMostQueued) {
                ++reader->dropped;
                return;
            }
            reader->queue.push_back(*message);
        }
        QMetaObject::invokeMethod(
            &reader->deliveryContext, [reader] { reader->deliverNext(); }, Qt::QueuedConnection);
    }

    // On the owning thread: hands the oldest queued message to the events.
    void deliverNext()
    {
        MidiInputMessage next;
        std::size_t lost = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            if (queue.empty())
                return; // dropped by a close since it was queued
            next = queue.front();
            queue.pop_front();
            std::swap(lost, dropped);
        }
        if (lost > 0)
            std::cerr << "kelvane: " << lost << " MIDI input messages were dropped: the program fell behind\n";
        if (events != nullptr)
            reporting([&] { events->message(next); });
    }

    template <typename Handler> static void reporting(Handler handler)
    {
        try {
            handler();
        } catch (const std::exception& failure) {
            std::cerr << "kelvane: a MIDI input event failed: " << failure.what() << '\n';
        }
    }

    void stopAccepting()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        accepting = false;
        queue.clear();
    }
};

RtMidiInputPort::RtMidiInputPort(MidiApi api, const std::string& clientName) :
    reader_(std::make_unique<Reader>(api, clientName))
{
    if (RtMidiIn* in = reader_->in.get())
        in->setCallback(&Reader::onMessage, reader_.get());
}

RtMidiInputPort::~RtMidiInputPort()
{
    close();
    reader_->in.reset();
}

const std::string& RtMidiInputPort::unavailableReason() const { return reader_->in.unavailable(); }

std::vector<std::string> RtMidiInputPort::portNames() const { return reader_->in.names(); }

bool RtMidiInputPort::open(const std::string& name, std::string& problem)
{
    RtMidiIn* in = reader_->in.get();
    if (in == nullptr) {
        problem = reader_->in.unavailable();
        return false;
    }
    close();
    try {
        if (const std::optional<unsigned> index = reader_->in.indexOf(name)) {
            reader_->in.clearError();
            {
                // Before the port opens: its first message may come at once.
                const std::lock_guard<std::mutex> lock(reader_->mutex);
                reader_->accepting = true;
            }
            in->openPort(*index, kPortName);
            if (in->isPortOpen())
                return true;
            reader_->stopAccepting();
            problem = "the port did not open (" + reader_->in.error() + ")";
            return false;
        }
    } catch (const RtMidiError& error) {
        reader_->stopAccepting();
        problem = error.getMessage();
        return false;
    }
    problem = "it is no longer there";
    return false;
}

void RtMidiInputPort::close()
{
    reader_->stopAccepting();
    RtMidiIn* in = reader_->in.get();
    if (in != nullptr && in->isPortOpen())
        in->closePort();
    // Anything RtMidi's thread queued while the port closed goes too.
    reader_->stopAccepting();
}

void RtMidiInputPort::setEvents(MidiInputEvents* events) { reader_->events = events; }

void RtMidiInputPort::portsChanged()
{
    if (reader_->events != nullptr)
        Reader::reporting([this] { reader_->events->portsChanged(); });
}

} // namespace kelvane::midi
