#pragma once

#include "FindWidget.h"
#include "MainWindowView.h"
#include "Rig.h"

#include <QCoreApplication>
#include <QWidget>

#include <stdexcept>

namespace kelvane::testing {

// The core's rig of faked ports, with the main window's view on top of it.
struct ViewRig : Rig {
    ViewRig() : view(form) { }

    // Load, show and the first activation, as at a program start; the log
    // starts empty. The activation follows the show on the event loop.
    ViewRig& shown()
    {
        view.loadAndShow();
        QCoreApplication::processEvents();
        if (form.flags().startupDone != 1)
            throw std::runtime_error("the shown window was not activated");
        log.clear();
        return *this;
    }

    // Lets the event loop turn: the views show what the handlers changed.
    static void settle() { QCoreApplication::processEvents(); }

    template <typename W = QWidget> W& widget(const char* name) { return findWidget<W>(view, name); }

    views::MainWindowView view;
};

} // namespace kelvane::testing
