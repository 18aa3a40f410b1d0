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

// Menu commands whose windows and files come with later versions of the
// program: present, so the menus read as they always have, but not yet usable.
constexpr std::array<std::string_view, 1> kLaterCommands = {"mnuLightDesk"};

constexpr std::array<std::string_view, 4> kBankMenus = {"F1", "mnuF2", "mnuF3", "mnuF4"};
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
    for (const NoteTable& table : kNoteTables)
        menu_.item(std::string(table.menuItem)).onClick([this, &table] { applyNoteTable(table, switches_, *this); });
    for (const Preset& preset : kPresets)
        menu_.item(std::string(preset.menuItem)).onClick([this, &preset] {
            applyPreset(preset, switches_, midi_, *this);
        });

    menu_.item("Octaveup").onClick([this] { shiftNotes(switches_, 12); });
    menu_.item("Octavedn").onClick([this] { shiftNotes(switches_, -12); });
    menu_.item("Semiup").onClick([this] { shiftNotes(switches_, 1); });
    menu_.item("Semidn").onClick([this] { shiftNotes(switches_, -1); });
    menu_.item("mnuVelUp").onClick([this] { shiftVelocities(switches_, 10); });
    menu_.item("mnuVelDown").onClick([this] { shiftVelocities(switches_, -10); });

    menu_.item("GM").onClick([this] { toggleGeneralMidi(); });
    menu_.item("Mmode").onClick([this] { multimode(); });
    menu_.item("mnuExpert").onClick([this] { toggleExpertUser(); });
    menu_.item("Panic2").onClick([this] { panic_.run(); });
    // The mark is read by every wave slot's play press; the toggle does nothing else.
    menu_.item("mnuExclusive").onClick([this] {
        MenuItem& exclusive = menu_.item("mnuExclusive");
        exclusive.setChecked(!exclusive.checked());
    });
    // Loop timers and name boxes are left alone: the status tick recolours.
    menu_.item("mnuallwavoff").onClick([this] { ports_.waves.stopAllBuffers(); });
    menu_.item("mnuMidiSetup").onClick([this] { midiSetup_.showModal(); });
    menu_.item("mnuFileExit").onClick([this] {
        if (desk_)
            desk_->unload(); // a running fade must not outlast the program
        ports_.environment.endProgram();
    });
    menu_.item("mnbuHelpTxt").onClick([this] { showHelp(); });
    menu_.item("mnuAbout").onClick([this] { showAbout(); });
}

void MainForm::disableLaterCommands()
{
    for (std::string_view name : kLaterCommands)
        menu_.item(std::string(name)).setEnabled(false);
}

void MainForm::attachLightingDesk(LightForm& desk)
{
    desk_ = &desk;
    MenuItem& command = menu_.item("mnuLightDesk");
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
    MenuItem& gm = menu_.item("GM");
    const bool show = !gm.checked();
    gm.setChecked(show);
    for (int n = 1; n <= kSwitchCount; ++n)
        switches_.at(n).nameBox.setVisible(show);
}

void MainForm::toggleExpertUser()
{
    MenuItem& expert = menu_.item("mnuExpert");
    const bool turningOn = !expert.checked();
    expert.setChecked(turningOn);
    for (std::string_view bank : kBankMenus)
        menu_.item(std::string(bank)).setVisible(turningOn);
    if (!turningOn) {
        for (Label& label : bankLabels_)
            label.setVisible(false);
    }
    menu_.item("mnuExclusive").setVisible(turningOn);
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
