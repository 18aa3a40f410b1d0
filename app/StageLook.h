#pragma once

class QApplication;

namespace kelvane::views {

// The program's look: a dark, high-contrast stage palette (a lit screen in a
// dark room must not dazzle), large switch buttons and bold setting values.
// Applied once to the application, from the thread that runs the windows,
// before any window is built; that thread also does all of their painting.
void applyStageLook(QApplication& app);

} // namespace kelvane::views
