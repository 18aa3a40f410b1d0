#include "bindings/BoundScrollBar.h"

#include <QSignalBlocker>

namespace kelvane::views {

BoundScrollBar::BoundScrollBar(ScrollBar& bar, QWidget* parent) :
    QScrollBar(bar.orientation() == Orientation::Horizontal ? Qt::Horizontal : Qt::Vertical, parent),
    bar_(bar),
    sign_(bar.runsDownward() ? -1 : 1),
    link_(bar, [this] { refresh(); })
{
    nameAfter(*this, bar);
    {
        const QSignalBlocker quiet(this);
        if (bar.runsDownward())
            setRange(-bar.min(), -bar.max());
        else
            setRange(bar.min(), bar.max());
        setSingleStep(bar.smallChange());
        setPageStep(bar.largeChange());
    }
    // Bars that do not track the thumb change the value when it is let go.
    setTracking(bar.tracksThumb());
    // A bar takes the keyboard focus when clicked, so its arrow keys (and the
    // program bars' "+" and "-") reach it.
    setFocusPolicy(Qt::StrongFocus);
    refresh();
    connect(this, &QAbstractSlider::valueChanged, this, [this](int value) { userMoved(value); });
}

void BoundScrollBar::userMoved(int widgetValue)
{
    bar_.setValue(controlValue(widgetValue));
    // The handling may have settled on another value (a program bar wraps 128
    // to 0) or refused the write; show what the control holds.
    refresh();
}

void BoundScrollBar::refresh()
{
    const QSignalBlocker quiet(this);
    setValue(widgetValue(bar_.value()));
    showEnabledAndVisible(*this, bar_);
}

} // namespace kelvane::views
