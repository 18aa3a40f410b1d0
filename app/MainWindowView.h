#pragma once

#include "MainForm.h"
#include "bindings/ControlLink.h"
#include "bindings/SignalLink.h"

#include <QMainWindow>

#include <array>
#include <functional>

class QGridLayout;
class QScrollArea;

namespace kelvane {
class WaveSlots;
}

namespace kelvane::views {

// The main window's view: eight switch columns, the menu bar and the start-up
// timer, each widget bound to its control in the MainForm. It forwards the
// window's life to the form: load() before the first show, activate() on every
// activation of the shown window, unload() when the user closes it.
class MainWindowView : public QMainWindow {
public:
    explicit MainWindowView(MainForm& form, QWidget* parent = nullptr);

    // Puts the wave slots' rows under the switch columns, one row per slot,
    // and runs their timers. Call once, before loadAndShow().
    void addWaveSlots(WaveSlots& slots);

    // Loads the form, places the window where the form put itself and shows
    // it. Call once.
    void loadAndShow();

    // Runs once, after the first show has settled and before the first
    // activation reaches the form. Closing the window from here means the form
    // is never activated.
    void setOnFirstShown(std::function<void()> callback) { onFirstShown_ = std::move(callback); }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildPad();
    QWidget* buildColumn(Switch& s);
    QWidget* buildBankRow();
    QWidget* buildWaveSlotRow(WaveSlots& slots, int n);
    void keepSwitchesOnTop();
    void fitToScreen();
    void refresh();
    void activateWhenShown();
    void firstShowSettled();

    MainForm& form_;
    ControlLink link_;
    SignalLink frontLink_;
    std::function<void()> onFirstShown_;
    bool shownOnce_ = false;
    bool settled_ = false;
    bool closed_ = false;
    QPoint placed_;
    QGridLayout* grid_ = nullptr;
    std::array<QWidget*, kSwitchCount> columns_ {};
    QScrollArea* scroller_ = nullptr;
};

} // namespace kelvane::views
