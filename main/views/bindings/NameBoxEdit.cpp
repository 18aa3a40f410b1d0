#include "bindings/NameBoxEdit.h"

#include <QSignalBlocker>

namespace kelvane::views {

NameBoxEdit::NameBoxEdit(ColouredTextBox& box, QWidget* parent) :
    QLineEdit(parent), box_(box), link_(box, [this] { refresh(); })
{
    nameAfter(*this, box);
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    refresh();
}

QColor NameBoxEdit::backColour() const { return QColor::fromRgb(box_.backColour()); }

void NameBoxEdit::refresh()
{
    const QString shown = QString::fromStdString(box_.text());
    if (text() != shown) {
        const QSignalBlocker quiet(this);
        setText(shown);
        setCursorPosition(0);
        setToolTip(shown);
    }
    if (box_.backColour() != shownColour_) {
        shownColour_ = box_.backColour();
        // A style sheet of its own: the window's look must not override the state colour.
        setStyleSheet(QStringLiteral("QLineEdit { background: %1; color: black; border: 1px solid #3f4654; }")
                          .arg(backColour().name()));
    }
    showEnabledAndVisible(*this, box_);
}

} // namespace kelvane::views
