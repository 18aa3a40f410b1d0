#pragma once

#include "controls/MenuItem.h"

#include <QObject>

#include <memory>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace kelvane::views {

class ControlLink;

// Builds a menu bar from a MenuItem tree: one QMenu per top-level item, one
// QAction per command or separator, in the tree's order. Every action shows its
// item's caption (with its & mnemonic), shortcut, Enabled, Visible and check
// mark; triggering an action runs the item's click().
//
// An item shows a check mark only while it is checked, as a plain command
// otherwise. The binding lives as a child of the menu bar; the tree must
// outlive the menu bar.
class MenuBinding : public QObject {
public:
    MenuBinding(const MenuItem& bar, QMenuBar& menuBar);
    ~MenuBinding() override;

private:
    void addMenu(MenuItem& item, QMenuBar& menuBar);
    void addItems(MenuItem& menu, QMenu& qmenu);
    void bind(MenuItem& item, QAction& action);

    std::vector<std::unique_ptr<ControlLink>> links_;
};

} // namespace kelvane::views
