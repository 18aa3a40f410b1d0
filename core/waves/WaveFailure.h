#pragma once

#include <stdexcept>

namespace kelvane {

// A wave-slot operation that failed at run time: a wave the player cannot
// play, a loop length that overflows. The keyboard and joystick presses catch
// it and empty the slot; every other caller reports it to the performer.
class WaveFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace kelvane
