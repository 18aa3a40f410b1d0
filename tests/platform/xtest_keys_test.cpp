// The XTest keystroke sender: it reports a missing display instead of
// failing, and under an X server its keys reach another program's focused
// window.
#include "keys/XTestKeystrokes.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

using kelvane::keys::XTestKeystrokes;

TEST(XTestKeystrokes, AnUnreachableDisplayIsReportedNotFatal)
{
    XTestKeystrokes keys(":4711");
    EXPECT_FALSE(keys.available());
    EXPECT_EQ(keys.unavailableReason(), "the X display :4711 cannot be reached.");
    keys.type("n"); // types nothing, returns
}

namespace {

// The receiving window's program, with its output read line by line.
class KeyWindow {
public:
    explicit KeyWindow(int keys)
    {
        int out[2];
        if (::pipe(out) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            const std::string count = std::to_string(keys);
            ::execl(X_KEY_WINDOW, X_KEY_WINDOW, count.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        output_ = ::fdopen(out[0], "r");
    }
    ~KeyWindow()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (output_)
            std::fclose(output_);
    }
    KeyWindow(const KeyWindow&) = delete;
    KeyWindow& operator=(const KeyWindow&) = delete;

    // The next line without its end, or "(closed)".
    std::string line()
    {
        char buffer[64];
        if (!output_ || !std::fgets(buffer, sizeof buffer, output_))
            return "(closed)";
        std::string text(buffer);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        return text;
    }

    // The exit status once it has received all its keys.
    int finish()
    {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    std::FILE* output_ = nullptr;
};

} // namespace

TEST(XTestKeystrokes, NextAndPreviousReachTheFocusedWindowOfAnotherProgram)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X server: this test runs under xvfb-run";
    XTestKeystrokes keys;
    ASSERT_TRUE(keys.available()) << keys.unavailableReason();

    KeyWindow window(3);
    ASSERT_EQ(window.line(), "ready");
    keys.type("n");
    keys.type("p");
    keys.type(""); // the "Off" key: nothing at all
    keys.type("n");
    EXPECT_EQ(window.line(), "n");
    EXPECT_EQ(window.line(), "p");
    EXPECT_EQ(window.line(), "n");
    EXPECT_EQ(window.finish(), 0);
}
