#pragma once

#include "controls/Window.h"
#include "fakes/EffectLog.h"
#include "ports/Dialogs.h"
#include "ports/Environment.h"
#include "ports/JoystickControl.h"
#include "ports/Pause.h"

#include <deque>
#include <functional>

namespace kelvane::fakes {

// A joystick control that records "joystick NAME enabled 0|1" and raises the
// events a test asks for, synchronously, whether or not it is enabled.
class FakeJoystickControl : public JoystickControl {
public:
    static constexpr int kCentre = 32767;

    FakeJoystickControl(EffectLog& log, std::string name) : log_(log), name_(std::move(name)) { }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override
    {
        enabled_ = enabled;
        log_.add("joystick " + name_ + " enabled " + (enabled ? "1" : "0"));
    }
    void setEvents(JoystickEvents* events) override { events_ = events; }

    void pressButton(int button)
    {
        held_ |= 1u << (button - 1);
        if (events_)
            events_->buttonDown(button);
    }
    void releaseButton(int button)
    {
        held_ &= ~(1u << (button - 1));
        if (events_)
            events_->buttonUp(button);
    }
    void move(int x, int y, int z = kCentre)
    {
        x_ = x;
        y_ = y;
        if (events_)
            events_->move(x, y, z);
    }
    // What the real control reports when its pad is pulled out: every held
    // button goes up (in button order), then a pushed stick comes back to the centre.
    void unplug()
    {
        for (int b = 1; b <= 4; ++b)
            if ((held_ & (1u << (b - 1))) != 0)
                releaseButton(b);
        if (x_ != kCentre || y_ != kCentre)
            move(kCentre, kCentre);
    }
    bool connected() const { return events_ != nullptr; }

private:
    EffectLog& log_;
    std::string name_;
    bool enabled_ = false;
    JoystickEvents* events_ = nullptr;
    unsigned held_ = 0;
    int x_ = kCentre;
    int y_ = kCentre;
};

// Pauses that return at once and record "pause N" / "pause+events N".
class FakePause : public Pause {
public:
    explicit FakePause(EffectLog& log) : log_(log) { }
    void wait(int ms) override { log_.add("pause " + std::to_string(ms)); }
    void waitThenHandleEvents(int ms) override { log_.add("pause+events " + std::to_string(ms)); }

private:
    EffectLog& log_;
};

// Message boxes and file choices answered from a script. Every message is
// logged as "message TEXT"; an unscripted answer is Ok (or Cancel for files).
class FakeDialogs : public Dialogs {
public:
    explicit FakeDialogs(EffectLog& log) : log_(log) { }

    MessageAnswer showMessage(const std::string& text, MessageIcon, MessageButtons, const std::string& title) override
    {
        log_.add("message " + text);
        lastTitle = title;
        if (answers.empty())
            return MessageAnswer::Ok;
        MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> chooseFileToOpen(const std::string& title, const std::string&) override
    {
        log_.add("dialog open " + title);
        return next();
    }
    std::optional<std::string> chooseFileToSave(
        const std::string& title, const std::string&, const std::string&) override
    {
        log_.add("dialog save " + title);
        return next();
    }

    std::deque<MessageAnswer> answers;
    std::deque<std::optional<std::string>> files;
    std::string lastTitle;

private:
    std::optional<std::string> next()
    {
        if (files.empty())
            return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    EffectLog& log_;
};

// A screen of a given size. showModal makes the window visible, logs
// "modal NAME", runs the scripted user's actions, and returns.
class FakeEnvironment : public Environment {
public:
    explicit FakeEnvironment(EffectLog& log, int width = 1280, int height = 800) :
        log_(log), width_(width), height_(height)
    {
    }

    int screenWidth() const override { return width_; }
    int screenHeight() const override { return height_; }
    void setPointer(Pointer p) override { log_.add("pointer " + std::to_string(static_cast<int>(p))); }
    std::string programFolder() const override { return folder; }
    void showHelp(const std::string& file) override { log_.add("help " + file); }
    void showModal(Window& window) override
    {
        log_.add("modal " + window.name());
        window.setVisible(true);
        if (whileModal)
            whileModal(window);
    }
    void endProgram() override
    {
        ended = true;
        log_.add("end program");
    }

    std::string folder = "/opt/kelvane/";
    // What the user does while a modal window is up (press Ok, Cancel, ...).
    std::function<void(Window&)> whileModal;
    bool ended = false;

private:
    EffectLog& log_;
    int width_;
    int height_;
};

} // namespace kelvane::fakes
