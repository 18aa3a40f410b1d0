#pragma once

#include "desktop/ModalViews.h"
#include "ports/Dialogs.h"
#include "ports/Environment.h"

#include <string>

namespace kelvane::views {

// Where the desktop shows a help file: the program's help window.
class HelpDisplay {
public:
    virtual ~HelpDisplay() = default;
    // Shows the file; false, and nothing changed, when it cannot be read.
    virtual bool showFile(const std::string& path) = 0;
};

// The desktop as Qt shows it. Runs on the user-interface thread, after the
// QApplication exists.
class QtEnvironment : public Environment {
public:
    // installedDataFolder: where an installed program keeps its read-only data
    // (the help file); used when the help file is not beside the program.
    QtEnvironment(ModalViews& modals, HelpDisplay& help, Dialogs& dialogs, std::string installedDataFolder);
    ~QtEnvironment() override;

    int screenWidth() const override;
    int screenHeight() const override;

    // Busy shows the wait cursor over every window of the program until
    // Default; repeated calls do not stack.
    void setPointer(Pointer pointer) override;

    // Beside the program when the help file is there (a build tree), else the
    // installed data folder; with a trailing "/".
    std::string programFolder() const override;

    // Shows the help viewer at the file's contents page, or tells the user
    // that the file cannot be opened.
    void showHelp(const std::string& helpFile) override;

    // Runs the view registered for the window until the window hides itself.
    void showModal(Window& window) override;

    // Leaves the event loop: main() returns. No window is closed on the way,
    // so no close handling runs.
    void endProgram() override;

private:
    ModalViews& modals_;
    HelpDisplay& help_;
    Dialogs& dialogs_;
    std::string installedDataFolder_;
    bool busy_ = false;
};

} // namespace kelvane::views
