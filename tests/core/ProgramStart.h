#pragma once

#include "Kelvane.h"

namespace kelvane::testing {

// The program's start as main() runs it, without the views: the assembly's
// start, then the main window's load and its first activation.
inline void startWithoutViews(Kelvane& kelvane)
{
    kelvane.start();
    kelvane.mainForm().load();
    kelvane.mainForm().activate();
}

} // namespace kelvane::testing
