#include "fakes/FakeMidiOutput.h"

#include <cstdio>

namespace kelvane::fakes {

FakeMidiOutput::FakeMidiOutput(EffectLog& log, std::vector<std::string> ports) : log_(log), ports_(std::move(ports)) { }

int FakeMidiOutput::deviceCount() const { return static_cast<int>(ports_.size()); }

int FakeMidiOutput::selectedDevice() const { return selected_; }

void FakeMidiOutput::selectDevice(int device)
{
    selected_ = device;
    if (logSelections_)
        log_.add("midi select " + std::to_string(device));
}

std::string FakeMidiOutput::deviceName() const
{
    if (selected_ == -1)
        return "Kelvane General MIDI Synth";
    if (selected_ >= 0 && selected_ < deviceCount())
        return ports_[static_cast<std::size_t>(selected_)];
    return {};
}

int FakeMidiOutput::openStatus() const { return openDevice_ == -2 ? 0 : 1; }

void FakeMidiOutput::open()
{
    openDevice_ = selected_;
    log_.add("midi open " + std::to_string(selected_));
}

void FakeMidiOutput::close()
{
    openDevice_ = -2;
    log_.add("midi close");
}

void FakeMidiOutput::send(const ShortMessage& message) { log_.add("midi " + format(message)); }

bool FakeMidiOutput::trySend(const ShortMessage& message)
{
    if (!fitsMidiRange(message)) {
        log_.add("midi refused " + format(message));
        return false;
    }
    send(message);
    return true;
}

void FakeMidiOutput::setErrorHandler(ErrorHandler handler) { onError_ = std::move(handler); }

void FakeMidiOutput::reportError(int code, const std::string& text) const
{
    if (onError_)
        onError_(code, text);
}

std::string FakeMidiOutput::format(const ShortMessage& message)
{
    char text[16];
    if (message.data2)
        std::snprintf(text, sizeof text, "%02X %02X %02X", message.status & 0xFFFF, message.data1 & 0xFFFF,
            *message.data2 & 0xFFFF);
    else
        std::snprintf(text, sizeof text, "%02X %02X", message.status & 0xFFFF, message.data1 & 0xFFFF);
    return text;
}

} // namespace kelvane::fakes
