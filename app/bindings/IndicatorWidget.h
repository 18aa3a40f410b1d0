#pragma once

#include "bindings/ControlLink.h"
#include "controls/Shape.h"

#include <QWidget>

namespace kelvane::views {

// A switch's indicator: a rounded rectangle outlined in the shape's colour and
// filled with it while the shape is lit (fill Solid).
class IndicatorWidget : public QWidget {
public:
    explicit IndicatorWidget(Shape& shape, QWidget* parent = nullptr);

    QColor colour() const;
    QSize sizeHint() const override { return {96, 26}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();

    Shape& shape_;
    ControlLink link_;
};

} // namespace kelvane::views
