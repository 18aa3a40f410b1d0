#include "StageStyle.h"

#include "desktop/CachedDrawing.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>

namespace kelvane::views {

namespace {

enum class Role {
    Other,
    SwitchPanel,
    WaveSlotPanel,
    SwitchButton,
    CompactButton,
    ValueBox,
    InstrumentName,
    StateColouredBox,
    Caption,
    BankLabel
};

bool isSwitchPanel(const QWidget* widget)
{
    return widget != nullptr && widget->objectName() == QLatin1String("switchColumn");
}

bool isWaveSlotPanel(const QWidget* widget) { return widget != nullptr && widget->property("waveSlot").toBool(); }

Role roleOf(const QWidget* widget)
{
    if (widget == nullptr)
        return Role::Other;
    if (isSwitchPanel(widget))
        return Role::SwitchPanel;
    if (isWaveSlotPanel(widget))
        return Role::WaveSlotPanel;
    const QWidget* parent = widget->parentWidget();
    if (qobject_cast<const QPushButton*>(widget) != nullptr) {
        if (isSwitchPanel(parent))
            return Role::SwitchButton;
        return isWaveSlotPanel(parent) || widget->property("compactButton").toBool() ? Role::CompactButton
                                                                                     : Role::Other;
    }
    if (qobject_cast<const QLineEdit*>(widget) != nullptr) {
        if (widget->property("stateColoured").toBool())
            return Role::StateColouredBox;
        if (isSwitchPanel(parent))
            return widget->property("instrumentName").toBool() ? Role::InstrumentName : Role::ValueBox;
    }
    if (qobject_cast<const QLabel*>(widget) != nullptr) {
        if (widget->objectName() == QLatin1String("settingCaption"))
            return Role::Caption;
        if (widget->property("bankLabel").toBool())
            return Role::BankLabel;
    }
    return Role::Other;
}

// A filled, rounded rectangle with a hairline border (none when invalid).
struct RoundedLook {
    QColor fill;
    QColor border;
    qreal radius;
};

// Every control's edge stands out from the panel or window around it (the
// darkest 0x1a1d22, the lightest 0x23272f) by at least 3:1, WCAG 2.1's figure
// for user-interface components, in every state. Fusion outlines a control
// in a darker shade of the window, which on a dark window is all but
// invisible, so the edges are drawn over Fusion's in these colours.
const QColor kEdge(0x8a, 0x93, 0xa6); // 4.7:1 against the lightest panel
const QColor kDisabledEdge(0x7d, 0x86, 0x98); // 3.9:1 there: still seen, but dimmer
constexpr qreal kButtonEdgeRadius = 2.5;

const RoundedLook kSwitchPanel {QColor(0x23, 0x27, 0x2f), QColor(0x3a, 0x40, 0x4c), 8};
const RoundedLook kWaveSlotPanel {QColor(0x1f, 0x23, 0x2a), QColor(0x34, 0x3a, 0x45), 6};
const RoundedLook kSwitchFace {QColor(0x3a, 0x41, 0x50), kEdge, 6};
const RoundedLook kHeldSwitchFace {QColor(0x6f, 0x7b, 0x94), QColor(0xc5, 0xcb, 0xd8), 6};
const RoundedLook kBankLabel {QColor(0x15, 0x65, 0xc0), QColor(), 3};
constexpr qreal kValueBoxRadius = 3;
constexpr qreal kStateColouredBoxRadius = 0;

const QColor kCaptionText(0xaa, 0xb2, 0xc0);
const QColor kInstrumentNameText(0xd7, 0xdc, 0xe6);
constexpr int kSwitchCaptionPoints = 16;
constexpr int kInstrumentNamePoints = 8;
// Around a wave slot button's caption; the slot is narrow and holds two
// buttons side by side.
constexpr int kCompactButtonPadding = 4;
constexpr int kCompactButtonPaddingTop = 1;

// Antialiased curves are the dear part of a rounded shape, so each look and
// size is drawn once into a pixmap and blitted after that; a repaint of part
// of a panel copies just that part.
void drawShape(QPainter& painter, const QRect& rect, const RoundedLook& look)
{
    if (rect.isEmpty())
        return;
    const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const QString key = pixmapCacheKey("kelvane-shape",
        {look.fill.rgba(), look.border.isValid() ? look.border.rgba() : 0u, qRound64(look.radius * 1000), rect.width(),
            rect.height(), qRound64(ratio * 1000)});
    const QPixmap shape = cachedDrawing(key, rect.size(), ratio, Qt::transparent, [&](QPainter& drawing) {
        drawing.setRenderHint(QPainter::Antialiasing);
        drawing.setPen(look.border.isValid() ? QPen(look.border, 1.0) : QPen(Qt::NoPen));
        drawing.setBrush(look.fill);
        const QRectF inside = QRectF(0, 0, rect.width(), rect.height()).adjusted(0.5, 0.5, -0.5, -0.5);
        drawing.drawRoundedRect(inside, look.radius, look.radius);
    });
    painter.drawPixmap(rect.topLeft(), shape);
}

// The edge of a control in the state the option gives: the highlight while
// it has the keyboard's focus, dimmer while disabled.
QColor edgeColour(const QStyleOption& option)
{
    if ((option.state & QStyle::State_Enabled) == 0)
        return kDisabledEdge;
    if ((option.state & QStyle::State_HasFocus) != 0 && (option.state & QStyle::State_KeyboardFocusChange) != 0)
        return option.palette.color(QPalette::Highlight);
    return kEdge;
}

// A one-pixel edge on the rectangle's outermost pixels, over whatever Fusion
// drew there.
void drawEdge(QPainter& painter, const QRect& rect, const QColor& colour, qreal radius)
{
    if (rect.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, radius > 0);
    painter.setPen(QPen(colour, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.restore();
}

// A check box's or option button's indicator: a square or a circle on the
// text face, with the stage edge, and a check mark or a dot while on.
void drawIndicator(QPainter& painter, const QStyleOption& option, bool round)
{
    const int side = std::min(option.rect.width(), option.rect.height());
    if (side <= 2)
        return;
    QRectF box(0, 0, side, side);
    box.moveCenter(QRectF(option.rect).center());
    box.adjust(0.5, 0.5, -0.5, -0.5);
    const bool pressed = (option.state & QStyle::State_Sunken) != 0;
    const QColor face = option.palette.color(QPalette::Base);
    const QColor mark = option.palette.color(QPalette::Text);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // A curve spreads a thin line over two pixels of half strength each:
    // the circle's line is a little heavier to keep its contrast.
    painter.setPen(QPen(edgeColour(option), round ? 1.3 : 1.0));
    painter.setBrush(pressed ? face.lighter(160) : face);
    if (round)
        painter.drawEllipse(box);
    else
        painter.drawRoundedRect(box, 1.5, 1.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    const qreal unit = box.width();
    if ((option.state & QStyle::State_On) != 0) {
        if (round) {
            painter.drawEllipse(box.center(), unit * 0.22, unit * 0.22);
        } else {
            QPainterPath tick;
            tick.moveTo(box.left() + unit * 0.22, box.top() + unit * 0.52);
            tick.lineTo(box.left() + unit * 0.42, box.top() + unit * 0.74);
            tick.lineTo(box.left() + unit * 0.80, box.top() + unit * 0.28);
            painter.setPen(QPen(mark, std::max(1.5, unit * 0.14), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(tick);
        }
    } else if ((option.state & QStyle::State_NoChange) != 0) {
        painter.drawRect(QRectF(box.left() + unit * 0.25, box.center().y() - unit * 0.08, unit * 0.5, unit * 0.16));
    }
    painter.restore();
}

// Fusion's scroll bar with the stage edge around it.
void drawScrollBar(const QStyle& fusion, const QStyleOptionSlider& bar, QPainter& painter, const QWidget* widget)
{
    fusion.drawComplexControl(QStyle::CC_ScrollBar, &bar, &painter, widget);
    drawEdge(painter, bar.rect, edgeColour(bar), 0);
}

// Everything Fusion's drawing of a scroll bar depends on.
QString scrollBarKey(const QStyleOptionSlider& bar, qreal ratio)
{
    return pixmapCacheKey("kelvane-bar",
        {bar.rect.width(), bar.rect.height(), qRound64(ratio * 1000), static_cast<int>(bar.orientation), bar.minimum,
            bar.maximum, bar.sliderPosition, bar.sliderValue, bar.singleStep, bar.pageStep, bar.upsideDown ? 1 : 0,
            static_cast<int>(bar.state), static_cast<int>(bar.subControls), static_cast<int>(bar.activeSubControls),
            static_cast<int>(bar.direction), bar.palette.cacheKey()});
}

void setFontOf(QWidget& widget, int points, QFont::Weight weight)
{
    QFont font = widget.font();
    if (points > 0)
        font.setPointSize(points);
    font.setWeight(weight);
    widget.setFont(font);
}

void setColourOf(QWidget& widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

} // namespace

StageStyle::StageStyle() : QProxyStyle(QStyleFactory::create("Fusion")) { }

void StageStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    // Fusion paints every pixel of a scroll bar, in every state, so Qt need
    // not paint the panel underneath first (the sixteen bars a press locks).
    if (qobject_cast<QScrollBar*>(widget) != nullptr)
        widget->setAttribute(Qt::WA_OpaquePaintEvent);
    switch (roleOf(widget)) {
    case Role::SwitchButton:
        setFontOf(*widget, kSwitchCaptionPoints, QFont::Bold);
        // The face does not change under the pointer: moving onto a switch
        // must not cost a repaint just before it is pressed.
        widget->setAttribute(Qt::WA_Hover, false);
        break;
    case Role::ValueBox:
        setFontOf(*widget, 0, QFont::Bold);
        break;
    case Role::InstrumentName:
        setFontOf(*widget, kInstrumentNamePoints, QFont::Normal);
        setColourOf(*widget, QPalette::Text, kInstrumentNameText);
        break;
    case Role::Caption:
        setColourOf(*widget, QPalette::WindowText, kCaptionText);
        break;
    case Role::BankLabel:
        setFontOf(*widget, 0, QFont::Bold);
        setColourOf(*widget, QPalette::WindowText, Qt::white);
        widget->setContentsMargins(8, 2, 8, 2);
        break;
    default:
        break;
    }
}

void StageStyle::unpolish(QWidget* widget)
{
    if (qobject_cast<QScrollBar*>(widget) != nullptr)
        widget->setAttribute(Qt::WA_OpaquePaintEvent, false);
    QProxyStyle::unpolish(widget);
}

void StageStyle::drawControl(
    ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    if (element == CE_ShapedFrame) {
        switch (roleOf(widget)) {
        case Role::SwitchPanel:
            drawShape(*painter, option->rect, kSwitchPanel);
            return;
        case Role::WaveSlotPanel:
            drawShape(*painter, option->rect, kWaveSlotPanel);
            return;
        case Role::BankLabel:
            drawShape(*painter, option->rect, kBankLabel);
            return;
        default:
            break;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void StageStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    switch (element) {
    case PE_PanelButtonCommand:
        if (roleOf(widget) == Role::SwitchButton) {
            const bool held = (option->state & (State_Sunken | State_On)) != 0;
            drawShape(*painter, option->rect, held ? kHeldSwitchFace : kSwitchFace);
            return;
        }
        // Push buttons and the face of a drop-down list.
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        drawEdge(*painter, option->rect, edgeColour(*option), kButtonEdgeRadius);
        return;
    case PE_PanelLineEdit:
        switch (roleOf(widget)) {
        case Role::ValueBox:
        case Role::InstrumentName:
            drawShape(
                *painter, option->rect, {option->palette.color(QPalette::Base), edgeColour(*option), kValueBoxRadius});
            return;
        case Role::StateColouredBox:
            drawShape(*painter, option->rect,
                {option->palette.color(QPalette::Base), edgeColour(*option), kStateColouredBoxRadius});
            return;
        default:
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            drawEdge(*painter, option->rect, edgeColour(*option), kButtonEdgeRadius);
            return;
        }
    case PE_IndicatorCheckBox:
        drawIndicator(*painter, *option, false);
        return;
    case PE_IndicatorRadioButton:
        drawIndicator(*painter, *option, true);
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
}

void StageStyle::drawComplexControl(
    ComplexControl control, const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const
{
    // Only a switch's bars are kept: a press locks them and its release frees
    // them, without moving them. Bars that move with every repaint, such as
    // the lighting desk's faders during a fade, would only fill the cache.
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    const bool switchBar = widget != nullptr && isSwitchPanel(widget->parentWidget());
    if (control != CC_ScrollBar || bar == nullptr || bar->rect.isEmpty()) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    if (!switchBar) {
        drawScrollBar(*baseStyle(), *bar, *painter, widget);
        return;
    }
    const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
    // Opaque, as Fusion leaves no pixel of a bar unpainted: the blit is a copy.
    const QColor opaque = bar->palette.color(QPalette::Window);
    const QPixmap look
        = cachedDrawing(scrollBarKey(*bar, ratio), bar->rect.size(), ratio, opaque, [&](QPainter& drawing) {
              QStyleOptionSlider atOrigin = *bar;
              atOrigin.rect.moveTo(0, 0);
              drawScrollBar(*baseStyle(), atOrigin, drawing, widget);
          });
    painter->drawPixmap(bar->rect.topLeft(), look);
}

int StageStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    // The state-coloured box has a hairline border, not Fusion's frame.
    if (metric == PM_DefaultFrameWidth && roleOf(widget) == Role::StateColouredBox)
        return 1;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize StageStyle::sizeFromContents(
    ContentsType type, const QStyleOption* option, const QSize& contents, const QWidget* widget) const
{
    if (type == CT_LineEdit && roleOf(widget) == Role::StateColouredBox) {
        // Just the hairline around the text, as high as the box was when a
        // style sheet drew it; Fusion would add room for its sunken frame.
        const int frame = proxy()->pixelMetric(PM_DefaultFrameWidth, option, widget);
        return contents + QSize(2 * frame, 2 * frame);
    }
    if (type == CT_PushButton) {
        // Fusion gives every captioned button at least 80 pixels; a switch
        // and a wave slot's buttons are as wide as their column lets them be.
        const int frame = proxy()->pixelMetric(PM_DefaultFrameWidth, option, widget);
        switch (roleOf(widget)) {
        case Role::SwitchButton:
            return contents + QSize(2 * frame, 2 * frame);
        case Role::CompactButton:
            return contents + QSize(2 * (kCompactButtonPadding + frame), 2 * (kCompactButtonPaddingTop + frame));
        default:
            break;
        }
    }
    return QProxyStyle::sizeFromContents(type, option, contents, widget);
}

} // namespace kelvane::views
