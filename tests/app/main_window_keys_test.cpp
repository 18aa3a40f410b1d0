// Keys on the main window: the key codes the form is given, keys taken once
// whichever widget has the focus, auto-repeated releases ignored, and a key
// released while a modal box has the focus.
#include "KeyCodes.h"
#include "ViewRig.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;
using kelvane::views::windowsKeyCode;

namespace {

constexpr quint32 kXKeycodeOf1 = 10;

void sendKey(QWidget& to, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
    quint32 scanCode = 0, bool autoRepeat = false)
{
    QKeyEvent event(type, key, modifiers, scanCode, 0, 0, QString(), autoRepeat);
    QApplication::sendEvent(&to, &event);
}

// Where the window system sends a key typed in window: its focus widget, or itself.
QWidget& keyTarget(QWidget& window) { return window.focusWidget() != nullptr ? *window.focusWidget() : window; }

} // namespace

TEST(KeyCodes, DigitsByPositionKeypadWithOrWithoutNumLockAndTheKeysWithAMeaning)
{
    EXPECT_EQ(windowsKeyCode(Qt::Key_1, Qt::NoModifier, 0), 49);
    EXPECT_EQ(windowsKeyCode(Qt::Key_8, Qt::ControlModifier, 17), 56);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Exclam, Qt::ShiftModifier, kXKeycodeOf1), 49) << "Shift+1 on any layout";
    EXPECT_EQ(windowsKeyCode(Qt::Key_Ampersand, Qt::NoModifier, kXKeycodeOf1), 49) << "the 1 key of a French layout";
    EXPECT_EQ(windowsKeyCode(Qt::Key_1, Qt::KeypadModifier, 87), 97);
    EXPECT_EQ(windowsKeyCode(Qt::Key_End, Qt::KeypadModifier, 87), 97) << "keypad 1 with NumLock off";
    EXPECT_EQ(windowsKeyCode(Qt::Key_Up, Qt::KeypadModifier, 80), 104) << "keypad 8 with NumLock off";
    EXPECT_EQ(windowsKeyCode(Qt::Key_Up, Qt::NoModifier, 111), 38) << "the arrow key itself plays nothing";
    EXPECT_EQ(windowsKeyCode(Qt::Key_F1, Qt::NoModifier, 67), 112);
    EXPECT_EQ(windowsKeyCode(Qt::Key_F4, Qt::ShiftModifier, 70), 115);
    EXPECT_EQ(windowsKeyCode(Qt::Key_N, Qt::ShiftModifier, 57), 78);
    EXPECT_EQ(windowsKeyCode(Qt::Key_P, Qt::NoModifier, 33), 80);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Shift, Qt::ShiftModifier, 50), 16);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Exclam, Qt::ShiftModifier, 0), 0) << "no position known: some other key";
}

TEST(MainWindowKeys, AKeyReachesTheFormOnceWhicheverWidgetHasTheFocus)
{
    ViewRig rig;
    rig.shown();
    auto& bar = rig.widget<QScrollBar>("VScroll1"); // ignores digits: the event climbs its parents
    bar.setFocus();
    sendKey(bar, QEvent::KeyPress, Qt::Key_1);
    EXPECT_EQ(rig.log.startingWith("midi C0").size(), 16u);
    EXPECT_EQ(rig.log.startingWith("midi 90"), (Log {"midi 90 3C 78"}));

    rig.log.clear();
    sendKey(bar, QEvent::KeyRelease, Qt::Key_1, Qt::NoModifier, 0, /*autoRepeat*/ true);
    sendKey(bar, QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, 0, true);
    EXPECT_TRUE(rig.log.startingWith("midi 90").empty()) << "X11's repeat release is no release";
    EXPECT_EQ(rig.form.flags().keyHeld, 1);

    sendKey(bar, QEvent::KeyRelease, Qt::Key_1);
    EXPECT_EQ(rig.log.startingWith("midi 90").size(), 8u);
    EXPECT_EQ(rig.form.flags().keyHeld, 0);
}

TEST(MainWindowKeys, AKeyHeldWhenAModalBoxOpensIsReleasedToTheFormAndTheBoxKeepsItsOwnKeys)
{
    ViewRig rig;
    rig.shown();
    sendKey(keyTarget(rig.view), QEvent::KeyPress, Qt::Key_2);
    ASSERT_EQ(rig.log.startingWith("midi 90"), (Log {"midi 90 3E 78"}));

    QDialog box(&rig.view);
    auto* answer = new QLineEdit(&box);
    box.setModal(true);
    box.show();
    answer->setFocus();
    rig.log.clear();
    sendKey(*answer, QEvent::KeyPress, Qt::Key_3);
    sendKey(*answer, QEvent::KeyRelease, Qt::Key_3);
    EXPECT_TRUE(rig.log.entries().empty()) << "keys typed into another window are not the pad's";

    sendKey(*answer, QEvent::KeyRelease, Qt::Key_2);
    EXPECT_EQ(rig.log.startingWith("midi 90").size(), 8u);
    EXPECT_EQ(rig.form.flags().keyHeld, 0);
}
