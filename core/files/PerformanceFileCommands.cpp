#include "files/PerformanceFileCommands.h"

#include "MainMenu.h"
#include "Presets.h"

namespace kelvane {

namespace {
constexpr std::string_view kOpenTitle = "Open";
constexpr std::string_view kSaveTitle = "Save As";

// What New puts in every slot after clearing it.
constexpr int kNewVolume = -400;
} // namespace

std::string fileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

PerformanceFileCommands::PerformanceFileCommands(
    Window& window, SwitchSet& switches, SetupControls& setup, WaveSlotSettings& slots, PerformanceFilePorts ports) :
    window_(window), switches_(switches), setup_(setup), slots_(slots), ports_(ports), midi_(ports.midi)
{
}

void PerformanceFileCommands::attach(MainMenu& menu)
{
    menu.fileNew().onClick([this] { reporting([this] { newSetup(); }); });
    menu.open().onClick([this] { reporting([this] { open(); }); });
    menu.save().onClick([this] { reporting([this] { save(); }); });
    menu.saveAs().onClick([this] { reporting([this] { saveAs(); }); });
}

template <typename Command> void PerformanceFileCommands::reporting(Command command)
{
    // A menu command ends here: nothing it raises may reach the event loop.
    try {
        command();
    } catch (const std::exception& failure) {
        ports_.dialogs.showMessage(failure.what(), MessageIcon::Warning, MessageButtons::Ok, "");
    }
}

void PerformanceFileCommands::newSetup()
{
    currentFile_.clear();
    applyPreset(kMajorStrings, switches_, midi_, window_);
    for (int n = 1; n <= kSwitchCount; ++n)
        slots_.clear(n);
    for (int n = 1; n <= kSwitchCount; ++n) {
        slots_.setVolume(n, kNewVolume);
        slots_.setLoop(n, 0);
        slots_.setPan(n, 0);
        slots_.setLoopCount(n, 0);
    }
    for (int n = 1; n <= kSwitchCount; ++n)
        switches_.at(n).gate.setValue(0);
}

void PerformanceFileCommands::open()
{
    const auto path = ports_.dialogs.chooseFileToOpen(std::string(kOpenTitle), std::string(kPerformanceFilter));
    if (!path)
        return;
    openFile(*path);
}

void PerformanceFileCommands::openFile(const std::string& path)
{
    apply(path, ports_.files.read(path, kLongestPerformanceFile));
}

void PerformanceFileCommands::openNamedFile(const std::string& path)
{
    const FileRead file = ports_.files.read(path, kLongestPerformanceFile);
    if (file.status == ReadStatus::Missing || file.status == ReadStatus::NotAFile) {
        const std::string what = file.status == ReadStatus::Missing ? "does not exist" : "is not a file";
        ports_.dialogs.showMessage(
            "The performance file " + path + " named at start " + what + ". Kelvane started without it.",
            MessageIcon::Warning, MessageButtons::Ok, "");
        return;
    }
    apply(path, file);
}

void PerformanceFileCommands::apply(const std::string& path, const FileRead& file)
{
    switch (file.status) {
    case ReadStatus::Missing:
    case ReadStatus::NotAFile:
        // Nothing to read there: nothing changes.
        return;
    case ReadStatus::Unreadable:
        refuseInvalidFile();
        return;
    case ReadStatus::Read:
        break;
    }
    const std::optional<PerformanceRecord> record = decodePerformanceRecord(file.bytes);
    const std::optional<PerformanceSetup> setup = record ? setupOf(*record) : std::nullopt;
    if (!setup) {
        refuseInvalidFile();
        return;
    }

    currentFile_ = path;
    window_.setCaption(fileNameOf(path));
    setup_.applyInFileOrder(*setup);
    for (int n = 1; n <= kSwitchCount; ++n) {
        const Switch& s = switches_.at(n);
        midi_.programChange(s.channel.value(), s.program.value());
    }
}

void PerformanceFileCommands::refuseInvalidFile()
{
    window_.setCaption(std::string(kInvalidFileCaption));
    ports_.dialogs.showMessage(std::string(kInvalidFileText), MessageIcon::None, MessageButtons::Ok, "");
}

void PerformanceFileCommands::save()
{
    if (currentFile_.empty()) {
        saveAs();
        return;
    }
    writeTo(currentFile_);
}

void PerformanceFileCommands::saveAs()
{
    const auto path
        = ports_.dialogs.chooseFileToSave(std::string(kSaveTitle), std::string(kPerformanceFilter), currentFile_);
    if (!path)
        return;
    if (writeTo(*path))
        currentFile_ = *path;
}

bool PerformanceFileCommands::writeTo(const std::string& path)
{
    const PerformanceRecord record = recordOf(setup_.capture());
    if (firstOverlongEntry(record)) {
        ports_.dialogs.showMessage("Cannot save " + path
                + ": a wave's path or name is longer than 65535 bytes. The file on disk is unchanged.",
            MessageIcon::Warning, MessageButtons::Ok, "");
        return false;
    }
    const std::string failure = ports_.files.replace(path, encodePerformanceRecord(record));
    if (!failure.empty()) {
        ports_.dialogs.showMessage(failure + "\nThe file was not saved; the file on disk is unchanged.",
            MessageIcon::Warning, MessageButtons::Ok, "");
        return false;
    }
    return true;
}

} // namespace kelvane
