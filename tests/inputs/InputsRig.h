#pragma once

// The main window's form with its two joystick controls created from the
// built module, as the program hosts them, and every other port faked onto
// one ordered log. Joysticks are SDL virtual joysticks of this process.

#include "HostedJoystickControls.h"
#include "MainForm.h"
#include "Rig.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kelvane::testing {

// Runs the event loop until ready() holds; false after timeoutMs.
inline bool runUntil(const std::function<bool()>& ready, int timeoutMs = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!ready()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

inline bool logHas(const fakes::EffectLog& log, const std::string& entry)
{
    const auto& entries = log.entries();
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

// Message boxes that run a nested event loop while they are up, as a real
// modal box does; whileOpen runs inside it.
class NestedLoopDialogs : public fakes::FakeDialogs {
public:
    using FakeDialogs::FakeDialogs;
    MessageAnswer showMessage(
        const std::string& text, MessageIcon icon, MessageButtons buttons, const std::string& title) override
    {
        const MessageAnswer answer = FakeDialogs::showMessage(text, icon, buttons, title);
        if (whileOpen) {
            QEventLoop box;
            QTimer::singleShot(0, &box, [this, &box] {
                auto script = std::move(whileOpen);
                whileOpen = nullptr;
                script();
                box.quit();
            });
            box.exec();
        }
        return answer;
    }
    std::function<void()> whileOpen;
};

struct HostedRig {
    HostedRig(const std::filesystem::path& registry, const std::vector<std::filesystem::path>& modules) :
        midi(log),
        waves(log),
        dialogs(log),
        pause(log),
        environment(log),
        slots(log),
        banks(log),
        joysticks(stavikhost::hostJoystickControls(
            registry, modules, [this](const std::string& why) { said.push_back(why); })),
        setup(midi, environment),
        form(MainFormPorts {midi, waves, *joysticks.stavik1, *joysticks.stavik2, dialogs, pause, environment}, setup,
            slots, banks)
    {
        environment.whileModal = [this](Window&) { setup.okButton.click(); };
        form.load();
        form.activate();
        log.clear();
    }

    std::vector<std::string> said;
    fakes::EffectLog log;
    fakes::FakeMidiOutput midi;
    fakes::FakeWavePlayer waves;
    NestedLoopDialogs dialogs;
    fakes::FakePause pause;
    fakes::FakeEnvironment environment;
    RecordingWaveSlots slots;
    RecordingWaveBanks banks;
    stavikhost::HostedJoysticks joysticks;
    MidiSetupForm setup;
    MainForm form;
};

} // namespace kelvane::testing
