#pragma once

#include <QProxyStyle>

namespace kelvane::views {

// The stage look of the main window, painted by the style over Fusion.
//
// It is not a style sheet on purpose. An application style sheet sends every
// widget's painting through Qt's rule engine and paints rounded panels through
// clip paths: a press's repaint (sixteen bars locked, the indicator, the
// button) took twice as long, and the next press then ran through caches that
// repaint had emptied. Here the rounded shapes are drawn once per size and
// blitted after that.
//
// The widgets are recognised by the names and properties the main window
// gives them:
//  - panels: a switch's column (object name "switchColumn") and a wave slot
//    (property "waveSlot"), filled and rounded;
//  - a switch's button (a push button in a switch's column): a large bold
//    caption on a flat face that lights while the button is held;
//  - the value boxes in a switch's column: bold on a dark face, and the
//    instrument name (property "instrumentName") small and plain;
//  - a box whose face shows a state in its colour (property "stateColoured",
//    a wave slot's name): square, in its own palette's Base colour;
//  - setting captions ("settingCaption"), softer than the values;
//  - bank labels (property "bankLabel"): bold white on blue;
//  - a wave slot's push buttons and those marked "compactButton" (the
//    lighting desk's fade buttons): narrow, so that two fit side by side.
// Everything else is Fusion in the application's palette. A switch's scroll
// bars are Fusion's too, but kept as pixmaps, one for each look a bar has
// shown: the sixteen bars a press locks and its release frees are blitted,
// not drawn again with Fusion's gradients. All scroll bars are marked as
// painting all of their pixels, which Fusion's do.
class StageStyle : public QProxyStyle {
public:
    StageStyle();

    using QProxyStyle::polish;
    using QProxyStyle::unpolish;
    void polish(QWidget* widget) override;
    void unpolish(QWidget* widget) override;
    void drawControl(
        ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const override;
    void drawPrimitive(
        PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
        const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    QSize sizeFromContents(
        ContentsType type, const QStyleOption* option, const QSize& contents, const QWidget* widget) const override;
};

} // namespace kelvane::views
