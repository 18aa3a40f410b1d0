#include "MainWindowView.h"

#include "bindings/BoundScrollBar.h"
#include "bindings/BoundText.h"
#include "bindings/IndicatorWidget.h"
#include "bindings/MenuBinding.h"
#include "bindings/SwitchButton.h"
#include "bindings/TimerBinding.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kelvane::views {

namespace {

constexpr int kBoxWidth = 46;
constexpr int kWideBarHeight = 20;
constexpr int kSpinBarWidth = 20;
constexpr int kSpinBarHeight = 38;
constexpr int kSwitchButtonHeight = 56;
constexpr int kCaptionWidth = 34;
constexpr int kWaveSlotAreaHeight = 250;

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

QLabel* caption(const char* text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName("settingCaption");
    label->setFixedWidth(kCaptionWidth);
    return label;
}

BoundLineEdit* valueBox(TextBox& box, QWidget* parent)
{
    auto* edit = new BoundLineEdit(box, parent);
    edit->setFixedWidth(kBoxWidth);
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}

// A horizontal bar tall enough to hit in a hurry.
BoundScrollBar* wideBar(ScrollBar& bar, QWidget* parent)
{
    auto* widget = new BoundScrollBar(bar, parent);
    widget->setFixedHeight(kWideBarHeight);
    return widget;
}

BoundScrollBar* spinBar(ScrollBar& bar, QWidget* parent)
{
    auto* widget = new BoundScrollBar(bar, parent);
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
    setCentralWidget(buildPad());
    resize(form.width(), form.height());
    refresh();
}

QWidget* MainWindowView::buildPad()
{
    auto* pad = new QWidget(this);
    pad->setObjectName("pad");
    auto* columns = new QHBoxLayout;
    columns->setSpacing(8);
    for (int n = 1; n <= kSwitchCount; ++n)
        columns->addWidget(buildColumn(form_.switches().at(n)));

    auto* layout = new QVBoxLayout(pad);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->addLayout(columns);
    layout->addWidget(buildBankRow());
    layout->addWidget(buildWaveSlotArea(), 1);
    return pad;
}

// One switch, top to bottom: indicator, button, note, velocity, channel,
// program and the instrument name.
QWidget* MainWindowView::buildColumn(Switch& s)
{
    auto* column = new QFrame(this);
    column->setObjectName("switchColumn");
    column->setFrameShape(QFrame::StyledPanel);

    auto* grid = new QGridLayout(column);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
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
    name->setProperty("instrumentName", true);
    grid->addWidget(name, 10, 0, 1, 3);
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
        label->setProperty("bankLabel", true);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(140);
        label->setMinimumHeight(24);
        layout->addWidget(label);
    }
    layout->addStretch();
    return row;
}

// The rows under the switches belong to the eight wave slots, one per column.
QWidget* MainWindowView::buildWaveSlotArea()
{
    auto* area = new QFrame(this);
    area->setObjectName("waveSlotArea");
    area->setFrameShape(QFrame::StyledPanel);
    area->setMinimumHeight(kWaveSlotAreaHeight);
    return area;
}

void MainWindowView::loadAndShow()
{
    form_.load();
    placed_ = QPoint(form_.left(), form_.top());
    move(placed_);
    // The start-up timer runs from the load on.
    new TimerBinding(form_.startupTimer(), this);
    show();
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
