#pragma once

#include "bindings/BoundScrollBar.h"

namespace kelvane::views {

// A short scroll bar over a long range (the channel and program bars): too
// short for its groove to map pixels to values. Every arrow click, groove
// click and wheel notch moves it by exactly one small change, and dragging its
// thumb moves one value per few pixels of mouse travel, from where the drag
// began, so a small drag never jumps to an end of the range.
class SteppingScrollBar : public BoundScrollBar {
public:
    // Mouse travel per value while the thumb is dragged.
    static constexpr int kPixelsPerStep = 8;

    explicit SteppingScrollBar(ScrollBar& bar, QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int travel(const QPoint& at) const;

    bool dragging_ = false;
    QPoint dragStart_;
    int dragStartValue_ = 0;
    int wheelRemainder_ = 0;
};

} // namespace kelvane::views
