#include "MainForm.h"

#include "Presets.h"
#include "Scales.h"
#include "files/MidiSetupForm.h"
#include "lighting/LightForm.h"
#include "waves/WaveFailureReport.h"

#include <algorithm>

namespace kelvane {

namespace {
constexpr std::string_view kStartCaption = "Kelvane     Major Strings";
} // namespace

MainForm::MainForm(MainFormPorts ports, MidiSetupForm& midiSetup, WaveSlotOperations& slots, WaveBankRecall& banks) :
    Window("frmMain", std::string(kStartCaption)),
    ports_(ports),
    midiSetup_(midiSetup),
    slots_(slots),
    midi_(ports.midi),
    switches_(midi_),
    trigger_(switches_, midi_, slots_, flags_, sounding_),
    keys_(switches_, midi_, slots_, banks, ports.dialogs, flags_, sounding_),
    joysticks_(switches_, midi_, slots_, ports.dialogs, sounding_),
    panic_(midi_, ports.waves, ports.pause, ports.environment)
{
    setSize(kDesignWidth, kDesignHeight);
    for (Label& label : bankLabels_)
        label.setVisible(false); // shown once the bank is first stored
    adoptControls();
    wireSwitchButtons();
    wireMenus();
    disableLaterCommands();
    timerStartup_.onTimer([this] { startupTimerFired(); });
    ports_.midi.setErrorHandler([this](int code, const std::string& text) { showMidiError(code, text); });
    ports_.stavik1.setEvents(&stavik1Handlers_);
    ports_.stavik2.setEvents(&stavik2Handlers_);
}

MainForm::~MainForm()
{
    ports_.stavik1.setEvents(nullptr);
    ports_.stavik2.setEvents(nullptr);
}

void MainForm::adoptControls()
{
    for (int n = 1; n <= kSwitchCount; ++n) {
        Switch& s = switches_.at(n);
        for (Control* c : std::initializer_list<Control*> {&s.button, &s.indicator, &s.note, &s.noteBox, &s.velocity,
                 &s.velocityBox, &s.channel, &s.channelBox, &s.program, &s.programBox, &s.nameBox, &s.gate})
            adopt(*c);
    }
    adopt(timerStartup_);
    for (Label& label : bankLabels_)
        adopt(label);
    menu_.forEach([this](MenuItem& item) { adopt(item); });
}

void MainForm::wireSwitchButtons()
{
    for (int n = 1; n <= kSwitchCount; ++n) {
        Button& button = switches_.at(n).button;
        button.onMouseDown(
            [this, n](MouseButton) { reportingWaveFailure(ports_.dialogs, [this, n] { trigger_.press(n); }); });
        button.onMouseUp(
            [this, n](MouseButton) { reportingWaveFailure(ports_.dialogs, [this, n] { trigger_.release(n); }); });
    }
}

void MainForm::wireMenus()
{
    for (std::size_t i = 0; i < kNoteTables.size(); ++i)
        menu_.noteTable(i).onClick([this, &table = kNoteTables[i]] { applyNoteTable(table, switches_, *this); });
    for (std::size_t i = 0; i < kPresets.size(); ++i)
        menu_.preset(i).onClick([this, &preset = kPresets[i]] { applyPreset(preset, switches_, midi_, *this); });

    menu_.octaveUp().onClick([this] { shiftNotes(switches_, 12); });
    menu_.octaveDown().onClick([this] { shiftNotes(switches_, -12); });
    menu_.semitoneUp().onClick([this] { shiftNotes(switches_, 1); });
    menu_.semitoneDown().onClick([this] { shiftNotes(switches_, -1); });
    menu_.velocityUp().onClick([this] { shiftVelocities(switches_, 10); });
    menu_.velocityDown().onClick([this] { shiftVelocities(switches_, -10); });

    menu_.generalMidi().onClick([this] { toggleGeneralMidi(); });
    menu_.multimode().onClick([this] { multimode(); });
    menu_.expertUser().onClick([this] { toggleExpertUser(); });
    menu_.panic().onClick([this] { panic_.run(); });
    // The mark is read by every wave slot's play press; the toggle does nothing else.
    menu_.exclusiveWaves().onClick([this] {
        MenuItem& exclusive = menu_.exclusiveWaves();
        exclusive.setChecked(!exclusive.checked());
    });
    // Loop timers and name boxes are left alone: the status tick recolours.
    menu_.allWavesOff().onClick([this] { ports_.waves.stopAllBuffers(); });
    menu_.midiSetup().onClick([this] { midiSetup_.showModal(); });
    menu_.exit().onClick([this] {
        if (desk_)
            desk_->unload(); // a running fade must not outlast the program
        ports_.environment.endProgram();
    });
    menu_.helpContents().onClick([this] { showHelp(); });
    menu_.about().onClick([this] { showAbout(); });
}

void MainForm::disableLaterCommands()
{
    // The desk is usable once it is attached.
    menu_.lightingDesk().setEnabled(false);
}

void MainForm::attachLightingDesk(LightForm& desk)
{
    desk_ = &desk;
    MenuItem& command = menu_.lightingDesk();
    command.onClick([this] { desk_->show(); });
    command.setEnabled(true);
}

void MainForm::load()
{
    slots_.resetLoopCounts();
    ports_.stavik1.setEnabled(true);
    switches_.resetNoteCopy();
    if (screenTooNarrow(ports_.environment.screenWidth() * kTwipsPerPixel))
        ports_.dialogs.showMessage(std::string(kScreenWarning), MessageIcon::None, MessageButtons::Ok, "");
    // The window never outgrows the screen (its content scrolls instead) and
    // leaves room for a title bar and a panel, so centring never puts its menu
    // bar out of reach.
    fitAndCentre(kDesignWidth, kDesignHeight, ports_.environment.screenWidth(), ports_.environment.screenHeight());
}

void MainForm::startupTimerFired()
{
    timerStartup_.setEnabled(false);
    // Slot 1 holds no file yet: this first load only wakes the wave player.
    ports_.waves.loadWaveFile("");
}

void MainForm::activate()
{
    if (flags_.startupDone != 0)
        return;
    // Marked first: the setup window's modal loop may activate this window again.
    flags_.startupDone = 1;
    midiSetup_.showModal();
    applyPreset(kMajorStrings, switches_, midi_, *this);
    setCaption(std::string(kStartCaption));
    if (afterStartup_)
        afterStartup_();
}

void MainForm::unload()
{
    // First, so that a fade this runs inside ends at its next step instead of
    // keeping the program alive until it has run its course.
    if (desk_)
        desk_->unload();
    ports_.midi.close();
    ports_.stavik1.setEnabled(false);
    ports_.stavik2.setEnabled(false);
    ports_.waves.stopAllBuffers();
    ports_.environment.endProgram();
}

void MainForm::showMidiError(int code, const std::string& text)
{
    if (code == midi_error::kNone || code == midi_error::kInformation)
        return;
    ports_.dialogs.showMessage(text, MessageIcon::None, MessageButtons::Ok, "");
}

void MainForm::multimode()
{
    panic_.run();
    for (int n = 1; n <= kSwitchCount; ++n)
        switches_.at(n).channel.setValue(n);
    for (int n = 1; n <= kSwitchCount; ++n) {
        const Switch& s = switches_.at(n);
        midi_.programChange(s.channel.value(), s.program.value());
    }
}

void MainForm::toggleGeneralMidi()
{
    MenuItem& gm = menu_.generalMidi();
    const bool show = !gm.checked();
    gm.setChecked(show);
    for (int n = 1; n <= kSwitchCount; ++n)
        switches_.at(n).nameBox.setVisible(show);
}

void MainForm::toggleExpertUser()
{
    MenuItem& expert = menu_.expertUser();
    const bool turningOn = !expert.checked();
    expert.setChecked(turningOn);
    for (int bank = 1; bank <= MainMenu::kBanks; ++bank)
        menu_.bankMenu(bank).setVisible(turningOn);
    if (!turningOn) {
        for (Label& label : bankLabels_)
            label.setVisible(false);
    }
    menu_.exclusiveWaves().setVisible(turningOn);
}

void MainForm::showHelp()
{
    std::string folder = ports_.environment.programFolder();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    ports_.environment.showHelp(folder + std::string(kHelpFileName));
}

void MainForm::showAbout()
{
    const std::string title = "About " + std::string(kProductName) + " Version " + std::string(kVersion);
    const std::string text = std::string(kProductName) + " " + std::string(kVersion)
        + "\nA live-performance instrument: eight switches that play MIDI instruments, "
          "wave samples, stage lights and slides.";
    ports_.dialogs.showMessage(text, MessageIcon::Information, MessageButtons::Ok, title);
}

} // namespace kelvane
