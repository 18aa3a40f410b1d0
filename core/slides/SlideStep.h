#pragma once

namespace kelvane {

// The first step of every wave slot's play-press: in slide-control mode it
// types the switch's next- or previous-slide key into the focused application.
// switchNumber is 1..8.
class SlideStep {
public:
    virtual ~SlideStep() = default;
    virtual void send(int switchNumber) = 0;
};

// Slide control switched off: the step sends nothing.
class NoSlideStep : public SlideStep {
public:
    void send(int) override { }
};

} // namespace kelvane
