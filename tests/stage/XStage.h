#pragma once

// What the stage tests under a real X server share: the main window with the
// real wave slots on faked ports, shown and focused on the X server; a
// keyboard and a mouse driven through XTest, as a performer's would be; a
// second X client that takes the keyboard focus; and a busy CPU.
#include "MainWindowView.h"
#include "SlotRig.h"
#include "desktop/HeldKeyRepeat.h"

#include <QPoint>
#include <QTest>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <csignal>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelvane::testing {

// The main window under the X server, active, with its wave slots' rows and
// timers. repeatProblem is what the program would say on standard error about
// held keys ("" when the X server reports them as repeated presses).
struct XStage : SlotRig {
    XStage() : SlotRig(false), repeatProblem(views::askForRepeatedPressesOfHeldKeys()), view(form)
    {
        view.addWaveSlots(slots);
        view.loadAndShow();
        view.activateWindow();
        windowActive = QTest::qWaitForWindowActive(&view, 10000);
        log.clear();
    }

    // Waits, with the event loop running, until `done` or the bound passes.
    template <typename Predicate> static bool within(int boundMs, Predicate done)
    {
        return QTest::qWaitFor(done, boundMs);
    }
    static void idle(int ms) { QTest::qWait(ms); }

    // Note-ons and note-offs sent since the log was last cleared.
    std::size_t noteOns() const { return notes(false); }
    std::size_t noteOffs() const { return notes(true); }

    // The notes that sound and the buffers that play after everything logged.
    std::set<std::string> soundingNotes() const
    {
        std::set<std::string> sounding;
        for (const std::string& e : log.entries()) {
            if (e.rfind("midi 9", 0) != 0)
                continue;
            const std::string address = e.substr(0, e.size() - 3);
            if (e.compare(e.size() - 2, 2, "00") == 0)
                sounding.erase(address);
            else
                sounding.insert(address);
        }
        return sounding;
    }
    std::set<std::string> playingBuffers() const
    {
        std::set<std::string> playing;
        for (const std::string& e : log.entries()) {
            for (const char* start : {"wave PlayBuffer ", "wave PlayLooping "}) {
                if (e.rfind(start, 0) == 0)
                    playing.insert(e.substr(std::string(start).size()));
            }
            if (e.rfind("wave StopBuffer ", 0) == 0)
                playing.erase(e.substr(std::string("wave StopBuffer ").size()));
            if (e == "wave StopAllBuffers")
                playing.clear();
        }
        return playing;
    }

    // Gives switch 1's slot a wave that loops far longer than any test and
    // stops when the switch is released.
    void gatedLongLoopOnSlot1()
    {
        waves.lengthMs = 60000;
        slot(1).setPath("/stage/pad.wav");
        slot(1).loop.setValue(1);
        form.switches().at(1).gate.setValue(1);
        log.clear();
    }

    std::string repeatProblem;
    views::MainWindowView view;
    bool windowActive = false;

private:
    std::size_t notes(bool offs) const
    {
        std::size_t count = 0;
        for (const std::string& e : log.entries())
            count += e.rfind("midi 9", 0) == 0 && (e.compare(e.size() - 2, 2, "00") == 0) == offs;
        return count;
    }
};

// The keyboard and the mouse of the X server, through XTest on a connection
// of the test's own: the events reach whichever window the server gives them
// to, exactly as a performer's would.
class XInput {
public:
    XInput() : display_(XOpenDisplay(nullptr)) { }
    ~XInput()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    XInput(const XInput&) = delete;
    XInput& operator=(const XInput&) = delete;

    bool connected() const { return display_ != nullptr; }

    // The server repeats a held key after delayMs, every intervalMs.
    void repeatHeldKeys(unsigned delayMs, unsigned intervalMs)
    {
        XAutoRepeatOn(display_);
        XkbSetAutoRepeatRate(display_, XkbUseCoreKbd, delayMs, intervalMs);
        XSync(display_, False);
    }
    void key(KeySym symbol, bool down)
    {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, symbol), down ? True : False, CurrentTime);
        XSync(display_, False);
    }
    void pointerTo(QPoint global)
    {
        XTestFakeMotionEvent(display_, -1, global.x(), global.y(), CurrentTime);
        XSync(display_, False);
    }
    void leftButton(bool down)
    {
        XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
        XSync(display_, False);
    }

private:
    Display* display_;
};

// Another X client whose window takes the keyboard focus once it is mapped
// (the test's x_key_window); it ends when destroyed.
class FocusThief {
public:
    FocusThief()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        child_ = ::fork();
        if (child_ == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::close(fds[0]);
            ::close(fds[1]);
            ::execl(X_KEY_WINDOW, X_KEY_WINDOW, "1000", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        output_ = ::fdopen(fds[0], "r");
    }
    ~FocusThief()
    {
        if (child_ > 0) {
            ::kill(child_, SIGTERM);
            ::waitpid(child_, nullptr, 0);
        }
        if (output_)
            std::fclose(output_);
    }
    FocusThief(const FocusThief&) = delete;
    FocusThief& operator=(const FocusThief&) = delete;

    // True once its window has the focus.
    bool hasFocus()
    {
        char line[32] = {};
        return output_ && std::fgets(line, sizeof line, output_) && std::string(line) == "ready\n";
    }

private:
    pid_t child_ = -1;
    std::FILE* output_ = nullptr;
};

// Processes that keep `count` processors busy until destroyed (or until the
// test program dies: the kernel ends them then too).
class BusyCpu {
public:
    explicit BusyCpu(int count)
    {
        for (int i = 0; i < count; ++i) {
            const pid_t child = ::fork();
            if (child == 0) {
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                volatile unsigned long spin = 0;
                for (;;)
                    spin = spin + 1;
            }
            if (child > 0)
                children_.push_back(child);
        }
    }
    ~BusyCpu()
    {
        for (const pid_t child : children_) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
    }
    BusyCpu(const BusyCpu&) = delete;
    BusyCpu& operator=(const BusyCpu&) = delete;

    std::size_t running() const { return children_.size(); }

private:
    std::vector<pid_t> children_;
};

} // namespace kelvane::testing
