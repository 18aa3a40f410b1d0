#include "inputs/HeldKeys.h"

#include <algorithm>

namespace kelvane {

bool HeldKeys::erase(std::vector<int>& codes, int keyCode)
{
    const auto found = std::find(codes.begin(), codes.end(), keyCode);
    if (found == codes.end())
        return false;
    codes.erase(found);
    return true;
}

void HeldKeys::keyDown(int keyCode)
{
    erase(spent_, keyCode);
    // Noted before the press runs: a box the press opens may see the release.
    if (std::find(down_.begin(), down_.end(), keyCode) == down_.end())
        down_.push_back(keyCode);
    keys_.keyDown(keyCode);
}

void HeldKeys::keyUp(int keyCode, bool inMainWindow)
{
    if (erase(spent_, keyCode))
        return; // released already when the focus left
    if (erase(down_, keyCode) || inMainWindow)
        keys_.keyUp(keyCode);
}

void HeldKeys::focusLeftProgram()
{
    // Taken whole first: a release that opens a box may come back here.
    std::vector<int> releasing;
    releasing.swap(down_);
    for (const int keyCode : releasing) {
        if (std::find(spent_.begin(), spent_.end(), keyCode) == spent_.end())
            spent_.push_back(keyCode);
    }
    for (const int keyCode : releasing)
        keys_.keyUp(keyCode);
}

} // namespace kelvane
