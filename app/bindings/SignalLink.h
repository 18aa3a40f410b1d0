#pragma once

#include "controls/Signal.h"

#include <functional>

namespace kelvane::views {

// Keeps one slot connected to a signal for the link's lifetime. The signal's
// owner must outlive the link.
class SignalLink {
public:
    SignalLink(Signal<>& signal, std::function<void()> slot) : signal_(signal), token_(signal.connect(std::move(slot)))
    {
    }
    ~SignalLink() { signal_.disconnect(token_); }
    SignalLink(const SignalLink&) = delete;
    SignalLink& operator=(const SignalLink&) = delete;

private:
    Signal<>& signal_;
    int token_;
};

} // namespace kelvane::views
