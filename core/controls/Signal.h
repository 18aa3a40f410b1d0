#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace kelvane {

// A synchronous notification list. Views subscribe to redraw a widget when a
// control changes; every slot runs before emit() returns, in subscription order.
// Slots must not subscribe or unsubscribe from inside a notification.
template <typename... Args> class Signal {
public:
    using Slot = std::function<void(Args...)>;

    // Returns a token for disconnect(); tokens are never reused.
    int connect(Slot slot)
    {
        slots_.push_back({nextToken_, std::move(slot)});
        return nextToken_++;
    }

    void disconnect(int token)
    {
        std::erase_if(slots_, [token](const Entry& e) { return e.token == token; });
    }

    void emit(Args... args) const
    {
        for (const Entry& e : slots_)
            e.slot(args...);
    }

private:
    struct Entry {
        int token;
        Slot slot;
    };
    std::vector<Entry> slots_;
    int nextToken_ = 1;
};

} // namespace kelvane
