#pragma once

#include "PadMidi.h"
#include "SwitchSet.h"
#include "controls/Window.h"
#include "files/PerformanceSetup.h"
#include "files/SetupControls.h"
#include "ports/Dialogs.h"
#include "ports/FileStore.h"
#include "waves/WaveSlotSettings.h"

#include <string>
#include <string_view>

namespace kelvane {

class MainMenu;

// Dance files first, so the dialog starts on them; every file second.
inline constexpr std::string_view kPerformanceFilter = "Dance Files (*.dnc);;All Files (*)";
inline constexpr std::string_view kInvalidFileText = "This is not a Valid file!";
inline constexpr std::string_view kInvalidFileCaption = "THIS IS NOT A VALID FILE!!";

// The most a performance file can hold: 96 entries of the longest length.
constexpr std::size_t kLongestPerformanceFile = kPerformanceEntryCount * (2 + kLongestEntry);

// What the performance-file commands reach besides the window's controls.
struct PerformanceFilePorts {
    MidiOutput& midi;
    Dialogs& dialogs;
    FileStore& files;
};

// The File menu's "&New", "&Open", "&Save" and "Save As ....": a whole setup of
// the main window written to and read from a ".dnc" file.
//
// Open reads the file whole and checks every entry before it changes
// anything: a file that is cut short or holds an invalid value changes no
// setting and tells the user. Save replaces the file all at once, so the old
// file survives any failure. The current file is the one last opened or
// saved successfully; New forgets it.
class PerformanceFileCommands {
public:
    PerformanceFileCommands(
        Window& window, SwitchSet& switches, SetupControls& setup, WaveSlotSettings& slots, PerformanceFilePorts ports);

    // Gives the four File menu items their commands.
    void attach(MainMenu& menu);

    void newSetup();
    void open(); // asks for a file
    void openFile(const std::string& path); // Open with a file already chosen
    // Open with a file named when the program was started. No dialog chose
    // it, so a name that is no file is told to the user, naming it.
    void openNamedFile(const std::string& path);
    void save();
    void saveAs();

    const std::string& currentFile() const { return currentFile_; }

private:
    template <typename Command> void reporting(Command command);
    void apply(const std::string& path, const FileRead& file);
    void refuseInvalidFile();
    bool writeTo(const std::string& path);

    Window& window_;
    SwitchSet& switches_;
    SetupControls& setup_;
    WaveSlotSettings& slots_;
    PerformanceFilePorts ports_;
    PadMidi midi_;
    std::string currentFile_;
};

// The file's name without its folder, as the caption shows it.
std::string fileNameOf(const std::string& path);

} // namespace kelvane
