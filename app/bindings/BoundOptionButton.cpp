#include "bindings/BoundOptionButton.h"

#include <QSignalBlocker>

namespace kelvane::views {

BoundOptionButton::BoundOptionButton(OptionButton& option, QWidget* parent) :
    QRadioButton(QString::fromStdString(option.caption()), parent),
    option_(option),
    link_(option, [this] { refresh(); })
{
    nameAfter(*this, option);
    setAutoExclusive(false);
    connect(this, &QRadioButton::clicked, this, [this] {
        option_.click();
        refresh();
    });
    refresh();
}

void BoundOptionButton::refresh()
{
    const QSignalBlocker quiet(this);
    setChecked(option_.value());
    showEnabledAndVisible(*this, option_);
}

} // namespace kelvane::views
