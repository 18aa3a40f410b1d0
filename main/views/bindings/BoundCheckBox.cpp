#include "bindings/BoundCheckBox.h"

#include <QSignalBlocker>

namespace kelvane::views {

BoundCheckBox::BoundCheckBox(CheckBox& box, QWidget* parent) :
    QCheckBox(QString::fromStdString(box.caption()), parent), box_(box), link_(box, [this] { refresh(); })
{
    nameAfter(*this, box);
    connect(this, &QCheckBox::clicked, this, [this](bool checked) {
        box_.setValue(checked ? 1 : 0);
        // The control may have refused or changed the value meanwhile.
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
