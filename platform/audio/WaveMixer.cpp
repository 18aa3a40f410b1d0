#include "audio/WaveMixer.h"

namespace kelvane::audio {

std::optional<WaveMixer::Ticket> WaveMixer::start(std::shared_ptr<const WaveDecoding> wave, bool looping, Gains gains)
{
    // A voice is free once the audio thread has ended its last start; only
    // then is its sound let go, here on this thread.
    for (std::size_t voice = 0; voice < kVoices; ++voice) {
        Claim& claim = claims_[voice];
        if (shared_[voice].ended.load(std::memory_order_acquire) != claim.start)
            continue;
        Shared& shared = shared_[voice];
        shared.left.store(gains.left, std::memory_order_relaxed);
        shared.right.store(gains.right, std::memory_order_relaxed);
        const Message message {Request::Start, voice, claim.start + 1, wave.get(), looping, stampNow()};
        if (!queue_.push(message))
            return std::nullopt;
        claim.start = message.start;
        claim.wave = std::move(wave);
        wakeOutput();
        return Ticket {voice, message.start};
    }
    return std::nullopt;
}

void WaveMixer::send(const Message& message)
{
    if (queue_.push(message)) {
        wakeOutput();
        return;
    }
    // The audio thread has stalled and its queue is full: a stop must not
    // be lost, so it is left where the next period finds it.
    if (message.request == Request::StopAll)
        stopAllAsked_.store(true, std::memory_order_release);
    else
        shared_[message.voice].stopAsked.store(message.start, std::memory_order_release);
}

void WaveMixer::stop(const Ticket& ticket)
{
    if (sounding(ticket))
        send(Message {Request::Stop, ticket.voice, ticket.start, nullptr, false, stampNow()});
}

void WaveMixer::stopAll() { send(Message {Request::StopAll, 0, 0, nullptr, false, stampNow()}); }

void WaveMixer::setGains(const Ticket& ticket, Gains gains)
{
    if (!sounding(ticket))
        return;
    shared_[ticket.voice].left.store(gains.left, std::memory_order_relaxed);
    shared_[ticket.voice].right.store(gains.right, std::memory_order_relaxed);
}

bool WaveMixer::sounding(const Ticket& ticket) const
{
    return ticket.voice < kVoices && claims_[ticket.voice].start == ticket.start
        && shared_[ticket.voice].ended.load(std::memory_order_acquire) < ticket.start;
}

bool WaveMixer::idle() const noexcept
{
    return activeVoices_ == 0 && queue_.size() == 0 && !stopAllAsked_.load(std::memory_order_acquire);
}

void WaveMixer::render(std::int16_t* mix, const AudioPeriod& period) noexcept
{
    if (idle())
        return;
    if (stopAllAsked_.exchange(false, std::memory_order_acq_rel))
        apply(Message {Request::StopAll});
    for (std::size_t voice = 0; voice < kVoices && activeVoices_ > 0; ++voice) {
        const std::uint64_t asked = shared_[voice].stopAsked.load(std::memory_order_acquire);
        if (asked != 0 && asked == playing_[voice].start)
            apply(Message {Request::Stop, voice, asked});
    }
    int done = 0;
    queue_.drain([&](const Message& message) noexcept {
        const int at = period.frameFor(message.stamp);
        if (at > done) {
            mixVoices(mix, done, at);
            done = at;
        }
        apply(message);
    });
    mixVoices(mix, done, period.frames);
}

void WaveMixer::apply(const Message& message) noexcept
{
    switch (message.request) {
    case Request::Start: {
        Playing& voice = playing_[message.voice];
        if (voice.active)
            end(message.voice);
        voice = Playing {message.wave, message.start, 0, true, message.looping};
        ++activeVoices_;
        break;
    }
    case Request::Stop:
        if (playing_[message.voice].active && playing_[message.voice].start == message.start)
            end(message.voice);
        break;
    case Request::StopAll:
        for (std::size_t voice = 0; voice < kVoices && activeVoices_ > 0; ++voice)
            if (playing_[voice].active)
                end(voice);
        break;
    }
}

void WaveMixer::end(std::size_t voice) noexcept
{
    Playing& playing = playing_[voice];
    playing.active = false;
    --activeVoices_;
    shared_[voice].ended.store(playing.start, std::memory_order_release);
}

void WaveMixer::mixVoices(std::int16_t* mix, int from, int to) noexcept
{
    for (std::size_t voice = 0; voice < kVoices && activeVoices_ > 0; ++voice)
        if (playing_[voice].active)
            mixVoice(voice, mix, from, to);
}

void WaveMixer::mixVoice(std::size_t voice, std::int16_t* mix, int from, int to) noexcept
{
    Playing& playing = playing_[voice];
    switch (playing.wave->state()) {
    case WaveDecoding::State::Decoding:
        return; // starts from its beginning once decoded
    case WaveDecoding::State::Failed:
        end(voice);
        return;
    case WaveDecoding::State::Decoded:
        break;
    }
    const DecodedWave& wave = playing.wave->wave();
    const float left = shared_[voice].left.load(std::memory_order_relaxed);
    const float right = shared_[voice].right.load(std::memory_order_relaxed);
    for (int frame = from; frame < to; ++frame) {
        if (playing.position >= wave.frames) {
            if (!playing.looping)
                break;
            playing.position = 0;
        }
        const std::int16_t* sample = wave.samples + 2 * playing.position;
        mix[2 * frame] = mixSample(mix[2 * frame], static_cast<float>(sample[0]) * left);
        mix[2 * frame + 1] = mixSample(mix[2 * frame + 1], static_cast<float>(sample[1]) * right);
        ++playing.position;
    }
    // A single play that has reached its end is over now, not a period later.
    if (!playing.looping && playing.position >= wave.frames)
        end(voice);
}

} // namespace kelvane::audio
