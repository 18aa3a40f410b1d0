// The XTest keystroke sender: it reports a missing display instead of
// failing, and under an X server its keys reach another program's focused
// window.
#include "keys/XTestKeystrokes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using kelvane::keys::XTestKeystrokes;

namespace {

using Variables = std::map<std::string, std::string>;

// A sender built from these variables alone, whatever this process's own are.
std::unique_ptr<XTestKeystrokes> keysWith(const Variables& vars)
{
    return std::make_unique<XTestKeystrokes>([&vars](const char* name) -> const char* {
        const auto it = vars.find(name);
        return it == vars.end() ? nullptr : it->second.c_str();
    });
}

} // namespace

TEST(XTestKeystrokes, AnUnreachableDisplayIsReportedNotFatal)
{
    const auto keys = keysWith({{"DISPLAY", ":4711"}});
    EXPECT_FALSE(keys->available());
    EXPECT_EQ(keys->unavailableReason(), "the X display :4711 cannot be reached.");
    keys->type("n"); // types nothing, returns
}

// Under xvfb-run this process has a DISPLAY: none of these may reach it.
TEST(XTestKeystrokes, WithoutADisplayTheReasonSaysWhetherTheSessionIsWayland)
{
    const std::string noDisplay = "there is no X display (DISPLAY is not set).";
    const std::string wayland = "this Wayland session has no X server (XWayland) to type through.";
    for (const auto& [vars, reason] : std::vector<std::pair<Variables, std::string>> {
             {{}, noDisplay},
             {{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}, noDisplay},
             {{{"WAYLAND_DISPLAY", "wayland-0"}}, wayland},
             {{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", "wayland-0"}}, wayland},
         }) {
        const auto keys = keysWith(vars);
        EXPECT_FALSE(keys->available()) << reason;
        EXPECT_EQ(keys->unavailableReason(), reason);
    }
}

namespace {

// The next line of the receiving program's output, without its end.
std::string nextLine(std::FILE* output)
{
    char buffer[64] = {};
    if (!std::fgets(buffer, sizeof buffer, output))
        return "(closed)";
    std::string text(buffer);
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

} // namespace

TEST(XTestKeystrokes, NextAndPreviousReachTheFocusedWindowOfAnotherProgram)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X server: this test runs under xvfb-run";
    XTestKeystrokes keys([](const char* name) -> const char* { return std::getenv(name); });
    ASSERT_TRUE(keys.available()) << keys.unavailableReason();

    // A separate X client whose window has the focus; it ends after three
    // keys (or ten seconds).
    std::FILE* window = ::popen(X_KEY_WINDOW " 3", "r");
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(nextLine(window), "ready");
    keys.type("n");
    keys.type("p");
    keys.type(""); // the "Off" key: nothing at all
    keys.type("n");
    EXPECT_EQ(nextLine(window), "n");
    EXPECT_EQ(nextLine(window), "p");
    EXPECT_EQ(nextLine(window), "n");
    EXPECT_EQ(::pclose(window), 0);
}
