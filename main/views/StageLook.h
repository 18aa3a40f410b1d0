#pragma once

class QApplication;

namespace kelvane::views {

// The program's look: a dark, high-contrast stage palette (a lit screen in a
// dark room must not dazzle), large switch buttons and bold setting values.
// Applied once to the application, before any window is built.
void applyStageLook(QApplication& app);

} // namespace kelvane::views
