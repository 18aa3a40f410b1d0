#pragma once

#include "controls/MenuItem.h"

#include <string>

namespace kelvane {

// The main window's menu bar: every menu and item with its caption, shortcut
// and order. The main form gives the items their commands.
class MainMenu {
public:
    MainMenu();

    // The top-level menus, left to right.
    const MenuItem& bar() const { return bar_; }

    // The item with this name; the name must exist.
    MenuItem& item(const std::string& name);

    // Every item, depth first, for the form's control list.
    template <typename Visit> void forEach(Visit visit) { forEachIn(bar_, visit); }

private:
    template <typename Visit> static void forEachIn(MenuItem& menu, Visit& visit)
    {
        for (auto& child : menu.children()) {
            visit(*child);
            forEachIn(*child, visit);
        }
    }

    MenuItem bar_ {"menuBar", ""};
};

} // namespace kelvane
