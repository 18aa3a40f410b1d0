#pragma once

#include "stavik/host/StavikControl.h"

#include <cstdio>

// Prints each event of the control on its own line ("ButtonDown 1",
// "ButtonUp 1", "Move 0 65535 32767") and flushes, so a pipe sees it at once.
class EventPrinter final : public stavik::host::ControlEvents {
public:
    explicit EventPrinter(std::FILE* out) : out_(out) { }

    void buttonDown(int button) override;
    void buttonUp(int button) override;
    void move(int x, int y, int z) override;

private:
    std::FILE* out_;
};
