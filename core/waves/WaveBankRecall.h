#pragma once

namespace kelvane {

// What the function keys F1..F4 ask of the wave banks (bank is 1..4).
class WaveBankRecall {
public:
    virtual ~WaveBankRecall() = default;
    // A bank holds data once it has been stored.
    virtual bool holdsData(int bank) const = 0;
    // Puts the bank's setup back on the switches and slots, and its label's
    // caption on the window.
    virtual void recall(int bank) = 0;
};

// Banks before any has been stored: every one is empty.
class EmptyWaveBanks : public WaveBankRecall {
public:
    bool holdsData(int) const override { return false; }
    void recall(int) override { }
};

} // namespace kelvane
