#pragma once

#include <QTextBrowser>

#include <string>

namespace kelvane::views {

// The help window: shows a help file (HTML) at its contents page, the top of
// the file. Links inside the file move within it; links to web pages open in
// the desktop's browser.
class HelpViewer : public QTextBrowser {
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Loads the file and brings the window to the front. Returns false, and
    // leaves the window as it was, when the file cannot be read.
    bool showFile(const std::string& path);
};

} // namespace kelvane::views
