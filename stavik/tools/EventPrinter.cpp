#include "EventPrinter.h"

void EventPrinter::buttonDown(int button)
{
    std::fprintf(out_, "ButtonDown %d\n", button);
    std::fflush(out_);
}

void EventPrinter::buttonUp(int button)
{
    std::fprintf(out_, "ButtonUp %d\n", button);
    std::fflush(out_);
}

void EventPrinter::move(int x, int y, int z)
{
    std::fprintf(out_, "Move %d %d %d\n", x, y, z);
    std::fflush(out_);
}
