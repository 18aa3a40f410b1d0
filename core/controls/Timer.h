#pragma once

#include "controls/Control.h"

#include <functional>

namespace kelvane {

// A window timer. The view layer runs it on the event loop while it is enabled
// (using Control::enabled); tests fire it by hand with tick().
class Timer : public Control {
public:
    Timer(std::string name, int intervalMs, bool enabled) : Control(std::move(name)), intervalMs_(intervalMs)
    {
        setEnabled(enabled);
    }

    int intervalMs() const { return intervalMs_; }

    void onTimer(std::function<void()> handler) { onTimer_ = std::move(handler); }

    // One expiry of the interval. A disabled timer does not fire.
    void tick() const
    {
        if (enabled() && onTimer_)
            onTimer_();
    }

private:
    int intervalMs_;
    std::function<void()> onTimer_;
};

} // namespace kelvane
