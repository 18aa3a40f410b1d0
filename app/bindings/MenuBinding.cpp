#include "bindings/MenuBinding.h"

#include "bindings/ControlLink.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>

namespace kelvane::views {

namespace {

void showItem(const MenuItem& item, QAction& action)
{
    const QSignalBlocker quiet(&action);
    if (!item.isSeparator())
        action.setText(QString::fromStdString(item.caption()));
    action.setCheckable(item.checked());
    action.setChecked(item.checked());
    action.setEnabled(item.enabled());
    action.setVisible(item.visible());
}

} // namespace

MenuBinding::MenuBinding(const MenuItem& bar, QMenuBar& menuBar) : QObject(&menuBar)
{
    for (const auto& menu : bar.children())
        addMenu(*menu, menuBar);
}

MenuBinding::~MenuBinding() = default;

void MenuBinding::addMenu(MenuItem& item, QMenuBar& menuBar)
{
    QMenu* menu = menuBar.addMenu(QString::fromStdString(item.caption()));
    menu->setObjectName(QString::fromStdString(item.name()));
    bind(item, *menu->menuAction());
    addItems(item, *menu);
}

void MenuBinding::addItems(MenuItem& menu, QMenu& qmenu)
{
    for (const auto& child : menu.children()) {
        MenuItem& item = *child;
        QAction* action = item.isSeparator() ? qmenu.addSeparator() : qmenu.addAction(QString());
        if (!item.shortcut().empty())
            action->setShortcut(QKeySequence(QString::fromStdString(item.shortcut()), QKeySequence::PortableText));
        bind(item, *action);
        if (!item.isSeparator()) {
            connect(action, &QAction::triggered, this, [&item, action] {
                item.click();
                // Qt toggles a checkable action by itself; the item decides.
                showItem(item, *action);
            });
        }
    }
}

void MenuBinding::bind(MenuItem& item, QAction& action)
{
    action.setObjectName(QString::fromStdString(item.name()));
    showItem(item, action);
    QAction* target = &action;
    links_.push_back(std::make_unique<ControlLink>(item, [&item, target] { showItem(item, *target); }));
}

} // namespace kelvane::views
