// The "Kelvane Preferences" window's view: its grid of option buttons, the
// check box, the save button and the close box reach the form.
#include "FindWidget.h"
#include "PreferencesWindow.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakePreferencesStore.h"

#include <QAccessible>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

struct PreferencesViewRig {
    PreferencesViewRig() : store(log), dialogs(log), form(store, dialogs), view(form) { }

    template <typename W> W& widget(const char* name) { return kelvane::testing::findWidget<W>(view, name); }

    fakes::EffectLog log;
    fakes::FakePreferencesStore store;
    fakes::FakeDialogs dialogs;
    PreferencesForm form;
    views::PreferencesWindow view;
};

} // namespace

TEST(PreferencesView, ClickingAnOptionSelectsItInItsFrameOnly)
{
    PreferencesViewRig rig;
    rig.form.show();
    QCoreApplication::processEvents();
    auto& previous3 = rig.widget<QRadioButton>("opt3b");
    QTest::mouseClick(&previous3, Qt::LeftButton);
    QTest::mouseClick(&previous3, Qt::LeftButton); // stays selected
    QCoreApplication::processEvents(); // views show a change once its handler has returned
    EXPECT_TRUE(rig.form.previousOption(3).value());
    EXPECT_TRUE(previous3.isChecked());
    EXPECT_FALSE(rig.widget<QRadioButton>("opt3a").isChecked());
    EXPECT_TRUE(rig.widget<QRadioButton>("opt2a").isChecked());

    auto& audio = rig.widget<QCheckBox>("chkAdvAudio");
    const bool was = audio.isChecked();
    QTest::mouseClick(&audio, Qt::LeftButton);
    EXPECT_EQ(rig.form.advancedAudio.value(), was ? 0 : 1);
}

TEST(PreferencesView, HiddenAtStartUpAndTheCloseBoxSavesOrStaysOpenWhenTheSaveFails)
{
    PreferencesViewRig rig;
    rig.form.loadShownThenHidden();
    QCoreApplication::processEvents();
    EXPECT_FALSE(rig.view.isVisible());
    rig.form.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.view.isVisible());
    EXPECT_EQ(rig.view.windowTitle(), "Kelvane Preferences");
    rig.store.writeProblem = "No space left on device";
    EXPECT_FALSE(rig.view.close());
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.view.isVisible());
    EXPECT_EQ(rig.log.startingWith("message").size(), 1u);

    rig.store.writeProblem.clear();
    EXPECT_TRUE(rig.view.close());
    QCoreApplication::processEvents();
    EXPECT_FALSE(rig.view.isVisible());
    EXPECT_FALSE(rig.form.loaded());
    EXPECT_TRUE(rig.store.bytes.has_value());
}

namespace {

QString accessibleName(QWidget& widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
    return face ? face->text(QAccessible::Name) : QString("(none)");
}

} // namespace

// The 24 option buttons show no text; a screen reader once heard only the
// frames' "sw1" .. "sw8". Each now says its switch and its row.
TEST(PreferencesView, ScreenReadersNameEachOptionButtonBySwitchAndRow)
{
    PreferencesViewRig rig;
    for (int n = 1; n <= 8; ++n) {
        const std::string sw = "sw" + std::to_string(n);
        for (const auto& [suffix, row] : {std::pair {"a", " Next"}, {"b", " Previous"}, {"c", " Off"}}) {
            auto& button = rig.widget<QRadioButton>(("opt" + std::to_string(n) + suffix).c_str());
            EXPECT_EQ(accessibleName(button).toStdString(), sw + row);
            EXPECT_TRUE(button.text().isEmpty()) << "no visible text";
        }
    }
    EXPECT_EQ(accessibleName(rig.widget<QCheckBox>("chkAdvAudio")), "Show Advanced Audio Settings");
}
