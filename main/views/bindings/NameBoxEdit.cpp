#include "bindings/NameBoxEdit.h"

namespace kelvane::views {

NameBoxEdit::NameBoxEdit(ColouredTextBox& box, QWidget* parent) :
    BoundLineEdit(box, parent), box_(box), colourLink_(box, [this] { showColour(); })
{
    showColour();
}

QColor NameBoxEdit::backColour() const { return QColor::fromRgb(box_.backColour()); }

void NameBoxEdit::showColour()
{
    if (box_.backColour() == shownColour_)
        return;
    shownColour_ = box_.backColour();
    // A style sheet of its own: the window's look must not override the state colour.
    setStyleSheet(QStringLiteral("QLineEdit { background: %1; color: black; border: 1px solid #3f4654; }")
                      .arg(backColour().name()));
}

} // namespace kelvane::views
