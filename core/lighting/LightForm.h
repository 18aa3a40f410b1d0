#pragma once

#include "controls/Button.h"
#include "controls/CheckBox.h"
#include "controls/ScrollBar.h"
#include "controls/TextBox.h"
#include "controls/Window.h"
#include "lighting/LightMessages.h"
#include "ports/Environment.h"
#include "ports/MidiOutput.h"
#include "ports/Pause.h"

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace kelvane {

// Why a desk message did not go out. Thrown by the sending step; it ends the
// operation that sent the message (and a running fade with it) and is caught
// where that operation began, which shows it on the desk.
class DeskRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LightFormPorts {
    MidiOutput& midi;
    // The fades' steps: a pause, then every pending event runs nested.
    Pause& pause;
    Environment& environment;
};

// One light channel of the desk: its fader (127 at the top), value box,
// caption and fade buttons.
struct LightChannel {
    explicit LightChannel(int channelNumber);

    int number;
    ScrollBar fader;
    TextBox box;
    Label label;
    Button fadeUp;
    Button fadeDown;
};

// The lighting desk "LightForm": twelve light channels sent as note-ons
// through the main window's MIDI output, a master, timed fades, a fade stop,
// all-off and the channel-volume switch.
//
// Fades pause between their steps and let every pending event run, so any
// handler of the program, this desk's included, may run nested inside a fade.
// The desk stays one object for the program's life: closing it unloads it
// (hides it and ends running fades at their next step, which then touch
// nothing), and the next show() loads the initial values again.
//
// A message that cannot go out (the channel box names no MIDI channel, or the
// output refuses it) ends the operation that sent it, fades included, and is
// shown once in the notice line lblNotice; no message box interrupts the
// performance. The next operation that sends clears the notice.
class LightForm : public Window {
public:
    static constexpr int kInitialFadeTimeMs = 30;
    static constexpr int kMaxFadeTimeMs = 220;
    static constexpr int kDesignWidth = 900;
    static constexpr int kDesignHeight = 560;

    // Back (Command1) brings mainWindow to the front.
    LightForm(LightFormPorts ports, Window& mainWindow);

    // The main window's "Lighting Desk" command: loads the desk if it is not
    // loaded (initial values, centred on the screen; nothing is sent), shows
    // it and brings it to the front.
    void show();
    // The close box. Safe at any time, also from inside a fade's events.
    void unload();
    bool loaded() const { return loaded_; }

    // Channels 1..12.
    LightChannel& channel(int n) { return *channels_.at(static_cast<std::size_t>(n - 1)); }

    // 1 while running fades are to stop at their next check.
    int fadeStop() const { return fadeStop_; }

    ScrollBar scrMaster {"scrMaster", Orientation::Vertical, kMaxLightLevel, 0, 0};
    TextBox txtMaster {"txtMaster", "0"};
    Label lblMaster {"lblMaster", "Master"};
    Button cmdFadeUp {"cmdFadeUp", "Up"};
    Button cmdFadeDown {"cmdFadeDown", "Down"};
    ScrollBar scrFadeTime {"scrFadeTime", Orientation::Horizontal, 0, kMaxFadeTimeMs, kInitialFadeTimeMs};
    TextBox txtTime {"txtTime", "30"};
    Label lblFadeTime {"lblFadeTime", "Fade Time"};
    ScrollBar scrCha {"scrCha", Orientation::Vertical, 16, 1, 16};
    // The messages use this box's text, which the user may type over.
    TextBox txtCha {"txtCha", "16"};
    Label lblCha {"lblCha", "Cha"};
    ScrollBar scrOct {"scrOct", Orientation::Vertical, 8, 1, 1};
    TextBox txtOct {"txtOct", "1"};
    Label lblOct {"lblOct", "Oct"};
    CheckBox chkVol {"chkVol", "Volume Off"};
    Button cmdStop {"cmdStop", "Stop Fade"};
    Button cmdAllOff {"cmdAllOff", "All Lights Off"};
    Button Command1 {"Command1", "Back"};
    Label lblHeading {"lblHeading", "Lighting Desk"};
    Label lblNotice {"lblNotice", ""};

private:
    void adoptControls();
    void wireChannel(LightChannel& ch);
    void wireFadeButton(Button& button, ScrollBar& fader, int& fadeLevel, int step);
    void wireControls();
    void load();

    // A handler that begins an operation when the user's event calls it, and
    // is a step of the running operation when drive() calls it.
    std::function<void()> operation(std::function<void()> body);
    // Sets a control as a step of the running operation: a refusal in the
    // handling it runs ends that operation.
    void drive(ScrollBar& bar, int value);

    void channelLevelChanged(int n);
    void masterChanged();
    void octaveChanged();
    void fade(ScrollBar& fader, int& fadeLevel, int step);
    void allLightsOff();
    void volumeOffClicked();

    // Sends LightLevel for LightNote on the channel box's MIDI channel.
    void sendLightLevel();
    void sendOrRefuse(const ShortMessage& message);
    int midiChannelOrRefuse() const;
    // A pause of the fade time with the events run; false when the desk was
    // closed meanwhile (the caller then touches nothing).
    bool pauseStillLoaded(unsigned loadNumber);

    LightFormPorts ports_;
    Window& mainWindow_;
    std::vector<std::unique_ptr<LightChannel>> channels_;

    int lightLevel_ = 0;
    int lightNote_ = kFirstLightNote;
    int octaveOffset_ = 0;
    // The running levels of fades: master first, then channels 1..12.
    std::array<int, kLightChannelCount + 1> fadeLevels_ {};
    int fadeStop_ = 0;

    bool loaded_ = false;
    // Counts loads, so a fade knows whether its desk is still the one it began in.
    unsigned loadNumber_ = 0;
    bool resetting_ = false;
    bool drivenCall_ = false;
};

} // namespace kelvane
