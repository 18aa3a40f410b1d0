#pragma once

#include "MainMenu.h"
#include "PadMidi.h"
#include "PanicSweep.h"
#include "SwitchSet.h"
#include "SwitchTrigger.h"
#include "controls/Timer.h"
#include "controls/Window.h"
#include "inputs/HeldKeys.h"
#include "inputs/JoystickPerformance.h"
#include "inputs/KeyboardPerformance.h"
#include "inputs/SoundingNotes.h"
#include "ports/Dialogs.h"
#include "ports/Environment.h"
#include "ports/JoystickControl.h"
#include "ports/MidiOutput.h"
#include "ports/Pause.h"
#include "ports/WavePlayer.h"
#include "waves/WaveBankRecall.h"
#include "waves/WaveSlotOperations.h"

#include <array>
#include <functional>
#include <string_view>

namespace kelvane {

class MidiSetupForm;
class LightForm;

inline constexpr std::string_view kProductName = "Kelvane";
inline constexpr std::string_view kVersion = "2.06";
inline constexpr std::string_view kHelpFileName = "Kelvane Version 2.HLP";
inline constexpr std::string_view kScreenWarning
    = "This Software should be run at a minimum Screen Resolution of 800x600";

// The smallest screen the window is laid out for: 9000 twips (600 pixels).
constexpr int kTwipsPerPixel = 15;
constexpr bool screenTooNarrow(int widthTwips) { return widthTwips < 9000; }

// Everything outside that the main window reaches.
struct MainFormPorts {
    MidiOutput& midi;
    WavePlayer& waves;
    JoystickControl& stavik1;
    JoystickControl& stavik2;
    Dialogs& dialogs;
    Pause& pause;
    Environment& environment;
};

// The main window "frmMain": the pad of eight switches, its menus, start-up
// and shutdown. Views call load() once before showing it, activate() on every
// activation, and unload() when the user closes it.
class MainForm : public Window {
public:
    MainForm(MainFormPorts ports, MidiSetupForm& midiSetup, WaveSlotOperations& slots, WaveBankRecall& banks);
    ~MainForm() override;
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    void load();
    void activate();
    void unload();

    // Form_KeyDown and Form_KeyUp: every key event of the window, whichever
    // control has the focus, as a Windows virtual-key code (views translate).
    // Auto-repeated key-downs come here too; auto-repeated releases do not.
    // Which releases count is HeldKeys' (a key let go after the focus left).
    void keyDown(int keyCode) { heldKeys_.keyDown(keyCode); }
    void keyUp(int keyCode) { heldKeys_.keyUp(keyCode, true); }
    // A release that happened in another window of the program (a modal box
    // that opened while the key was down).
    void keyUpElsewhere(int keyCode) { heldKeys_.keyUp(keyCode, false); }
    // The keyboard focus went to another application: keys still down are
    // released (see HeldKeys).
    void focusLeftProgram() { heldKeys_.focusLeftProgram(); }

    // Runs once, at the end of the first activation (after the MIDI setup and
    // the start preset): a performance file named at start opens here.
    void onStartupDone(std::function<void()> then) { afterStartup_ = std::move(then); }

    // The lighting desk opens from "Lighting Desk" and closes with this
    // window. Given after construction because the desk refers back to this
    // window (its "Back" button); until then the command stays disabled.
    void attachLightingDesk(LightForm& desk);

    SwitchSet& switches() { return switches_; }
    MainMenu& menu() { return menu_; }
    Timer& startupTimer() { return timerStartup_; }
    PadFlags& flags() { return flags_; }
    // The switches' press and release, for sources built beside the window (a MIDI controller).
    SwitchTrigger& trigger() { return trigger_; }
    const JoystickPerformance& joysticks() const { return joysticks_; }
    // The wave-bank labels lblF1..lblF4 above the wave slots (b is 1..4).
    Label& bankLabel(int b) { return bankLabels_[static_cast<std::size_t>(b - 1)]; }

    // The pixel size the window is designed for; views lay it out in this.
    // It fits a 1024x768 screen whole; load() shrinks it to a smaller screen.
    static constexpr int kDesignWidth = 1000;
    static constexpr int kDesignHeight = 700;

private:
    void wireSwitchButtons();
    void wireMenus();
    void adoptControls();
    void disableLaterCommands();
    void showMidiError(int code, const std::string& text);

    void startupTimerFired();
    void multimode();
    void toggleGeneralMidi();
    void toggleExpertUser();
    void showHelp();
    void showAbout();

    // Stavik1_ButtonDown, Stavik2_Move, ...: one joystick control's events.
    class JoystickHandlers final : public JoystickEvents {
    public:
        JoystickHandlers(JoystickPerformance& performance, int joystick) :
            performance_(performance), joystick_(joystick)
        {
        }
        void buttonDown(int button) override { performance_.buttonDown(joystick_, button); }
        void buttonUp(int button) override { performance_.buttonUp(joystick_, button); }
        void move(int x, int y, int) override { performance_.move(joystick_, x, y); }

    private:
        JoystickPerformance& performance_;
        int joystick_;
    };

    MainFormPorts ports_;
    MidiSetupForm& midiSetup_;
    WaveSlotOperations& slots_;
    LightForm* desk_ = nullptr;
    PadMidi midi_;
    SwitchSet switches_;
    PadFlags flags_;
    SoundingNotes sounding_;
    SwitchTrigger trigger_;
    KeyboardPerformance keys_;
    HeldKeys heldKeys_ {keys_};
    JoystickPerformance joysticks_;
    JoystickHandlers stavik1Handlers_ {joysticks_, 1};
    JoystickHandlers stavik2Handlers_ {joysticks_, 2};
    PanicSweep panic_;
    MainMenu menu_;
    Timer timerStartup_ {"TimerStartup", 50, true};
    std::function<void()> afterStartup_;
    std::array<Label, 4> bankLabels_ {Label {"lblF1"}, Label {"lblF2"}, Label {"lblF3"}, Label {"lblF4"}};
};

} // namespace kelvane
