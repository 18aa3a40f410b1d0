// The wave slots' rows in the main window: real mouse events on the bound
// widgets reach the slots, the name boxes show the slot colours, the window
// fits the screens a stage laptop has, and the small bars step by one.
#include "FindWidget.h"
#include "MainWindowView.h"
#include "ScrollBarParts.h"
#include "SlotRig.h"

#include "bindings/NameBoxEdit.h"
#include "bindings/SteppingScrollBar.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

// The real wave slots under the main window's view, on faked ports.
struct WaveViewRig : SlotRig {
    explicit WaveViewRig(int screenWidth = 1280, int screenHeight = 800) :
        SlotRig(false, screenWidth, screenHeight), view(form)
    {
        view.addWaveSlots(slots);
        view.loadAndShow();
        QCoreApplication::processEvents();
        log.clear();
    }

    // Slot n's widget called `name` (names repeat from slot to slot).
    template <typename W = QWidget> W& inSlot(int n, const char* name)
    {
        auto* row = view.findChild<QWidget*>(QString("waveSlot%1").arg(n));
        W* found = row ? row->findChild<W*>(name) : nullptr;
        if (!found)
            throw std::runtime_error(std::string("no widget named ") + name + " in slot " + std::to_string(n));
        return *found;
    }
    template <typename W = QWidget> W& widget(const char* name) { return findWidget<W>(view, name); }

    views::MainWindowView view;
};

void wheel(QWidget& widget, int notches)
{
    QWheelEvent event(QPointF(widget.rect().center()), QPointF(widget.mapToGlobal(widget.rect().center())), QPoint(),
        QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&widget, &event);
}

// The colour a box's face is painted in, at its right end, past any name.
QColor paintedFace(QWidget& box) { return box.grab().toImage().pixelColor(box.width() - 3, box.height() / 2); }

} // namespace

TEST(WaveSlotRows, EverySlotShowsItsControlsByNameAndTheMouseReachesTheSlot)
{
    WaveViewRig rig;
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(rig.inSlot<QPushButton>(n, ("Waveplay" + std::to_string(n)).c_str()).text(), "Play Wave");
        EXPECT_EQ(rig.inSlot<QPushButton>(n, ("Waveload" + std::to_string(n)).c_str()).text(), "Load Wave");
        EXPECT_EQ(rig.inSlot<QPushButton>(n, ("Wavestop" + std::to_string(n)).c_str()).text(), "Stop");
        EXPECT_EQ(rig.inSlot<QPushButton>(n, ("Clr" + std::to_string(n)).c_str()).text(), "Clr");
        rig.inSlot<QCheckBox>(n, ("Check" + std::to_string(n + 1)).c_str());
        for (const char* name :
            {"HscrWavVol", "HScrWavPan", "chkwavloop", "cmbLoopNo", "lblLoopNo", "lblWavVol", "lblPan", "lblGateLoop"})
            rig.inSlot(n, name);
        EXPECT_EQ(rig.inSlot<QComboBox>(n, "cmbLoopNo").currentText(), " 2");
    }
    EXPECT_EQ(rig.view.findChild<QTimer*>("Timer1")->interval(), 500);
    EXPECT_EQ(rig.view.findChild<QTimer*>("Timer9")->interval(), 55);

    const std::string path = rig.folder.file("snare.wav");
    rig.dialogs.files.push_back(path);
    QTest::mouseClick(&rig.inSlot(3, "Waveload3"), Qt::LeftButton);
    QCoreApplication::processEvents(); // views show a change once its handler has returned
    auto& name = rig.inSlot<views::NameBoxEdit>(3, "Wavetext3");
    EXPECT_EQ(name.text(), "snare.wav");
    EXPECT_EQ(paintedFace(name), QColor(Qt::red));

    rig.log.clear();
    QTest::mousePress(&rig.inSlot(3, "Waveplay3"), Qt::LeftButton);
    EXPECT_EQ(rig.log.entries().front(), "slide 3");
    EXPECT_EQ(rig.log.entries().back(), "wave PlayBuffer 1");
    QCoreApplication::processEvents();
    EXPECT_EQ(paintedFace(name), QColor(Qt::green));
    QTest::mouseClick(&rig.inSlot<QCheckBox>(3, "Check4"), Qt::LeftButton);
    EXPECT_TRUE(rig.sw(3).gate.checked());
    rig.log.clear();
    QTest::mouseRelease(&rig.inSlot(3, "Waveplay3"), Qt::LeftButton);
    EXPECT_EQ(rig.log.entries(), (std::vector<std::string> {"wave StopBuffer 1"}));

    // The right button held on the length label shows the length, its release "X loop".
    auto& length = rig.inSlot<QLabel>(3, "lblLoopNo");
    QTest::mousePress(&length, Qt::RightButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(length.text(), "1");
    QTest::mouseRelease(&length, Qt::RightButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(length.text(), "X loop");

    // The loop count chosen in the list is the slot's.
    auto& count = rig.inSlot<QComboBox>(3, "cmbLoopNo");
    count.setCurrentIndex(4);
    Q_EMIT count.activated(4);
    EXPECT_EQ(rig.slot(3).loopCount.listIndex(), 4);
}

// The gate and loop boxes share the caption "Gate Loop": a screen reader
// names each by its own switch.
TEST(WaveSlotRows, ScreenReadersNameEachGateAndLoopBoxByItsSwitch)
{
    WaveViewRig rig;
    for (int n = 1; n <= 8; ++n) {
        const std::string sw = "sw" + std::to_string(n);
        for (const auto& [name, word] :
            {std::pair {"Check" + std::to_string(n + 1), " Gate"}, std::pair {std::string("chkwavloop"), " Loop"}}) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&rig.inSlot(n, name.c_str()));
            ASSERT_NE(face, nullptr);
            EXPECT_EQ(face->text(QAccessible::Name).toStdString(), sw + word);
        }
    }
}

TEST(MainWindowFit, WholeOnA1024x768ScreenAndEveryControlReachableAt800x600)
{
    {
        WaveViewRig rig(1024, 768);
        EXPECT_LE(rig.view.width(), 1024);
        EXPECT_LE(rig.view.height() + 30, 768); // with a title bar
        EXPECT_GE(rig.form.left(), 0);
        EXPECT_GE(rig.form.top(), 0);
        auto& scroller = rig.widget<QScrollArea>("padScroller");
        // Nothing to scroll: the whole pad is in view.
        EXPECT_LE(scroller.widget()->minimumSizeHint().width(), scroller.viewport()->width())
            << scroller.widget()->minimumSizeHint().width() << " > " << scroller.viewport()->width();
        EXPECT_LE(scroller.widget()->minimumSizeHint().height(), scroller.viewport()->height())
            << scroller.widget()->minimumSizeHint().height() << " > " << scroller.viewport()->height();
        if (const char* file = std::getenv("KELVANE_SLOTS_SCREENSHOT")) {
            rig.loadInto(2, rig.folder.file("a-rather-long-sample-name.wav"));
            rig.loadInto(5, rig.folder.file("hat.wav"));
            rig.press(5);
            rig.view.grab().save(file);
        }
    }
    {
        WaveViewRig rig(800, 600);
        // The menu bar is on the screen and the window no larger than it.
        EXPECT_EQ(rig.form.left(), 0);
        EXPECT_GE(rig.form.top(), 0);
        EXPECT_LE(rig.view.width(), 800);
        EXPECT_LE(rig.form.top() + rig.view.height() + 30, 600);
        EXPECT_TRUE(rig.view.menuBar()->isVisible());
        // Whatever does not fit can be scrolled to, on both axes.
        auto& scroller = rig.widget<QScrollArea>("padScroller");
        const QWidget* pad = scroller.widget();
        EXPECT_GE(
            scroller.horizontalScrollBar()->maximum(), pad->minimumSizeHint().width() - scroller.viewport()->width());
        EXPECT_GE(
            scroller.verticalScrollBar()->maximum(), pad->minimumSizeHint().height() - scroller.viewport()->height());
        scroller.ensureWidgetVisible(&rig.inSlot(8, "lblLoopNo"));
        const QRect last(
            rig.inSlot(8, "lblLoopNo").mapTo(scroller.viewport(), QPoint(0, 0)), rig.inSlot(8, "lblLoopNo").size());
        EXPECT_TRUE(scroller.viewport()->rect().contains(last));
    }
}

TEST(MainWindowFit, TwoFingersDraggedOverThePadNeverScrollIt)
{
    // A performer's two fingers on two switches of a touch screen play them;
    // the pad must not slide away under the fingers as they move.
    WaveViewRig rig(800, 600);
    auto& scroller = rig.widget<QScrollArea>("padScroller");
    QScrollBar& across = *scroller.horizontalScrollBar();
    QScrollBar& down = *scroller.verticalScrollBar();
    ASSERT_GT(across.maximum(), 0);
    ASSERT_GT(down.maximum(), 0);
    across.setValue(across.maximum() / 2);
    down.setValue(down.maximum() / 2);
    const int acrossBefore = across.value();
    const int downBefore = down.value();

    // Deleted here: the application that would delete it outlives the leak check.
    const std::unique_ptr<QPointingDevice> screen(QTest::createTouchDevice());
    QWidget* viewport = scroller.viewport();
    const QPoint first = viewport->rect().center() - QPoint(60, 0);
    const QPoint second = viewport->rect().center() + QPoint(60, 0);
    QTest::touchEvent(viewport, screen.get()).press(0, first).press(1, second);
    for (int step = 1; step <= 10; ++step) {
        const QPoint moved(-12 * step, -12 * step);
        QTest::touchEvent(viewport, screen.get()).move(0, first + moved).move(1, second + moved);
    }
    QTest::touchEvent(viewport, screen.get())
        .release(0, first + QPoint(-120, -120))
        .release(1, second + QPoint(-120, -120));
    QCoreApplication::processEvents();

    EXPECT_EQ(across.value(), acrossBefore);
    EXPECT_EQ(down.value(), downBefore);
}

TEST(SmallBars, ChannelAndProgramStepByOnePerArrowWheelNotchAndSmallDrag)
{
    WaveViewRig rig;
    auto& channel = rig.widget<views::SteppingScrollBar>("VScroll2"); // switch 1
    auto& program = rig.widget<views::SteppingScrollBar>("VScroll1");
    rig.sw(1).channel.setValue(5);
    rig.sw(1).program.setValue(40);
    QCoreApplication::processEvents(); // the bars show the values before the user acts on them

    QTest::mouseClick(&channel, Qt::LeftButton, {}, centreOf(channel, QStyle::SC_ScrollBarSubLine));
    EXPECT_EQ(rig.sw(1).channel.value(), 6); // the top arrow raises the channel
    QTest::mouseClick(&channel, Qt::LeftButton, {}, centreOf(channel, QStyle::SC_ScrollBarAddLine));
    EXPECT_EQ(rig.sw(1).channel.value(), 5);

    wheel(channel, 1);
    EXPECT_EQ(rig.sw(1).channel.value(), 6);
    wheel(program, -1);
    EXPECT_EQ(rig.sw(1).program.value(), 39);
    wheel(program, 2);
    EXPECT_EQ(rig.sw(1).program.value(), 41);

    // A one-pixel drag of the thumb moves nothing; a longer one a value per step.
    const QPoint thumb = centreOf(program, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(&program, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(&program, thumb + QPoint(0, 1));
    EXPECT_EQ(rig.sw(1).program.value(), 41);
    QTest::mouseMove(&program, thumb + QPoint(0, -2 * views::SteppingScrollBar::kPixelsPerStep));
    QTest::mouseRelease(&program, Qt::LeftButton, {}, thumb + QPoint(0, -2 * views::SteppingScrollBar::kPixelsPerStep));
    EXPECT_EQ(rig.sw(1).program.value(), 43);
}
