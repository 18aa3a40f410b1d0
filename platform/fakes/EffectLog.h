#pragma once

#include <string>
#include <vector>

namespace kelvane::fakes {

// The ordered record of everything the fakes were asked to do. Several fakes
// share one log so a test can compare a whole cascade across ports in one
// assertion: "midi 90 3C 78", "wave StopAllBuffers", "pause 70", ...
class EffectLog {
public:
    void add(std::string entry) { entries_.push_back(std::move(entry)); }
    const std::vector<std::string>& entries() const { return entries_; }
    void clear() { entries_.clear(); }

    // Only the entries that start with prefix, in order.
    std::vector<std::string> startingWith(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const auto& e : entries_)
            if (e.rfind(prefix, 0) == 0)
                out.push_back(e);
        return out;
    }

private:
    std::vector<std::string> entries_;
};

} // namespace kelvane::fakes
