// The XTest keystroke sender: it reports a missing display instead of
// failing, and under an X server its keys reach another program's focused
// window.
#include "keys/XTestKeystrokes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using kelvane::keys::XTestKeystrokes;

TEST(XTestKeystrokes, AnUnreachableDisplayIsReportedNotFatal)
{
    XTestKeystrokes keys(":4711");
    EXPECT_FALSE(keys.available());
    EXPECT_EQ(keys.unavailableReason(), "the X display :4711 cannot be reached.");
    keys.type("n"); // types nothing, returns
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
    XTestKeystrokes keys;
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
