#include "MainWindowView.h"

#include "MainWindowKeys.h"

#include "bindings/BoundCheckBox.h"
#include "bindings/BoundComboBox.h"
#include "bindings/BoundScrollBar.h"
#include "bindings/BoundText.h"
#include "bindings/IndicatorWidget.h"
#include "bindings/MenuBinding.h"
#include "bindings/NameBoxEdit.h"
#include "bindings/PressLabel.h"
#include "bindings/SteppingScrollBar.h"
#include "bindings/SwitchButton.h"
#include "bindings/TimerBinding.h"
#include "waves/WaveSlots.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvane::views {

namespace {

constexpr int kWideBarHeight = 20;
constexpr int kSpinBarWidth = 20;
constexpr int kSpinBarHeight = 38;
constexpr int kSwitchButtonHeight = 48;
constexpr int kCaptionWidth = 30;
constexpr int kSlotButtonHeight = 22;
// The grid rows of the pad: switch columns, bank labels, wave slots.
constexpr int kSwitchRow = 0;
constexpr int kBankRow = 1;
constexpr int kWaveSlotRow = 2;

// "+" and "-" typed on a focused program bar go to the switch set, which
// decides which switches take them.
class ProgramBarKeys : public QObject {
public:
    ProgramBarKeys(SwitchSet& switches, int number, QObject* parent) :
        QObject(parent), switches_(switches), number_(number)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (text == "+" || text == "-") {
                switches_.programBarKey(number_, text.at(0).toLatin1());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    SwitchSet& switches_;
    int number_;
};

// Marks a widget for the stage look, which reads the mark when it polishes
// the widget; a widget may have been polished while it was being built.
void markForLook(QWidget& widget, const char* mark)
{
    widget.setProperty(mark, true);
    widget.style()->unpolish(&widget);
    widget.style()->polish(&widget);
}

QLabel* caption(const char* text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName("settingCaption");
    label->setFixedWidth(kCaptionWidth);
    return label;
}

// A horizontal bar tall enough to hit in a hurry.
BoundScrollBar* wideBar(ScrollBar& bar, QWidget* parent)
{
    auto* widget = new BoundScrollBar(bar, parent);
    widget->setFixedHeight(kWideBarHeight);
    return widget;
}

// The channel and program bars: short, and stepping one value at a time.
BoundScrollBar* spinBar(ScrollBar& bar, QWidget* parent)
{
    auto* widget = new SteppingScrollBar(bar, parent);
    widget->setFixedSize(kSpinBarWidth, kSpinBarHeight);
    return widget;
}

} // namespace

MainWindowView::MainWindowView(MainForm& form, QWidget* parent) :
    QMainWindow(parent), form_(form), link_(form, [this] { refresh(); }), frontLink_(form.frontRequested(), [this] {
        // The lighting desk's "Back".
        show();
        raise();
        activateWindow();
    })
{
    setObjectName(QString::fromStdString(form.name()));
    new MenuBinding(form.menu().bar(), *menuBar());
    // On a screen smaller than the pad the pad scrolls, so every control
    // stays reachable.
    scroller_ = new QScrollArea(this);
    scroller_->setObjectName("padScroller");
    scroller_->setWidgetResizable(true);
    scroller_->setFrameShape(QFrame::NoFrame);
    // A press on a switch would otherwise hand the focus to the scroll area,
    // taking it from the program bar the performer is adjusting with "+" and "-".
    scroller_->setFocusPolicy(Qt::NoFocus);
    scroller_->setWidget(buildPad());
    // Two fingers on two switches of a touch screen play them: the scroll
    // area must not take them for a pan and slide the pad away under them.
    // Without the gesture, Qt also stops offering every event in the pad to
    // its gesture recognizers, which made each press's delivery slower.
    scroller_->viewport()->ungrabGesture(Qt::PanGesture);
    setCentralWidget(scroller_);
    new MainWindowKeys(form, *this);
    resize(form.width(), form.height());
    keepSwitchesOnTop();
    refresh();
}

QWidget* MainWindowView::buildPad()
{
    auto* pad = new QWidget(this);
    pad->setObjectName("pad");
    // One grid, so each wave slot's row lines up under its switch.
    grid_ = new QGridLayout(pad);
    grid_->setContentsMargins(6, 4, 6, 4);
    grid_->setHorizontalSpacing(5);
    grid_->setVerticalSpacing(5);
    for (int n = 1; n <= kSwitchCount; ++n) {
        columns_[static_cast<std::size_t>(n - 1)] = buildColumn(form_.switches().at(n));
        grid_->addWidget(columns_[static_cast<std::size_t>(n - 1)], kSwitchRow, n - 1);
        grid_->setColumnStretch(n - 1, 1);
    }
    grid_->addWidget(buildBankRow(), kBankRow, 0, 1, kSwitchCount);
    grid_->setRowStretch(kWaveSlotRow + 1, 1);
    return pad;
}

// Qt finds the widget under a press by asking each parent's children from the
// topmost down, and every child asked (the window's bindings and key filter
// among them) costs the press a few cache misses. The way down to the
// switches is kept topmost: the pad's scroll area in the window, the switch
// columns in the pad, the button in each column. Nothing overlaps: the order
// changes no pixel.
void MainWindowView::keepSwitchesOnTop()
{
    scroller_->raise();
    for (auto column = columns_.rbegin(); column != columns_.rend(); ++column)
        (*column)->raise();
}

// One switch, top to bottom: indicator, button, note, velocity, channel,
// program and the instrument name.
QWidget* MainWindowView::buildColumn(Switch& s)
{
    auto* column = new QFrame(this);
    column->setObjectName("switchColumn");
    column->setFrameShape(QFrame::StyledPanel);

    auto* grid = new QGridLayout(column);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(3);
    grid->setColumnStretch(2, 1);

    grid->addWidget(new IndicatorWidget(s.indicator, column), 0, 0, 1, 3);
    auto* button = new SwitchButton(s.button, column);
    button->setMinimumHeight(kSwitchButtonHeight);
    grid->addWidget(button, 1, 0, 1, 3);
    grid->setRowMinimumHeight(2, 6);

    grid->addWidget(caption("Note", column), 3, 0);
    grid->addWidget(valueBox(s.noteBox, column), 3, 1);
    grid->addWidget(wideBar(s.note, column), 4, 0, 1, 3);
    grid->addWidget(caption("Vel", column), 5, 0);
    grid->addWidget(valueBox(s.velocityBox, column), 5, 1);
    grid->addWidget(wideBar(s.velocity, column), 6, 0, 1, 3);
    grid->setRowMinimumHeight(7, 4);

    grid->addWidget(caption("Cha", column), 8, 0);
    grid->addWidget(valueBox(s.channelBox, column), 8, 1);
    grid->addWidget(spinBar(s.channel, column), 8, 2, Qt::AlignLeft);
    grid->addWidget(caption("Prg", column), 9, 0);
    grid->addWidget(valueBox(s.programBox, column), 9, 1);
    auto* program = spinBar(s.program, column);
    program->installEventFilter(new ProgramBarKeys(form_.switches(), s.number, program));
    grid->addWidget(program, 9, 2, Qt::AlignLeft);

    auto* name = new BoundLineEdit(s.nameBox, column);
    markForLook(*name, "instrumentName");
    grid->addWidget(name, 10, 0, 1, 3);
    button->raise(); // see keepSwitchesOnTop()
    return column;
}

// The wave-bank labels F1..F4, shown once a bank is stored.
QWidget* MainWindowView::buildBankRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    for (int b = 1; b <= 4; ++b) {
        auto* label = new BoundLabel(form_.bankLabel(b), row);
        markForLook(*label, "bankLabel");
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(140);
        label->setMinimumHeight(24);
        layout->addWidget(label);
    }
    layout->addStretch();
    return row;
}

void MainWindowView::addWaveSlots(WaveSlots& slots)
{
    for (int n = 1; n <= kWaveSlotCount; ++n)
        grid_->addWidget(buildWaveSlotRow(slots, n), kWaveSlotRow, n - 1);
    new TimerBinding(slots.statusTimer(), this);
    for (int n = 1; n <= kWaveSlotCount; ++n)
        new TimerBinding(slots.slot(n).loopTimer, this);
    keepSwitchesOnTop();
}

// One wave slot, under its switch: play, load, stop and clear, the file's
// name in the state colour, then the advanced settings (volume, pan, gate and
// loop, loop count and the length label).
QWidget* MainWindowView::buildWaveSlotRow(WaveSlots& slots, int n)
{
    WaveSlot& slot = slots.slot(n);
    auto* row = new QFrame(this);
    row->setObjectName(QString("waveSlot%1").arg(n));
    markForLook(*row, "waveSlot");
    row->setFrameShape(QFrame::StyledPanel);

    auto* grid = new QGridLayout(row);
    grid->setContentsMargins(3, 3, 3, 3);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(3);
    grid->setColumnStretch(1, 1);

    auto* play = new SwitchButton(slot.play, row);
    play->setFixedHeight(kSlotButtonHeight);
    grid->addWidget(play, 0, 0, 1, 2);
    auto* load = new ClickButton(slot.load, row);
    load->setFixedHeight(kSlotButtonHeight);
    grid->addWidget(load, 1, 0, 1, 2);
    auto* stopAndClear = new QHBoxLayout;
    stopAndClear->setSpacing(3);
    for (Button* button : {&slot.stop, &slot.clear}) {
        auto* widget = new ClickButton(*button, row);
        widget->setFixedHeight(kSlotButtonHeight);
        stopAndClear->addWidget(widget);
    }
    grid->addLayout(stopAndClear, 2, 0, 1, 2);
    grid->addWidget(new NameBoxEdit(slot.name, row), 3, 0, 1, 2);

    grid->addWidget(new BoundLabel(slot.volumeLabel, row), 4, 0);
    auto* volume = new BoundScrollBar(slot.volume, row);
    volume->setFixedHeight(16);
    grid->addWidget(volume, 4, 1);
    grid->addWidget(new BoundLabel(slot.panLabel, row), 5, 0);
    auto* pan = new BoundScrollBar(slot.pan, row);
    pan->setFixedHeight(16);
    grid->addWidget(pan, 5, 1);

    // The two boxes share the caption "Gate Loop" between them; a screen
    // reader names each by its switch: "sw3 Gate", "sw3 Loop".
    const std::string switchCaption = form_.switches().at(n).button.caption();
    auto* gateLoop = new QHBoxLayout;
    gateLoop->setSpacing(2);
    auto* gate = new BoundCheckBox(form_.switches().at(n).gate, row);
    gate->setAccessibleName(QString::fromStdString(switchCaption + " Gate"));
    gateLoop->addWidget(gate);
    auto* gateLoopLabel = new BoundLabel(slot.gateLoopLabel, row);
    gateLoopLabel->setAlignment(Qt::AlignCenter);
    gateLoop->addWidget(gateLoopLabel, 1);
    auto* loop = new BoundCheckBox(slot.loop, row);
    loop->setAccessibleName(QString::fromStdString(switchCaption + " Loop"));
    gateLoop->addWidget(loop);
    grid->addLayout(gateLoop, 6, 0, 1, 2);

    auto* countAndLength = new QHBoxLayout;
    countAndLength->setSpacing(3);
    auto* count = new BoundComboBox(slot.loopCount, row);
    count->setMinimumContentsLength(2);
    countAndLength->addWidget(count);
    auto* length = new PressLabel(slot.lengthLabel, row);
    length->setAlignment(Qt::AlignCenter);
    length->setToolTip("Hold the right mouse button here to see how long the wave plays");
    countAndLength->addWidget(length, 1);
    grid->addLayout(countAndLength, 7, 0, 1, 2);
    return row;
}

void MainWindowView::loadAndShow()
{
    form_.load();
    fitToScreen();
    // The start-up timer runs from the load on.
    new TimerBinding(form_.startupTimer(), this);
    show();
}

// The form has fitted itself to the screen and centred itself.
void MainWindowView::fitToScreen()
{
    resize(form_.width(), form_.height());
    placed_ = QPoint(form_.left(), form_.top());
    move(placed_);
}

void MainWindowView::refresh()
{
    setWindowTitle(QString::fromStdString(form_.caption()));
    // Only the form's own moves place the window; the user may drag it after.
    const QPoint wanted(form_.left(), form_.top());
    if (wanted != placed_ && shownOnce_) {
        placed_ = wanted;
        move(placed_);
    }
}

bool MainWindowView::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        // Queued: the first activation opens a modal window, which must not
        // run inside the window system's activation event.
        QMetaObject::invokeMethod(
            this, [this] { activateWhenShown(); }, Qt::QueuedConnection);
    }
    return QMainWindow::event(event);
}

void MainWindowView::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        // Some platforms (offscreen, some window managers) never activate the
        // window by themselves: the first activation follows the first show.
        QTimer::singleShot(0, this, [this] { firstShowSettled(); });
    }
}

void MainWindowView::firstShowSettled()
{
    settled_ = true;
    if (onFirstShown_)
        onFirstShown_();
    activateWhenShown();
}

void MainWindowView::activateWhenShown()
{
    if (settled_ && !closed_ && isVisible())
        form_.activate();
}

void MainWindowView::closeEvent(QCloseEvent* event)
{
    closed_ = true;
    event->accept();
    form_.unload();
}

} // namespace kelvane::views
