// The text forms of the entries, the layout read back entry by entry, and
// what the decoder refuses.

#include "files/PerformanceRecord.h"
#include "files/PerformanceSetup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A setup in which every setting differs from its neighbours', so a value
// read into the wrong place shows.
PerformanceSetup distinctSetup()
{
    PerformanceSetup s;
    for (int i = 0; i < 8; ++i) {
        const auto k = static_cast<std::size_t>(i);
        s.switches[k] = SwitchSetup {10 + i, 100 + i, 1 + i, 20 + i};
        s.slots[k] = SlotSetup {"/home/me/waves/b\xC3\xA4ss " + std::to_string(i) + ".wav",
            "b\xC3\xA4ss " + std::to_string(i) + ".wav", i % 2, -4000 + 500 * i, (i + 1) % 2, -10000 + 2500 * i, 4 * i};
    }
    s.exclusive = true;
    return s;
}

TEST(PerformanceRecord, EveryEntryTravelsToItsOwnPlaceAndBack)
{
    const PerformanceSetup setup = distinctSetup();
    const PerformanceRecord record = recordOf(setup);
    // Spot checks of the numbering and the text forms.
    EXPECT_EQ(record[0], "10");
    EXPECT_EQ(record[15], "107");
    EXPECT_EQ(record[16], "1");
    EXPECT_EQ(record[31], "27");
    EXPECT_EQ(record[39], "/home/me/waves/b\xC3\xA4ss 7.wav");
    EXPECT_EQ(record[40], "b\xC3\xA4ss 0.wav");
    EXPECT_EQ(record[49], "1");
    EXPECT_EQ(record[56], "True");
    for (std::size_t i = 57; i <= 63; ++i)
        EXPECT_EQ(record[i], "") << i;
    EXPECT_EQ(record[64], "-4000");
    EXPECT_EQ(record[72], "1");
    EXPECT_EQ(record[87], "7500");
    EXPECT_EQ(record[95], "28");

    const auto decoded = decodePerformanceRecord(encodePerformanceRecord(record));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, record);
    const auto back = setupOf(*decoded);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, setup);
}

TEST(PerformanceRecord, BytesAfterTheLastEntryAndReservedEntriesAreIgnored)
{
    PerformanceRecord record = recordOf(distinctSetup());
    for (std::size_t i = entry::kFirstReserved; i <= entry::kLastReserved; ++i)
        record[i] = "anything at all, even \x01\xFF";
    Bytes bytes = encodePerformanceRecord(record);
    bytes.insert(bytes.end(), {0xFF, 0xFF, 'x'});
    const auto decoded = decodePerformanceRecord(bytes);
    ASSERT_TRUE(decoded);
    const auto setup = setupOf(*decoded);
    ASSERT_TRUE(setup);
    EXPECT_EQ(*setup, distinctSetup());
}

TEST(PerformanceRecord, EveryCutOffPrefixIsRefusedCleanly)
{
    const Bytes whole = encodePerformanceRecord(recordOf(distinctSetup()));
    for (std::size_t size = 0; size < whole.size(); ++size)
        EXPECT_FALSE(decodePerformanceRecord(std::span(whole.data(), size))) << size;
    EXPECT_TRUE(decodePerformanceRecord(whole));
}

TEST(PerformanceRecord, OverlongEntriesAreFoundAndNeverWrittenCut)
{
    PerformanceRecord record = recordOf(PerformanceSetup {});
    record[40] = std::string(kLongestEntry, 'n');
    EXPECT_FALSE(firstOverlongEntry(record));
    const Bytes longest = encodePerformanceRecord(record);
    EXPECT_EQ(setupOf(*decodePerformanceRecord(longest))->slots[0].name.size(), kLongestEntry);

    record[33] = std::string(kLongestEntry + 1, 'p');
    EXPECT_EQ(firstOverlongEntry(record), 33u);
    EXPECT_THROW(encodePerformanceRecord(record), std::length_error);
}

TEST(PerformanceSetupText, IntegersAreSignedDecimalWithOptionalBlanks)
{
    EXPECT_EQ(parseEntryInteger("60"), 60);
    EXPECT_EQ(parseEntryInteger("-400"), -400);
    EXPECT_EQ(parseEntryInteger("+7"), 7);
    EXPECT_EQ(parseEntryInteger(" 12 "), 12);
    EXPECT_EQ(parseEntryInteger("007"), 7);
    EXPECT_EQ(parseEntryInteger("-32768"), -32768);
    EXPECT_EQ(parseEntryInteger("32767"), 32767);
    for (const char* bad : {"", " ", "-", "+", "1.5", "1e2", "&H10", "12a", "a", "32768", "-32769", "1 2", "--1",
             "99999999999999999999", "\xEF\xBC\x91"})
        EXPECT_FALSE(parseEntryInteger(bad)) << bad;
}

// Each class of invalid entry refuses the whole setup, wherever it sits.
TEST(PerformanceSetupText, AnyInvalidEntryRefusesTheSetup)
{
    const PerformanceRecord good = recordOf(distinctSetup());
    struct Case {
        std::size_t entry;
        const char* text;
    };
    const Case cases[] = {
        {0, ""}, // empty number
        {0, "200"}, // note above the bar
        {0, "0"}, // switch 1's note stops at 1
        {18, "x"}, // a letter for switch 3's channel
        {16, "17"}, // channel
        {8, "128"}, // velocity
        {24, "129"}, // program beyond the wrap marker
        {24, "-2"},
        {48, "2"}, // gate is 0 or 1
        {56, "true"}, // exclusive is True or False exactly
        {56, ""},
        {64, "1"}, // volume -4000..0
        {71, "-4001"},
        {72, "-1"}, // loop
        {80, "10001"}, // pan
        {88, "35"}, // loop-count position 0..34
        {95, "-1"},
    };
    for (const Case& c : cases) {
        PerformanceRecord bad = good;
        bad[c.entry] = c.text;
        EXPECT_FALSE(setupOf(bad)) << c.entry << " = \"" << c.text << "\"";
    }
}

TEST(PerformanceSetupText, TheEdgesOfEveryRangeAreAccepted)
{
    PerformanceRecord record = recordOf(distinctSetup());
    record[entry::note(2)] = "0";
    record[entry::note(1)] = "127";
    record[entry::program(1)] = "-1"; // the bar's wrap markers
    record[entry::program(2)] = "128";
    record[entry::volume(1)] = "-4000";
    record[entry::volume(2)] = "0";
    record[entry::pan(1)] = "-10000";
    record[entry::pan(2)] = "10000";
    record[entry::loopCount(1)] = "34";
    record[entry::kExclusive] = "False";
    const auto setup = setupOf(record);
    ASSERT_TRUE(setup);
    EXPECT_EQ(setup->switches[1].note, 0);
    EXPECT_EQ(setup->switches[1].program, 128);
    EXPECT_EQ(setup->slots[0].loopCount, 34);
    EXPECT_FALSE(setup->exclusive);
}

} // namespace
} // namespace kelvane
