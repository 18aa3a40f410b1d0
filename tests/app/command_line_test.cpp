// Sorting the command line before any window system starts.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <map>

using kelvane::views::parseCommandLine;
using kelvane::views::windowSystemReachable;
using Args = std::vector<std::string>;

TEST(CommandLine, SeparatesOwnMidiAndToolkitArguments)
{
    const auto line = parseCommandLine({"kelvane", "--soundfont", "/sf/a.sf2", "-platform", "offscreen",
        "--midi-log=/tmp/m.log", "--audio-buffer", "128", "--audio-driver", "jack", "--exit-when-shown"});
    EXPECT_FALSE(line.showVersion);
    EXPECT_TRUE(line.exitWhenShown);
    EXPECT_EQ(line.midiArguments,
        (Args {
            "--soundfont", "/sf/a.sf2", "--midi-log=/tmp/m.log", "--audio-buffer", "128", "--audio-driver", "jack"}));
    EXPECT_EQ(line.toolkitArguments, (Args {"kelvane", "-platform", "offscreen"}));
    EXPECT_TRUE(line.problems.empty());
}

TEST(CommandLine, VersionAndHelpAndAMissingValue)
{
    EXPECT_TRUE(parseCommandLine({"kelvane", "--version"}).showVersion);
    EXPECT_TRUE(parseCommandLine({"kelvane", "--help"}).showUsage);
    const auto line = parseCommandLine({"kelvane", "--soundfont"});
    EXPECT_EQ(line.problems, Args {"--soundfont needs a value."});
    // A value that looks like an option is still the value of the one before.
    EXPECT_EQ(
        parseCommandLine({"kelvane", "--midi-log", "--version"}).midiArguments, (Args {"--midi-log", "--version"}));
}

namespace {
std::map<std::string, std::string> environment;
const char* fakeGetEnv(const char* name)
{
    const auto it = environment.find(name);
    return it == environment.end() ? nullptr : it->second.c_str();
}
} // namespace

TEST(CommandLine, WindowSystemIsReachableThroughAVariableOrThePlatformOption)
{
    environment = {};
    EXPECT_FALSE(windowSystemReachable({"kelvane"}, fakeGetEnv));
    environment = {{"DISPLAY", ""}};
    EXPECT_FALSE(windowSystemReachable({"kelvane"}, fakeGetEnv));
    EXPECT_TRUE(windowSystemReachable({"kelvane", "-platform", "offscreen"}, fakeGetEnv));
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment = {{variable, "x"}};
        EXPECT_TRUE(windowSystemReachable({"kelvane"}, fakeGetEnv)) << variable;
    }
}

TEST(CommandLine, OneNonOptionLeftByTheToolkitIsThePerformanceFile)
{
    using kelvane::views::sortLeftoverArguments;
    const auto one = sortLeftoverArguments({"kelvane", "/stage/show.dnc"});
    EXPECT_EQ(one.performanceFile, "/stage/show.dnc");
    EXPECT_TRUE(one.unknown.empty());
    const auto more = sortLeftoverArguments({"kelvane", "--bogus", "a.dnc", "b.dnc", "-"});
    EXPECT_EQ(more.performanceFile, "a.dnc");
    EXPECT_EQ(more.unknown, (std::vector<std::string> {"--bogus", "b.dnc", "-"}));
    EXPECT_EQ(sortLeftoverArguments({"kelvane"}).performanceFile, "");
}
