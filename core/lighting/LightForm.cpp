#include "lighting/LightForm.h"

#include <string>
#include <utility>

namespace kelvane {

namespace {

constexpr int kFadeUp = 1;
constexpr int kFadeDown = -1;
constexpr std::size_t kMasterFade = 0;

// Restores a flag when the scope ends, also when an exception leaves it.
class FlagScope {
public:
    FlagScope(bool& flag, bool value) : flag_(flag), saved_(std::exchange(flag, value)) { }
    ~FlagScope() { flag_ = saved_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

std::string hexBytes(const ShortMessage& message)
{
    std::string text;
    const auto add = [&text](int value) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        if (!text.empty())
            text += ' ';
        if (value < 0 || value > 0xFF) {
            text += std::to_string(value);
            return;
        }
        text += kDigits[value >> 4];
        text += kDigits[value & 0xF];
    };
    add(message.status);
    add(message.data1);
    if (message.data2)
        add(*message.data2);
    return text;
}

DeskRefusal refusalOf(const ShortMessage& message)
{
    return DeskRefusal("The MIDI output refused the message " + hexBytes(message) + "; the desk stopped there.");
}

} // namespace

LightChannel::LightChannel(int channelNumber) :
    number(channelNumber),
    fader("Lux" + std::to_string(channelNumber), Orientation::Vertical, kMaxLightLevel, 0, 0),
    box("Text" + std::to_string(channelNumber), "0"),
    label("lbl" + std::to_string(channelNumber), std::to_string(channelNumber)),
    fadeUp("cmd" + std::to_string(channelNumber) + "FadeUp", "Up"),
    fadeDown("cmd" + std::to_string(channelNumber) + "FadeDown", "Down")
{
    // Every step of a dragged thumb is a level the lights follow.
    fader.setTracksThumb(true);
}

LightForm::LightForm(LightFormPorts ports, Window& mainWindow) :
    Window("LightForm", "Lighting Desk"), ports_(ports), mainWindow_(mainWindow)
{
    setSize(kDesignWidth, kDesignHeight);
    for (int n = 1; n <= kLightChannelCount; ++n)
        channels_.push_back(std::make_unique<LightChannel>(n));
    scrMaster.setTracksThumb(true);
    scrFadeTime.setTracksThumb(true);
    adoptControls();
    wireControls();
}

void LightForm::adoptControls()
{
    adopt(lblHeading);
    for (auto& ch : channels_) {
        for (Control* c :
            std::initializer_list<Control*> {&ch->fader, &ch->box, &ch->label, &ch->fadeUp, &ch->fadeDown})
            adopt(*c);
    }
    for (Control* c : std::initializer_list<Control*> {&scrMaster, &txtMaster, &lblMaster, &cmdFadeUp, &cmdFadeDown,
             &scrFadeTime, &txtTime, &lblFadeTime, &scrCha, &txtCha, &lblCha, &scrOct, &txtOct, &lblOct, &chkVol,
             &cmdStop, &cmdAllOff, &Command1, &lblNotice})
        adopt(*c);
}

void LightForm::wireControls()
{
    for (auto& ch : channels_)
        wireChannel(*ch);
    scrMaster.onChange(operation([this] { masterChanged(); }));
    wireFadeButton(cmdFadeUp, scrMaster, fadeLevels_[kMasterFade], kFadeUp);
    wireFadeButton(cmdFadeDown, scrMaster, fadeLevels_[kMasterFade], kFadeDown);

    // The boxes follow their bars; none of them sends anything.
    scrFadeTime.onChange([this] {
        if (!resetting_)
            txtTime.setText(std::to_string(scrFadeTime.value()));
    });
    scrCha.onChange([this] {
        if (!resetting_)
            txtCha.setText(std::to_string(scrCha.value()));
    });
    scrOct.onChange([this] {
        if (!resetting_)
            octaveChanged();
    });

    cmdStop.onMouseDown([this](MouseButton) { fadeStop_ = 1; });
    cmdStop.onMouseUp([this](MouseButton) { fadeStop_ = 0; });
    cmdAllOff.onClick(operation([this] { allLightsOff(); }));
    chkVol.onChange(operation([this] { volumeOffClicked(); }));
    Command1.onClick([this] { mainWindow_.bringToFront(); });
}

void LightForm::wireChannel(LightChannel& ch)
{
    const int n = ch.number;
    ch.fader.onChange(operation([this, n] { channelLevelChanged(n); }));
    auto& fadeLevel = fadeLevels_[static_cast<std::size_t>(n)];
    wireFadeButton(ch.fadeUp, ch.fader, fadeLevel, kFadeUp);
    wireFadeButton(ch.fadeDown, ch.fader, fadeLevel, kFadeDown);
}

// The press clears the stop so that the click's fade may run; the release,
// which the view delivers after the click (so after the fade ended), sets it
// again: that is what ends an outer fade that this one ran inside.
void LightForm::wireFadeButton(Button& button, ScrollBar& fader, int& fadeLevel, int step)
{
    button.onMouseDown([this](MouseButton) { fadeStop_ = 0; });
    button.onClick(operation([this, &fader, &fadeLevel, step] { fade(fader, fadeLevel, step); }));
    button.onMouseUp([this](MouseButton) { fadeStop_ = 1; });
}

std::function<void()> LightForm::operation(std::function<void()> body)
{
    return [this, body = std::move(body)] {
        if (resetting_ || !loaded_)
            return;
        // Consumed at once: events that run nested further down (a message
        // box, a fade's pause) begin operations of their own.
        if (std::exchange(drivenCall_, false)) {
            body();
            return;
        }
        lblNotice.setText("");
        try {
            body();
        } catch (const DeskRefusal& refusal) {
            lblNotice.setText(refusal.what());
        } catch (const std::exception& failure) {
            // Nothing may escape into the event loop that called the handler.
            lblNotice.setText(std::string("The desk stopped: ") + failure.what());
        }
    };
}

void LightForm::drive(ScrollBar& bar, int value)
{
    FlagScope driven(drivenCall_, true);
    bar.setValue(value);
}

void LightForm::show()
{
    if (!loaded_)
        load();
    bringToFront();
}

void LightForm::load()
{
    {
        FlagScope quiet(resetting_, true);
        for (auto& ch : channels_) {
            ch->fader.setValue(0);
            ch->box.setText("0");
        }
        scrMaster.setValue(0);
        txtMaster.setText("0");
        scrFadeTime.setValue(kInitialFadeTimeMs);
        txtTime.setText(std::to_string(kInitialFadeTimeMs));
        scrCha.setValue(16);
        txtCha.setText("16");
        scrOct.setValue(1);
        txtOct.setText("1");
        chkVol.setValue(0);
        lblNotice.setText("");
    }
    lightLevel_ = 0;
    lightNote_ = kFirstLightNote;
    octaveOffset_ = 0;
    fadeLevels_.fill(0);
    fadeStop_ = 0;
    ++loadNumber_;
    loaded_ = true;
    // As the main window: whole where the screen has room, else the desk's
    // content scrolls; centred with the size the window really takes.
    fitAndCentre(kDesignWidth, kDesignHeight, ports_.environment.screenWidth(), ports_.environment.screenHeight());
}

void LightForm::unload()
{
    loaded_ = false;
    ++loadNumber_;
    setVisible(false);
}

void LightForm::channelLevelChanged(int n)
{
    LightChannel& ch = channel(n);
    ch.box.setText(std::to_string(ch.fader.value()));
    lightLevel_ = ch.fader.value();
    lightNote_ = lightNote(n);
    sendLightLevel();
}

void LightForm::masterChanged()
{
    const int level = scrMaster.value();
    txtMaster.setText(std::to_string(level));
    // Each fader that really changes sends its own channel; the master sends
    // nothing of its own.
    for (auto& ch : channels_)
        drive(ch->fader, level);
}

void LightForm::octaveChanged()
{
    txtOct.setText(std::to_string(scrOct.value()));
    octaveOffset_ = octaveOffset(scrOct.value());
}

void LightForm::fade(ScrollBar& fader, int& fadeLevel, int step)
{
    const unsigned loadNumber = loadNumber_;
    fadeLevel = fader.value();
    while (fadeLevel >= 0 && fadeLevel <= kMaxLightLevel) {
        // The first pass sets the level the fader already has: nothing is sent.
        drive(fader, fadeLevel);
        if (!pauseStillLoaded(loadNumber) || fadeStop_ == 1)
            return;
        fadeLevel += step;
    }
}

// Every channel ends at 0, whatever the stop flag says and whatever moved
// during the pause: the command is the performer's way to darkness.
void LightForm::allLightsOff()
{
    const unsigned loadNumber = loadNumber_;
    drive(scrMaster, 1);
    if (!pauseStillLoaded(loadNumber))
        return;
    // A fade that this command ran inside ends at its next check.
    fadeStop_ = 1;
    drive(scrMaster, 0);
    // Faders moved by hand during the pause, while the master stayed at 1.
    for (auto& ch : channels_)
        drive(ch->fader, 0);
    pauseStillLoaded(loadNumber);
}

void LightForm::volumeOffClicked()
{
    sendOrRefuse(channelVolumeMessage(midiChannelOrRefuse(), chkVol.checked() ? 0 : kMaxLightLevel));
}

void LightForm::sendLightLevel()
{
    const int note = lightNote_ + octaveOffset_;
    const ShortMessage message = lightLevelMessage(midiChannelOrRefuse(), note, lightLevel_);
    if (ports_.midi.trySend(message))
        return;
    if (note > kMaxLightLevel) {
        // Said in the performer's terms: the high octaves leave the top channels dark.
        const int lightChannel = lightNote_ - (kFirstLightNote - 1);
        throw DeskRefusal("Channel " + std::to_string(lightChannel) + " was not sent: at octave "
            + std::to_string(scrOct.value()) + " it is note " + std::to_string(note)
            + ", above the highest MIDI note 127. Lower the octave to light it.");
    }
    throw refusalOf(message);
}

void LightForm::sendOrRefuse(const ShortMessage& message)
{
    if (!ports_.midi.trySend(message))
        throw refusalOf(message);
}

int LightForm::midiChannelOrRefuse() const
{
    const std::optional<int> channel = deskMidiChannel(txtCha.text());
    if (!channel)
        throw DeskRefusal(
            "Nothing was sent: the Cha box holds \"" + txtCha.text() + "\", which is not a MIDI channel from 1 to 16.");
    return *channel;
}

bool LightForm::pauseStillLoaded(unsigned loadNumber)
{
    ports_.pause.waitThenHandleEvents(scrFadeTime.value());
    return loaded_ && loadNumber == loadNumber_;
}

} // namespace kelvane
