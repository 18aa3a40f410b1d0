#pragma once

// What the tests of devices read on threads of their own need: a running
// event loop to wait in, and message boxes that run one as a real box does.

#include "fakes/FakeDesktop.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string>

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

} // namespace kelvane::testing
