#include "bindings/BoundText.h"

#include <QSignalBlocker>

namespace kelvane::views {

BoundLineEdit::BoundLineEdit(TextBox& box, QWidget* parent) :
    QLineEdit(parent), box_(box), link_(box, [this] { refresh(); })
{
    nameAfter(*this, box);
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    refresh();
}

void BoundLineEdit::refresh()
{
    const QString shown = QString::fromStdString(box_.text());
    if (text() != shown) {
        const QSignalBlocker quiet(this);
        setText(shown);
        setCursorPosition(0);
        // A long instrument name may not fit its box: the whole text on hover.
        setToolTip(shown);
    }
    showEnabledAndVisible(*this, box_);
}

BoundLineEdit* valueBox(TextBox& box, QWidget* parent)
{
    constexpr int kValueBoxWidth = 46;
    auto* edit = new BoundLineEdit(box, parent);
    edit->setFixedWidth(kValueBoxWidth);
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}

BoundLabel::BoundLabel(Label& label, QWidget* parent) :
    QLabel(parent), label_(label), link_(label, [this] { refresh(); })
{
    nameAfter(*this, label);
    refresh();
}

void BoundLabel::refresh()
{
    setText(QString::fromStdString(label_.text()));
    showEnabledAndVisible(*this, label_);
}

} // namespace kelvane::views
