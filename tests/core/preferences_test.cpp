// kelvane.dat: its bytes, how the preferences window reads and writes them,
// and the advanced-audio switch.
#include "PreferencesRig.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::testing;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Log = std::vector<std::string>;

const PreferenceEntry kTrue = PreferenceEntry::boolean(true);
const PreferenceEntry kFalse = PreferenceEntry::boolean(false);

// The file written from a new start with every switch on "Next", entry by
// entry as it stands on disk.
Bytes newStartFile(std::uint8_t advancedAudio)
{
    Bytes b;
    const auto empty = [&b] { b.insert(b.end(), {0x00, 0x00}); };
    const auto boolean = [&b](bool v) {
        const std::uint8_t x = v ? 0xFF : 0x00;
        b.insert(b.end(), {0x0B, 0x00, x, x});
    };
    for (int i = 0; i <= 10; ++i)
        empty();
    for (int i = 11; i <= 18; ++i)
        boolean(true);
    b.insert(b.end(), {0x02, 0x00, advancedAudio, 0x00});
    empty(); // 20
    for (int i = 21; i <= 28; ++i)
        boolean(false);
    empty(); // 29
    empty(); // 30
    for (int i = 31; i <= 38; ++i)
        boolean(false);
    empty(); // 39
    return b;
}

} // namespace

TEST(PreferenceBytes, NewStartSavesTheHundredAndThirtyByteFile)
{
    PreferencesRig rig;
    rig.preferences.loadShownThenHidden();
    rig.preferences.saveButton.click();
    ASSERT_TRUE(rig.store.bytes.has_value());
    EXPECT_EQ(rig.store.bytes->size(), 130u);
    EXPECT_EQ(*rig.store.bytes, newStartFile(0));

    rig.preferences.advancedAudio.setValue(1);
    rig.preferences.saveButton.click();
    EXPECT_EQ(*rig.store.bytes, newStartFile(1));
}

TEST(PreferenceBytes, DecodeReadsEveryKindItKnowsAndStopsAtOneItCannotRead)
{
    // Integer -2, Boolean true, Long 70000, Byte 5, Double (raw), then nothing.
    const Bytes bytes {0x02, 0x00, 0xFE, 0xFF, 0x0B, 0x00, 0xFF, 0xFF, 0x03, 0x00, 0x70, 0x11, 0x01, 0x00, 0x11, 0x00,
        0x05, 0x05, 0x00, 1, 2, 3, 4, 5, 6, 7, 8};
    const DecodedPreferences decoded = decodePreferences(bytes);
    ASSERT_TRUE(decoded.complete);
    EXPECT_EQ(decoded.record[0].toInteger(), -2);
    EXPECT_EQ(decoded.record[1].toBoolean(), true);
    EXPECT_EQ(decoded.record[2].toInteger(), 70000);
    EXPECT_EQ(decoded.record[3].toInteger(), 5);
    EXPECT_EQ(decoded.record[4].tag, 5);
    EXPECT_EQ(decoded.record[4].toBoolean(), std::nullopt); // floating kinds do not convert
    EXPECT_EQ(decoded.record[5], PreferenceEntry::empty());
    EXPECT_EQ(encodePreferences(decoded.record), [&] {
        Bytes b = bytes;
        for (std::size_t i = 5; i < kPreferenceEntryCount; ++i)
            b.insert(b.end(), {0, 0});
        return b;
    }());

    // A string (tag 8) has no size this reader knows; a tag or value cut off
    // by the end of the file is no entry either.
    for (const Bytes& broken : {Bytes {0x00, 0x00, 0x08, 0x00, 0x01, 0x00, 0x41}, Bytes {0x00, 0x00, 0x0B},
             Bytes {0x00, 0x00, 0x0B, 0x00, 0xFF}}) {
        const DecodedPreferences d = decodePreferences(broken);
        EXPECT_FALSE(d.complete);
        EXPECT_EQ(d.brokenEntry, 1u);
        EXPECT_EQ(d.record, PreferenceRecord {});
    }
}

TEST(PreferencesRead, MissingFileHidesTheAdvancedAudioAndEntryNineteenOneKeepsItShown)
{
    PreferencesRig rig;
    rig.preferences.loadShownThenHidden();
    EXPECT_EQ(rig.choices(), "NNNNNNNN");
    EXPECT_EQ(rig.preferences.advancedAudio.value(), 0);
    EXPECT_EQ(rig.log.entries(), (Log {"prefs read", "advanced audio hidden"}));
    EXPECT_FALSE(rig.preferences.visible());
    EXPECT_FALSE(rig.store.bytes.has_value()) << "reading never creates the file";

    PreferencesRig shown;
    shown.fileWith({{19, PreferenceEntry::integer(1)}});
    shown.preferences.load();
    EXPECT_EQ(shown.preferences.advancedAudio.value(), 1);
    EXPECT_EQ(shown.log.entries(), (Log {"prefs read"}));
}

TEST(PreferencesRead, OptionsApplyInOrderSoTheLaterTrueWinsAndNoneTrueIsNext)
{
    PreferencesRig rig;
    rig.fileWith({
        {nextEntry(1), kFalse}, {previousEntry(1), kFalse}, {offEntry(1), kFalse}, // none: Next
        {nextEntry(2), kTrue}, {previousEntry(2), kTrue}, // Previous wins
        {previousEntry(3), kTrue}, {offEntry(3), kTrue}, // Off wins
        {nextEntry(4), kTrue}, {offEntry(4), kTrue}, // Off wins
        {previousEntry(5), kTrue}, // Previous
        {offEntry(6), PreferenceEntry::integer(7)}, // any other integer is true
        {nextEntry(7), PreferenceEntry::integer(0)}, {previousEntry(7), kTrue}, // Previous
        {nextEntry(8), kTrue}, // Next
    });
    rig.preferences.load();
    EXPECT_EQ(rig.choices(), "NPOOPOPN");
}

TEST(PreferencesRead, FilesCutShortOrForeignEndTheReadAsTheyMust)
{
    // Cut at an entry boundary: the missing entries are empty, so every
    // switch falls back to "Next".
    {
        PreferencesRig rig;
        rig.fileWith({{previousEntry(2), kTrue}, {kAdvancedAudioEntry, PreferenceEntry::integer(1)}});
        rig.store.bytes->resize(2 * 19 + 4); // entries 0..19
        rig.preferences.load();
        EXPECT_EQ(rig.choices(), "NNNNNNNN");
        EXPECT_EQ(rig.preferences.advancedAudio.value(), 1);
    }
    // Cut inside an entry, or holding a kind that cannot be read: nothing is
    // applied, not even the entries before it; the design values stay.
    for (const bool cut : {true, false}) {
        PreferencesRig rig;
        rig.fileWith({{previousEntry(1), kTrue}});
        if (cut)
            rig.store.bytes->resize(2 * 21 + 3); // inside entry 21's value
        else
            rig.store.bytes->at(2 * 5) = 0x08; // entry 5 a string
        rig.preferences.load();
        EXPECT_EQ(rig.choices(), "NNNNNNNN");
        EXPECT_EQ(rig.preferences.advancedAudio.value(), 1);
        EXPECT_EQ(rig.log.entries(), (Log {"prefs read"}));
    }
    // An entry that does not convert ends the read at that entry: what came
    // before stays applied, nothing after it is, and a switch left without a
    // choice still gets "Next" (here sw2, all empty, and sw3, stopped
    // half-way).
    {
        PreferencesRig rig;
        rig.fileWith({{offEntry(1), kTrue}, {nextEntry(3), kFalse},
            {previousEntry(3), PreferenceEntry {static_cast<std::uint16_t>(PreferenceTag::Null), {}}},
            {offEntry(4), kTrue}});
        rig.preferences.load();
        EXPECT_EQ(rig.choices(), "ONNNNNNN");
        EXPECT_EQ(rig.preferences.advancedAudio.value(), 1);
    }
    // A file that cannot be read at all changes nothing.
    {
        PreferencesRig rig;
        rig.store.unreadable = true;
        rig.preferences.load();
        EXPECT_EQ(rig.choices(), "NNNNNNNN");
        EXPECT_EQ(rig.preferences.advancedAudio.value(), 1);
    }
}

TEST(PreferencesRead, AdvancedAudioEntryOutsideTheCheckBoxValuesIsRefused)
{
    // The grey state 2 leaves the check box as it is; the read goes on.
    PreferencesRig grey;
    grey.fileWith({{kAdvancedAudioEntry, PreferenceEntry::integer(2)}, {offEntry(8), kFalse}});
    grey.preferences.load();
    EXPECT_EQ(grey.preferences.advancedAudio.value(), 1);
    EXPECT_EQ(grey.choices(), "NNNNNNNN");

    // 3 is no check box value: the read ends there, after the switches.
    PreferencesRig three;
    three.fileWith({{kAdvancedAudioEntry, PreferenceEntry::integer(3)}, {offEntry(8), kTrue}});
    three.preferences.load();
    EXPECT_EQ(three.preferences.advancedAudio.value(), 1);
    EXPECT_EQ(three.choices(), "NNNNNNNO");
    EXPECT_EQ(three.log.entries(), (Log {"prefs read"}));
}

TEST(PreferencesWrite, RoundTripsEverySettingAndKeepsWhatItDoesNotUse)
{
    PreferencesRig rig;
    PreferenceRecord foreign {};
    foreign[0] = PreferenceEntry {static_cast<std::uint16_t>(PreferenceTag::Double), {1, 2, 3, 4, 5, 6, 7, 8}};
    foreign[20] = PreferenceEntry::integer(-300);
    foreign[29] = kTrue;
    foreign[39] = PreferenceEntry {static_cast<std::uint16_t>(PreferenceTag::Long), {9, 8, 7, 6}};
    Bytes file = encodePreferences(foreign);
    Bytes tail(100);
    for (std::size_t i = 0; i < tail.size(); ++i)
        tail[i] = static_cast<std::uint8_t>(0xA0 + i);
    file.insert(file.end(), tail.begin(), tail.end());
    rig.store.bytes = file;

    rig.preferences.show();
    rig.preferences.previousOption(2).click();
    rig.preferences.offOption(5).click();
    rig.preferences.offOption(8).click();
    rig.preferences.advancedAudio.setValue(1);
    rig.preferences.saveButton.click();
    EXPECT_FALSE(rig.preferences.visible());

    // Written as "Next" false / "Previous" true etc., the reserved entries
    // byte for byte, and the older file's bytes beyond the record kept.
    const Bytes& saved = *rig.store.bytes;
    const std::size_t written = encodePreferences(rig.preferences.record()).size();
    ASSERT_EQ(saved.size(), file.size());
    ASSERT_LT(written, file.size());
    EXPECT_EQ(Bytes(saved.begin() + static_cast<std::ptrdiff_t>(written), saved.end()),
        Bytes(file.begin() + static_cast<std::ptrdiff_t>(written), file.end()));
    const DecodedPreferences back = decodePreferences(saved);
    ASSERT_TRUE(back.complete);
    for (std::size_t i : {0u, 20u, 29u, 39u})
        EXPECT_EQ(back.record[i], foreign[i]) << "entry " << i;

    PreferencesRig reader;
    reader.store.bytes = saved;
    reader.preferences.load();
    EXPECT_EQ(reader.choices(), "NPNNONNO");
    EXPECT_EQ(reader.preferences.advancedAudio.value(), 1);
}

TEST(PreferencesWrite, FailedSaveSaysSoAndKeepsTheWindowOpenWithItsSettings)
{
    PreferencesRig rig;
    rig.store.bytes = newStartFile(1);
    rig.preferences.show();
    rig.preferences.offOption(3).click();
    rig.store.writeProblem = "Permission denied";
    rig.log.clear();

    rig.preferences.saveButton.click();
    rig.preferences.close();
    const std::string message = "message The preferences could not be saved to "
                                "/home/performer/.config/kelvane/kelvane.dat.\n"
                                "Permission denied\nThe settings stay in effect until Kelvane ends.";
    EXPECT_EQ(rig.log.startingWith("message"), (Log {message, message}));
    EXPECT_TRUE(rig.preferences.visible());
    EXPECT_TRUE(rig.preferences.loaded());
    EXPECT_EQ(rig.choices(), "NNONNNNN");
    EXPECT_EQ(*rig.store.bytes, newStartFile(1)) << "the old file stays as it was";
}

TEST(PreferencesWrite, CloseBoxSavesLikeTheButtonAndTheNextUseReadsTheFileAfresh)
{
    PreferencesRig button;
    PreferencesRig closeBox;
    for (PreferencesRig* rig : {&button, &closeBox}) {
        rig->preferences.show();
        rig->preferences.previousOption(4).click();
    }
    button.preferences.saveButton.click();
    closeBox.preferences.close();
    EXPECT_EQ(closeBox.store.bytes, button.store.bytes);
    EXPECT_FALSE(closeBox.preferences.visible());
    EXPECT_TRUE(button.preferences.loaded());
    EXPECT_FALSE(closeBox.preferences.loaded());

    // Unsaved changes die with the unloaded window; the file decides.
    closeBox.store.bytes = newStartFile(1);
    closeBox.log.clear();
    EXPECT_TRUE(closeBox.preferences.slideOptions(4).next);
    EXPECT_EQ(closeBox.choices(), "NNNNNNNN");
    EXPECT_EQ(closeBox.log.entries(), (Log {"prefs read"})) << "design values run no click action";
}
