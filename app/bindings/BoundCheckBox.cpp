#include "bindings/BoundCheckBox.h"

#include <QSignalBlocker>

namespace kelvane::views {

BoundCheckBox::BoundCheckBox(CheckBox& box, QWidget* parent) :
    QCheckBox(QString::fromStdString(box.caption()), parent), box_(box), link_(box, [this] { refresh(); })
{
    nameAfter(*this, box);
    // clicked() is the user's toggle only, never a programmatic change.
    connect(this, &QCheckBox::clicked, this, [this](bool on) {
        box_.setValue(on ? 1 : 0);
        refresh();
    });
    refresh();
}

void BoundCheckBox::refresh()
{
    const QSignalBlocker quiet(this);
    setChecked(box_.checked());
    showEnabledAndVisible(*this, box_);
}

} // namespace kelvane::views
