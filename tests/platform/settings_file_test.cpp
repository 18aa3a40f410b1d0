// midi-input.conf on disk: whole writes through the safe writer, reads that
// stop past the largest file, a bad file set aside, and the MIDI input's
// settings kept across starts through the real file.
#include "TempFolder.h"
#include "fakes/EffectLog.h"
#include "fakes/FakeDesktop.h"
#include "files/MidiInputSettingsFile.h"
#include "files/SettingsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace kelvane;
using Bytes = std::vector<std::uint8_t>;
using Status = PreferencesStore::Contents::Status;
using stavik::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLargest = 16;

Bytes bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::string fileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(SettingsFile, WritesWholeFilesIntoAFolderItMakesAndReadsThemBack)
{
    TempFolder temp;
    const fs::path folder = temp / "config" / "kelvane";
    files::SettingsFile file(folder.string(), "midi-input.conf", kLargest);
    EXPECT_EQ(file.location(), (folder / "midi-input.conf").string());
    EXPECT_EQ(file.read().status, Status::Missing);

    EXPECT_EQ(file.write(bytesOf("first\n")), "");
    EXPECT_EQ(file.write(bytesOf("second\n")), "");
    EXPECT_EQ(fileText(folder / "midi-input.conf"), "second\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << "no temporary left";
    const auto contents = file.read();
    EXPECT_EQ(contents.status, Status::Read);
    EXPECT_EQ(contents.bytes, bytesOf("second\n"));
}

TEST(SettingsFile, ReadsStopJustPastTheLargestFileAndAFolderIsUnreadable)
{
    TempFolder temp;
    files::SettingsFile file(temp.path().string(), "midi-input.conf", kLargest);
    writeText(temp / "midi-input.conf", std::string(1000, 'x'));
    EXPECT_EQ(file.read().bytes.size(), kLargest + 1);

    fs::remove(temp / "midi-input.conf");
    fs::create_directory(temp / "midi-input.conf");
    const auto contents = file.read();
    EXPECT_EQ(contents.status, Status::Unreadable);
    EXPECT_NE(contents.problem.find("is not a file"), std::string::npos);

    files::SettingsFile homeless("", "midi-input.conf", kLargest);
    EXPECT_EQ(homeless.read().status, Status::Missing);
    EXPECT_NE(homeless.write(bytesOf("x")), "");
}

TEST(SettingsFile, ABadFileIsSetAsideWholeReplacingAnOlderOne)
{
    TempFolder temp;
    files::SettingsFile file(temp.path().string(), "midi-input.conf", kLargest);
    writeText(temp / "midi-input.conf.bad", "older\n");
    writeText(temp / "midi-input.conf", "bad\n");
    std::string problem;
    EXPECT_EQ(file.setAside(problem), (temp / "midi-input.conf.bad").string());
    EXPECT_EQ(fileText(temp / "midi-input.conf.bad"), "bad\n");
    EXPECT_EQ(file.read().status, Status::Missing);
    EXPECT_EQ(file.setAside(problem), "") << "nothing there to set aside";
    EXPECT_NE(problem, "");
}

TEST(MidiInputSettingsOnDisk, ABadFileIsKeptAsideTheDefaultsPlayAndChangesSurviveTheNextStart)
{
    TempFolder temp;
    const fs::path path = temp / kMidiInputSettingsFileName;
    writeText(path, "version=1\ninput=Pads\n");
    fakes::EffectLog log;
    fakes::FakeDialogs dialogs(log);
    {
        files::SettingsFile file(temp.path().string(), kMidiInputSettingsFileName, kMidiInputSettingsLargest);
        MidiInputSettingsFile settings(file, dialogs);
        settings.load();
        EXPECT_EQ(settings.current(), MidiInputSettings {});
        EXPECT_EQ(fileText(temp / "midi-input.conf.bad"), "version=1\ninput=Pads\n");
        ASSERT_EQ(log.entries().size(), 1u);
        EXPECT_NE(log.entries()[0].find("midi-input.conf.bad"), std::string::npos);
        settings.setInput("Pedal");
    }
    files::SettingsFile file(temp.path().string(), kMidiInputSettingsFileName, kMidiInputSettingsLargest);
    MidiInputSettingsFile settings(file, dialogs);
    settings.load();
    EXPECT_EQ(settings.current().input, "Pedal");
    EXPECT_EQ(log.entries().size(), 1u) << "a good file says nothing";
}

} // namespace
