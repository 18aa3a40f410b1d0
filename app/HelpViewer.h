#pragma once

#include "desktop/QtEnvironment.h"

#include <QTextBrowser>

#include <string>

namespace kelvane::views {

// The help window: shows a help file (HTML) at its contents page, the top of
// the file. Links inside the file move within it; links to web pages open in
// the desktop's browser. It opens over its owner (the main window), no larger
// than the screen, and Escape closes it as it closes the other windows.
class HelpViewer : public QTextBrowser, public HelpDisplay {
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // The window the help opens over. Given after construction: the viewer
    // serves the desktop environment that the main window's form is built
    // with, so it exists before the main window's view. The owner must
    // outlive the viewer or be replaced by nullptr first.
    void setOwner(const QWidget* owner) { owner_ = owner; }

    // Loads the file and brings the window to the front. Returns false, and
    // leaves the window as it was, when the file cannot be read.
    bool showFile(const std::string& path) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const QWidget* owner_ = nullptr;
};

} // namespace kelvane::views
