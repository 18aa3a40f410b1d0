#pragma once

#include "ports/Dialogs.h"

namespace kelvane::views {

// Message boxes and file dialogs, each modal over the program's active window.
class QtDialogs : public Dialogs {
public:
    MessageAnswer showMessage(
        const std::string& text, MessageIcon icon, MessageButtons buttons, const std::string& title) override;
    std::optional<std::string> chooseFileToOpen(const std::string& title, const std::string& filter) override;
    std::optional<std::string> chooseFileToSave(
        const std::string& title, const std::string& filter, const std::string& suggested) override;
};

} // namespace kelvane::views
