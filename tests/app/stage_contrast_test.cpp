// In the stage look every control's edge stands out from what lies around it
// by at least 3:1 (WCAG 2.1's figure for user-interface components), in every
// state it can be in: measured on the pixels the windows really paint.
#include "LightDeskView.h"
#include "PreferencesWindow.h"
#include "SlotRig.h"
#include "ViewRig.h"
#include "fakes/FakePreferencesStore.h"
#include "lighting/LightForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

constexpr double kLeast = 3.0;

double channel(int value)
{
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// WCAG 2.1's relative luminance and contrast ratio.
double luminance(const QColor& c)
{
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

enum class Outline { Square, Round };

// Where a control's edge is: the indicator of a check box or option button,
// the whole widget otherwise.
QRect edgeOf(QWidget& control)
{
    QStyleOptionButton option;
    option.initFrom(&control);
    if (qobject_cast<QCheckBox*>(&control))
        return control.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &control);
    if (qobject_cast<QRadioButton*>(&control))
        return control.style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, &control);
    return control.rect();
}

// The weakest point of the edge: along the middle of each side, the pixel
// two steps outside (the background there) against the strongest of the
// three pixels just inside (the edge). A round outline touches its box only
// around the middle of each side; a square one all along, less its corners.
double weakestEdge(const QImage& image, const QRect& edge, Outline outline)
{
    double weakest = 1e9;
    const auto side = [&](QPoint start, QPoint along, QPoint inward, int length) {
        const int margin = outline == Outline::Round ? length * 2 / 5 : std::min(6, length / 4);
        for (int t = margin; t < length - margin; ++t) {
            const QPoint at = start + along * t;
            const QPoint outside = at - inward * 2;
            if (!image.rect().contains(outside))
                continue;
            double best = 0;
            for (int depth = 0; depth < 3; ++depth)
                best = std::max(best, contrast(image.pixelColor(outside), image.pixelColor(at + inward * depth)));
            weakest = std::min(weakest, best);
        }
    };
    side(edge.topLeft(), {1, 0}, {0, 1}, edge.width());
    side(edge.bottomLeft(), {1, 0}, {0, -1}, edge.width());
    side(edge.topLeft(), {0, 1}, {1, 0}, edge.height());
    side(edge.topRight(), {0, 1}, {-1, 0}, edge.height());
    return weakest;
}

// A state a control can show, set on the real widget and undone after the
// window has been painted in it.
struct State {
    std::string name;
    std::function<void(QWidget&)> set;
    std::function<void(QWidget&)> undo;
};

std::vector<State> statesOf(QWidget& control)
{
    const auto nothing = [](QWidget&) {};
    std::vector<State> states {
        {"", nothing, nothing},
        {"under the pointer", [](QWidget& w) { w.setAttribute(Qt::WA_UnderMouse, true); },
            [](QWidget& w) { w.setAttribute(Qt::WA_UnderMouse, false); }},
        {"disabled", [](QWidget& w) { w.setEnabled(false); }, [](QWidget& w) { w.setEnabled(true); }},
    };
    auto* button = qobject_cast<QAbstractButton*>(&control);
    if (!button)
        return states;
    states.push_back({"pressed", [](QWidget& w) { qobject_cast<QAbstractButton*>(&w)->setDown(true); },
        [](QWidget& w) { qobject_cast<QAbstractButton*>(&w)->setDown(false); }});
    if (!button->isCheckable())
        return states;
    const auto check = [](QWidget& w, bool on) { qobject_cast<QAbstractButton*>(&w)->setChecked(on); };
    std::vector<State> both;
    for (const bool checked : {false, true}) {
        for (const State& state : states) {
            both.push_back({std::string(checked ? "checked " : "unchecked ") + state.name,
                [check, checked, set = state.set](QWidget& w) {
                    check(w, checked);
                    set(w);
                },
                [check, undo = state.undo](QWidget& w) {
                    undo(w);
                    check(w, false);
                }});
        }
    }
    return both;
}

// Measures each named control of the window in each of its states and
// returns the weakest figure; each one below the least fails the test.
double weakestControlIn(QWidget& window, const std::vector<const char*>& names)
{
    double weakest = 1e9;
    for (const char* name : names) {
        auto* control = window.findChild<QWidget*>(name);
        if (!control) {
            ADD_FAILURE() << "no control " << name;
            continue;
        }
        auto* button = qobject_cast<QAbstractButton*>(control);
        const bool wasChecked = button && button->isChecked();
        if (button)
            button->setChecked(false);
        const Outline outline = qobject_cast<QRadioButton*>(control) ? Outline::Round : Outline::Square;
        for (const State& state : statesOf(*control)) {
            state.set(*control);
            const QImage image = window.grab().toImage();
            const QRect edge(control->mapTo(&window, edgeOf(*control).topLeft()), edgeOf(*control).size());
            const double figure = weakestEdge(image, edge, outline);
            state.undo(*control);
            std::printf("contrast %-12s %-30s %5.2f\n", name, state.name.c_str(), figure);
            EXPECT_GE(figure, kLeast) << name << " " << state.name;
            weakest = std::min(weakest, figure);
        }
        if (button)
            button->setChecked(wasChecked);
    }
    return weakest;
}

struct PreferencesViewRig {
    fakes::EffectLog log;
    fakes::FakePreferencesStore store {log};
    fakes::FakeDialogs dialogs {log};
    PreferencesForm form {store, dialogs};
    views::PreferencesWindow view {form};
};

} // namespace

// Before the stage look drew them, an unselected option button and an
// unchecked check box were dark shapes on a dark window, about 1.1:1.
TEST(StageContrast, EveryOptionButtonCheckBoxAndButtonOfThePreferencesStandsOut)
{
    PreferencesViewRig rig;
    rig.view.show();
    EXPECT_GE(weakestControlIn(rig.view, {"opt1a", "opt4b", "opt8c", "chkAdvAudio", "cmdsavprf"}), kLeast);
}

TEST(StageContrast, EveryControlOfASwitchAndItsWaveSlotStandsOutFromItsPanel)
{
    SlotRig rig(true, 1280, 800);
    rig.slots.showAdvancedSettings(true); // as the "Advanced audio" preference shows them
    views::MainWindowView view(rig.form);
    view.addWaveSlots(rig.slots);
    view.show();
    auto* slot = view.findChild<QWidget*>("waveSlot3");
    auto* column = view.findChild<QWidget*>("HScroll3")->parentWidget();
    ASSERT_NE(slot, nullptr);
    EXPECT_GE(weakestControlIn(*slot,
                  {"Check4", "chkwavloop", "Waveplay3", "Waveload3", "Wavestop3", "Clr3", "cmbLoopNo", "Wavetext3",
                      "HscrWavVol", "HScrWavPan"}),
        kLeast);
    EXPECT_GE(weakestControlIn(*column, {"Command21", "HScroll3", "HScroll10", "VScroll9", "VScroll8"}), kLeast);
}

TEST(StageContrast, EveryControlOfTheLightingDeskStandsOut)
{
    ViewRig rig;
    LightForm& desk = rig.kelvane.lightingDesk();
    views::LightDeskView view(desk);
    desk.show();
    QCoreApplication::processEvents(); // the view follows the form
    ASSERT_TRUE(view.isVisible());
    EXPECT_GE(weakestControlIn(view,
                  {"chkVol", "Lux1", "scrMaster", "cmd1FadeUp", "cmdFadeDown", "scrFadeTime", "scrCha", "txtCha",
                      "cmdStop", "cmdAllOff", "Command1"}),
        kLeast);
}
