#include "bindings/BoundComboBox.h"

#include <QSignalBlocker>

namespace kelvane::views {

BoundComboBox::BoundComboBox(ListBox& list, QWidget* parent) :
    QComboBox(parent), list_(list), link_(list, [this] { refresh(); })
{
    nameAfter(*this, list);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // activated() is the user's choice only, never a programmatic change.
    connect(this, &QComboBox::activated, this, [this](int index) {
        list_.setListIndex(index);
        refresh();
    });
    refresh();
}

void BoundComboBox::refresh()
{
    const QSignalBlocker quiet(this);
    const auto& items = list_.items();
    bool same = count() == static_cast<int>(items.size());
    for (int i = 0; same && i < count(); ++i)
        same = itemText(i).toStdString() == items[static_cast<std::size_t>(i)];
    if (!same) {
        clear();
        for (const std::string& item : items)
            addItem(QString::fromStdString(item));
    }
    setCurrentIndex(list_.listIndex());
    showEnabledAndVisible(*this, list_);
}

} // namespace kelvane::views
