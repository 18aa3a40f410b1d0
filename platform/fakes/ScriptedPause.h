#pragma once

#include "fakes/EffectLog.h"
#include "ports/Pause.h"

#include <deque>
#include <functional>
#include <map>
#include <string>

namespace kelvane::fakes {

// Pauses that return at once, record "pause N" / "pause+events N", and stand
// in for the event loop: each waitThenHandleEvents() runs the events a test
// posted, so handlers run nested inside the caller as they would between the
// steps of a real fade.
//
// Events are either posted for the next call (post) or scripted for the
// call with a given number (at, counting from 1). Each call first runs what
// is scripted for its number, then every posted event, oldest first; an event
// posted while they run waits for the next call, as with a real event loop.
class ScriptedPause : public Pause {
public:
    explicit ScriptedPause(EffectLog& log) : log_(log) { }

    void wait(int ms) override { log_.add("pause " + std::to_string(ms)); }

    void waitThenHandleEvents(int ms) override
    {
        log_.add("pause+events " + std::to_string(ms));
        const int number = ++calls_;
        if (auto scripted = script_.find(number); scripted != script_.end()) {
            auto event = std::move(scripted->second);
            script_.erase(scripted);
            event();
        }
        std::deque<std::function<void()>> due;
        due.swap(posted_);
        for (auto& event : due)
            event();
    }

    void post(std::function<void()> event) { posted_.push_back(std::move(event)); }
    void at(int call, std::function<void()> event) { script_[call] = std::move(event); }
    int calls() const { return calls_; }

private:
    EffectLog& log_;
    int calls_ = 0;
    std::map<int, std::function<void()>> script_;
    std::deque<std::function<void()>> posted_;
};

} // namespace kelvane::fakes
