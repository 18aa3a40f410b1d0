// The File menu's New, Open, Save and Save As on the main window, with files
// in memory: what reaches the disk, what an opened file changes, and that a
// bad file changes nothing.

#include "FilesRig.h"

#include <gtest/gtest.h>

namespace kelvane::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// New followed by Save, byte for byte.
const char* const kNewFileHex
    = "020036300200363202003634020036350200363702003639020037310200373203003132300300313230030031323003"
      "003132300300313230030031323003003132300300313230010031010031010031010031010031010031010031010031"
      "020034380200343802003438020034380200343802003438020034380200343800000000000000000000000000000000"
      "00000000000000000000000000000000010030010030010030010030010030010030010030010030050046616c736500"
      "0000000000000000000000000004002d34303004002d34303004002d34303004002d34303004002d34303004002d3430"
      "3004002d34303004002d3430300100300100300100300100300100300100300100300100300100300100300100300100"
      "30010030010030010030010030010030010030010030010030010030010030010030010030";

Bytes fromHex(const std::string& hex)
{
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// Every switch on its own channel (so no program write copies to another),
// every slot setting away from its start value.
void makeEverythingDifferent(FilesRig& r)
{
    for (int n = 1; n <= 8; ++n) {
        r.sw(n).channel.setValue(n + 2);
        r.sw(n).note.setValue(30 + n);
        r.sw(n).velocity.setValue(90 + n);
        r.sw(n).program.setValue(100 + n);
        r.sw(n).gate.setValue(n % 2);
        auto& s = r.slots.slot(n);
        s.path = "/stage/w" + std::to_string(n) + ".wav";
        s.name = "w" + std::to_string(n) + ".wav";
        s.volume = -100 * n;
        s.loop = (n + 1) % 2;
        s.pan = 1000 * n - 5000;
        s.loopCount = 3 * n;
    }
    r.menu().exclusiveWaves().setChecked(true);
}

Bytes fileOf(const PerformanceSetup& setup) { return encodePerformanceRecord(recordOf(setup)); }

TEST(PerformanceFile, NewThenSaveWritesTheGoldenFile)
{
    FilesRig r;
    makeEverythingDifferent(r);
    r.menu().exclusiveWaves().setChecked(false);
    r.menu().fileNew().click();
    EXPECT_EQ(r.rig.form.caption(), "Major strings");
    r.rig.dialogs.files.push_back("/stage/new.dnc");
    r.menu().save().click(); // no file is current after New: Save asks for one
    EXPECT_EQ(r.log().startingWith("dialog"), (Log {"dialog save Save As"}));
    EXPECT_EQ(r.files.files.at("/stage/new.dnc"), fromHex(kNewFileHex));
    EXPECT_EQ(r.commands.currentFile(), "/stage/new.dnc");
}

TEST(PerformanceFile, SaveThenOpenRestoresEveryValue)
{
    FilesRig r;
    makeEverythingDifferent(r);
    const PerformanceSetup saved = r.setup.capture();
    r.rig.dialogs.files.push_back("/stage/show.dnc");
    r.menu().saveAs().click();

    r.menu().fileNew().click();
    r.menu().exclusiveWaves().setChecked(false);
    ASSERT_NE(r.setup.capture(), saved);
    r.rig.dialogs.files.push_back("/stage/show.dnc");
    r.menu().open().click();
    EXPECT_EQ(r.setup.capture(), saved);
    EXPECT_EQ(r.rig.form.caption(), "show.dnc");
    EXPECT_EQ(r.commands.currentFile(), "/stage/show.dnc");
    // The opened slots show their files chosen.
    EXPECT_TRUE(r.slots.slot(1).red);
}

TEST(PerformanceFile, SaveWritesToTheCurrentFileWithoutAsking)
{
    FilesRig r;
    r.rig.dialogs.files.push_back("/stage/a.dnc");
    r.menu().saveAs().click();
    r.sw(1).note.setValue(40);
    r.log().clear();
    r.menu().save().click();
    EXPECT_EQ(r.log().entries(), (Log {"file replace /stage/a.dnc (325 bytes)"}));
    EXPECT_EQ(setupOf(*decodePerformanceRecord(r.files.files.at("/stage/a.dnc")))->switches[0].note, 40);
}

TEST(PerformanceFile, CancelledDialogsDoNothing)
{
    FilesRig r;
    r.menu().open().click();
    r.menu().saveAs().click();
    EXPECT_EQ(r.log().entries(), (Log {"dialog open Open", "dialog save Save As"}));
    EXPECT_TRUE(r.files.files.empty());
}

// Opening applies the settings in the file's order, then settles the slots,
// then sends one program change per switch, in switch order.
TEST(PerformanceFile, OpenAppliesInOrderAndSendsExactlyEightProgramChanges)
{
    FilesRig r;
    PerformanceSetup file = r.setup.capture();
    for (int n = 1; n <= 8; ++n)
        file.switches[static_cast<std::size_t>(n - 1)].channel = n;
    file.switches[0].note = 61;
    file.slots[1].path = "/w/a.wav";
    file.slots[1].name = "a.wav";
    file.slots[0].volume = -100;
    file.exclusive = true;
    r.files.files["/f.dnc"] = fileOf(file);
    // The channels as in the file already, so only the closing messages go out.
    for (int n = 1; n <= 8; ++n)
        r.sw(n).channel.setValue(n);
    r.log().clear();
    r.commands.openFile("/f.dnc");
    EXPECT_EQ(r.log().entries(),
        (Log {"file read /f.dnc", "slot 2 path /w/a.wav", "slot 2 name a.wav", "slot 1 volume -100", "slot 1 empty",
            "slot 2 chosen", "slot 3 empty", "slot 4 empty", "slot 5 empty", "slot 6 empty", "slot 7 empty",
            "slot 8 empty", "midi C0 30", "midi C1 30", "midi C2 30", "midi C3 30", "midi C4 30", "midi C5 30",
            "midi C6 30", "midi C7 30"}));
    EXPECT_EQ(r.sw(1).note.value(), 61);
    EXPECT_TRUE(r.menu().exclusiveWaves().checked());
}

TEST(PerformanceFile, ASlotWithAPathButNoNameOpensEmpty)
{
    FilesRig r;
    PerformanceSetup file = r.setup.capture();
    file.slots[0].path = "/w/kick.wav";
    file.slots[0].name = "";
    r.files.files["/f.dnc"] = fileOf(file);
    r.commands.openFile("/f.dnc");
    EXPECT_EQ(r.slots.slot(1).path, "");
    EXPECT_FALSE(r.slots.slot(1).red);
}

// Every way a file can be bad: the user is told, and not one setting, the
// caption's file name or the current file changes.
TEST(PerformanceFile, AnInvalidFileChangesNoSettingAndSaysSo)
{
    const Bytes good = fileOf(PerformanceSetup {});
    PerformanceRecord letter = recordOf(PerformanceSetup {});
    letter[18] = "x";
    PerformanceRecord highNote = recordOf(PerformanceSetup {});
    highNote[0] = "200";
    PerformanceRecord lateBad = recordOf(PerformanceSetup {});
    lateBad[95] = "35";
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const std::vector<Case> cases = {
        {"empty file", {}},
        {"96 empty entries", Bytes(192, 0)},
        {"cut short", Bytes(good.begin(), good.end() - 1)},
        {"letter for a channel", encodePerformanceRecord(letter)},
        {"note above its bar", encodePerformanceRecord(highNote)},
        {"last entry out of range", encodePerformanceRecord(lateBad)},
    };
    for (const Case& c : cases) {
        FilesRig r;
        makeEverythingDifferent(r);
        r.rig.dialogs.files.push_back("/stage/kept.dnc");
        r.menu().saveAs().click();
        const PerformanceSetup before = r.setup.capture();
        r.files.files["/bad.dnc"] = c.bytes;
        r.log().clear();
        r.commands.openFile("/bad.dnc");
        EXPECT_EQ(r.log().entries(), (Log {"file read /bad.dnc", "message This is not a Valid file!"})) << c.what;
        EXPECT_EQ(r.rig.form.caption(), "THIS IS NOT A VALID FILE!!") << c.what;
        EXPECT_EQ(r.setup.capture(), before) << c.what;
        EXPECT_EQ(r.commands.currentFile(), "/stage/kept.dnc") << c.what;
    }
}

TEST(PerformanceFile, AnUnreadableFileIsNotValidAndAMissingOneOrAFolderChangesNothing)
{
    FilesRig r;
    r.files.unreadable.insert("/locked.dnc");
    r.commands.openFile("/locked.dnc");
    EXPECT_EQ(r.rig.form.caption(), "THIS IS NOT A VALID FILE!!");

    FilesRig quiet;
    quiet.files.folders.insert("/stage");
    const std::string caption = quiet.rig.form.caption();
    quiet.commands.openFile("/nowhere.dnc");
    quiet.commands.openFile("/stage");
    EXPECT_EQ(quiet.log().entries(), (Log {"file read /nowhere.dnc", "file read /stage"}));
    EXPECT_EQ(quiet.rig.form.caption(), caption);
    EXPECT_TRUE(quiet.files.files.empty()); // nothing was created
}

TEST(PerformanceFile, AFailedSaveIsReportedAndKeepsTheCurrentFile)
{
    FilesRig r;
    r.rig.dialogs.files.push_back("/stage/a.dnc");
    r.menu().saveAs().click();
    const Bytes old = r.files.files.at("/stage/a.dnc");
    r.files.failure = "Cannot write /stage/b.dnc: No space left on device.";
    r.sw(1).note.setValue(33);
    r.rig.dialogs.files.push_back("/stage/b.dnc");
    r.log().clear();
    r.menu().saveAs().click();
    EXPECT_EQ(r.log().startingWith("message"),
        (Log {"message Cannot write /stage/b.dnc: No space left on device.\nThe file was not saved; the file on disk "
              "is unchanged."}));
    EXPECT_EQ(r.commands.currentFile(), "/stage/a.dnc");
    EXPECT_EQ(r.files.files.at("/stage/a.dnc"), old);
}

TEST(PerformanceFile, AnEntryTooLongForTheFileRefusesTheSave)
{
    FilesRig r;
    r.slots.slot(2).name = std::string(65536, 'n');
    r.rig.dialogs.files.push_back("/stage/a.dnc");
    r.menu().saveAs().click();
    EXPECT_TRUE(r.log().startingWith("file replace").empty());
    ASSERT_EQ(r.log().startingWith("message").size(), 1u);
    EXPECT_EQ(r.commands.currentFile(), "");
}

} // namespace
} // namespace kelvane::testing
