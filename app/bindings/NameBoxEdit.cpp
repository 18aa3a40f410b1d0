#include "bindings/NameBoxEdit.h"

namespace kelvane::views {

NameBoxEdit::NameBoxEdit(ColouredTextBox& box, QWidget* parent) :
    BoundLineEdit(box, parent), box_(box), colourLink_(box, [this] { showColour(); })
{
    // The stage style draws the face in the palette's Base colour, which the
    // application's look leaves alone once it is set here.
    setProperty("stateColoured", true);
    showColour();
}

void NameBoxEdit::showColour()
{
    if (box_.backColour() == shownColour_)
        return;
    shownColour_ = box_.backColour();
    // A palette, not a style sheet: a sheet re-polishes the box and lays out
    // its slot again at every change, and a wave press changes the colour.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, QColor::fromRgb(shownColour_));
    palette.setColor(QPalette::Text, Qt::black);
    setPalette(palette);
}

} // namespace kelvane::views
