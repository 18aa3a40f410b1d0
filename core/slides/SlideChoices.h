#pragma once

namespace kelvane {

// The three slide choices of one switch as its option buttons stand:
// "Next", "Previous", "Off". Normally exactly one is selected.
struct SlideOptions {
    bool next = false;
    bool previous = false;
    bool off = false;
};

// Where the live per-switch slide choices are kept (the preferences window).
class SlideChoices {
public:
    virtual ~SlideChoices() = default;
    // switchNumber is 1..8. May load the preferences first.
    virtual SlideOptions slideOptions(int switchNumber) = 0;
};

} // namespace kelvane
